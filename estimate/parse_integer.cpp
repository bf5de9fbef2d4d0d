#include "estimate/char_classes.h"
#include "estimate/estimate.h"

std::int32_t ParseLeadingInteger(const char* text) {
  const char* p = SkipRuleSpace(text);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // Unsigned so that a long run of digits wraps modulo 2^32 without
  // overflow.
  std::uint32_t value = 0;
  for (; IsRuleDigit(*p); ++p)
    value = value * 10u + static_cast<std::uint32_t>(*p - '0');
  if (negative) value = 0u - value;

  // Two's complement reading of the bits, without relying on the
  // implementation-defined narrowing conversion.
  if (value <= 0x7FFFFFFFu) return static_cast<std::int32_t>(value);
  return static_cast<std::int32_t>(value - 0x80000000u) - 0x7FFFFFFF - 1;
}
