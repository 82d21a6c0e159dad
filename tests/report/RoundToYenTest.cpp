// Whole-yen rounding of amounts in ten-thousandths of a yen, and the text of
// an amount leaf.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "host/Records.h"
#include "report/RoundToYen.h"

namespace {

using report::AmountText;
using report::RoundToYen;

constexpr int kHalfUp = host::StSHOHIZEIINFO::kRoundHalfUp;
constexpr int kCutOff = host::StSHOHIZEIINFO::kCutOff;
constexpr int kRoundUp = host::StSHOHIZEIINFO::kRoundUp;

// Amount of `yen` whole yen and `decimals` ten-thousandths.
constexpr int64_t Yen(int64_t yen, int64_t decimals = 0) { return yen * 10000 + decimals; }

TEST(RoundToYen, DocumentedExamples) {
  EXPECT_EQ(RoundToYen(Yen(1234, 4445), kHalfUp), 1235);
  EXPECT_EQ(RoundToYen(Yen(1234, 4444), kHalfUp), 1234);
  EXPECT_EQ(RoundToYen(Yen(1234, 5000), kHalfUp), 1235);
  EXPECT_EQ(RoundToYen(Yen(0, 4000), kHalfUp), 0);
  EXPECT_EQ(RoundToYen(Yen(0, 4445), kHalfUp), 1);
  EXPECT_EQ(RoundToYen(Yen(1234, 9999), kCutOff), 1234);
  EXPECT_EQ(RoundToYen(Yen(1234, 1), kRoundUp), 1235);
  EXPECT_EQ(RoundToYen(Yen(0, 1), kRoundUp), 1);
  EXPECT_EQ(RoundToYen(Yen(1234), kRoundUp), 1234);
}

TEST(RoundToYen, HalfUpCarriesDigitByDigit) {
  struct Case {
    int64_t decimals;
    int64_t expected;
  };
  // A digit of 5 or more carries into the one above, even when that digit reaches 10.
  for (const Case& c : {Case{4445, 8}, Case{4444, 7}, Case{4449, 8}, Case{4454, 8}, Case{4499, 8},
                        Case{4995, 8}, Case{4950, 8}, Case{3999, 7}, Case{445, 7}, Case{5000, 8},
                        Case{9999, 8}, Case{0, 7}, Case{4500, 8}, Case{4440, 7}}) {
    EXPECT_EQ(RoundToYen(Yen(7, c.decimals), kHalfUp), c.expected) << "7." << c.decimals;
  }
  // Over every fraction the chain of carries amounts to: up from 0.4445 yen on.
  for (int64_t r = 0; r < 10000; ++r) {
    ASSERT_EQ(RoundToYen(Yen(42, r), kHalfUp), r >= 4445 ? 43 : 42) << r;
    ASSERT_EQ(RoundToYen(Yen(42, r), kCutOff), 42) << r;
    ASSERT_EQ(RoundToYen(Yen(42, r), kRoundUp), r == 0 ? 42 : 43) << r;
  }
}

TEST(RoundToYen, UnknownKindsCutOff) {
  for (int kind : {3, 4, 255, -1, 1000}) {
    EXPECT_EQ(RoundToYen(Yen(1234, 9999), kind), 1234) << kind;
    EXPECT_EQ(RoundToYen(Yen(-1234, -9999), kind), -1234) << kind;
  }
}

TEST(RoundToYen, NegativeAmountsRoundByMagnitude) {
  EXPECT_EQ(RoundToYen(Yen(-1234, -5000), kHalfUp), -1235);
  EXPECT_EQ(RoundToYen(Yen(-1234, -4445), kHalfUp), -1235);
  EXPECT_EQ(RoundToYen(Yen(-1234, -4444), kHalfUp), -1234);
  EXPECT_EQ(RoundToYen(Yen(-1234, -9999), kCutOff), -1234);
  EXPECT_EQ(RoundToYen(-1, kRoundUp), -1);
  EXPECT_EQ(RoundToYen(Yen(-1, -5000), kRoundUp), -2);
  EXPECT_EQ(RoundToYen(Yen(-1234), kRoundUp), -1234);
  for (int kind : {kHalfUp, kCutOff, kRoundUp}) {
    for (int64_t amount : {Yen(0, 1), Yen(0, 4445), Yen(3, 4444), Yen(99, 9999), Yen(1000000, 5)}) {
      EXPECT_EQ(RoundToYen(-amount, kind), -RoundToYen(amount, kind)) << amount << " kind " << kind;
    }
  }
}

TEST(RoundToYen, ExtremeAmountsDoNotOverflow) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();  // 922337203685477.5807 yen
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();  // -922337203685477.5808 yen
  EXPECT_EQ(RoundToYen(kMax, kHalfUp), 922337203685478);
  EXPECT_EQ(RoundToYen(kMax, kCutOff), 922337203685477);
  EXPECT_EQ(RoundToYen(kMax, kRoundUp), 922337203685478);
  EXPECT_EQ(RoundToYen(kMin, kHalfUp), -922337203685478);
  EXPECT_EQ(RoundToYen(kMin, kCutOff), -922337203685477);
  EXPECT_EQ(RoundToYen(kMin, kRoundUp), -922337203685478);
}

TEST(AmountText, ZeroIsEmptyOtherwisePlainSignedDigits) {
  EXPECT_EQ(AmountText(0, kHalfUp), "");
  EXPECT_EQ(AmountText(Yen(0, 4000), kHalfUp), "");
  EXPECT_EQ(AmountText(Yen(0, 9999), kCutOff), "");
  EXPECT_EQ(AmountText(Yen(0, -4444), kHalfUp), "");
  EXPECT_EQ(AmountText(Yen(0, 4445), kHalfUp), "1");
  EXPECT_EQ(AmountText(Yen(500), kHalfUp), "500");
  EXPECT_EQ(AmountText(Yen(1234567), kCutOff), "1234567");
  EXPECT_EQ(AmountText(Yen(-1234, -5000), kHalfUp), "-1235");
  EXPECT_EQ(AmountText(-1, kRoundUp), "-1");
  EXPECT_EQ(AmountText(std::numeric_limits<int64_t>::min(), kCutOff), "-922337203685477");
}

}  // namespace
