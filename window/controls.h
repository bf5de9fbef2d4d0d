// The controls layer: the few user32 operations that the form logic needs,
// as free functions over an opaque window handle. Includes no platform
// header, so the form logic builds anywhere.
//
// Two implementations, chosen at link time: controls_user32.cpp forwards each
// call to user32 (ANSI forms); the native tests link a stand-in that models
// the controls and records every call.
//
// What callers rely on, and nothing more:
// - GetDialogControl gives the control's handle, or null if there is none;
//   every operation on a null handle does nothing (reads leave the buffer
//   as it was).
// - ReadWindowText stores at most count - 1 characters and always
//   terminates the buffer (for count >= 1).
// - SendWindowMessage with kComboGetCurSel answers the selected index, or
//   kComboError (-1) when nothing is selected.
// No result is ever tested for failure: a call that fails leaves its control
// as it was.
#ifndef CALORIES_WINDOW_CONTROLS_H
#define CALORIES_WINDOW_CONTROLS_H

#include <cstdint>

// The same incomplete type that <windows.h> declares for HWND under STRICT,
// so WindowHandle is HWND on Windows.
struct HWND__;
using WindowHandle = HWND__*;

// Message and command numbers, with the platform's values.
constexpr unsigned kMessageSetIcon = 0x0080;  // WM_SETICON
constexpr unsigned kEditLimitText = 0x00C5;   // EM_LIMITTEXT
constexpr unsigned kComboAddString = 0x0143;  // CB_ADDSTRING
constexpr unsigned kComboGetCurSel = 0x0147;  // CB_GETCURSEL
constexpr unsigned kComboSetCurSel = 0x014E;  // CB_SETCURSEL
constexpr unsigned kStaticSetIcon = 0x0170;   // STM_SETICON
constexpr std::intptr_t kComboError = -1;     // CB_ERR
constexpr std::uintptr_t kIconBig = 1;        // ICON_BIG
constexpr int kShowHide = 0;                  // SW_HIDE
constexpr int kShowShow = 5;                  // SW_SHOW

WindowHandle GetDialogControl(WindowHandle dialog, int controlId);
void ReadWindowText(WindowHandle window, char* buffer, int count);
void WriteWindowText(WindowHandle window, const char* text);
void ShowControl(WindowHandle window, int showCommand);
std::intptr_t SendWindowMessage(WindowHandle window, unsigned message,
                                std::uintptr_t wParam, std::intptr_t lParam);

#endif
