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
  const std::to_chars_result written =
      std::to_chars(end, text + sizeof text,
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

// Texts up to this long are copied whole when their exponent letter needs
// rewriting for std::from_chars.
constexpr std::ptrdiff_t kDirectCopyLimit = 320;

// The common case: the scanned number [begin, end) read by std::from_chars
// as it stands (after 'd' becomes 'e'). Gives false where the rule's own
// limits may apply: overflow, results at or below 2^-1022, or a reading
// that does not end where the scan did.
bool TryDirectConversion(const char* begin, const char* end,
                         const char* exponentLetter, double& magnitude) {
  char copy[kDirectCopyLimit];
  if (exponentLetter != nullptr &&
      (*exponentLetter == 'd' || *exponentLetter == 'D')) {
    if (end - begin > kDirectCopyLimit) return false;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    std::memcpy(copy, begin, length);
    copy[exponentLetter - begin] = 'e';
    begin = copy;
    end = copy + length;
  }
  const std::from_chars_result read = std::from_chars(begin, end, magnitude);
  return read.ec == std::errc() && read.ptr == end &&
         magnitude > std::numeric_limits<double>::min() &&
         magnitude <= std::numeric_limits<double>::max();
}

// The full scan of the rule from the first mantissa character on, and the
// magnitude of what it finds.
double ScanMagnitude(const char* p) {
  const char* const mantissaBegin = p;
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
  const char* exponentLetter = nullptr;
  if (IsExponentLetter(*p)) {
    const char* q = p + 1;
    bool exponentNegative = false;
    if (*q == '+' || *q == '-') {
      exponentNegative = *q == '-';
      ++q;
    }
    // Without digits the letter is not part of the number.
    if (IsRuleDigit(*q)) {
      exponentLetter = p;
      for (; IsRuleDigit(*q); ++q) {
        if (exponent < kExponentCap) exponent = exponent * 10 + (*q - '0');
      }
      if (exponentNegative) exponent = -exponent;
      p = q;
    }
  }

  double magnitude = 0.0;
  if (!TryDirectConversion(mantissaBegin, p, exponentLetter, magnitude)) {
    DecimalDigits number;
    magnitude = CollectDigits(intBegin, intCount, fracBegin, fracCount,
                              exponent, number)
                    ? RoundMagnitude(number)
                    : 0.0;
  }
  return magnitude;
}

// What the rule's own syntax and limits add to std::from_chars: 'd'
// exponents, and the edges at 2^-1022 and beyond DBL_MAX. Reading the text
// as std::from_chars does settles every other case at once.
bool TryStandardReading(const char* mantissa, double& magnitude) {
  const char* const end = mantissa + std::strlen(mantissa);
  const std::from_chars_result read = std::from_chars(mantissa, end, magnitude);
  if (read.ec != std::errc()) return false;
  if (*read.ptr == 'd' || *read.ptr == 'D') {
    const char* q = read.ptr + 1;
    if (*q == '+' || *q == '-') ++q;
    if (IsRuleDigit(*q)) return false;
  }
  return magnitude > std::numeric_limits<double>::min() &&
         magnitude <= std::numeric_limits<double>::max();
}

// 10^0 .. 10^15, each exact in a double.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3, 1e4,  1e5,
                                        1e6,  1e7,  1e8,  1e9, 1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15};
constexpr int kExactDigits = 15;

// Field texts such as "150" or "5.5": at most 15 mantissa digits and no
// exponent. The digits as an integer (below 2^53) and the power of ten are
// both exact doubles, so one IEEE division is the correctly rounded value;
// this is the fast path of every correct conversion, and it saves the
// per-call cost of the general one on the texts the form sees most.
bool TryExactShortReading(const char* p, double& magnitude) {
  std::uint64_t digits = 0;
  int count = 0;
  for (; IsRuleDigit(*p); ++p) {
    if (++count > kExactDigits) return false;
    digits = digits * 10u + static_cast<std::uint64_t>(*p - '0');
  }
  int fractionDigits = 0;
  if (*p == '.') {
    for (++p; IsRuleDigit(*p); ++p, ++fractionDigits) {
      if (++count > kExactDigits) return false;
      digits = digits * 10u + static_cast<std::uint64_t>(*p - '0');
    }
  }
  if (IsExponentLetter(*p)) return false;
  magnitude = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
  return true;
}

}  // namespace

double ParseLeadingReal(const char* text) {
  const char* p = SkipRuleSpace(text);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (!IsRuleDigit(*p) && !(*p == '.' && IsRuleDigit(p[1]))) return 0.0;

  double magnitude = 0.0;
  if (!TryExactShortReading(p, magnitude) && !TryStandardReading(p, magnitude))
    magnitude = ScanMagnitude(p);
  return negative ? -magnitude : magnitude;
}
