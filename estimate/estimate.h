// The calorie estimate: formula, tables, the two text-to-number rules and
// the form request that ties them to the dialog's controls.
//
// Contract for everything here: no heap, no exceptions, no platform header,
// no global state beyond constant tables. Every double operation is one IEEE
// 754 double operation rounded to nearest-even, in the order written (build
// with -ffp-contract=off, and SSE2 doubles on 32-bit x86).
//
// The text rules use fixed character classes, independent of locale and code
// page: white space is tab, LF, VT, FF, CR and space; digits are '0'..'9';
// the decimal point is '.'. A text that does not begin with a number gives 0;
// the rules themselves never fail.
#ifndef CALORIES_ESTIMATE_ESTIMATE_H
#define CALORIES_ESTIMATE_ESTIMATE_H

#include <cstddef>
#include <cstdint>

#include "window/controls.h"

enum Gender : std::int32_t {
  GenderMale = 0,
  GenderFemale = 1,
};

enum ActivityLevel : std::int32_t {
  ActivitySedentary = 0,
  ActivityLight = 1,
  ActivityModerate = 2,
  ActivityVery = 3,
};

struct GenderRow {
  Gender value;
  const char* label;
};

struct ActivityLevelRow {
  ActivityLevel value;
  const char* label;
  double factor;
};

// In list order: a list index is the table value.
constexpr GenderRow kGenders[] = {
    {GenderMale, "Male"},
    {GenderFemale, "Female"},
};
constexpr ActivityLevelRow kActivityLevels[] = {
    {ActivitySedentary, "Sedentary", 0.2},
    {ActivityLight, "Light Activity", 0.3},
    {ActivityModerate, "Moderate Activity", 0.4},
    {ActivityVery, "Very Activity", 0.5},
};
constexpr int kGenderCount = sizeof kGenders / sizeof kGenders[0];
constexpr int kActivityLevelCount =
    sizeof kActivityLevels / sizeof kActivityLevels[0];

struct EstimateInputs {
  double weightPounds;
  double heightFeet;
  double heightInches;
  std::int32_t ageYears;
  std::uint8_t isMale;  // non-zero: male formula
  double activityFactor;
};

// 0 is GenderMale; every other index, -1 (nothing selected) included, is
// GenderFemale.
Gender GetGenderFromSelection(std::int32_t selectedIndex);

// 0..3 give 0.2, 0.3, 0.4, 0.5. Any other index (the list never reports
// one) gives the Sedentary factor 0.2, the list's opening selection, so the
// lookup can never read outside the table.
double GetActivityFactor(std::int32_t selectedIndex);

// ((w * k_w + (feet * 12 + inches) * k_h) - age * k_a) + c, then
// basal + factor * basal, each step rounded to double. Never fails; zero,
// negative and huge inputs go through the same steps (infinities and NaN
// follow IEEE defaults).
double EstimateDailyCalories(const EstimateInputs& inputs);

// Longest estimate text plus its terminator: "-2147483648".
constexpr std::size_t kEstimateTextSize = 12;

// Writes the estimate truncated toward zero, in decimal: "2017" for 2017.9,
// "-214" for -214.8, "0" for -0.24 (never "-0"). A truncation outside the
// 32-bit range keeps the low 32 bits of its 64-bit value, read as signed
// (7440000901.2 gives "-1149933691"); beyond the 64-bit range, and for
// infinities and NaN, the text is "0". Writes at most capacity - 1
// characters plus the terminator (nothing when capacity is 0) and returns
// the length written; kEstimateTextSize always holds the whole text.
std::size_t FormatEstimate(double estimate, char* text, std::size_t capacity);

// White space, one optional sign directly followed by digits, the digits
// read up to the first non-digit. Wraps modulo 2^32: "4294967297" gives 1,
// "-2147483648" gives INT32_MIN. "7y" and "7.9" give 7; "- 5", "+-5", "x5"
// and "" give 0.
std::int32_t ParseLeadingInteger(const char* text);

// The longest leading number after white space: [sign] mantissa [exponent],
// mantissa "5", "5.", "5.25" or ".5"; exponent 'e', 'E', 'd' or 'D', an
// optional sign and at least one digit. Examples:
//   "1d3" and "1D+3" give 1000;
//   "1e", "1e+" and "1 e3" give 1 (a letter without digits is no exponent);
//   "1,5" and "1-2" give 1; "5'11" gives 5;
//   "inf", "nan", "0x10", ".", "-" give 0 (no words, no hex);
//   "1e999" gives +infinity, "-1e999" -infinity;
//   "1e-310" and "2e-308" give 0: a magnitude that, rounded to 53
//   significant bits with an unbounded exponent, lies below 2^-1022 gives
//   (signed) zero, never a subnormal.
// Otherwise the correctly rounded double (ties to even). Never NaN.
double ParseLeadingReal(const char* text);

// The four field messages, shown exactly as written.
constexpr const char* kAgeInvalidMessage = "Parameter 'Age' is invalid";
constexpr const char* kWeightInvalidMessage = "Parameter 'Weight' is invalid";
constexpr const char* kFeetInvalidMessage = "Parameter 'Feet' is invalid";
constexpr const char* kInchesInvalidMessage = "Parameter 'Inches' is invalid";

// One Calculate request: reads Age, Weight, feet and inches in that order
// and stops at the first value equal to zero with that field's message;
// only when all four pass reads the two lists, computes, shows the text in
// the result box, empties the message and hides the icon.
void CalculateFromForm(WindowHandle dialog);

// Sets the message line to the message and shows the warning icon; the
// result box is left as it is.
void ShowInputError(WindowHandle dialog, const char* message);

#endif
