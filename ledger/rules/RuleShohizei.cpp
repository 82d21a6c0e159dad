// ClRuleShohizei: the consumption-tax summary, one row per account with
// journal sides at a rate in a range of month numbers.
//
// Sum type 2 selects the lines whose month number lies from the first to the
// last month number in the period's order (RuleSupport.h: 1-6, 15, 7-12, 18),
// and of them the sides whose rate is the given rate or the second rate (the
// standard rate: sides at the reduced 8 % rate never match 800). Rows come by
// account code. Row fields besides the code (0) and name (16):
//   598  i64  the consumption tax of the account's sides at the rate, taken in
//             the account's balance direction: debit sides add and credit
//             sides subtract for a debit-balance account, the reverse for a
//             credit-balance account (so tax on sales shows positive);
//   606  i64  the amount of the same sides in the same direction: without tax
//             when the tax treatment is 0, with tax when it is 1;
//   614  u32  the number of sides summed.
// The sums come from the journal's tally (JournalTally) while it describes
// the store, else from reading the lines.
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/LedgerRules.h"
#include "ledger/Text.h"
#include "ledger/rules/RuleSupport.h"
#include "platform/ShiftJis.h"

using ledger::Statement;
using ledger::Store;
namespace rules = ledger::rules;
using T = StTAXSUMINFO;

namespace {
constexpr size_t kBaseAmount = 606;
constexpr size_t kSideCount = 614;
constexpr int16_t kSumTypeByMonths = 2;
}  // namespace

struct ClRuleShohizei::Walk {
  rules::StatementCache cache;
  std::vector<StTAXSUMINFO> rows;
  size_t position = 0;
  bool ready = false;
};

ClRuleShohizei::ClRuleShohizei() : walk_(std::make_unique<Walk>()) {}
ClRuleShohizei::~ClRuleShohizei() = default;

int32_t ClRuleShohizei::MoveReady(int16_t sumType, const int16_t* firstMonth, const int16_t* lastMonth,
                                  const uint32_t* rate, const uint32_t* secondRate, uint8_t taxTreatment,
                                  int32_t reserved1, int32_t reserved2, int32_t reserved3) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  walk_->rows.clear();
  walk_->position = 0;
  walk_->ready = false;
  if (sumType != kSumTypeByMonths || firstMonth == nullptr || lastMonth == nullptr || rate == nullptr ||
      taxTreatment > 1 || reserved1 != 0 || reserved2 != 0 || reserved3 != 0) {
    return host::kBadArgument;
  }
  const int32_t from = rules::MonthOrder(*firstMonth);
  const int32_t to = rules::MonthOrder(*lastMonth);
  if (from == 0 || to == 0) return host::kBadArgument;
  const int64_t rateA = *rate;
  const int64_t rateB = secondRate != nullptr ? *secondRate : *rate;
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;

  struct Sum {
    int64_t tax = 0;
    int64_t base = 0;
    uint32_t sides = 0;
  };
  std::unordered_map<uint32_t, Sum> sums;
  // Adds sides of one account, in the direction of their side (debit adds);
  // false when a sum would leave the 64-bit range (refused, never wrapped).
  auto addSides = [&](int64_t account, bool debit, int64_t amount, int64_t tax, uint64_t count) {
    const int64_t sign = debit ? 1 : -1;
    int64_t base = amount;
    if (taxTreatment == 1 && !rules::AddAmount(&base, tax)) return false;
    Sum& s = sums[static_cast<uint32_t>(account)];
    if (!rules::AddAmount(&s.tax, sign * tax) || !rules::AddAmount(&s.base, sign * base)) return false;
    s.sides += static_cast<uint32_t>(count);
    return true;
  };
  const ledger::JournalTally* tally = rules::CurrentTally(*store, CurDataID());
  if (tally != nullptr && tally->HasSides()) {
    // The journal's side sums give the same figures without reading the lines.
    const bool added = tally->ForEachSide([&](const ledger::JournalTally::SideKey& key,
                                              const ledger::JournalTally::SideSums& side) {
      const int32_t order = rules::MonthOrder(key.month);
      if (order < from || order > to || (key.rate != rateA && key.rate != rateB) || key.reduced) return true;
      return addSides(key.account, key.debit, side.amount, side.tax, side.sides);
    });
    if (!added) return host::kStoreFailed;
  } else {
    Statement* lineRows = walk_->cache.Get(*store, std::string(
                                     "SELECT dr_account, dr_rate, dr_reduced, dr_amount, dr_tax, "
                                     "cr_account, cr_rate, cr_reduced, cr_amount, cr_tax FROM journal_line "
                                     "WHERE data_id = ?1 AND ") +
                                 rules::kMonthOrderSql + " BETWEEN ?2 AND ?3 AND (dr_rate IN (?4, ?5) OR cr_rate IN (?4, ?5))");
    if (lineRows == nullptr) return host::kStoreFailed;
    Statement& q = *lineRows;
    q.Bind(1, CurDataID()).Bind(2, from).Bind(3, to).Bind(4, rateA).Bind(5, rateB);
    int rc;
    while ((rc = q.Step()) == SQLITE_ROW) {
      for (int side = 0; side < 2; ++side) {
        const int c = 5 * side;
        const int64_t sideRate = q.Int(c + 1);
        if ((sideRate != rateA && sideRate != rateB) || q.Int(c + 2) != 0) continue;
        if (!addSides(q.Int(c), side == 0, q.Int(c + 3), q.Int(c + 4), 1)) return host::kStoreFailed;
      }
    }
    if (rc != SQLITE_DONE) return host::kStoreFailed;
  }

  Statement* accountRows =
      walk_->cache.Get(*store, "SELECT account_id, code, name, balance_side FROM account WHERE data_id = ?1 ORDER BY code");
  if (accountRows == nullptr) return host::kStoreFailed;
  Statement& accounts = *accountRows;
  accounts.Bind(1, CurDataID());
  int rc;
  while ((rc = accounts.Step()) == SQLITE_ROW) {
    auto found = sums.find(static_cast<uint32_t>(accounts.Int(0)));
    if (found == sums.end()) continue;
    auto code = ledger::Utf8ToCp932(accounts.Text(1));
    auto name = ledger::Utf8ToCp932(accounts.Text(2));
    if (!code || !name) return host::kStoreFailed;
    const int64_t direction = accounts.Int(3) == 2 ? -1 : 1;
    StTAXSUMINFO row;
    host::RecordView v = row.view();
    v.SetText(T::kAccountCode, T::kAccountCodeWidth, platform::sjis::CutToWholeChars(*code, T::kAccountCodeWidth - 1));
    v.SetText(T::kAccountName, T::kAccountNameWidth, platform::sjis::CutToWholeChars(*name, T::kAccountNameWidth - 1));
    v.SetI64(T::kAmount, direction * found->second.tax);
    v.SetI64(kBaseAmount, direction * found->second.base);
    v.SetU32(kSideCount, found->second.sides);
    walk_->rows.push_back(row);
  }
  if (rc != SQLITE_DONE) return host::kStoreFailed;
  walk_->ready = true;
  return host::kOk;
}

int32_t ClRuleShohizei::GetSumInfoCount(uint32_t* count) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (count == nullptr) return host::kBadArgument;
  if (!walk_->ready) return host::kNotReady;
  *count = static_cast<uint32_t>(walk_->rows.size());
  return host::kOk;
}

int32_t ClRuleShohizei::MoveNext(StTAXSUMINFO* row) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (row == nullptr) return host::kBadArgument;
  if (!walk_->ready) return host::kNotReady;
  if (walk_->position >= walk_->rows.size()) return host::kEndOfWalk;
  *row = walk_->rows[walk_->position++];
  return host::kOk;
}

int32_t ClRuleShohizei::MoveFinish() {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  const bool wasReady = walk_->ready;
  walk_->rows.clear();
  walk_->position = 0;
  walk_->ready = false;
  return wasReady ? host::kOk : host::kNotReady;
}
