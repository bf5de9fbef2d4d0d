#include <gtest/gtest.h>

#include <string>

#include "estimate/estimate.h"

namespace {

struct IntegerCase {
  const char* name;
  const char* text;
  std::int32_t value;
};

constexpr IntegerCase kIntegerCases[] = {
    {"empty", "", 0},
    {"zero", "0", 0},
    {"double_zero", "00", 0},
    {"negative_zero", "-0", 0},
    {"fraction_below_one", "0.5", 0},
    {"digit", "7", 7},
    {"leading_zero", "07", 7},
    {"plus_sign", "+7", 7},
    {"leading_space", " 7", 7},
    {"every_white_space", "\t\n\v\f\r 7", 7},
    {"trailing_letter", "7y", 7},
    {"fraction_ignored", "7.9", 7},
    {"negative", "-5", -5},
    {"letter_first", "x5", 0},
    {"space_after_sign", "- 5", 0},
    {"two_signs", "+-5", 0},
    {"only_space", "   ", 0},
    {"lone_sign", "-", 0},
    {"non_breaking_space_is_not_space",
     "\xA0"
     "7",
     0},
    {"high_byte_ends_digits", "4\xB2", 4},
    {"int32_max", "2147483647", 2147483647},
    {"int32_max_plus_one_wraps", "2147483648", INT32_MIN},
    {"int32_min", "-2147483648", INT32_MIN},
    {"beyond_32_bits", "4294967297", 1},
    {"ten_nines", "9999999999", 1410065407},
    {"negative_beyond_32_bits", "-9999999999", -1410065407},
    {"twenty_digits", "12345678901234567890", -350287150},
};

}  // namespace

TEST(ParseLeadingInteger, Cases) {
  for (const IntegerCase& c : kIntegerCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseLeadingInteger(c.text), c.value);
  }
}

TEST(ParseLeadingInteger, LongDigitRunWrapsModulo2To32) {
  // 10^300 mod 2^32 = 0, since 2^32 divides 10^300; add 123.
  std::string text = "1" + std::string(297, '0') + "123";
  EXPECT_EQ(ParseLeadingInteger(text.c_str()), 123);
}
