#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "aggregate/FixedDecimal.h"

using aggregate::ArithmeticError;
using aggregate::FixedDecimal;

namespace {

constexpr int64_t kLimit = FixedDecimal::kSumLimit;  // 10^18 ten-thousandths
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

FixedDecimal S(int64_t amount) { return FixedDecimal::FromScaled(amount); }

void ExpectParts(const FixedDecimal& v, int64_t integer, uint32_t fraction, int sign) {
  EXPECT_EQ(v.integerPart(), integer);
  EXPECT_EQ(v.fraction(), fraction);
  EXPECT_EQ(v.sign(), sign);
}

TEST(FixedDecimalConversion, ScaledAmountsSplitIntoPartsAndRoundTrip) {
  ExpectParts(S(12345678), 1234, 5678, 1);
  ExpectParts(S(-12345678), 1234, 5678, -1);
  ExpectParts(S(-1), 0, 1, -1);
  ExpectParts(S(0), 0, 0, 1);
  for (int64_t a : {int64_t{0}, int64_t{1}, int64_t{-1}, int64_t{9999}, int64_t{-10000}, kLimit, -kLimit, kMax, kMin})
    EXPECT_EQ(S(a).ToScaled(), a) << a;
}

TEST(FixedDecimalConversion, FromIntegerAndFractionCarriesWholeTenThousands) {
  ExpectParts(FixedDecimal::FromParts(5, 9999), 5, 9999, 1);
  ExpectParts(FixedDecimal::FromParts(5, 10000), 6, 0, 1);
  ExpectParts(FixedDecimal::FromParts(-5, 25001), 7, 5001, -1);
  ExpectParts(FixedDecimal::FromParts(0, 0), 0, 0, 1);
  // The extreme inputs still fit: |INT32_MIN| plus 429496 carried units.
  ExpectParts(FixedDecimal::FromParts(std::numeric_limits<int32_t>::min(), UINT32_MAX), 2147483648LL + 429496, 7295,
              -1);
  EXPECT_EQ(FixedDecimal::FromParts(-3, 2500).ToScaled(), -32500);
}

TEST(FixedDecimalAdd, ExactSumsWithSignsAndZero) {
  EXPECT_EQ((S(15000) + S(-25001)).ToScaled(), -10001);
  EXPECT_EQ((S(-15000) - S(-25001)).ToScaled(), 10001);
  ExpectParts(S(-7) + S(7), 0, 0, 1);  // zero is always +1
  ExpectParts(S(7) - S(7), 0, 0, 1);
  EXPECT_EQ(FixedDecimal::Add(-9999, S(1)).ToScaled(), -9998);
  EXPECT_EQ(FixedDecimal::Subtract(5, S(9)).ToScaled(), -4);
  FixedDecimal sum;
  for (int64_t row : {123456789LL, -23456789LL, -100000000LL}) sum += S(row);
  ExpectParts(sum, 0, 0, 1);
}

TEST(FixedDecimalAdd, EveryFormOfSumRaisesAtTenToTheEighteenth) {
  // Just below the bound every form answers exactly.
  EXPECT_EQ((S(kLimit - 2) + S(1)).ToScaled(), kLimit - 1);
  EXPECT_EQ((S(-kLimit + 2) + S(-1)).ToScaled(), -kLimit + 1);
  EXPECT_EQ(FixedDecimal::Add(kLimit - 1, S(0)).ToScaled(), kLimit - 1);
  EXPECT_EQ((S(-kLimit + 2) - S(1)).ToScaled(), -kLimit + 1);
  // Reaching it raises, in magnitude, for all four forms and in place.
  EXPECT_THROW(S(kLimit - 1) + S(1), ArithmeticError);
  EXPECT_THROW(S(-kLimit + 1) + S(-1), ArithmeticError);
  EXPECT_THROW(FixedDecimal::Add(kLimit - 1, S(1)), ArithmeticError);
  EXPECT_THROW(S(-kLimit + 1) - S(1), ArithmeticError);
  EXPECT_THROW(FixedDecimal::Subtract(kMin, S(1)), ArithmeticError);
  EXPECT_THROW(FixedDecimal::Subtract(0, S(kLimit)), ArithmeticError);
  FixedDecimal acc = S(kLimit - 1);
  EXPECT_THROW(acc += S(1), ArithmeticError);
  EXPECT_EQ(acc.ToScaled(), kLimit - 1);  // a failed add leaves the value alone
  try {
    (void)(S(kMax) + S(kMax));
    FAIL() << "no error raised";
  } catch (const ArithmeticError& e) {
    EXPECT_EQ(e.code(), -1);
  }
}

TEST(FixedDecimalMultiply, ByFactorIsExactAndSignsMultiply) {
  EXPECT_EQ((S(-12345) * 20).ToScaled(), -246900);
  EXPECT_EQ((S(-12345) * -3).ToScaled(), 37035);
  ExpectParts(S(-12345) * 0, 0, 0, 1);
  ExpectParts(S(0) * -7, 0, 0, 1);
  EXPECT_EQ((S(kMax / 2) * 2).ToScaled(), kMax - 1);
  EXPECT_EQ((S(1) * std::numeric_limits<int32_t>::min()).ToScaled(), std::numeric_limits<int32_t>::min());
}

TEST(FixedDecimalMultiply, IntegerPartBeyondSixtyFourBitsRaises) {
  // An integer part of exactly INT64_MAX fits; one more does not.
  const FixedDecimal big = S(kMax).Multiply(10000);
  ExpectParts(big, kMax, 0, 1);
  EXPECT_THROW(S(kMax) * 10001, ArithmeticError);
  EXPECT_THROW(S(kMin) * -20000, ArithmeticError);
  // A value that fits FixedDecimal but not an amount raises on the way back.
  EXPECT_THROW((void)big.ToScaled(), ArithmeticError);
  EXPECT_THROW((void)(S(kMax) * 2).ToScaled(), ArithmeticError);
  EXPECT_EQ((S(kMin) * 1).ToScaled(), kMin);
}

TEST(FixedDecimalMultiply, ValueByValueRoundsTheFractionProductHalfUp) {
  // 1.5 * 2.25 = 3.375 exactly.
  EXPECT_EQ((S(15000) * S(22500)).ToScaled(), 33750);
  // 0.0001 * 0.5 = 0.00005: half rounds up to 0.0001; 0.0001 * 0.4999 rounds to 0.
  EXPECT_EQ((S(1) * S(5000)).ToScaled(), 1);
  ExpectParts(S(1) * S(4999), 0, 0, 1);
  // The rounding is of the magnitude: a negative half goes away from zero.
  EXPECT_EQ((S(-1) * S(5000)).ToScaled(), -1);
  EXPECT_EQ((S(-15000) * S(-22500)).ToScaled(), 33750);
  // Mixed terms are exact: 3.0001 * 2.9999 = 8.99999999 -> 9.0000.
  EXPECT_EQ((S(30001) * S(29999)).ToScaled(), 90000);
  // 0.9999 * 0.9999 = 0.99980001 -> 0.9998.
  EXPECT_EQ((S(9999) * S(9999)).ToScaled(), 9998);
}

TEST(FixedDecimalMultiply, ValueByValueOverflowRaisesWithoutWrapping) {
  const auto whole = [](int64_t n) { return FixedDecimal::FromScaled(n).Multiply(10000); };  // integer part n
  ExpectParts(whole(int64_t{1} << 32) * whole((int64_t{1} << 31) - 1), kMax - (int64_t{1} << 32) + 1, 0,
              1);
  EXPECT_THROW(whole(int64_t{1} << 32) * whole(int64_t{1} << 31), ArithmeticError);
  // Integer parts whose product is far beyond 64 bits must not wrap to a small value.
  EXPECT_THROW(whole(int64_t{1} << 62) * whole(int64_t{1} << 62), ArithmeticError);
  // INT64_MAX times 1.0001: the whole product fits, the mixed term pushes it over.
  EXPECT_THROW(whole(kMax) * S(10001), ArithmeticError);
  ExpectParts(whole(kMax) * S(10000), kMax, 0, 1);
}

}  // namespace
