// The controls layer over user32, ANSI forms. No result is tested: a call
// that fails leaves its control as it was.
#include <windows.h>

#include "window/controls.h"

WindowHandle GetDialogControl(WindowHandle dialog, int controlId) {
  return GetDlgItem(dialog, controlId);
}

void ReadWindowText(WindowHandle window, char* buffer, int count) {
  GetWindowTextA(window, buffer, count);
}

void WriteWindowText(WindowHandle window, const char* text) {
  SetWindowTextA(window, text);
}

void ShowControl(WindowHandle window, int showCommand) {
  ShowWindow(window, showCommand);
}

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message,
                                std::uintptr_t wParam, std::intptr_t lParam) {
  return static_cast<std::intptr_t>(SendMessageA(window, message,
                                                 static_cast<WPARAM>(wParam),
                                                 static_cast<LPARAM>(lParam)));
}
