#include "aggregate/TaxAggregate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void TaxAggregate::AllocateRateTables(int16_t rateCount) {
  rateCount_ = std::max<int>(rateCount, 0);
  const size_t records = static_cast<size_t>(std::max(rateCount_, kMinRateRecords));
  rateBlock_.assign(records * kRateRecordSize, 0);
  businessBlock_.assign(records * kBusinessTypes * kBusinessRecordSize, 0);
}

void TaxAggregate::ReleaseRateTables() {
  rateCount_ = 0;
  std::vector<uint8_t>().swap(rateBlock_);
  std::vector<uint8_t>().swap(businessBlock_);
}

host::RecordView TaxAggregate::RateRecord(size_t rateIndex) {
  host::RecordView block(rateBlock_.data(), rateBlock_.size());
  return block.Sub(rateIndex * kRateRecordSize, kRateRecordSize);
}

host::RecordView TaxAggregate::BusinessRecord(size_t rateIndex, int businessType) {
  if (businessType < 1 || businessType > kBusinessTypes) {
    std::fprintf(stderr, "business type %d outside 1..6\n", businessType);
    std::abort();
  }
  host::RecordView block(businessBlock_.data(), businessBlock_.size());
  const size_t index = rateIndex * kBusinessTypes + static_cast<size_t>(businessType - 1);
  return block.Sub(index * kBusinessRecordSize, kBusinessRecordSize);
}
