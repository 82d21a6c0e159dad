#include "ledger/rules/ReturnFigures.h"

#include <algorithm>
#include <limits>

#include "ledger/rules/RuleSupport.h"

namespace ledger::rules {

namespace tc = tax_category;
using R = StTAXREPORTRATEINFO;
using B = StTAXREPORTBUSINESSTYPEINFO;

uint32_t RateInForce(int32_t date) {
  if (date < 19970401) return 300;
  if (date < 20140401) return 500;
  if (date < 20191001) return 800;
  return 1000;
}

ReturnFigureSheet::ReturnFigureSheet(std::vector<uint32_t> recordRates)
    : recordRates_(std::move(recordRates)), records_(recordRates_.size()) {}

void ReturnFigureSheet::AddAt(RecordSums& sums, size_t offset, int64_t value) {
  if (!AddAmount(&sums.amounts[offset], value)) ok_ = false;
}

void ReturnFigureSheet::AddGroup(RecordSums& sums, size_t offset, const JournalSide& side, int sign) {
  const int64_t amount = sign * side.amount;
  const int64_t tax = sign * side.tax;
  int64_t inclusive = amount;
  if (!AddAmount(&inclusive, tax)) ok_ = false;
  AddAt(sums, offset + R::kExcl, amount);
  AddAt(sums, offset + R::kTax, tax);
  AddAt(sums, offset + R::kIncl, inclusive);
}

void ReturnFigureSheet::Add(const JournalSide& side, uint64_t count) {
  const uint8_t c = side.category;
  const bool sales = c >= tc::kTaxableSales && c <= tc::kBadDebtsRecovered;
  const bool purchase = c >= tc::kPurchaseTaxableOnly && c <= tc::kImportLocalTax && c != tc::kNonTaxablePurchase;
  if (!sales && !purchase) return;

  uint32_t rate = side.rate != 0 ? side.rate : RateInForce(side.date);
  if (side.reduced) rate += kReducedMark;
  const auto found = std::find(recordRates_.begin(), recordRates_.end(), rate);
  if (found == recordRates_.end()) return;
  const size_t index = static_cast<size_t>(found - recordRates_.begin());
  RecordSums& sums = records_[index];
  sums.sides += static_cast<uint32_t>(count);  // counted as the host counts: modulo 2^32

  // The side that makes the figure: credit for sales and recoveries, debit
  // for bad debts, purchases and imports.
  const bool natural = (c == tc::kBadDebts || purchase) ? side.debit : !side.debit;
  const int sign = natural ? 1 : -1;
  switch (c) {
    case tc::kTaxableSales: {
      AddGroup(sums, natural ? R::kTaxableSalesExcl : R::kSalesReturnsExcl, side, 1);
      if (side.businessType >= 1 && side.businessType <= 6) {
        const size_t t = side.businessType - 1;
        const size_t base = natural ? 0 : 3;  // sales, then returns: with tax, tax, without tax
        int64_t inclusive = side.amount;
        if (!AddAmount(&inclusive, side.tax)) ok_ = false;
        if (!AddAmount(&sums.business[t][base + 0], inclusive) || !AddAmount(&sums.business[t][base + 1], side.tax) ||
            !AddAmount(&sums.business[t][base + 2], side.amount)) {
          ok_ = false;
        }
        sums.businessSides[t] += static_cast<int64_t>(count);
      }
      break;
    }
    case tc::kExemptSales:
      AddAt(sums, natural ? R::kExemptSales : R::kExemptSalesReturns, side.amount);
      break;
    case tc::kNonTaxableSales:
      AddAt(sums, natural ? R::kNonTaxableSales : R::kNonTaxableSalesReturns, side.amount);
      break;
    case tc::kSecurities:
      if (!AddAmount(&sums.securitiesTransfers, sign * side.amount)) ok_ = false;
      break;
    case tc::kNonTaxableAssetExports:
      AddAt(sums, R::kNonTaxableAssetExports, sign * side.amount);
      break;
    case tc::kBadDebts:
      AddGroup(sums, R::kBadDebts, side, sign);
      break;
    case tc::kBadDebtsRecovered:
      AddGroup(sums, R::kBadDebtsRecovered, side, sign);
      break;
    case tc::kPurchaseTaxableOnly:
    case tc::kPurchaseNonTaxableOnly:
    case tc::kPurchaseCommon: {
      const size_t k = c - tc::kPurchaseTaxableOnly;
      AddGroup(sums, (natural ? R::kPurchasesTaxableOnly : R::kPurchaseReturnsTaxableOnly) + 24 * k, side, 1);
      break;
    }
    case tc::kImportTaxableOnly:
    case tc::kImportNonTaxableOnly:
    case tc::kImportCommon: {
      const size_t k = c - tc::kImportTaxableOnly;
      AddGroup(sums, (natural ? R::kImportTaxableOnly : R::kImportReturnsTaxableOnly) + 24 * k, side, 1);
      break;
    }
    case tc::kImportLocalTax:
      AddAt(sums, natural ? R::kImportLocalTax : R::kImportLocalTaxReturns, side.tax);
      break;
    default:
      break;
  }
}

bool ReturnFigureSheet::AddInto(StTAXREPORTRATEINFO* rateTotals, StTAXREPORTBUSINESSTYPEINFO* businessTotals) const {
  if (!ok_) return false;
  // Work on copies so that a sum out of range leaves the caller's records as
  // they were.
  std::vector<StTAXREPORTRATEINFO> rates(rateTotals, rateTotals + records_.size());
  std::vector<StTAXREPORTBUSINESSTYPEINFO> business(businessTotals, businessTotals + 6 * records_.size());
  for (size_t i = 0; i < records_.size(); ++i) {
    const RecordSums& sums = records_[i];
    host::RecordView r = rates[i].view();
    std::map<size_t, int64_t> amounts = sums.amounts;
    if (!AddAmount(&amounts[R::kSecuritiesSales], sums.securitiesTransfers / 20)) return false;
    for (const auto& [offset, value] : amounts) {
      int64_t stored = r.I64(offset);
      if (!AddAmount(&stored, value)) return false;
      r.SetI64(offset, stored);
    }
    const uint64_t sides = uint64_t{r.U32(4)} + sums.sides;
    r.SetU32(4, static_cast<uint32_t>(std::min<uint64_t>(sides, std::numeric_limits<uint32_t>::max())));
    r.SetU8(8, 0);
    for (size_t t = 0; t < 6; ++t) {
      host::RecordView b = business[6 * i + t].view();
      const size_t offsets[6] = {B::kSalesIncl, B::kSalesTax, B::kSalesExcl,
                                 B::kReturnsIncl, B::kReturnsTax, B::kReturnsExcl};
      for (size_t m = 0; m < 6; ++m) {
        int64_t stored = b.I64(offsets[m]);
        if (!AddAmount(&stored, sums.business[t][m])) return false;
        b.SetI64(offsets[m], stored);
      }
      b.SetU8(4, static_cast<uint8_t>(i));
      b.SetI16(6, 0);
      int64_t count = b.I64(56);
      if (!AddAmount(&count, sums.businessSides[t])) return false;
      b.SetI64(56, count);
    }
  }
  std::copy(rates.begin(), rates.end(), rateTotals);
  std::copy(business.begin(), business.end(), businessTotals);
  return true;
}

}  // namespace ledger::rules
