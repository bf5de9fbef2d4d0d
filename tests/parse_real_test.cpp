#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "estimate/estimate.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kLeastNormal = std::numeric_limits<double>::min();

struct RealCase {
  const char* name;
  const char* text;
  double value;
};

constexpr RealCase kRealCases[] = {
    {"empty", "", 0},
    {"zero", "0", 0},
    {"zero_point_zero", "0.0", 0},
    {"lone_point", ".", 0},
    {"lone_sign", "-", 0},
    {"sign_and_point", "+.", 0},
    {"sign_then_space", "- 5", 0},
    {"word", "abc", 0},
    {"inf_is_no_number", "inf", 0},
    {"infinity_is_no_number", "infinity", 0},
    {"nan_is_no_number", "nan", 0},
    {"hex_is_no_number", "0x10", 0},
    {"zero_with_large_exponent", "0e99", 0},
    {"only_space", " \t ", 0},
    {"comma_is_no_point", ",5", 0},
    {"e_exponent", "1e3", 1000},
    {"capital_e_exponent", "1E3", 1000},
    {"d_exponent", "1d3", 1000},
    {"capital_d_with_sign", "1D+3", 1000},
    {"plain", "1000", 1000},
    {"signed_padded_exponent", "1e+03", 1000},
    {"d_negative_exponent", "25d-1", 2.5},
    {"exponent_letter_alone", "1e", 1},
    {"exponent_plus_alone", "1e+", 1},
    {"exponent_minus_alone", "1e-", 1},
    {"space_before_exponent", "1 e3", 1},
    {"d_letter_alone", "7d", 7},
    {"exponent_then_letter", "1ex", 1},
    {"comma_ends_number", "1,5", 1},
    {"minus_ends_number", "1-2", 1},
    {"double_exponent", "1e2e3", 100},
    {"unit_after", "2.5kg", 2.5},
    {"leading_space", " 70", 70},
    {"leading_tab", "\t70", 70},
    {"every_white_space", "\t\n\v\f\r 70", 70},
    {"trailing_unit", "70 lb", 70},
    {"point_first", ".5", 0.5},
    {"zero_point", "0.5", 0.5},
    {"negative_exponent", "5e-1", 0.5},
    {"trailing_point", "5.", 5},
    {"trailing_point_exponent", "5.e1", 50},
    {"feet_and_inches", "5'11", 5},
    {"two_points", "1.2.3", 1.2},
    {"negative", "-150", -150},
    {"plus", "+150", 150},
    {"leading_zeros", "000150.2500", 150.25},
    {"non_breaking_space_is_not_space",
     "\xA0"
     "7",
     0},
    {"high_byte_ends_number", "7\xB2", 7},
    {"overflow", "1e999", kInf},
    {"negative_overflow", "-1e999", -kInf},
    {"largest_double", "1.7976931348623157e308", 1.7976931348623157e308},
    {"rounds_to_largest", "1.7976931348623158e308", 1.7976931348623157e308},
    {"rounds_to_2_to_1024", "1.7976931348623159e308", kInf},
    {"d_overflow", "1d309", kInf},
    {"subnormal_gives_zero", "1e-310", 0},
    {"just_below_normal_gives_zero", "2e-308", 0},
    {"far_below", "1e-999", 0},
    {"least_subnormal_gives_zero", "4.9406564584124654e-324", 0},
    {"above_least_normal", "3e-308", 3e-308},
    {"least_normal", "2.2250738585072014e-308", kLeastNormal},
    // The band where a subnormal-precision conversion rounds up to 2^-1022
    // but 53-bit rounding does not: [2^-1022 - 2^-1075, 2^-1022 - 2^-1076).
    {"below_band", "2.2250738585072011e-308", 0},
    {"inside_band", "2.2250738585072012e-308", 0},
    {"above_band", "2.2250738585072013e-308", kLeastNormal},
    {"negative_inside_band", "-2.2250738585072012e-308", 0},
};

// Exact decimal digits of a product of small factors, for the band edges.
std::string DigitsOfProduct(std::uint64_t factor, int fivePower) {
  std::vector<int> digits = {1};  // little-endian
  auto multiply = [&](std::uint64_t by) {
    // d * by + carry stays below 2^59 for factors below 2^55.
    std::uint64_t carry = 0;
    for (int& d : digits) {
      const std::uint64_t product = static_cast<std::uint64_t>(d) * by + carry;
      d = static_cast<int>(product % 10);
      carry = product / 10;
    }
    for (; carry != 0; carry /= 10)
      digits.push_back(static_cast<int>(carry % 10));
  };
  for (int i = 0; i < fivePower; ++i) multiply(5);
  multiply(factor);
  std::string text;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it)
    text += static_cast<char>('0' + *it);
  return text;
}

double FromChars(const std::string& text) {
  double value = -1;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

TEST(ParseLeadingReal, Cases) {
  for (const RealCase& c : kRealCases) {
    SCOPED_TRACE(c.name);
    const double value = ParseLeadingReal(c.text);
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_FALSE(std::isnan(value));
  }
}

TEST(ParseLeadingReal, SignOfZero) {
  EXPECT_TRUE(std::signbit(ParseLeadingReal("-0")));
  EXPECT_TRUE(std::signbit(ParseLeadingReal("-0.0e5")));
  EXPECT_FALSE(std::signbit(ParseLeadingReal("0")));
  EXPECT_FALSE(std::signbit(ParseLeadingReal("1e-400")));
  EXPECT_TRUE(std::signbit(ParseLeadingReal("-1e-400")));
}

TEST(ParseLeadingReal, UnderflowBandAtItsExactEdges) {
  // 2^-1022 - 2^-1075 = (2^53 - 1) * 5^1075 * 10^-1075, where a
  // subnormal-precision conversion starts rounding up to 2^-1022, and
  // 2^-1022 - 2^-1076 = (2^54 - 1) * 5^1076 * 10^-1076, where 53-bit
  // rounding with an unbounded exponent starts to.
  const std::string bandLow =
      DigitsOfProduct((1ull << 53) - 1, 1075) + "e-1075";
  const std::string limitDigits = DigitsOfProduct((1ull << 54) - 1, 1076);
  const std::string limit = limitDigits + "e-1076";
  std::string belowLimit = limitDigits;
  ASSERT_EQ(belowLimit.back(), '5');
  belowLimit.back() = '4';
  belowLimit += "e-1076";
  const std::string aboveLimit = limitDigits + "0000001e-1083";

  // The band exists: the standard conversion gives 2^-1022 in it.
  EXPECT_EQ(FromChars(bandLow), kLeastNormal);
  EXPECT_EQ(FromChars(belowLimit), kLeastNormal);

  EXPECT_EQ(ParseLeadingReal(bandLow.c_str()), 0.0);
  EXPECT_EQ(ParseLeadingReal(belowLimit.c_str()), 0.0);
  EXPECT_EQ(ParseLeadingReal(limit.c_str()), kLeastNormal);  // tie to even
  EXPECT_EQ(ParseLeadingReal(aboveLimit.c_str()), kLeastNormal);
  EXPECT_EQ(ParseLeadingReal(("-" + limit).c_str()), -kLeastNormal);
  // The same edge written with a point and a 'd' exponent.
  const std::string pointed = "0." + limitDigits + "D-307";
  EXPECT_EQ(ParseLeadingReal(pointed.c_str()), kLeastNormal);
  const std::string pointedBelow = "0." + belowLimit.substr(0, 769) + "d-307";
  EXPECT_EQ(ParseLeadingReal(pointedBelow.c_str()), 0.0);
}

TEST(ParseLeadingReal, LongMantissas) {
  const std::string ones = "1" + std::string(258, '0');  // 259 characters
  EXPECT_EQ(ParseLeadingReal(ones.c_str()), 1e258);
  const std::string small = "0." + std::string(256, '0') + "5";
  ASSERT_EQ(small.size(), 259u);
  EXPECT_EQ(ParseLeadingReal(small.c_str()), 5e-257);
  std::string digits;
  for (int i = 0; i < 259; ++i) digits += static_cast<char>('1' + i % 9);
  EXPECT_EQ(ParseLeadingReal(digits.c_str()), FromChars(digits));
  const std::string pointed =
      digits.substr(0, 100) + "." + digits.substr(100, 158);
  EXPECT_EQ(ParseLeadingReal(pointed.c_str()), FromChars(pointed));
  const std::string scaled = "0." + std::string(299, '0') + "1e301";
  EXPECT_EQ(ParseLeadingReal(scaled.c_str()), 10.0);
}

TEST(ParseLeadingReal, DigitsBeyondTheKeptOnesStillDecideATie) {
  // 2^53 + 1 lies halfway between 2^53 and 2^53 + 2: alone it rounds to even
  // (2^53), and any nonzero digit far behind it tips it up.
  const std::string tie = "9007199254740993";
  EXPECT_EQ(ParseLeadingReal(tie.c_str()), 9007199254740992.0);
  const std::string tipped = tie + "." + std::string(2000, '0') + "1";
  EXPECT_EQ(ParseLeadingReal(tipped.c_str()), 9007199254740994.0);
  const std::string zeros = tie + "." + std::string(2000, '0');
  EXPECT_EQ(ParseLeadingReal(zeros.c_str()), 9007199254740992.0);
}

TEST(ParseLeadingReal, ExponentDigitRunsOfAnyLength) {
  const std::string padded = "1e" + std::string(1000, '0') + "3";
  EXPECT_EQ(ParseLeadingReal(padded.c_str()), 1000.0);
  const std::string huge = "1e" + std::string(1000, '9');
  EXPECT_EQ(ParseLeadingReal(huge.c_str()), kInf);
  const std::string tiny = "1d-" + std::string(1000, '9');
  EXPECT_EQ(ParseLeadingReal(tiny.c_str()), 0.0);
  const std::string zero = "0e" + std::string(1000, '9');
  EXPECT_EQ(ParseLeadingReal(zero.c_str()), 0.0);
  // A long mantissa pulls a large exponent back into range.
  const std::string balanced =
      "0." + std::string(2000, '0') + "15e" + "0002001";
  EXPECT_EQ(ParseLeadingReal(balanced.c_str()), 1.5);
}
