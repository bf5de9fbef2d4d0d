// The calculator window: start-up and the dialog procedure.
#ifndef CALORIES_WINDOW_WINDOW_H
#define CALORIES_WINDOW_WINDOW_H

#include <windows.h>

// The module of the program's own executable; set once by WinMain before
// the dialog exists, read when the dialog loads its icon.
extern HINSTANCE g_hInstance;

INT_PTR CALLBACK CalculatorDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                      LPARAM lParam);

#endif
