#include "aggregate/TaxAggregate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace aggregate {

void TaxAggregate::AllocateRateTables(int16_t rateCount) {
  rateCount_ = std::max<int>(rateCount, 0);
  const size_t records = static_cast<size_t>(std::max(rateCount_, kMinRateRecords));
  // Value-initialised records are zero-filled (ByteRecord zeroes its bytes).
  rateBlock_.assign(records, StTAXREPORTRATEINFO());
  businessBlock_.assign(records * kBusinessTypes, StTAXREPORTBUSINESSTYPEINFO());
}

void TaxAggregate::ReleaseRateTables() {
  rateCount_ = 0;
  std::vector<StTAXREPORTRATEINFO>().swap(rateBlock_);
  std::vector<StTAXREPORTBUSINESSTYPEINFO>().swap(businessBlock_);
}

host::RecordView TaxAggregate::RateRecord(size_t rateIndex) {
  host::RecordView block(reinterpret_cast<uint8_t*>(rateBlock_.data()), rateBlock_.size() * kRateRecordSize);
  return block.Sub(rateIndex * kRateRecordSize, kRateRecordSize);
}

host::RecordView TaxAggregate::BusinessRecord(size_t rateIndex, int businessType) {
  if (businessType < 1 || businessType > kBusinessTypes) {
    std::fprintf(stderr, "business type %d outside 1..6\n", businessType);
    std::abort();
  }
  host::RecordView block(reinterpret_cast<uint8_t*>(businessBlock_.data()),
                         businessBlock_.size() * kBusinessRecordSize);
  const size_t index = rateIndex * kBusinessTypes + static_cast<size_t>(businessType - 1);
  return block.Sub(index * kBusinessRecordSize, kBusinessRecordSize);
}

}  // namespace aggregate
