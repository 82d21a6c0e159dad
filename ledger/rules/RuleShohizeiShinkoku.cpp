// ClRuleShohizeiShinkoku::SumTax: the return's figures by rate and business
// type from one pass over the journal lines within the period condition. What
// each side adds, and where, is the table of ReturnFigures.h.
//
// The rate records are matched by the rate the caller preset in each of the
// first N records (N = the data's rate count); the business records of rate
// record i are i x 6 to i x 6 + 5, for business types 1 to 6. The tax method
// (0, 1 or 2) is checked but changes nothing: every figure is summed for every
// method, and the document's writer picks what the method uses. The sums are
// added into the records in one step: on any failure the records are left
// exactly as they were.
//
// While the journal's tally describes the store and the period condition
// names months only, the sums come from the tally's return cells (a side is
// placed there by its month, category, business type and the rate it is
// taxed at, all the sheet asks of it) instead of reading the lines.
#include <array>
#include <string>
#include <vector>

#include "host/LedgerRules.h"
#include "ledger/JournalTally.h"
#include "ledger/rules/ReturnFigures.h"
#include "ledger/rules/RuleSupport.h"

using ledger::Statement;
using ledger::Store;
namespace rules = ledger::rules;

ClRuleShohizeiShinkoku::ClRuleShohizeiShinkoku() = default;
ClRuleShohizeiShinkoku::~ClRuleShohizeiShinkoku() = default;

int32_t ClRuleShohizeiShinkoku::SumTax(uint8_t taxMethod, const StFINDINFO* period, StTAXREPORTRATEINFO* rateTotals,
                                       StTAXREPORTBUSINESSTYPEINFO* businessTotals) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (taxMethod > 2 || rateTotals == nullptr || businessTotals == nullptr) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = ledger::ChainToSql(period, ledger::JournalColumns, 2, &condition); status != host::kOk) {
    return status;
  }
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;

  Statement count = store->Prepare("SELECT rate_count FROM tax_settings WHERE data_id = ?1");
  if (!count.valid()) return host::kStoreFailed;
  count.Bind(1, CurDataID());
  const int counted = count.Step();
  if (counted == SQLITE_DONE) return host::kNotFound;
  if (counted != SQLITE_ROW) return host::kStoreFailed;
  const size_t rateCount = static_cast<size_t>(count.Int(0));

  std::vector<uint32_t> presetRates;
  for (size_t i = 0; i < rateCount; ++i) presetRates.push_back(rateTotals[i].view().U32(StTAXREPORTRATEINFO::kRate));
  rules::ReturnFigureSheet sheet(std::move(presetRates));

  std::array<bool, 19> months{};
  if (const ledger::JournalTally* tally = rules::CurrentTally(*store, CurDataID());
      tally != nullptr && ledger::JournalTally::SelectedMonths(period, &months) == host::kOk) {
    tally->ForEachReturnSide([&](const ledger::JournalTally::ReturnSideKey& key, const ledger::JournalTally::SideSums& sums) {
      if (!months[static_cast<size_t>(key.month)]) return;
      rules::JournalSide s;
      s.debit = key.debit;
      s.category = key.category;
      s.rate = key.rate;
      s.reduced = key.reduced;
      s.businessType = key.businessType;
      s.amount = sums.amount;
      s.tax = sums.tax;
      sheet.Add(s, sums.sides);
    });
    return sheet.AddInto(rateTotals, businessTotals) ? host::kOk : host::kStoreFailed;
  }

  Statement q = store->Prepare(
      "SELECT entry_date, dr_category, dr_rate, dr_reduced, dr_business_type, dr_amount, dr_tax, "
      "cr_category, cr_rate, cr_reduced, cr_business_type, cr_amount, cr_tax "
      "FROM journal_line WHERE data_id = ?1 AND " +
      condition.where);
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, CurDataID());
  rules::BindCondition(q, condition, 2);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW) {
    const int32_t date = static_cast<int32_t>(q.Int(0));
    for (int side = 0; side < 2; ++side) {
      const int c = 1 + 6 * side;
      rules::JournalSide s;
      s.date = date;
      s.debit = side == 0;
      s.category = static_cast<uint8_t>(q.Int(c));
      s.rate = static_cast<uint32_t>(q.Int(c + 1));
      s.reduced = q.Int(c + 2) != 0;
      s.businessType = static_cast<uint8_t>(q.Int(c + 3));
      s.amount = q.Int(c + 4);
      s.tax = q.Int(c + 5);
      sheet.Add(s);
    }
  }
  if (rc != SQLITE_DONE) return host::kStoreFailed;
  return sheet.AddInto(rateTotals, businessTotals) ? host::kOk : host::kStoreFailed;
}
