// TaxAggregate: every figure that one run aggregates from the books, read
// afterwards by the report writers.
//
// Amounts are signed 64-bit ten-thousandths of a yen, never rounded here. All
// members are zero until the passes add into them; one run is one process, so
// each member holds the sum of one run.
//
//  - rateTotals: one StTAXREPORTRATEINFO record per tax rate (index 0 = 8 %,
//    1 = 5 %, 2 = 3 %), filled by the return figures pass.
//  - businessTotals: six StTAXREPORTBUSINESSTYPEINFO records per rate, record
//    (i * 6 + t - 1) for rate index i and business type t (1..6).
//  - oldRateTaxSums: the 5 % and the 3 % tax summary sums, in that order.
//  - the corporate and the individual refund-statement rows.
//
// The two tables are allocated by AllocateRateTables with the rate count N
// that the data's consumption-tax settings report. Records 0 to 2 of
// rateTotals always receive their rates, so at least three rate records (and
// eighteen business-type records) are allocated whatever N is; the passes and
// writers still walk only the first N.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/ByteRecord.h"
#include "host/TaxReportRecords.h"

namespace aggregate {

// One row of the refund statement.
struct RefundLine {
  int64_t bookAmount = 0;          // account balances over the months
  int64_t nonQualifying = 0;       // journal amounts not in a taxable-purchase category
  int64_t undeterminedImport = 0;  // the part of nonQualifying in categories 31..37
};

class TaxAggregate {
 public:
  static constexpr size_t kRateRecordSize = StTAXREPORTRATEINFO::kSize;
  static constexpr size_t kBusinessRecordSize = StTAXREPORTBUSINESSTYPEINFO::kSize;
  static constexpr int kBusinessTypes = 6;
  static constexpr int kMinRateRecords = 3;          // 8 %, 5 %, 3 %

  // Allocates both tables zero-filled for `rateCount` rates (any previous
  // tables are released). Negative counts are taken as 0 rates.
  void AllocateRateTables(int16_t rateCount);
  void ReleaseRateTables();
  bool HasRateTables() const { return !rateBlock_.empty(); }

  // N as the host reported it (0 before allocation), and the records held.
  int rateCount() const { return rateCount_; }
  size_t rateRecordCount() const { return rateBlock_.size(); }

  // The whole tables, as the host's return rule fills them (null before
  // allocation).
  StTAXREPORTRATEINFO* rateTotals() { return rateBlock_.empty() ? nullptr : rateBlock_.data(); }
  StTAXREPORTBUSINESSTYPEINFO* businessTotals() { return businessBlock_.empty() ? nullptr : businessBlock_.data(); }

  // One record; the index must be below rateRecordCount() (checked, aborts).
  host::RecordView RateRecord(size_t rateIndex);
  host::RecordView BusinessRecord(size_t rateIndex, int businessType);

  int64_t oldRateTaxSums[2] = {0, 0};  // 5 %, 3 %

  // Corporate rows (corporations, kinds 0 and 1).
  RefundLine goodsPurchases;
  RefundLine sellingAdminExpenses;
  RefundLine nonOperatingExpenses;
  RefundLine otherProfitLoss;
  // Individual rows (kinds 3 and 4).
  RefundLine businessPurchases;
  RefundLine businessExpenses;
  RefundLine businessFixedAssets;
  RefundLine realEstateExpenses;
  RefundLine realEstateFixedAssets;
  RefundLine otherPurchases;
  RefundLine otherExpenses;
  RefundLine otherFixedAssets;
  // Corporate acquisitions.
  int64_t fixedAssetAcquisitions = 0;
  int64_t deferredAssetAcquisitions = 0;

 private:
  int rateCount_ = 0;
  std::vector<StTAXREPORTRATEINFO> rateBlock_;
  std::vector<StTAXREPORTBUSINESSTYPEINFO> businessBlock_;
};

}  // namespace aggregate
