#include <gtest/gtest.h>

#include "aggregate/TaxAggregate.h"

using aggregate::TaxAggregate;

namespace {

const uint8_t* Bytes(const void* p) { return static_cast<const uint8_t*>(p); }

TEST(TaxAggregateTables, AtLeastThreeRatesAreHeldWhateverTheCount) {
  for (int16_t n : {int16_t{-1}, int16_t{0}, int16_t{2}, int16_t{3}}) {
    TaxAggregate agg;
    agg.AllocateRateTables(n);
    EXPECT_EQ(agg.rateCount(), n < 0 ? 0 : n);
    ASSERT_EQ(agg.rateRecordCount(), 3u) << n;
    // The last of the three records and its six business-type records exist.
    agg.RateRecord(2).SetU32(0, 300);
    agg.BusinessRecord(2, 6).SetU8(5, 6);
    EXPECT_EQ(Bytes(agg.rateTotals())[2 * TaxAggregate::kRateRecordSize], 0x2C);
    EXPECT_EQ(Bytes(agg.businessTotals())[(2 * 6 + 5) * TaxAggregate::kBusinessRecordSize + 5], 6);
  }
}

TEST(TaxAggregateTables, FiveRatesAreZeroFilledAndLaidOutBackToBack) {
  TaxAggregate agg;
  agg.AllocateRateTables(5);
  ASSERT_EQ(agg.rateRecordCount(), 5u);
  for (size_t i = 0; i < 5 * TaxAggregate::kRateRecordSize; ++i) ASSERT_EQ(Bytes(agg.rateTotals())[i], 0) << i;
  for (size_t i = 0; i < 30 * TaxAggregate::kBusinessRecordSize; ++i) ASSERT_EQ(Bytes(agg.businessTotals())[i], 0) << i;
  agg.BusinessRecord(4, 1).SetI64(8, -5);
  EXPECT_EQ(agg.BusinessRecord(3, 6).data() + TaxAggregate::kBusinessRecordSize, agg.BusinessRecord(4, 1).data());
  EXPECT_EQ(host::RecordView(agg.businessTotals()->data(), 30 * 64).I64(24 * 64 + 8), -5);
  agg.ReleaseRateTables();
  EXPECT_FALSE(agg.HasRateTables());
  EXPECT_EQ(agg.rateTotals(), nullptr);
}

TEST(TaxAggregateTablesDeathTest, RecordsOutsideTheTablesAbort) {
  TaxAggregate agg;
  agg.AllocateRateTables(3);
  EXPECT_DEATH(agg.RateRecord(3), "out of range");
  EXPECT_DEATH(agg.BusinessRecord(0, 7), "business type");
  EXPECT_DEATH(agg.BusinessRecord(3, 1), "out of range");
}

}  // namespace
