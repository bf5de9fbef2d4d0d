#include <cstring>

#include "estimate/estimate.h"
#include "window/resource.h"

namespace {

// The size every field is read with: 259 characters and the terminator.
constexpr int kTextBufferSize = 260;

void ReadField(WindowHandle dialog, int controlId, char* buffer) {
  ReadWindowText(GetDialogControl(dialog, controlId), buffer, kTextBufferSize);
}

std::int32_t GetListSelection(WindowHandle dialog, int controlId) {
  const std::intptr_t selected = SendWindowMessage(
      GetDialogControl(dialog, controlId), kComboGetCurSel, 0, 0);
  // A combo box index always fits; anything else counts as no selection.
  if (selected < INT32_MIN || selected > INT32_MAX)
    return static_cast<std::int32_t>(kComboError);
  return static_cast<std::int32_t>(selected);
}

}  // namespace

void ShowInputError(WindowHandle dialog, const char* message) {
  WriteWindowText(GetDialogControl(dialog, IDC_ERROR_TEXT), message);
  ShowControl(GetDialogControl(dialog, IDC_ERROR_ICON), kShowShow);
}

void CalculateFromForm(WindowHandle dialog) {
  char buffer[kTextBufferSize];
  std::memset(buffer, 0, sizeof buffer);

  EstimateInputs inputs{};
  ReadField(dialog, IDC_AGE, buffer);
  inputs.ageYears = ParseLeadingInteger(buffer);
  if (inputs.ageYears == 0) {
    ShowInputError(dialog, kAgeInvalidMessage);
    return;
  }
  // Both +0 and -0 compare equal to zero and fail.
  ReadField(dialog, IDC_WEIGHT, buffer);
  inputs.weightPounds = ParseLeadingReal(buffer);
  if (inputs.weightPounds == 0.0) {
    ShowInputError(dialog, kWeightInvalidMessage);
    return;
  }
  ReadField(dialog, IDC_FEET, buffer);
  inputs.heightFeet = ParseLeadingReal(buffer);
  if (inputs.heightFeet == 0.0) {
    ShowInputError(dialog, kFeetInvalidMessage);
    return;
  }
  ReadField(dialog, IDC_INCHES, buffer);
  inputs.heightInches = ParseLeadingReal(buffer);
  if (inputs.heightInches == 0.0) {
    ShowInputError(dialog, kInchesInvalidMessage);
    return;
  }

  const Gender gender =
      GetGenderFromSelection(GetListSelection(dialog, IDC_GENDER));
  inputs.isMale = gender == GenderMale ? 1 : 0;
  inputs.activityFactor =
      GetActivityFactor(GetListSelection(dialog, IDC_LIFESTYLE));

  FormatEstimate(EstimateDailyCalories(inputs), buffer, sizeof buffer);
  WriteWindowText(GetDialogControl(dialog, IDC_RESULT), buffer);
  WriteWindowText(GetDialogControl(dialog, IDC_ERROR_TEXT), "");
  ShowControl(GetDialogControl(dialog, IDC_ERROR_ICON), kShowHide);
}
