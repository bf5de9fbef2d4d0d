#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "estimate/char_classes.h"
#include "estimate/estimate.h"

// The scan is ours (fixed classes, 'd' exponents, no hex or words); the
// rounding is std::from_chars on a normalised stack copy, which is
// correctly rounded and independent of the C library and locale.

namespace {

// 767 significant digits decide any rounding to double; keeping more and a
// sticky digit for the rest leaves every rounding unchanged.
constexpr int kKeptDigits = 800;

// Exponents beyond this lie far outside the double range in either
// direction; saturating keeps the arithmetic defined for any digit run.
constexpr std::int64_t kExponentCap = 1000000000;

// 2^-1022 - 2^-1076, the least magnitude that rounds to 2^-1022 at 53
// significant bits with an unbounded exponent. Exactly
// (2^54 - 1) * 5^1076 * 10^-1076: these are the digits of
// (2^54 - 1) * 5^1076 (made with exact integer arithmetic; a test re-derives
// them), so the limit is 0.d1d2... * 10^kNormalLimitPointExponent.
constexpr char kNormalLimitDigits[] =
    "2225073858507201259573821257020768020077017763406988739288376763"
    "3060133284174975706854063414603230542391082493220377160560112603"
    "0012402737719183479639276972143707899083653279890443184986473250"
    "4110467273084696977812028716236556967935895657351868202788722494"
    "8115301513176163663332969459534313692221903080537876949404117437"
    "0780982258074098888055161790711900214875940191589215148208192489"
    "0263312702257321184750771861452224096212631698623638776860141838"
    "0611657022637766409076481944355360543363737279780145931006786604"
    "9211751678490852151115976737332333919198322132685351912833878489"
    "1913380715532840971003878993627240686726663397609149834349831344"
    "8796766534690915591301898991145211247823805473410097755906760962"
    "9158594969774301893081138586927281153293733950704336166381835937"
    "5";
constexpr std::int64_t kNormalLimitPointExponent = -307;

struct DecimalDigits {
  char digits[kKeptDigits + 2];
  int count;
  // The value is 0.digits * 10^pointExponent.
  std::int64_t pointExponent;
};

// Compares 0.a * 10^e (a from DecimalDigits) with the normal limit.
bool IsBelowNormalLimit(const DecimalDigits& number) {
  if (number.pointExponent != kNormalLimitPointExponent)
    return number.pointExponent < kNormalLimitPointExponent;
  const int limitCount = static_cast<int>(sizeof kNormalLimitDigits) - 1;
  const int longest = number.count > limitCount ? number.count : limitCount;
  for (int i = 0; i < longest; ++i) {
    const char a = i < number.count ? number.digits[i] : '0';
    const char b = i < limitCount ? kNormalLimitDigits[i] : '0';
    if (a != b) return a < b;
  }
  return false;
}

// Collects the significant digits of the mantissa (integer digits at
// [intBegin, intBegin + intCount), fraction digits at fracBegin) and
// returns false when they are all zero.
bool CollectDigits(const char* intBegin, std::int64_t intCount,
                   const char* fracBegin, std::int64_t fracCount,
                   std::int64_t exponent, DecimalDigits& number) {
  const std::int64_t total = intCount + fracCount;
  auto digitAt = [&](std::int64_t i) {
    return i < intCount ? intBegin[i] : fracBegin[i - intCount];
  };
  std::int64_t first = 0;
  while (first < total && digitAt(first) == '0') ++first;
  if (first == total) return false;

  number.count = 0;
  std::int64_t i = first;
  for (; i < total && number.count < kKeptDigits; ++i)
    number.digits[number.count++] = digitAt(i);
  for (; i < total; ++i) {
    if (digitAt(i) != '0') {
      number.digits[number.count++] = '1';
      break;
    }
  }
  while (number.digits[number.count - 1] == '0') --number.count;
  number.pointExponent = intCount - first + exponent;
  return true;
}

// Rounds a nonzero magnitude under the rule: infinity from 2^1024 on, zero
// below the normal limit, otherwise the nearest double.
double RoundMagnitude(const DecimalDigits& number) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr double kLeastNormal = std::numeric_limits<double>::min();
  // 10^309 overflows; 10^-330 is below every subnormal's rounding range.
  if (number.pointExponent > 310) return kInfinity;
  if (number.pointExponent < -330) return 0.0;

  // "digits e exp" with exp = pointExponent - count, at most 4 digits.
  char text[kKeptDigits + 2 + 8];
  std::memcpy(text, number.digits, static_cast<std::size_t>(number.count));
  char* end = text + number.count;
  *end++ = 'e';
  const std::to_chars_result written = std::to_chars(
      end, text + sizeof text,
      static_cast<int>(number.pointExponent - number.count));
  end = written.ptr;

  double value = 0.0;
  const std::from_chars_result read = std::from_chars(text, end, value);
  if (read.ec == std::errc::result_out_of_range)
    return number.pointExponent > 0 ? kInfinity : 0.0;
  if (read.ec != std::errc() || read.ptr != end) return 0.0;  // not reached
  if (value < kLeastNormal) return 0.0;
  // A standard conversion rounds up to 2^-1022 from 2^-1022 - 2^-1075
  // (subnormal precision); the rule only from 2^-1022 - 2^-1076.
  if (value == kLeastNormal && IsBelowNormalLimit(number)) return 0.0;
  return value;
}

bool IsExponentLetter(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

}  // namespace

double ParseLeadingReal(const char* text) {
  const char* p = SkipRuleSpace(text);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }

  const char* intBegin = p;
  while (IsRuleDigit(*p)) ++p;
  const std::int64_t intCount = p - intBegin;
  const char* fracBegin = p;
  std::int64_t fracCount = 0;
  if (*p == '.') {
    const char* q = p + 1;
    while (IsRuleDigit(*q)) ++q;
    fracCount = q - (p + 1);
    // "5." is a number; "." alone is not.
    if (intCount > 0 || fracCount > 0) {
      fracBegin = p + 1;
      p = q;
    }
  }
  if (intCount == 0 && fracCount == 0) return 0.0;

  std::int64_t exponent = 0;
  if (IsExponentLetter(*p)) {
    const char* q = p + 1;
    bool exponentNegative = false;
    if (*q == '+' || *q == '-') {
      exponentNegative = *q == '-';
      ++q;
    }
    // Without digits the letter is not part of the number.
    for (; IsRuleDigit(*q); ++q) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (*q - '0');
    }
    if (exponentNegative) exponent = -exponent;
  }

  DecimalDigits number;
  double magnitude = 0.0;
  if (CollectDigits(intBegin, intCount, fracBegin, fracCount, exponent,
                    number))
    magnitude = RoundMagnitude(number);
  return negative ? -magnitude : magnitude;
}
