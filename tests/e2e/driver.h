// Drives the real program from another process, as a user would: starts the
// exe, finds its dialog, sends keyboard and mouse input through SendInput,
// and reads back what the controls show through Win32. Every wait is on a
// condition with a timeout, never a fixed sleep.
#ifndef CALORIES_TESTS_E2E_DRIVER_H
#define CALORIES_TESTS_E2E_DRIVER_H

#include <windows.h>

#include <string>

struct RunningProgram {
  PROCESS_INFORMATION process;
  HWND dialog;
};

// The exe under test, from the environment (CALORIES_EXE) or beside the
// driver.
std::string ProgramPath();

// Starts the exe with the given command-line tail and waits until its dialog
// is visible. Returns false (and cleans up) when no dialog came in time.
bool StartProgram(RunningProgram& program, const std::string& exe,
                  const std::string& arguments = "");

// Waits for the process to end; gives its exit code, or -1 on time-out
// (the process is then killed).
long WaitForExit(RunningProgram& program, DWORD timeoutMs = 10000);

// Ends a program that a failed test left running.
void KillProgram(RunningProgram& program);

// Waits until the predicate holds, re-testing it as the target processes
// its messages. Gives the predicate's last result.
template <typename Predicate>
bool WaitUntil(Predicate holds, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (holds()) return true;
    if (GetTickCount64() > deadline) return holds();
    // Yield to the target between tests of the condition.
    Sleep(1);
  }
}

HWND Control(const RunningProgram& program, int id);
std::string TextOf(HWND window);
bool IsShown(HWND window);
HWND FocusOf(const RunningProgram& program);
int SelectionOf(HWND list);

// Brings the dialog to the front so that input reaches it.
bool Activate(const RunningProgram& program);

// Keyboard input: a virtual key (with optional modifiers), or text typed
// character by character.
void PressKey(WORD virtualKey, bool shift = false, bool alt = false);
void TypeText(const char* text);

// Moves the focus with Tab (or Shift+Tab) and waits until it lands on the
// expected control: a point by which all input before it was handled.
bool TabTo(const RunningProgram& program, HWND expected,
           bool backwards = false);

// Clicks the left mouse button at a screen point.
void ClickAt(POINT screen);
POINT CenterOf(HWND window);
// The centre of the caption's close box.
POINT CloseBoxOf(HWND dialog);

#endif
