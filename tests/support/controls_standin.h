// A stand-in for the user32 side of the controls layer: a model of the
// calculator dialog's controls (texts, list entries and selection,
// visibility, text limits, icons) that records every call the form logic
// makes. It allocates nothing, so heap counts around a request see only the
// code under test.
#ifndef CALORIES_TESTS_STANDIN_CONTROLS_H
#define CALORIES_TESTS_STANDIN_CONTROLS_H

#include <cstdint>

#include "window/controls.h"

constexpr int kStandinTextCapacity = 2048;
constexpr int kStandinMaxItems = 8;
constexpr int kStandinItemCapacity = 64;
constexpr int kStandinMaxCalls = 64;
constexpr int kStandinCallTextCapacity = 300;

struct StandinDialog;

// A window of the model: the dialog itself or one of its controls.
struct HWND__ {
  StandinDialog* owner;
  int controlId;  // 0 for the dialog
  char text[kStandinTextCapacity];
  bool visible;
  int textLimit;  // 0: the platform's default
  char items[kStandinMaxItems][kStandinItemCapacity];
  int itemCount;
  int selection;  // -1: nothing selected
  std::intptr_t icon;
};

enum StandinCallKind {
  CallGetDialogControl,
  CallReadWindowText,
  CallWriteWindowText,
  CallShowControl,
  CallSendWindowMessage,
};

struct StandinCall {
  StandinCallKind kind;
  int controlId;  // of the window the call was made on (0: the dialog)
  int argument;   // requested id, read count or show command
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  char text[kStandinCallTextCapacity];  // text written
};

constexpr int kStandinControlCount = 9;

struct StandinDialog {
  HWND__ window;
  HWND__ controls[kStandinControlCount];
  StandinCall calls[kStandinMaxCalls];
  int callCount;  // may exceed kStandinMaxCalls; only the first are kept
};

// Lays out the calculator's controls as the dialog has them after opening:
// both lists filled and at index 0, every text empty, the icon hidden.
void ResetStandinDialog(StandinDialog& dialog);

// The control with that identifier, or null.
HWND__* FindStandinControl(StandinDialog& dialog, int controlId);

// Test-side edits, not recorded as calls.
void SetStandinText(StandinDialog& dialog, int controlId, const char* text);
void SetStandinSelection(StandinDialog& dialog, int controlId, int index);
void ClearStandinCalls(StandinDialog& dialog);

#endif
