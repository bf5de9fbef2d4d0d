#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "estimate/estimate.h"

namespace {

struct FormulaCase {
  const char* name;
  Gender gender;
  int age;
  double weight;
  double feet;
  double inches;
  ActivityLevel lifestyle;
  double estimate;  // exact double of the last step
  const char* text;
};

// The worked examples: estimate written as the shortest decimal that
// reads back as the same double.
constexpr FormulaCase kWorkedExamples[] = {
    {"male_sedentary", GenderMale, 30, 150, 5, 10, ActivitySedentary, 2017.2,
     "2017"},
    {"female_moderate", GenderFemale, 25, 130, 5, 4, ActivityModerate, 1974.42,
     "1974"},
    {"decimal_arithmetic_would_give_2400", GenderMale, 44, 140, 6, 4,
     ActivityVery, 2399.9999999999995, "2399"},
    {"basal_times_1_4_would_give_2015", GenderFemale, 20, 125, 5, 10,
     ActivityModerate, 2016, "2016"},
    {"adding_655_first_would_give_1511", GenderFemale, 41, 114, 5, 3,
     ActivitySedentary, 1512, "1512"},
    {"negative_estimate", GenderMale, 99, 20, 1, 11, ActivitySedentary,
     -229.31999999999996, "-229"},
    {"truncation_toward_zero", GenderMale, 30, -150, 5, 10, ActivitySedentary,
     -214.8, "-214"},
    {"no_sign_on_zero", GenderMale, 48, 1, 1, 8, ActivitySedentary,
     -0.23999999999998636, "0"},
    {"small_positive", GenderMale, 46, 1, 1, 7, ActivitySedentary,
     0.8399999999999522, "0"},
    {"weight_1e9_wraps_low_32_bits", GenderMale, 30, 1e9, 5, 10,
     ActivitySedentary, 7440000901.2, "-1149933691"},
};

EstimateInputs InputsOf(const FormulaCase& c) {
  EstimateInputs inputs{};
  inputs.weightPounds = c.weight;
  inputs.heightFeet = c.feet;
  inputs.heightInches = c.inches;
  inputs.ageYears = c.age;
  inputs.isMale = c.gender == GenderMale ? 1 : 0;
  inputs.activityFactor = GetActivityFactor(c.lifestyle);
  return inputs;
}

}  // namespace

TEST(EstimateDailyCalories, WorkedExamplesComeOutExactly) {
  for (const FormulaCase& c : kWorkedExamples) {
    SCOPED_TRACE(c.name);
    const double estimate = EstimateDailyCalories(InputsOf(c));
    EXPECT_EQ(estimate, c.estimate);
    char text[kEstimateTextSize];
    FormatEstimate(estimate, text, sizeof text);
    EXPECT_STREQ(text, c.text);
  }
}

TEST(EstimateDailyCalories, AnyNonZeroIsMaleSelectsTheMaleFormula) {
  EstimateInputs inputs = InputsOf(kWorkedExamples[0]);
  for (const int isMale : {1, 2, 128, 255}) {
    inputs.isMale = static_cast<std::uint8_t>(isMale);
    EXPECT_EQ(EstimateDailyCalories(inputs), 2017.2) << isMale;
  }
  inputs.isMale = 0;
  EXPECT_NE(EstimateDailyCalories(inputs), 2017.2);
}

TEST(EstimateDailyCalories, OverflowAndInvalidFollowIeeeDefaults) {
  EstimateInputs inputs = InputsOf(kWorkedExamples[0]);
  constexpr double kInf = std::numeric_limits<double>::infinity();
  inputs.weightPounds = kInf;
  EXPECT_EQ(EstimateDailyCalories(inputs), kInf);
  inputs.weightPounds = -kInf;
  EXPECT_EQ(EstimateDailyCalories(inputs), -kInf);
  inputs.heightFeet = kInf;  // -inf + inf
  EXPECT_TRUE(std::isnan(EstimateDailyCalories(inputs)));
  inputs = InputsOf(kWorkedExamples[0]);
  inputs.weightPounds = 1.7e308;  // finite weight, product overflows
  EXPECT_EQ(EstimateDailyCalories(inputs), kInf);
}

TEST(Tables, LabelsAndFactorsInListOrder) {
  ASSERT_EQ(kGenderCount, 2);
  EXPECT_STREQ(kGenders[GenderMale].label, "Male");
  EXPECT_STREQ(kGenders[GenderFemale].label, "Female");
  ASSERT_EQ(kActivityLevelCount, 4);
  const char* const labels[] = {"Sedentary", "Light Activity",
                                "Moderate Activity", "Very Activity"};
  const double factors[] = {0.2, 0.3, 0.4, 0.5};
  for (int i = 0; i < kActivityLevelCount; ++i) {
    EXPECT_EQ(kActivityLevels[i].value, i);
    EXPECT_STREQ(kActivityLevels[i].label, labels[i]);
    EXPECT_EQ(GetActivityFactor(i), factors[i]);
  }
}

TEST(Tables, GenderSelectionOnlyZeroIsMale) {
  EXPECT_EQ(GetGenderFromSelection(0), GenderMale);
  for (const std::int32_t index : {1, -1, 2, INT32_MIN, INT32_MAX})
    EXPECT_EQ(GetGenderFromSelection(index), GenderFemale) << index;
}

TEST(Tables, ActivityIndexOutsideTheTableGivesTheSedentaryFactor) {
  for (const std::int32_t index : {-1, 4, 5, INT32_MIN, INT32_MAX})
    EXPECT_EQ(GetActivityFactor(index), 0.2) << index;
}
