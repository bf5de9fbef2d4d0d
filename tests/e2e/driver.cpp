#include "tests/e2e/driver.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kDialogTitle = "Daily Calorie Needs Calculator";

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0) return TRUE;
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(title, kDialogTitle) != 0) return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindDialogOf(DWORD processId) {
  WindowSearch search = {processId, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SendKey(WORD virtualKey, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan =
      static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::string ProgramPath() {
  if (const char* path = std::getenv("CALORIES_EXE")) return path;
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path.resize(path.find_last_of("\\/") + 1);
  return path + "DailyCalories.exe";
}

bool StartProgram(RunningProgram& program, const std::string& exe,
                  const std::string& arguments) {
  std::memset(&program, 0, sizeof program);
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                      0, nullptr, nullptr, &startup, &program.process))
    return false;
  const DWORD processId = program.process.dwProcessId;
  WaitUntil(
      [&] { return (program.dialog = FindDialogOf(processId)) != nullptr; },
      30000);
  if (program.dialog == nullptr) {
    KillProgram(program);
    return false;
  }
  return true;
}

long WaitForExit(RunningProgram& program, DWORD timeoutMs) {
  if (program.process.hProcess == nullptr) return -1;
  if (WaitForSingleObject(program.process.hProcess, timeoutMs) !=
      WAIT_OBJECT_0) {
    KillProgram(program);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(program.process.hProcess, &code);
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
  program.process.hProcess = nullptr;
  return static_cast<long>(code);
}

void KillProgram(RunningProgram& program) {
  if (program.process.hProcess == nullptr) return;
  TerminateProcess(program.process.hProcess, 99);
  WaitForSingleObject(program.process.hProcess, 10000);
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
  program.process.hProcess = nullptr;
}

HWND Control(const RunningProgram& program, int id) {
  return GetDlgItem(program.dialog, id);
}

std::string TextOf(HWND window) {
  char text[512] = {};
  // WM_GETTEXT is marshalled across processes; GetWindowText would not ask
  // another process's window for its text.
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

bool IsShown(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

HWND FocusOf(const RunningProgram& program) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(program.process.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

int SelectionOf(HWND list) {
  return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
}

bool Activate(const RunningProgram& program) {
  SetForegroundWindow(program.dialog);
  return WaitUntil([&] { return GetForegroundWindow() == program.dialog; });
}

void PressKey(WORD virtualKey, bool shift, bool alt) {
  if (shift) SendKey(VK_SHIFT, false);
  if (alt) SendKey(VK_MENU, false);
  SendKey(virtualKey, false);
  SendKey(virtualKey, true);
  if (alt) SendKey(VK_MENU, true);
  if (shift) SendKey(VK_SHIFT, true);
}

void TypeText(const char* text) {
  for (; *text != '\0'; ++text) {
    const SHORT scan = VkKeyScanA(*text);
    const WORD key = static_cast<WORD>(LOBYTE(scan));
    const bool shift = (HIBYTE(scan) & 1) != 0;
    PressKey(key, shift);
  }
}

bool TabTo(const RunningProgram& program, HWND expected, bool backwards) {
  PressKey(VK_TAB, backwards);
  return WaitUntil([&] { return FocusOf(program) == expected; });
}

void ClickAt(POINT screen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dx =
      static_cast<LONG>((screen.x * 65535LL + width / 2) / (width - 1));
  inputs[0].mi.dy =
      static_cast<LONG>((screen.y * 65535LL + height / 2) / (height - 1));
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1] = inputs[0];
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2] = inputs[0];
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, inputs, sizeof inputs[0]);
}

POINT CenterOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT CloseBoxOf(HWND dialog) {
  RECT rect = {};
  GetWindowRect(dialog, &rect);
  const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
  const int button = GetSystemMetrics(SM_CXSIZE);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  return {rect.right - frame - button / 2,
          rect.top + GetSystemMetrics(SM_CYFIXEDFRAME) + caption / 2};
}
