#include "tests/support/controls_standin.h"

#include <cstring>

#include "estimate/estimate.h"
#include "window/resource.h"

namespace {

constexpr int kControlIds[kStandinControlCount] = {
    IDC_GENDER,    IDC_AGE,    IDC_WEIGHT,     IDC_FEET,      IDC_INCHES,
    IDC_LIFESTYLE, IDC_RESULT, IDC_ERROR_ICON, IDC_ERROR_TEXT};

void CopyText(char* target, int capacity, const char* text) {
  int i = 0;
  for (; text[i] != '\0' && i + 1 < capacity; ++i) target[i] = text[i];
  target[i] = '\0';
}

StandinCall* Record(WindowHandle window, StandinCallKind kind) {
  StandinDialog& dialog = *window->owner;
  const int index = dialog.callCount++;
  if (index >= kStandinMaxCalls) return nullptr;
  StandinCall& call = dialog.calls[index];
  std::memset(&call, 0, sizeof call);
  call.kind = kind;
  call.controlId = window->controlId;
  return &call;
}

void AddItem(HWND__& list, const char* label) {
  if (list.itemCount >= kStandinMaxItems) return;
  CopyText(list.items[list.itemCount++], kStandinItemCapacity, label);
}

}  // namespace

void ResetStandinDialog(StandinDialog& dialog) {
  std::memset(&dialog, 0, sizeof dialog);
  dialog.window.owner = &dialog;
  dialog.window.visible = true;
  dialog.window.selection = -1;
  for (int i = 0; i < kStandinControlCount; ++i) {
    HWND__& control = dialog.controls[i];
    control.owner = &dialog;
    control.controlId = kControlIds[i];
    control.visible = kControlIds[i] != IDC_ERROR_ICON;
    control.selection = -1;
  }
  HWND__& gender = *FindStandinControl(dialog, IDC_GENDER);
  for (const GenderRow& row : kGenders) AddItem(gender, row.label);
  gender.selection = 0;
  HWND__& lifestyle = *FindStandinControl(dialog, IDC_LIFESTYLE);
  for (const ActivityLevelRow& row : kActivityLevels)
    AddItem(lifestyle, row.label);
  lifestyle.selection = 0;
}

HWND__* FindStandinControl(StandinDialog& dialog, int controlId) {
  for (HWND__& control : dialog.controls)
    if (control.controlId == controlId) return &control;
  return nullptr;
}

void SetStandinText(StandinDialog& dialog, int controlId, const char* text) {
  HWND__* control = FindStandinControl(dialog, controlId);
  if (control != nullptr) CopyText(control->text, kStandinTextCapacity, text);
}

void SetStandinSelection(StandinDialog& dialog, int controlId, int index) {
  HWND__* control = FindStandinControl(dialog, controlId);
  if (control != nullptr) control->selection = index;
}

void ClearStandinCalls(StandinDialog& dialog) { dialog.callCount = 0; }

// The controls layer, as the stand-in implements it.

WindowHandle GetDialogControl(WindowHandle dialog, int controlId) {
  if (dialog == nullptr) return nullptr;
  if (StandinCall* call = Record(dialog, CallGetDialogControl))
    call->argument = controlId;
  if (dialog != &dialog->owner->window) return nullptr;
  return FindStandinControl(*dialog->owner, controlId);
}

void ReadWindowText(WindowHandle window, char* buffer, int count) {
  if (window == nullptr) return;
  if (StandinCall* call = Record(window, CallReadWindowText))
    call->argument = count;
  if (count <= 0) return;
  CopyText(buffer, count, window->text);
}

void WriteWindowText(WindowHandle window, const char* text) {
  if (window == nullptr) return;
  if (StandinCall* call = Record(window, CallWriteWindowText))
    CopyText(call->text, kStandinCallTextCapacity, text);
  CopyText(window->text, kStandinTextCapacity, text);
}

void ShowControl(WindowHandle window, int showCommand) {
  if (window == nullptr) return;
  if (StandinCall* call = Record(window, CallShowControl))
    call->argument = showCommand;
  window->visible = showCommand != kShowHide;
}

std::intptr_t SendWindowMessage(WindowHandle window, unsigned message,
                                std::uintptr_t wParam, std::intptr_t lParam) {
  if (window == nullptr) return 0;
  if (StandinCall* call = Record(window, CallSendWindowMessage)) {
    call->message = message;
    call->wParam = wParam;
    call->lParam = lParam;
  }
  switch (message) {
    case kComboAddString:
      if (window->itemCount >= kStandinMaxItems) return kComboError;
      AddItem(*window, reinterpret_cast<const char*>(lParam));
      return window->itemCount - 1;
    case kComboSetCurSel:
      if (wParam >= static_cast<std::uintptr_t>(window->itemCount)) {
        window->selection = -1;
        return kComboError;
      }
      window->selection = static_cast<int>(wParam);
      return window->selection;
    case kComboGetCurSel:
      return window->selection < 0 ? kComboError : window->selection;
    case kEditLimitText:
      window->textLimit = static_cast<int>(wParam);
      return 0;
    case kMessageSetIcon:
    case kStaticSetIcon: {
      const std::intptr_t previous = window->icon;
      window->icon = message == kMessageSetIcon
                         ? lParam
                         : static_cast<std::intptr_t>(wParam);
      return previous;
    }
    default:
      return 0;
  }
}
