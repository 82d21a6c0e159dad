#include "app/SavedReturnCheck.h"

#include "host/Records.h"

namespace app {

int SavedReturnMatches(host::RecordView savedReturn, const CurrentDataFacts& data) {
  const int32_t start = savedReturn.I32(host::StSaveTaxInfo::kPeriodStart);
  const int32_t end = savedReturn.I32(host::StSaveTaxInfo::kPeriodEnd);
  if (start == 0 || end == 0) return 0;
  if (start != data.periodStart || end != data.periodEnd) return 0;
  if (savedReturn.U8(host::StSaveTaxInfo::kClosingCode) != static_cast<uint8_t>(data.closingPattern + 1)) return 0;
  // The saved return codes its taxation its own way: every method but
  // simplified taxation is taken for general taxation.
  const uint8_t kind = data.taxMethod == host::StSHOHIZEIINFO::kSimplified ? host::StSaveTaxInfo::kSavedSimplified
                                                                           : host::StSaveTaxInfo::kSavedGeneral;
  if (savedReturn.U8(host::StSaveTaxInfo::kTaxationKind) != kind) return 0;
  if (savedReturn.U8(host::StSaveTaxInfo::kDeductionCode) != static_cast<uint8_t>(data.deductionMethod + 1)) return 0;
  return 1;
}

}  // namespace app
