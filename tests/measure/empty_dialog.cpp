// The yardsticks for start-up time, built and linked like the program
// itself: a dialog with nothing in it, and (with YARDSTICK_TEMPLATE set) the
// program's own template shown by a procedure that does nothing, which
// separates creating the controls from the rest of the program's start-up.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include "window/resource.h"

#ifndef YARDSTICK_TEMPLATE
#define YARDSTICK_TEMPLATE 1
#endif

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                 LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(YARDSTICK_TEMPLATE), nullptr,
                  EmptyDialogProc, 0);
  return 0;
}
