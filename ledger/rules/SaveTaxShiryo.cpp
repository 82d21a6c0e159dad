// ClSaveTaxShiryo: the saved consumption-tax return of a data set, laid out
// as the 24576-byte StSaveTaxInfo block.
//
// The header comes from the saved_return row (taxation kind at 3, deduction
// method + 1 at 4, the three choices at 6-8, the dates at 9, 13, 17, 21, 29,
// 33, closing pattern + 1 at 39, the refund-statement basis codes at
// 9865-9867); every saved_amount row goes to the offset its name has in the
// table of saved amounts (SavedAmountOffset). Bytes with nothing saved are 0.
// A data set without a saved return answers kNotFound; a saved amount whose
// name has no place in the block answers kStoreFailed (the return would be
// written incomplete otherwise). In both cases the caller's block is left as
// it was.
//
// The return is read from the store on every GetTaxSaveInfo, so there is no
// cache to go stale: RefreshCache only checks that the data set can be read.
#include "host/LedgerRules.h"
#include "ledger/Store.h"
#include "ledger/rules/RuleSupport.h"

using ledger::Statement;
using ledger::Store;
namespace rules = ledger::rules;
using S = StSaveTaxInfo;

ClSaveTaxShiryo::ClSaveTaxShiryo() = default;
ClSaveTaxShiryo::~ClSaveTaxShiryo() = default;

int32_t ClSaveTaxShiryo::RefreshCache() {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  Store* store = nullptr;
  return rules::OpenData(CurDataID(), &store);
}

int32_t ClSaveTaxShiryo::GetTaxSaveInfo(StSaveTaxInfo* info) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (info == nullptr) return host::kBadArgument;
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;

  Statement header = store->Prepare(
      "SELECT taxation_kind, deduction_method, sales_tax_choice, purchase_tax_choice, transitional_flag, "
      "period_start, period_end, year_start, year_end, return_start, return_end, closing_pattern, "
      "refund_individual_basis, refund_corporate_pl_basis, refund_corporate_asset_basis "
      "FROM saved_return WHERE data_id = ?1");
  if (!header.valid()) return host::kStoreFailed;
  header.Bind(1, CurDataID());
  const int rc = header.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;

  auto block = std::make_unique<StSaveTaxInfo>();
  host::RecordView v = block->view();
  v.SetU8(S::kTaxationKind, static_cast<uint8_t>(header.Int(0)));
  v.SetU8(S::kDeductionCode, static_cast<uint8_t>(header.Int(1) + 1));
  v.SetU8(S::kSalesTaxChoice, static_cast<uint8_t>(header.Int(2)));
  v.SetU8(S::kPurchaseTaxChoice, static_cast<uint8_t>(header.Int(3)));
  v.SetU8(S::kTransitionalFlag, static_cast<uint8_t>(header.Int(4)));
  v.SetI32(S::kPeriodStart, static_cast<int32_t>(header.Int(5)));
  v.SetI32(S::kPeriodEnd, static_cast<int32_t>(header.Int(6)));
  v.SetI32(S::kBusinessYearStart, static_cast<int32_t>(header.Int(7)));
  v.SetI32(S::kBusinessYearEnd, static_cast<int32_t>(header.Int(8)));
  v.SetI32(S::kReturnStart, static_cast<int32_t>(header.Int(9)));
  v.SetI32(S::kReturnEnd, static_cast<int32_t>(header.Int(10)));
  v.SetU8(S::kClosingCode, static_cast<uint8_t>(header.Int(11) + 1));
  v.SetU8(S::kRefundIndividualBasis, static_cast<uint8_t>(header.Int(12)));
  v.SetU8(S::kRefundCorporatePlBasis, static_cast<uint8_t>(header.Int(13)));
  v.SetU8(S::kRefundCorporateAssetBasis, static_cast<uint8_t>(header.Int(14)));

  Statement amounts = store->Prepare("SELECT name, amount FROM saved_amount WHERE data_id = ?1");
  if (!amounts.valid()) return host::kStoreFailed;
  amounts.Bind(1, CurDataID());
  int step;
  while ((step = amounts.Step()) == SQLITE_ROW) {
    const size_t offset = host::SavedAmountOffset(amounts.Text(0));
    if (offset == 0) return host::kStoreFailed;
    v.SetI64(offset, amounts.Int(1));
  }
  if (step != SQLITE_DONE) return host::kStoreFailed;
  *info = *block;
  return host::kOk;
}
