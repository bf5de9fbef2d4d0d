#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "estimate/estimate.h"
#include "tests/support/controls_standin.h"
#include "window/resource.h"

namespace {

struct FormFields {
  const char* age;
  const char* weight;
  const char* feet;
  const char* inches;
};

class CalculateFromFormTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetStandinDialog(dialog_); }

  void Fill(const FormFields& fields) {
    SetStandinText(dialog_, IDC_AGE, fields.age);
    SetStandinText(dialog_, IDC_WEIGHT, fields.weight);
    SetStandinText(dialog_, IDC_FEET, fields.feet);
    SetStandinText(dialog_, IDC_INCHES, fields.inches);
  }

  void Calculate() {
    ClearStandinCalls(dialog_);
    CalculateFromForm(&dialog_.window);
  }

  const char* Text(int id) { return FindStandinControl(dialog_, id)->text; }
  bool IconShown() {
    return FindStandinControl(dialog_, IDC_ERROR_ICON)->visible;
  }

  // The identifiers of the controls whose text was read, in order.
  std::string ReadOrder() {
    std::string order;
    for (int i = 0; i < dialog_.callCount && i < kStandinMaxCalls; ++i) {
      const StandinCall& call = dialog_.calls[i];
      if (call.kind != CallReadWindowText) continue;
      EXPECT_EQ(call.argument, 260);
      order += std::to_string(call.controlId) + " ";
    }
    return order;
  }

  int ListQueries() {
    int count = 0;
    for (int i = 0; i < dialog_.callCount && i < kStandinMaxCalls; ++i)
      if (dialog_.calls[i].kind == CallSendWindowMessage) ++count;
    return count;
  }

  StandinDialog dialog_;
};

struct FailureCase {
  const char* name;
  FormFields fields;
  const char* message;
  const char* readOrder;
};

constexpr FailureCase kFailures[] = {
    {"age_zero", {"0", "150", "5", "10"}, kAgeInvalidMessage, "1002 "},
    {"age_double_zero", {"00", "150", "5", "10"}, kAgeInvalidMessage, "1002 "},
    {"age_negative_zero",
     {"-0", "150", "5", "10"},
     kAgeInvalidMessage,
     "1002 "},
    {"age_fraction", {"0.5", "150", "5", "10"}, kAgeInvalidMessage, "1002 "},
    {"age_letter_first", {"x5", "150", "5", "10"}, kAgeInvalidMessage, "1002 "},
    {"age_empty", {"", "150", "5", "10"}, kAgeInvalidMessage, "1002 "},
    {"age_and_weight_zero", {"0", "0", "0", "0"}, kAgeInvalidMessage, "1002 "},
    {"weight_zero",
     {"30", "0", "5", "10"},
     kWeightInvalidMessage,
     "1002 1003 "},
    {"weight_zero_point",
     {"30", "0.0", "5", "10"},
     kWeightInvalidMessage,
     "1002 1003 "},
    {"weight_word",
     {"30", "abc", "5", "10"},
     kWeightInvalidMessage,
     "1002 1003 "},
    {"weight_inf_word",
     {"30", "inf", "5", "10"},
     kWeightInvalidMessage,
     "1002 1003 "},
    {"weight_empty",
     {"30", "", "5", "10"},
     kWeightInvalidMessage,
     "1002 1003 "},
    {"weight_negative_zero",
     {"30", "-0", "5", "10"},
     kWeightInvalidMessage,
     "1002 1003 "},
    {"feet_empty",
     {"30", "150", "", "10"},
     kFeetInvalidMessage,
     "1002 1003 1004 "},
    {"inches_zero",
     {"30", "150", "6", "0"},
     kInchesInvalidMessage,
     "1002 1003 1004 1005 "},
    {"inches_zero_point",
     {"30", "150", "6", "0.0"},
     kInchesInvalidMessage,
     "1002 1003 1004 1005 "},
    {"inches_empty",
     {"30", "150", "6", ""},
     kInchesInvalidMessage,
     "1002 1003 1004 1005 "},
    {"inches_subnormal",
     {"30", "150", "5", "1e-310"},
     kInchesInvalidMessage,
     "1002 1003 1004 1005 "},
};

struct SuccessCase {
  const char* name;
  FormFields fields;
  int gender;
  int lifestyle;
  const char* text;
};

constexpr SuccessCase kSuccesses[] = {
    {"worked_example", {"30", "150", "5", "10"}, 0, 0, "2017"},
    {"female_moderate", {"25", "130", "5", "4"}, 1, 2, "1974"},
    {"very_activity", {"44", "140", "6", "4"}, 0, 3, "2399"},
    {"six_feet_as_five_and_twelve", {"30", "150", "5", "12"}, 0, 0, "2047"},
    {"negative_age", {"-5", "150", "5", "10"}, 0, 0, "2302"},
    {"negative_weight", {"30", "-150", "5", "10"}, 0, 0, "-214"},
    {"text_after_numbers", {"30y", "150 lb", "5'11", "10\""}, 0, 0, "2017"},
    {"d_exponent", {"30", "1.5d2", "5", "10"}, 0, 0, "2017"},
    {"inches_just_normal", {"30", "150", "5", "3e-308"}, 0, 0, "1864"},
    {"infinite_weight", {"30", "1e999", "5", "10"}, 0, 0, "0"},
    {"huge_weight_wraps", {"30", "1e9", "5", "10"}, 0, 0, "-1149933691"},
    {"no_gender_selected_is_female", {"25", "130", "5", "4"}, -1, 2, "1974"},
};

}  // namespace

TEST_F(CalculateFromFormTest, FirstZeroFieldIsReportedAndNothingAfterIsRead) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.name);
    ResetStandinDialog(dialog_);
    SetStandinText(dialog_, IDC_RESULT, "1234");
    Fill(c.fields);
    Calculate();
    EXPECT_STREQ(Text(IDC_ERROR_TEXT), c.message);
    EXPECT_TRUE(IconShown());
    EXPECT_STREQ(Text(IDC_RESULT), "1234");
    EXPECT_EQ(ReadOrder(), c.readOrder);
    EXPECT_EQ(ListQueries(), 0);
    // The message is written, then the icon shown, each after its lookup.
    ASSERT_GE(dialog_.callCount, 2);
    const StandinCall& write = dialog_.calls[dialog_.callCount - 3];
    const StandinCall& show = dialog_.calls[dialog_.callCount - 1];
    EXPECT_EQ(write.kind, CallWriteWindowText);
    EXPECT_EQ(write.controlId, IDC_ERROR_TEXT);
    EXPECT_EQ(show.kind, CallShowControl);
    EXPECT_EQ(show.controlId, IDC_ERROR_ICON);
    EXPECT_EQ(show.argument, kShowShow);
  }
}

TEST_F(CalculateFromFormTest, AllFieldsPassingShowTheEstimate) {
  for (const SuccessCase& c : kSuccesses) {
    SCOPED_TRACE(c.name);
    ResetStandinDialog(dialog_);
    SetStandinText(dialog_, IDC_ERROR_TEXT, "old message");
    FindStandinControl(dialog_, IDC_ERROR_ICON)->visible = true;
    Fill(c.fields);
    SetStandinSelection(dialog_, IDC_GENDER, c.gender);
    SetStandinSelection(dialog_, IDC_LIFESTYLE, c.lifestyle);
    Calculate();
    EXPECT_STREQ(Text(IDC_RESULT), c.text);
    EXPECT_STREQ(Text(IDC_ERROR_TEXT), "");
    EXPECT_FALSE(IconShown());
    EXPECT_EQ(ReadOrder(), "1002 1003 1004 1005 ");
  }
}

TEST_F(CalculateFromFormTest, CallsOfASuccessfulRequestInOrder) {
  Fill({"30", "150", "5", "10"});
  Calculate();
  struct Expected {
    StandinCallKind kind;
    int controlId;
    int argument;
  };
  const Expected expected[] = {
      {CallGetDialogControl, 0, IDC_AGE},
      {CallReadWindowText, IDC_AGE, 260},
      {CallGetDialogControl, 0, IDC_WEIGHT},
      {CallReadWindowText, IDC_WEIGHT, 260},
      {CallGetDialogControl, 0, IDC_FEET},
      {CallReadWindowText, IDC_FEET, 260},
      {CallGetDialogControl, 0, IDC_INCHES},
      {CallReadWindowText, IDC_INCHES, 260},
      {CallGetDialogControl, 0, IDC_GENDER},
      {CallSendWindowMessage, IDC_GENDER, 0},
      {CallGetDialogControl, 0, IDC_LIFESTYLE},
      {CallSendWindowMessage, IDC_LIFESTYLE, 0},
      {CallGetDialogControl, 0, IDC_RESULT},
      {CallWriteWindowText, IDC_RESULT, 0},
      {CallGetDialogControl, 0, IDC_ERROR_TEXT},
      {CallWriteWindowText, IDC_ERROR_TEXT, 0},
      {CallGetDialogControl, 0, IDC_ERROR_ICON},
      {CallShowControl, IDC_ERROR_ICON, kShowHide},
  };
  const int count = static_cast<int>(sizeof expected / sizeof expected[0]);
  ASSERT_EQ(dialog_.callCount, count);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    const StandinCall& call = dialog_.calls[i];
    EXPECT_EQ(call.kind, expected[i].kind);
    EXPECT_EQ(call.controlId, expected[i].controlId);
    if (call.kind == CallSendWindowMessage) {
      EXPECT_EQ(call.message, kComboGetCurSel);
      EXPECT_EQ(call.wParam, 0u);
      EXPECT_EQ(call.lParam, 0);
    } else {
      EXPECT_EQ(call.argument, expected[i].argument);
    }
  }
  EXPECT_STREQ(dialog_.calls[13].text, "2017");
  EXPECT_STREQ(dialog_.calls[15].text, "");
}

TEST_F(CalculateFromFormTest,
       FailureKeepsTheEstimateAndSuccessClearsTheMessage) {
  Fill({"30", "150", "5", "10"});
  Calculate();
  EXPECT_STREQ(Text(IDC_RESULT), "2017");
  EXPECT_FALSE(IconShown());

  SetStandinText(dialog_, IDC_AGE, "");
  Calculate();
  EXPECT_STREQ(Text(IDC_RESULT), "2017");
  EXPECT_STREQ(Text(IDC_ERROR_TEXT), kAgeInvalidMessage);
  EXPECT_TRUE(IconShown());

  SetStandinText(dialog_, IDC_AGE, "25");
  SetStandinSelection(dialog_, IDC_GENDER, 1);
  SetStandinSelection(dialog_, IDC_LIFESTYLE, 2);
  SetStandinText(dialog_, IDC_WEIGHT, "130");
  SetStandinText(dialog_, IDC_INCHES, "4");
  Calculate();
  EXPECT_STREQ(Text(IDC_RESULT), "1974");
  EXPECT_STREQ(Text(IDC_ERROR_TEXT), "");
  EXPECT_FALSE(IconShown());
}

TEST_F(CalculateFromFormTest, FailureBeforeAnyEstimateLeavesTheResultEmpty) {
  Fill({"30", "150", "0", "10"});
  Calculate();
  EXPECT_STREQ(Text(IDC_RESULT), "");
  EXPECT_STREQ(Text(IDC_ERROR_TEXT), kFeetInvalidMessage);
  EXPECT_TRUE(IconShown());
}

TEST_F(CalculateFromFormTest, ReadsAtMost259CharactersOfAField) {
  // 259 characters reach the rule; the 260th would have made it 10x larger.
  std::string weight = "1";
  weight += std::string(258, '0');
  const std::string cut = weight;
  weight += "0";
  Fill({"30", weight.c_str(), "5", "10"});
  EXPECT_EQ(ParseLeadingReal(cut.c_str()), 1e258);
  Calculate();
  // 1e258 pounds is far beyond the 64-bit range: "0".
  EXPECT_STREQ(Text(IDC_RESULT), "0");
  std::string age(300, ' ');
  age += "30";
  Fill({age.c_str(), "150", "5", "10"});
  Calculate();
  EXPECT_STREQ(Text(IDC_ERROR_TEXT), kAgeInvalidMessage);
}

TEST_F(CalculateFromFormTest, ActivityOutsideTheListCountsAsSedentary) {
  Fill({"30", "150", "5", "10"});
  for (const int index : {-1, 4, 1000}) {
    SetStandinSelection(dialog_, IDC_LIFESTYLE, index);
    Calculate();
    EXPECT_STREQ(Text(IDC_RESULT), "2017") << index;
  }
}

TEST_F(CalculateFromFormTest, ShowInputErrorLeavesTheResultBoxAlone) {
  SetStandinText(dialog_, IDC_RESULT, "2017");
  ClearStandinCalls(dialog_);
  ShowInputError(&dialog_.window, kWeightInvalidMessage);
  EXPECT_STREQ(Text(IDC_RESULT), "2017");
  EXPECT_STREQ(Text(IDC_ERROR_TEXT), kWeightInvalidMessage);
  EXPECT_TRUE(IconShown());
  ASSERT_EQ(dialog_.callCount, 4);
  EXPECT_EQ(dialog_.calls[1].kind, CallWriteWindowText);
  EXPECT_EQ(dialog_.calls[3].kind, CallShowControl);
}
