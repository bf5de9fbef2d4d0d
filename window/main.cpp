#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include "window/resource.h"
#include "window/window.h"

HINSTANCE g_hInstance = nullptr;

// The command line and show command are ignored; the process exit code is
// always 0, also when the dialog cannot be created.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  g_hInstance = instance;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CALCULATOR), nullptr,
                  CalculatorDialogProc, 0);
  return 0;
}
