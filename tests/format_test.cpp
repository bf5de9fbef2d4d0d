#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "estimate/estimate.h"

namespace {

struct FormatCase {
  const char* name;
  double estimate;
  const char* text;
};

constexpr double kInf = std::numeric_limits<double>::infinity();

constexpr FormatCase kFormatCases[] = {
    {"truncates_down", 2017.9, "2017"},
    {"truncates_negative_toward_zero", -214.8, "-214"},
    {"small_positive", 0.84, "0"},
    {"small_negative_has_no_sign", -0.24, "0"},
    {"negative_zero", -0.0, "0"},
    {"just_below_one", 0.99999999999999989, "0"},
    {"just_above_minus_one", -0.99999999999999989, "0"},
    {"minus_one", -1.0, "-1"},
    {"int32_max", 2147483647.0, "2147483647"},
    {"int32_min", -2147483648.0, "-2147483648"},
    {"int32_max_plus_one_wraps", 2147483648.0, "-2147483648"},
    {"int32_min_minus_one_wraps", -2147483649.0, "2147483647"},
    {"two_to_32_wraps_to_zero", 4294967296.0, "0"},
    {"estimate_for_1e9_pounds", 7440000901.2, "-1149933691"},
    {"largest_below_2_to_63", 9223372036854774784.0, "-1024"},
    {"minus_2_to_63_is_in_range", -9223372036854775808.0, "0"},
    {"2_to_63_is_out_of_range", 9223372036854775808.0, "0"},
    {"below_minus_2_to_63", -9223372036854777856.0, "0"},
    {"largest_double", std::numeric_limits<double>::max(), "0"},
    {"infinity", kInf, "0"},
    {"minus_infinity", -kInf, "0"},
    {"nan", std::numeric_limits<double>::quiet_NaN(), "0"},
    {"negative_nan", -std::numeric_limits<double>::quiet_NaN(), "0"},
};

}  // namespace

TEST(FormatEstimate, TruncatesAndWritesDecimal) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(c.name);
    char text[kEstimateTextSize];
    std::memset(text, 'x', sizeof text);
    const std::size_t length = FormatEstimate(c.estimate, text, sizeof text);
    EXPECT_STREQ(text, c.text);
    EXPECT_EQ(length, std::strlen(c.text));
  }
}

TEST(FormatEstimate, ShortBufferIsTruncatedAndTerminated) {
  char text[4];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(FormatEstimate(-2147483648.0, text, sizeof text), 3u);
  EXPECT_STREQ(text, "-21");
  char one[1] = {'x'};
  EXPECT_EQ(FormatEstimate(5.0, one, 1), 0u);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(FormatEstimate(5.0, nullptr, 0), 0u);
}
