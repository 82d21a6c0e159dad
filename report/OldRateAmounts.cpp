#include "report/OldRateAmounts.h"

#include "host/ByteRecord.h"

namespace report {
namespace {

constexpr size_t kFirstRateAmount = 9;
constexpr size_t kRateAmountsTested = 55;
constexpr size_t kFirstBusinessAmount = 8;
constexpr size_t kBusinessAmountsTested = 6;

bool AnyNonzero(const uint8_t* records, size_t recordSize, size_t index, size_t first, size_t count) {
  const host::RecordView record(const_cast<uint8_t*>(records) + index * recordSize, recordSize);
  for (size_t k = 0; k < count; ++k) {
    if (record.I64(first + 8 * k) != 0) return true;
  }
  return false;
}

}  // namespace

int HasOldRateAmounts(const OldRateInputs& in) {
  const int c = static_cast<int16_t>(in.rateCount - 2);
  if (c > 1 && in.rateTotals) {
    for (int i = 1; i <= c - 1 && static_cast<size_t>(i) < in.rateRecords; ++i) {
      if (AnyNonzero(in.rateTotals, kRateRecordSize, i, kFirstRateAmount, kRateAmountsTested)) return 1;
    }
  }
  if (in.oldRateTaxSum3 != 0) return 1;
  if (c <= 1) return 0;
  if (in.businessTotals) {
    for (int j = 6; j <= 6 * c - 1 && static_cast<size_t>(j) < in.businessRecords; ++j) {
      if (AnyNonzero(in.businessTotals, kBusinessRecordSize, j, kFirstBusinessAmount, kBusinessAmountsTested)) return 1;
    }
  }
  return 0;
}

}  // namespace report
