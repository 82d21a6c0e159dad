#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "aggregate/FixedDecimal.h"
#include "tests/support/Decimal.h"

using aggregate::ArithmeticError;
using aggregate::FixedDecimal;
using test_support::Decimal;

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

// ---------------------------------------------------------------------------
// Every operation against exact decimal arithmetic on digit strings
// (tests/support/Decimal.h), on seeded random and boundary values. A value's
// exact magnitude is its integer part's digits followed by four fraction
// digits; the contract then reads:
//   - sums and differences are exact and raise when the magnitude reaches 10^18;
//   - a product by a factor is exact, and a value-by-value product is the
//     exact product rounded half up (in magnitude) to ten-thousandths, which
//     is the same as rounding only the product of the two fractions, since
//     every other term is already a whole number of ten-thousandths; both
//     raise when the integer part passes INT64_MAX;
//   - ToScaled answers exactly the values that lie in int64_t's range.

constexpr int32_t k32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t k32Min = std::numeric_limits<int32_t>::min();

Decimal D(int64_t v) { return Decimal::Of(v); }

// The fraction as its four decimals.
std::string FractionDigits(const FixedDecimal& v) {
  std::string digits = std::to_string(v.fraction());
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return digits;
}

std::string Describe(const FixedDecimal& v) {
  return std::string(v.sign() < 0 ? "-" : "+") + std::to_string(v.integerPart()) + "." + FractionDigits(v);
}

// The value in ten-thousandths, read from its parts.
Decimal Exact(const FixedDecimal& v) {
  return Decimal::FromDigits(std::to_string(v.integerPart()) + FractionDigits(v), v.sign() < 0);
}

testing::AssertionResult HasValue(const FixedDecimal& v, const Decimal& expected) {
  if (v.integerPart() < 0 || v.fraction() >= 10000 || (v.sign() != 1 && v.sign() != -1))
    return testing::AssertionFailure() << "malformed parts " << Describe(v);
  // A zero value has the sign +1; Decimal's zero is never negative.
  if (v.sign() != (expected.negative() ? -1 : 1) || Exact(v) != expected)
    return testing::AssertionFailure() << "got " << Describe(v) << ", exact " << expected.ToString();
  return testing::AssertionSuccess();
}

// The exact result when a sum of that size is allowed.
std::optional<Decimal> AsSum(const Decimal& exact) {
  if (exact.Abs() >= D(FixedDecimal::kSumLimit)) return std::nullopt;
  return exact;
}

// The result when its integer part fits int64_t.
std::optional<Decimal> AsProduct(const Decimal& exact) {
  if (exact.Abs().DropDigits(4) > D(kMax)) return std::nullopt;
  return exact;
}

// a * b for values in ten-thousandths: the exact product has eight decimals;
// its magnitude is rounded half up to four.
Decimal RoundedProduct(const Decimal& a, const Decimal& b) {
  const Decimal exact = a * b;
  Decimal magnitude = exact.Abs().DropDigits(4);
  if (exact.Abs().LastDigits(4) >= D(5000)) magnitude = magnitude + D(1);
  return exact.negative() ? -magnitude : magnitude;
}

// How often a checked operation answered and how often it raised.
struct Tally {
  long answered = 0;
  long raised = 0;
};

// Runs `op` and checks it against `expected` (nullopt: it must raise).
template <typename Op>
std::optional<FixedDecimal> Check(Tally& tally, const std::optional<Decimal>& expected, Op op, const std::string& what) {
  std::optional<FixedDecimal> got;
  try {
    got = op();
  } catch (const ArithmeticError&) {
  }
  if (!expected) {
    EXPECT_FALSE(got) << what << " should raise, gave " << Describe(*got);
    ++tally.raised;
    return std::nullopt;
  }
  EXPECT_TRUE(got) << what << " raised; exact " << expected->ToString();
  if (got) {
    EXPECT_TRUE(HasValue(*got, *expected)) << what;
  }
  ++tally.answered;
  return got;
}

// Seeded inputs: mt19937_64's raw output is the same on every platform.
class Inputs {
 public:
  explicit Inputs(uint64_t seed) : rng_(seed) {}

  uint64_t Below(uint64_t n) { return rng_() % n; }

  // A fraction that matters to rounding and carries, or any.
  uint32_t Fraction() {
    static const uint32_t kEdges[] = {0, 1, 4999, 5000, 5001, 9999, 2500, 7500};
    return Below(2) ? kEdges[Below(std::size(kEdges))] : static_cast<uint32_t>(Below(10000));
  }

  int64_t Amount() {
    static const std::vector<int64_t> kEdges = {
        0, 1, -1, 4999, 5000, 9999, 10000, 10001, -5000, -9999, -10000, kLimit, kLimit - 1, -kLimit, -kLimit + 1,
        kLimit / 2, -kLimit / 2, kMax, kMin, kMax - 1, kMin + 1, 922337203685477LL, 3037000499LL, 4294967296LL};
    switch (Below(6)) {
      case 0:
        return kEdges[Below(kEdges.size())];
      case 1:  // near an edge (past INT64_MAX or INT64_MIN it wraps to the other end, also an edge)
        return static_cast<int64_t>(static_cast<uint64_t>(kEdges[Below(kEdges.size())] / 2 * 2) + Below(21) - 10);
      case 2:
        return static_cast<int64_t>(rng_());
      case 3: {  // any size, with a fraction that matters
        const int64_t integer = static_cast<int64_t>(rng_() >> (1 + Below(63))) / 10000;
        const int64_t v = integer * 10000 + Fraction();
        return Below(2) ? v : -v;
      }
      case 4:  // close to the bound of sums, either side
        return (Below(2) ? 1 : -1) * (kLimit - static_cast<int64_t>(Below(20000)) + 10000);
      default:
        return static_cast<int64_t>(rng_() >> Below(64)) * (Below(2) ? 1 : -1);
    }
  }

  int32_t Factor() {
    static const int32_t kEdges[] = {0, 1, -1, 2, -3, 10000, 10001, -10000, k32Max, k32Min, k32Min + 1, 46341};
    switch (Below(3)) {
      case 0:
        return kEdges[Below(std::size(kEdges))];
      case 1:
        return static_cast<int32_t>(static_cast<uint32_t>(rng_()));
      default:
        return static_cast<int32_t>(static_cast<int64_t>(Below(200001)) - 100000);
    }
  }

  // A value built by one of the constructors or by checked products, so
  // that integer parts up to INT64_MAX and any fraction occur.
  FixedDecimal Value(Tally& tally, int depth = 0) {
    for (;;) {
      switch (depth > 1 ? Below(2) : Below(6)) {
        case 0:
          return FixedDecimal::FromScaled(Amount());
        case 1: {
          const int32_t integer = Below(4) ? static_cast<int32_t>(rng_() >> Below(33)) : (Below(2) ? k32Min : k32Max);
          const uint32_t fraction = Below(4) ? Fraction() : static_cast<uint32_t>(rng_());
          return FixedDecimal::FromParts(integer, fraction);
        }
        case 2:
        case 3: {
          const FixedDecimal v = Value(tally, depth + 1);
          const int32_t m = Factor();
          const auto product =
              Check(tally, AsProduct(Exact(v) * D(m)), [&] { return v * m; }, Describe(v) + " * " + std::to_string(m));
          if (product) return *product;
          break;
        }
        default: {
          const FixedDecimal a = Value(tally, depth + 1);
          const FixedDecimal b = Value(tally, depth + 1);
          const auto product = Check(tally, AsProduct(RoundedProduct(Exact(a), Exact(b))), [&] { return a * b; },
                                     Describe(a) + " * " + Describe(b));
          if (product) return *product;
          break;
        }
      }
    }
  }

 private:
  std::mt19937_64 rng_;
};

constexpr int kExactCases = 20000;

TEST(FixedDecimalReference, DigitArithmeticAgreesWithSixtyFourBitsWhereItFits) {
  // The reference must be right before anything is checked against it.
  std::mt19937_64 rng(7);
  for (int i = 0; i < kExactCases; ++i) {
    const int64_t a = static_cast<int64_t>(rng()) >> (rng() % 64);
    const int64_t b = static_cast<int64_t>(rng()) >> (rng() % 64);
    const int64_t ha = a / 2, hb = b / 2;  // halves cannot overflow
    ASSERT_EQ((D(ha) + D(hb)).ToString(), std::to_string(ha + hb)) << ha << " + " << hb;
    ASSERT_EQ((D(ha) - D(hb)).ToString(), std::to_string(ha - hb)) << ha << " - " << hb;
    const int64_t sa = static_cast<int32_t>(a), sb = static_cast<int32_t>(b);
    ASSERT_EQ((D(sa) * D(sb)).ToString(), std::to_string(sa * sb)) << sa << " * " << sb;
    ASSERT_EQ(D(a) < D(b), a < b) << a << " < " << b;
    ASSERT_EQ(D(a).ToInt64(), a);
  }
  EXPECT_EQ((D(kMax) * D(kMax)).ToString(), "85070591730234615847396907784232501249");
  EXPECT_EQ((D(kMin) - D(1)).ToString(), "-9223372036854775809");
  EXPECT_EQ((D(kMax) + D(1)).ToInt64(), std::nullopt);
  EXPECT_EQ((D(kMin) - D(1)).ToInt64(), std::nullopt);
  EXPECT_EQ(D(kMin).ToInt64(), kMin);
  EXPECT_EQ(Decimal::FromDigits("000123", true).DropDigits(2).ToString(), "1");
  EXPECT_EQ(Decimal::FromDigits("120034").LastDigits(4).ToString(), "34");
  EXPECT_EQ((D(-5) + D(5)).negative(), false);
}

TEST(FixedDecimalExact, SumsAndDifferencesAreExactUpToTenToTheEighteenth) {
  Inputs in(0x5A11);
  Tally building, sums;
  for (int i = 0; i < kExactCases; ++i) {
    FixedDecimal a, b;
    if (in.Below(2)) {
      a = in.Value(building);
      b = in.Value(building);
    } else {
      // Magnitudes up to 10^4 * INT64_MAX that lie close together, so that
      // huge values also meet in small differences: J * r and +-J * (r + d)
      // ten-thousandths, with any fraction.
      const FixedDecimal whole = FixedDecimal::FromScaled(1 + static_cast<int64_t>(in.Below(10000))).Multiply(10000);
      const int64_t r = in.Amount() / 2;
      const int64_t d = static_cast<int64_t>(in.Below(2001)) - 1000;
      a = whole * FixedDecimal::FromScaled(r);
      b = whole * FixedDecimal::FromScaled(r + d) * (in.Below(2) ? 1 : -1);
    }
    const int64_t amount = in.Amount();
    const std::string names = Describe(a) + " , " + Describe(b);
    Check(sums, AsSum(Exact(a) + Exact(b)), [&] { return a + b; }, names + " +");
    Check(sums, AsSum(Exact(a) - Exact(b)), [&] { return a - b; }, names + " -");
    Check(sums, AsSum(D(amount) + Exact(b)), [&] { return FixedDecimal::Add(amount, b); },
          std::to_string(amount) + " + " + Describe(b));
    Check(sums, AsSum(D(amount) - Exact(b)), [&] { return FixedDecimal::Subtract(amount, b); },
          std::to_string(amount) + " - " + Describe(b));
    FixedDecimal acc = a;
    const auto inPlace = Check(sums, AsSum(Exact(a) + Exact(b)), [&] { return acc += b; }, names + " +=");
    EXPECT_EQ(acc, inPlace.value_or(a)) << names;  // a failed add leaves the value alone
    if (HasFailure()) return;
  }
  // The inputs reach both sides of the bound, many times.
  EXPECT_GT(sums.answered, kExactCases);
  EXPECT_GT(sums.raised, kExactCases / 2);
}

TEST(FixedDecimalExact, ProductsAreExactOrRoundedHalfUpAndRaiseBeyondSixtyFourBitIntegerParts) {
  Inputs in(0x9A0D);
  Tally building, byFactor, byValue, nearBound;
  for (int i = 0; i < kExactCases; ++i) {
    const FixedDecimal a = in.Value(building);
    const FixedDecimal b = in.Value(building);
    const int32_t m = in.Factor();
    Check(byFactor, AsProduct(Exact(a) * D(m)), [&] { return a * m; }, Describe(a) + " * " + std::to_string(m));
    Check(byValue, AsProduct(RoundedProduct(Exact(a), Exact(b))), [&] { return a * b; },
          Describe(a) + " * " + Describe(b));
    // Partners whose integer part brings the product to the int64_t bound.
    if (a.integerPart() > 0) {
      // The largest integer part that keeps a * c within int64_t, and its
      // neighbours (there is no larger one when a's integer part is 1).
      const int64_t largest = kMax / a.integerPart();
      const int64_t q = largest - 1 + static_cast<int64_t>(in.Below(largest == kMax ? 2 : 3));
      const int32_t sign = in.Below(2) ? 1 : -1;
      if (q <= k32Max) {
        const FixedDecimal c = FixedDecimal::FromParts(static_cast<int32_t>(q) * sign, in.Fraction());
        Check(nearBound, AsProduct(RoundedProduct(Exact(a), Exact(c))), [&] { return a * c; },
              Describe(a) + " * " + Describe(c));
        Check(nearBound, AsProduct(Exact(a) * D(q * sign)), [&] { return a * static_cast<int32_t>(q * sign); },
              Describe(a) + " * " + std::to_string(q * sign));
      }
      if (q <= kMax / 10000) {
        const FixedDecimal whole = FixedDecimal::FromScaled(q * sign).Multiply(10000);
        Check(nearBound, AsProduct(RoundedProduct(Exact(a), Exact(whole))), [&] { return a * whole; },
              Describe(a) + " * " + Describe(whole));
      }
    }
    if (HasFailure()) return;
  }
  for (const Tally* t : {&byFactor, &byValue, &nearBound}) {
    EXPECT_GT(t->answered, kExactCases / 10);
    EXPECT_GT(t->raised, kExactCases / 20);
  }
}

TEST(FixedDecimalExact, FractionProductsRoundHalfUpAtEveryRemainder) {
  // Every pair of fractions that rounds on a tie, just below it or just above
  // it, with integer parts that add mixed terms, in all four sign pairs.
  Inputs in(0x7A1E);
  Tally products;
  long ties = 0;
  for (int i = 0; i < kExactCases; ++i) {
    uint32_t fa = static_cast<uint32_t>(in.Below(10000));
    uint32_t fb = static_cast<uint32_t>(in.Below(10000));
    if (in.Below(2)) {
      // x * y = 5000 and odd u, v: (x*u) * (y*v) ends in 5000, a tie; one
      // ten-thousandth more or less on fb moves the remainder by fa.
      static const uint32_t kTies[][2] = {{1, 5000}, {5, 1000}, {25, 200}, {125, 40}, {625, 8}, {1250, 4}, {2500, 2}};
      const auto& tie = kTies[in.Below(std::size(kTies))];
      const uint32_t u = static_cast<uint32_t>(2 * in.Below((9999 / tie[0] + 1) / 2) + 1);
      const uint32_t v = static_cast<uint32_t>(2 * in.Below((9999 / tie[1] + 1) / 2) + 1);
      fa = tie[0] * u;
      fb = tie[1] * v;
      if (in.Below(2)) std::swap(fa, fb);
      const uint64_t step = in.Below(3);
      if (step == 1 && fb < 9999) ++fb;
      if (step == 2 && fb > 0) --fb;
    }
    const int32_t ia = static_cast<int32_t>(in.Below(4) ? in.Below(3) : in.Below(1u << 31));
    const int32_t ib = static_cast<int32_t>(in.Below(4) ? in.Below(3) : in.Below(1u << 16));
    const FixedDecimal a = FixedDecimal::FromParts(in.Below(2) ? -ia : ia, fa);
    const FixedDecimal b = FixedDecimal::FromParts(in.Below(2) ? -ib : ib, fb);
    if ((static_cast<uint64_t>(fa) * fb) % 10000 == 5000) ++ties;
    Check(products, AsProduct(RoundedProduct(Exact(a), Exact(b))), [&] { return a * b; },
          Describe(a) + " * " + Describe(b));
    if (HasFailure()) return;
  }
  EXPECT_GT(ties, 100);
}

TEST(FixedDecimalExact, ToScaledAnswersExactlyTheValuesThatAreAmounts) {
  Inputs in(0x70C1);
  Tally building, scaled;
  // The edges of int64_t's range on both sides, reached through products.
  const FixedDecimal top = FixedDecimal::FromScaled(kMax);
  const FixedDecimal bottom = FixedDecimal::FromScaled(kMin);
  const auto checkScaled = [&](const FixedDecimal& v) {
    const std::optional<int64_t> expected = Exact(v).ToInt64();
    std::optional<int64_t> got;
    try {
      got = v.ToScaled();
    } catch (const ArithmeticError&) {
    }
    EXPECT_EQ(got, expected) << Describe(v);
    ++(expected ? scaled.answered : scaled.raised);
  };
  for (const FixedDecimal& v : {top, bottom, top * -1, bottom * -1, top * 2, bottom * FixedDecimal::FromParts(1, 1)})
    checkScaled(v);
  for (int i = 0; i < kExactCases; ++i) {
    FixedDecimal v = in.Value(building);
    if (in.Below(2)) {
      // Near INT64_MAX or INT64_MIN in ten-thousandths, on the far side too.
      const int64_t edge = in.Below(2) ? kMax : kMin;
      v = FixedDecimal::FromScaled(edge - (edge < 0 ? -1 : 1) * static_cast<int64_t>(in.Below(10)));
      if (in.Below(2)) v = v * static_cast<int32_t>(in.Below(2) ? -1 : 1);
      if (in.Below(2)) v = v * FixedDecimal::FromScaled(10000 + static_cast<int64_t>(in.Below(3)));
    }
    checkScaled(v);
    if (HasFailure()) return;
  }
  EXPECT_GT(scaled.answered, kExactCases / 4);
  EXPECT_GT(scaled.raised, kExactCases / 10);
}

}  // namespace
