// What the arithmetic assumes of the platform it runs on.
#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <limits>

TEST(PlatformFacts, DoublesAreIeeeBinary64WithoutWiderIntermediates) {
  EXPECT_TRUE(std::numeric_limits<double>::is_iec559);
  EXPECT_EQ(sizeof(double), 8u);
  EXPECT_EQ(DBL_MANT_DIG, 53);
  EXPECT_EQ(FLT_EVAL_METHOD, 0);
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

TEST(PlatformFacts, NoExtendedIntermediatesAndNoFusing) {
  // x87 registers keep a wider exponent even at 53-bit precision, so the
  // overflowing product would come back finite.
  volatile double large = 1e308;
  volatile double ten = 10.0;
  const double roundTrip = (large * ten) / ten;
  EXPECT_EQ(roundTrip, std::numeric_limits<double>::infinity());
  volatile double a = 0x1.0000000000001p0;
  volatile double b = 0x1.0000000000001p0;
  // With a fused multiply-add the low product bits would survive.
  const double exact = a * b - 0x1.0000000000002p0;
  EXPECT_EQ(exact, 0.0);
}
