// Whether the aggregation result holds amounts at old tax rates (5 % and 3 %),
// which makes BASIC's transitional-measure flag "1".
//
// Given the rate count N that the host reports, c = N - 2 live rates lie in
// the rate records 0 (8 %), 1 (5 %), 2 (3 %). The old rates are rate indexes
// 1 to c - 1: their 55 amounts in the rate record (byte offsets 9 to 441) and
// their six business-type records' six amounts each (offsets 8 to 48). A
// nonzero 3 % tax sum from the tax summary pass also counts. With c <= 1 only
// the 3 % tax sum is looked at.
#pragma once

#include <cstddef>
#include <cstdint>

namespace report {

inline constexpr size_t kRateRecordSize = 497;
inline constexpr size_t kBusinessRecordSize = 64;
inline constexpr size_t kBusinessTypesPerRate = 6;

struct OldRateInputs {
  int16_t rateCount = 0;               // N as the host reports it
  const uint8_t* rateTotals = nullptr; // rate records
  size_t rateRecords = 0;              // how many records the block holds
  const uint8_t* businessTotals = nullptr;
  size_t businessRecords = 0;
  int64_t oldRateTaxSum3 = 0;          // the 3 % tax sum (second old-rate sum)
};

// 1 when an old-rate amount is present, else 0. Records beyond what the
// blocks hold are not read.
int HasOldRateAmounts(const OldRateInputs& in);

}  // namespace report
