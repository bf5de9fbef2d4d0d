// Properties of the number rules that hold for every input; a violation
// aborts, as does any sanitizer report.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "estimate/estimate.h"

namespace {

constexpr std::size_t kMaxText = 1024;

void Check(bool holds, const char* what, const char* text) {
  if (holds) return;
  std::fprintf(stderr, "property failed: %s for \"%s\"\n", what, text);
  std::abort();
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void CheckInteger(const char* text) {
  const std::int32_t value = ParseLeadingInteger(text);
  const char* p = text;
  while (IsSpace(*p)) ++p;
  const char* digits = p + (*p == '-' || *p == '+');
  std::size_t count = 0;
  while (IsDigit(digits[count])) ++count;
  // Up to nine digits nothing wraps, so the standard conversion agrees.
  if (count >= 1 && count <= 9 && *p != '+') {
    std::int32_t expected = 0;
    std::from_chars(p, digits + count, expected);
    Check(value == expected, "integer agrees with from_chars", text);
  }
  if (count == 0) Check(value == 0, "integer without digits is 0", text);
}

void CheckReal(const char* text) {
  const double value = ParseLeadingReal(text);
  Check(!std::isnan(value), "never NaN", text);
  Check(value == 0.0 || std::fabs(value) >= std::numeric_limits<double>::min(),
        "never subnormal", text);

  // The same number in the standard syntax: no '+', 'e' for 'd'.
  const char* p = text;
  while (IsSpace(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (!IsDigit(*p) && !(*p == '.' && IsDigit(p[1]))) {
    Check(value == 0.0, "no mantissa digit gives 0", text);
    return;
  }
  char copy[kMaxText + 1];
  std::size_t length = 0;
  for (; p[length] != '\0'; ++length) {
    const char c = p[length];
    copy[length] = (c == 'd' || c == 'D') ? 'e' : c;
  }
  copy[length] = '\0';
  double expected = 0.0;
  const std::from_chars_result read =
      std::from_chars(copy, copy + length, expected);
  if (read.ec != std::errc() || !std::isfinite(expected)) return;
  if (std::fabs(expected) <= std::numeric_limits<double>::min()) return;
  if (negative) expected = -expected;
  Check(value == expected, "real agrees with from_chars", text);
}

void CheckFormat(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double)) return;
  double estimate;
  std::memcpy(&estimate, data, sizeof estimate);
  char text[kEstimateTextSize];
  const std::size_t length = FormatEstimate(estimate, text, sizeof text);
  Check(length == std::strlen(text) && length >= 1 && length <= 11,
        "estimate text length", text);
  Check(std::strcmp(text, "-0") != 0, "no negative zero", text);
  if (std::fabs(estimate) < 2147483648.0) {
    const long long truncated = static_cast<long long>(estimate);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%lld", truncated);
    Check(std::strcmp(text, expected) == 0, "estimate text in range", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > kMaxText) return 0;
  char text[kMaxText + 1];
  std::memcpy(text, data, size);
  text[size] = '\0';
  CheckInteger(text);
  CheckReal(text);
  CheckFormat(data, size);
  return 0;
}
