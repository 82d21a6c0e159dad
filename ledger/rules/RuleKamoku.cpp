// ClRuleKamoku: account sums by month slot over a period condition.
//
// MoveReady walks the selected journal lines once and sums each side into its
// account: the debit side into the debit arrays, the credit side into the
// credit arrays, at the slot of the line's month number (RuleSupport.h); the
// first array of each pair takes the side's amount without tax, the second
// its amount plus its tax. Slot 0 is not used (no opening balances).
//
// Records: one per account of the data (row kind 0; every account, also one
// without lines), and one heading row (row kind 1, account ID 0, empty code)
// per account class: every class code held by an account and every class above
// it. A class code covers its sub-classes: the codes that agree with it in all
// bits from its lowest set bit upwards (0x40882000 covers 0x40882004 to
// 0x40882040; 0x40880000 covers both). A heading row sums the accounts of its
// class and of its sub-classes; its balance side is that of those accounts
// when they agree, else 1; its exclusion marks are 0. An account row carries
// the account's exclusion marks (bytes 126, 128) and balance side (130).
// Records come ordered by class code, a heading before the accounts of its
// class, accounts by code: the classes in the order of their tree.
//
// Without departments, under a chain of months only, the sums come from the
// journal's tally (JournalTally) while it describes the store.
//
// Departments: with no department every side counts. With a department and
// department sum type 0 only the sides booked to that department count; with
// sum type 4 (used for departments of class 1 and 2) the sides booked to that
// department and to every department whose reference names its code.
#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "host/LedgerRules.h"
#include "ledger/Text.h"
#include "ledger/rules/RuleSupport.h"
#include "platform/ShiftJis.h"

using ledger::Statement;
using ledger::Store;
namespace rules = ledger::rules;
using K = StKAMOKUSUMINFO;

struct ClRuleKamoku::Walk {
  rules::StatementCache cache;
  std::vector<StKAMOKUSUMINFO> records;
  size_t position = 0;
  bool ready = false;
};

namespace {

constexpr int16_t kDeptSumSingle = 0;
constexpr int16_t kDeptSumWithMembers = 4;

struct AccountSums {
  uint32_t id = 0;
  std::string code;  // Shift_JIS
  std::string name;  // Shift_JIS
  uint32_t classCode = 0;
  uint8_t balanceSide = 1;
  uint8_t markA = 0;
  uint8_t markB = 0;
  // [array][slot]: debit without tax, debit with tax, credit without, credit with.
  std::array<std::array<int64_t, K::kMonthSlots>, 4> sums{};
};

constexpr size_t kArrays[4] = {K::kDebitExclusive, K::kDebitInclusive, K::kCreditExclusive, K::kCreditInclusive};

// The headings over a class code: the code itself and each code got by
// clearing its lowest set bit, down to (not including) 0.
std::vector<uint32_t> HeadingsOver(uint32_t classCode) {
  std::vector<uint32_t> out;
  for (uint32_t c = classCode; c != 0; c &= c - 1) out.push_back(c);
  return out;
}

bool AddSums(AccountSums& into, const AccountSums& from) {
  for (size_t a = 0; a < 4; ++a) {
    for (size_t s = 0; s < K::kMonthSlots; ++s) {
      if (!rules::AddAmount(&into.sums[a][s], from.sums[a][s])) return false;
    }
  }
  return true;
}

StKAMOKUSUMINFO ToRecord(const AccountSums& a, bool heading) {
  StKAMOKUSUMINFO r;
  host::RecordView v = r.view();
  v.SetU32(K::kAccountId, a.id);
  v.SetText(K::kAccountCode, K::kAccountCodeWidth, platform::sjis::CutToWholeChars(a.code, K::kAccountCodeWidth - 1));
  v.SetText(K::kName, K::kNameWidth, platform::sjis::CutToWholeChars(a.name, K::kNameWidth - 1));
  v.SetU8(K::kExcludeMarkA, a.markA);
  v.SetU8(K::kRowKind, heading ? K::kRowKindHeading : 0);
  v.SetU8(K::kExcludeMarkB, a.markB);
  v.SetU8(K::kBalanceSide, a.balanceSide);
  v.SetU32(K::kClassCode, a.classCode);
  for (size_t arr = 0; arr < 4; ++arr) {
    for (size_t s = 0; s < K::kMonthSlots; ++s) v.SetI64(K::Slot(kArrays[arr], s), a.sums[arr][s]);
  }
  return r;
}

// The department codes whose sides count, or an empty set for every side.
int32_t DepartmentCodes(Store& store, const std::string& dataId, int16_t deptSumType, const StBUMONINFO* department,
                        std::set<int64_t>* codes) {
  if (department == nullptr) return host::kOk;
  const int32_t code = department->view().I32(StBUMONINFO::kCode);
  Statement q = store.Prepare("SELECT code FROM department WHERE data_id = ?1 AND (code = ?2 OR (?3 AND reference = ?2))");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, dataId).Bind(2, code).Bind(3, deptSumType == kDeptSumWithMembers ? 1 : 0);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW) codes->insert(q.Int(0));
  if (rc != SQLITE_DONE) return host::kStoreFailed;
  if (codes->count(code) == 0) return host::kNotFound;
  return host::kOk;
}

}  // namespace

ClRuleKamoku::ClRuleKamoku() : walk_(std::make_unique<Walk>()) {}
ClRuleKamoku::~ClRuleKamoku() = default;

int32_t ClRuleKamoku::MoveReady(int16_t baseSumType, int16_t deptSumType, int16_t displayType,
                                const StFINDINFO* period, const StBUMONINFO* department, int16_t pastType) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  walk_->records.clear();
  walk_->position = 0;
  walk_->ready = false;
  if (baseSumType != 1 || displayType != 0 || pastType != 0) return host::kBadArgument;
  if (deptSumType != kDeptSumSingle && !(deptSumType == kDeptSumWithMembers && department != nullptr)) {
    return host::kBadArgument;
  }
  ledger::SqlCondition condition;
  if (int32_t status = ledger::ChainToSql(period, ledger::JournalColumns, 2, &condition); status != host::kOk) {
    return status;
  }
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  std::set<int64_t> departments;
  if (int32_t status = DepartmentCodes(*store, CurDataID(), deptSumType, department, &departments);
      status != host::kOk) {
    return status;
  }

  std::vector<AccountSums> accounts;
  std::unordered_map<uint32_t, size_t> byId;
  {
    Statement* accountRows = walk_->cache.Get(
        *store,
        "SELECT account_id, code, name, class_code, balance_side, sum_mark_a, sum_mark_b FROM account "
        "WHERE data_id = ?1 ORDER BY code");
    if (accountRows == nullptr) return host::kStoreFailed;
    Statement& q = *accountRows;
    q.Bind(1, CurDataID());
    int rc;
    while ((rc = q.Step()) == SQLITE_ROW) {
      AccountSums a;
      a.id = static_cast<uint32_t>(q.Int(0));
      auto code = ledger::Utf8ToCp932(q.Text(1));
      auto name = ledger::Utf8ToCp932(q.Text(2));
      if (!code || !name) return host::kStoreFailed;
      a.code = *code;
      a.name = *name;
      a.classCode = static_cast<uint32_t>(q.Int(3));
      a.balanceSide = static_cast<uint8_t>(q.Int(4));
      a.markA = static_cast<uint8_t>(q.Int(5));
      a.markB = static_cast<uint8_t>(q.Int(6));
      byId[a.id] = accounts.size();
      accounts.push_back(std::move(a));
    }
    if (rc != SQLITE_DONE) return host::kStoreFailed;
  }

  // Adds one side (0 debit, 1 credit) at the slot of its month; false when a
  // sum would leave the 64-bit range (refused, never wrapped).
  auto addSide = [&](int side, int32_t slot, int64_t account, int64_t amount, int64_t tax) {
    auto it = byId.find(static_cast<uint32_t>(account));
    if (it == byId.end()) return true;
    AccountSums& a = accounts[it->second];
    int64_t inclusive = amount;
    return rules::AddAmount(&inclusive, tax) && rules::AddAmount(&a.sums[2 * side][slot], amount) &&
           rules::AddAmount(&a.sums[2 * side + 1][slot], inclusive);
  };
  // Without departments and under a chain of months only, the journal's side
  // sums give the same figures without reading the lines.
  const ledger::JournalTally* tally = departments.empty() ? rules::CurrentTally(*store, CurDataID()) : nullptr;
  std::array<bool, 19> months{};
  if (tally != nullptr && tally->HasSides() && ledger::JournalTally::SelectedMonths(period, &months) == host::kOk) {
    const bool added = tally->ForEachSide([&](const ledger::JournalTally::SideKey& key,
                                              const ledger::JournalTally::SideSums& sums) {
      const int32_t slot = rules::MonthSlot(key.month);
      if (slot < 0 || !months[static_cast<size_t>(key.month)]) return true;
      return addSide(key.debit ? 0 : 1, slot, key.account, sums.amount, sums.tax);
    });
    if (!added) return host::kStoreFailed;
  } else {
    // One pass over the selected lines.
    Statement* lineRows = walk_->cache.Get(
        *store,
        "SELECT month_no, dr_account, dr_department, dr_amount, dr_tax, cr_account, cr_department, cr_amount, cr_tax "
        "FROM journal_line WHERE data_id = ?1 AND " +
            condition.where);
    if (lineRows == nullptr) return host::kStoreFailed;
    Statement& q = *lineRows;
    q.Bind(1, CurDataID());
    rules::BindCondition(q, condition, 2);
    int rc;
    while ((rc = q.Step()) == SQLITE_ROW) {
      const int32_t slot = rules::MonthSlot(static_cast<int32_t>(q.Int(0)));
      if (slot < 0) continue;
      for (int side = 0; side < 2; ++side) {
        const int c = 1 + 4 * side;
        if (!departments.empty() && (q.IsNull(c + 1) || departments.count(q.Int(c + 1)) == 0)) continue;
        if (!addSide(side, slot, q.Int(c), q.Int(c + 2), q.Int(c + 3))) return host::kStoreFailed;
      }
    }
    if (rc != SQLITE_DONE) return host::kStoreFailed;
  }

  // Heading rows.
  std::map<uint32_t, AccountSums> headings;
  std::map<uint32_t, std::set<uint8_t>> sides;
  for (const AccountSums& a : accounts) {
    for (uint32_t h : HeadingsOver(a.classCode)) {
      AccountSums& heading = headings[h];
      heading.classCode = h;
      if (!AddSums(heading, a)) return host::kStoreFailed;
      sides[h].insert(a.balanceSide);
    }
  }
  for (auto& [code, heading] : headings) heading.balanceSide = sides[code].size() == 1 ? *sides[code].begin() : 1;

  // Order: class code, heading first, then account code.
  std::vector<std::tuple<uint32_t, int, std::string, const AccountSums*>> order;
  for (const auto& [code, heading] : headings) order.emplace_back(code, 0, std::string(), &heading);
  for (const AccountSums& a : accounts) order.emplace_back(a.classCode, 1, a.code, &a);
  std::sort(order.begin(), order.end(), [](const auto& x, const auto& y) {
    return std::tie(std::get<0>(x), std::get<1>(x), std::get<2>(x)) <
           std::tie(std::get<0>(y), std::get<1>(y), std::get<2>(y));
  });
  walk_->records.reserve(order.size());
  for (const auto& entry : order) walk_->records.push_back(ToRecord(*std::get<3>(entry), std::get<1>(entry) == 0));
  walk_->ready = true;
  return host::kOk;
}

int32_t ClRuleKamoku::GetSumCount(uint32_t* count) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (count == nullptr) return host::kBadArgument;
  if (!walk_->ready) return host::kNotReady;
  *count = static_cast<uint32_t>(walk_->records.size());
  return host::kOk;
}

int32_t ClRuleKamoku::SetMovePos(uint32_t position) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (!walk_->ready) return host::kNotReady;
  if (position > walk_->records.size()) return host::kBadArgument;
  walk_->position = position;
  return host::kOk;
}

int32_t ClRuleKamoku::MoveNext(StKAMOKUSUMINFO* record) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (record == nullptr) return host::kBadArgument;
  if (!walk_->ready) return host::kNotReady;
  if (walk_->position >= walk_->records.size()) return host::kEndOfWalk;
  *record = walk_->records[walk_->position++];
  return host::kOk;
}

int32_t ClRuleKamoku::MoveFinish() {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  const bool wasReady = walk_->ready;
  walk_->records.clear();
  walk_->position = 0;
  walk_->ready = false;
  return wasReady ? host::kOk : host::kNotReady;
}
