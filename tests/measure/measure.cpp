// Start-up, round-trip and steady-state figures of the real exe under the
// platform it runs on (a report, not a test):
//   measure [runs]
// and, for the README's screenshot, the dialog after a calculation:
//   measure demo   (prints READY once the estimate shows, then waits until
//                   the dialog is closed)
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "window/resource.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Process start to dialog visible, in milliseconds.
double StartupTime(const std::string& exe) {
  RunningProgram program;
  LARGE_INTEGER start, shown;
  QueryPerformanceCounter(&start);
  if (!StartProgram(program, exe)) return -1;
  QueryPerformanceCounter(&shown);
  PostMessageA(program.dialog, WM_CLOSE, 0, 0);
  WaitForExit(program);
  return Milliseconds(start, shown);
}

struct Usage {
  SIZE_T workingSet;
  SIZE_T privateBytes;
  DWORD gdiObjects;
  DWORD userObjects;
  DWORD handles;
};

Usage UsageOf(HANDLE process) {
  Usage usage = {};
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  usage.workingSet = counters.WorkingSetSize;
  usage.privateBytes = counters.PagefileUsage;
  usage.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  usage.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  GetProcessHandleCount(process, &usage.handles);
  return usage;
}

void SetText(const RunningProgram& program, int id, const char* text) {
  SendMessageA(Control(program, id), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(text));
}

void Calculate(const RunningProgram& program) {
  SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
}

// Types a worked example as a user would and leaves the dialog open.
int RunDemo(const std::string& exe) {
  RunningProgram program;
  if (!StartProgram(program, exe) || !Activate(program)) return 1;
  const struct {
    int id;
    const char* text;
  } fields[] = {{IDC_AGE, "30"},
                {IDC_WEIGHT, "150"},
                {IDC_FEET, "5"},
                {IDC_INCHES, "10"}};
  for (const auto& field : fields) {
    const HWND control = Control(program, field.id);
    while (FocusOf(program) != control) {
      const HWND before = FocusOf(program);
      PressKey(VK_TAB);
      if (!WaitUntil([&] { return FocusOf(program) != before; })) return 1;
    }
    TypeText(field.text);
  }
  PressKey(VK_RETURN);
  if (!WaitUntil(
          [&] { return TextOf(Control(program, IDC_RESULT)) == "2017"; }))
    return 1;
  // Painted: no window of the dialog has anything left to draw.
  WaitUntil([&] {
    bool painted = !GetUpdateRect(program.dialog, nullptr, FALSE);
    for (HWND child = GetWindow(program.dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
      painted = painted && !GetUpdateRect(child, nullptr, FALSE);
    return painted;
  });
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(program.dialog, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer);
  std::printf("READY\n");
  std::fflush(stdout);
  return WaitForExit(program, 120000) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "demo") return RunDemo(ProgramPath());
  const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
  const std::string exe = ProgramPath();
  const std::string folder = exe.substr(0, exe.find_last_of("\\/") + 1);
  const std::string empty = folder + "EmptyDialog.exe";
  const std::string templateOnly = folder + "TemplateDialog.exe";

  // Interleave the three so that a slow phase of the machine hits them all.
  std::vector<double> program, baseline, controls;
  StartupTime(exe);  // warm the file cache and the Wine server
  StartupTime(empty);
  StartupTime(templateOnly);
  for (int i = 0; i < runs; ++i) {
    program.push_back(StartupTime(exe));
    baseline.push_back(StartupTime(empty));
    controls.push_back(StartupTime(templateOnly));
  }
  const double programMs = Median(program), baselineMs = Median(baseline);
  std::printf(
      "start-up to dialog shown, median of %d: %.1f ms; empty dialog "
      "%.1f ms; ratio %.3f\n",
      runs, programMs, baselineMs, programMs / baselineMs);
  std::printf(
      "  the same template in the empty program: %.1f ms (the "
      "controls' share)\n",
      Median(controls));

  RunningProgram calculator;
  if (!StartProgram(calculator, exe)) {
    std::printf("the program did not start\n");
    return 1;
  }
  SetText(calculator, IDC_AGE, "30");
  SetText(calculator, IDC_WEIGHT, "150");
  SetText(calculator, IDC_FEET, "5");
  SetText(calculator, IDC_INCHES, "10");
  std::vector<double> trips;
  for (int i = 0; i < 1000; ++i) {
    LARGE_INTEGER sent, read;
    QueryPerformanceCounter(&sent);
    Calculate(calculator);
    const std::string result = TextOf(Control(calculator, IDC_RESULT));
    QueryPerformanceCounter(&read);
    if (result != "2017") std::printf("unexpected result %s\n", result.c_str());
    trips.push_back(Milliseconds(sent, read));
  }
  std::printf(
      "Calculate round trip (command sent to result read back), "
      "median of 1000: %.3f ms\n",
      Median(trips));

  // Alternate success and failure so both paths run 5,000 times each.
  const Usage before = UsageOf(calculator.process.hProcess);
  for (int i = 0; i < 10000; ++i) {
    SetText(calculator, IDC_AGE, i % 2 == 0 ? "30" : "");
    Calculate(calculator);
  }
  const Usage after = UsageOf(calculator.process.hProcess);
  std::printf(
      "10,000 calculations: working set %lu -> %lu KiB, private %lu -> "
      "%lu KiB, GDI objects %lu -> %lu, USER objects %lu -> %lu, "
      "handles %lu -> %lu\n",
      static_cast<unsigned long>(before.workingSet / 1024),
      static_cast<unsigned long>(after.workingSet / 1024),
      static_cast<unsigned long>(before.privateBytes / 1024),
      static_cast<unsigned long>(after.privateBytes / 1024), before.gdiObjects,
      after.gdiObjects, before.userObjects, after.userObjects, before.handles,
      after.handles);
  PostMessageA(calculator.dialog, WM_CLOSE, 0, 0);
  std::printf("exit code after closing: %ld\n", WaitForExit(calculator));
  return 0;
}
