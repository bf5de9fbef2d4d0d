#include "estimate/estimate.h"

namespace {

// Every double in [-2^63, 2^63) truncates to a value that int64 holds; NaN
// fails both comparisons.
bool FitsInt64(double value) {
  return value >= -9223372036854775808.0 && value < 9223372036854775808.0;
}

}  // namespace

std::size_t FormatEstimate(double estimate, char* text, std::size_t capacity) {
  std::uint32_t low = 0;
  if (FitsInt64(estimate)) {
    // Truncates toward zero; modular unsigned arithmetic keeps the low bits.
    low = static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::int64_t>(estimate)));
  }
  const bool negative = low >= 0x80000000u;
  std::uint32_t magnitude = negative ? 0u - low : low;

  char reversed[kEstimateTextSize];
  std::size_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude != 0u);
  if (negative) reversed[count++] = '-';

  if (capacity == 0) return 0;
  std::size_t written = 0;
  while (written < count && written + 1 < capacity) {
    text[written] = reversed[count - 1 - written];
    ++written;
  }
  text[written] = '\0';
  return written;
}
