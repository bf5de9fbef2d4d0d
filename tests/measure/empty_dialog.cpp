// The yardstick for start-up time: a dialog with nothing in it, built and
// linked like the program itself.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

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
  DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, EmptyDialogProc, 0);
  return 0;
}
