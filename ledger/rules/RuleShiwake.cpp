// ClRuleShiwake: journal lines under a clause chain, streamed from the store.
//
// Rate-presence flags of CheckExistSwkByZeiRate: 0x1 the 3 % rate, 0x2 the
// 5 % rate, 0x4 the standard 8 % rate, 0x8 the 10 % rate, 0x40000 the reduced
// 8 % rate. A side counts by its own rate; a side without a rate counts for
// none. CheckExistSwkByJigyoBunrui counts the lines with a side of that
// business type (each line once).
#include <string>

#include "host/LedgerRules.h"
#include "ledger/rules/JournalRows.h"
#include "ledger/rules/RuleSupport.h"

using ledger::Statement;
using ledger::Store;
namespace rules = ledger::rules;

struct ClRuleShiwake::Walk {
  rules::StatementCache cache;
  Statement* lines = nullptr;  // the walk between MoveReady and MoveFinish (kept in `cache`)
  uint64_t generation = 0;     // the cache's generation when the walk began
  bool ready = false;
  bool ended = false;
};

namespace {

constexpr int32_t kCursorAllLines = 4;

// The journal condition of `chain` as SQL whose parameters start at ?2 (?1 is
// the data ID).
int32_t JournalCondition(const StFINDINFO* chain, ledger::SqlCondition* condition) {
  return ledger::ChainToSql(chain, ledger::JournalColumns, 2, condition);
}

}  // namespace

ClRuleShiwake::ClRuleShiwake() : walk_(std::make_unique<Walk>()) {}
ClRuleShiwake::~ClRuleShiwake() = default;

int32_t ClRuleShiwake::GetSwkCount(const StFINDINFO* chain, const StSWKDISPINFO*, uint32_t* count) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (count == nullptr) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = JournalCondition(chain, &condition); status != host::kOk) return status;
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  Statement* q =
      walk_->cache.Get(*store, "SELECT count(*) FROM journal_line WHERE data_id = ?1 AND " + condition.where);
  if (q == nullptr) return host::kStoreFailed;
  q->Bind(1, CurDataID());
  rules::BindCondition(*q, condition, 2);
  if (q->Step() != SQLITE_ROW) return host::kStoreFailed;
  *count = static_cast<uint32_t>(q->Int(0));
  return host::kOk;
}

int32_t ClRuleShiwake::MoveReady(const StFINDINFO* chain, const StSWKORDERINFO*, const StSWKDISPINFO*,
                                 int32_t cursorType) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (cursorType != kCursorAllLines) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = JournalCondition(chain, &condition); status != host::kOk) return status;
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  walk_->lines = nullptr;
  walk_->ready = false;
  Statement* q = walk_->cache.Get(*store, std::string("SELECT ") + rules::kJournalColumns +
                                              " FROM journal_line WHERE data_id = ?1 AND " + condition.where +
                                              " ORDER BY entry_date, line_no");
  if (q == nullptr) return host::kStoreFailed;
  q->Bind(1, CurDataID());
  rules::BindCondition(*q, condition, 2);
  walk_->lines = q;
  walk_->generation = walk_->cache.generation();
  walk_->ready = true;
  walk_->ended = false;
  return host::kOk;
}

int32_t ClRuleShiwake::MoveNext(StSWKTINFO* line) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (line == nullptr) return host::kBadArgument;
  if (!walk_->ready || walk_->generation != walk_->cache.generation()) return host::kNotReady;
  if (walk_->ended) return host::kEndOfWalk;
  const int rc = walk_->lines->Step();
  if (rc == SQLITE_DONE) {
    walk_->ended = true;
    return host::kEndOfWalk;
  }
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  rules::FillJournalLine(*walk_->lines, line);
  return host::kOk;
}

int32_t ClRuleShiwake::MoveFinish() {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  const bool wasReady = walk_->ready;
  if (walk_->lines != nullptr && walk_->generation == walk_->cache.generation()) walk_->lines->Reset();
  walk_->lines = nullptr;
  walk_->ready = false;
  return wasReady ? host::kOk : host::kNotReady;
}

int32_t ClRuleShiwake::CheckExistSwkByJigyoBunrui(const StFINDINFO* chain, int32_t businessType, int32_t* count) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (count == nullptr || businessType < 1 || businessType > 6) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = ledger::ChainToSql(chain, ledger::JournalColumns, 3, &condition); status != host::kOk) {
    return status;
  }
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  Statement* q = walk_->cache.Get(*store,
                                  "SELECT count(*) FROM journal_line WHERE data_id = ?1 AND "
                                  "(dr_business_type = ?2 OR cr_business_type = ?2) AND " +
                                      condition.where);
  if (q == nullptr) return host::kStoreFailed;
  q->Bind(1, CurDataID()).Bind(2, businessType);
  rules::BindCondition(*q, condition, 3);
  if (q->Step() != SQLITE_ROW) return host::kStoreFailed;
  *count = static_cast<int32_t>(q->Int(0));
  return host::kOk;
}

int32_t ClRuleShiwake::CheckExistSwkByZeiRate(const StFINDINFO* chain, int32_t* flags, int32_t mode) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (flags == nullptr || mode != 1) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = JournalCondition(chain, &condition); status != host::kOk) return status;
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  // One pass: the total of each rate's flag over the selected lines.
  Statement* q = walk_->cache.Get(
      *store,
      "SELECT ifnull(max(dr_rate = 300 OR cr_rate = 300), 0), "
      "ifnull(max(dr_rate = 500 OR cr_rate = 500), 0), "
      "ifnull(max((dr_rate = 800 AND dr_reduced = 0) OR (cr_rate = 800 AND cr_reduced = 0)), 0), "
      "ifnull(max(dr_rate = 1000 OR cr_rate = 1000), 0), "
      "ifnull(max((dr_rate = 800 AND dr_reduced = 1) OR (cr_rate = 800 AND cr_reduced = 1)), 0) "
      "FROM journal_line WHERE data_id = ?1 AND " +
          condition.where);
  if (q == nullptr) return host::kStoreFailed;
  q->Bind(1, CurDataID());
  rules::BindCondition(*q, condition, 2);
  if (q->Step() != SQLITE_ROW) return host::kStoreFailed;
  constexpr int32_t kBits[] = {0x1, 0x2, 0x4, 0x8, 0x40000};
  int32_t found = 0;
  for (int i = 0; i < 5; ++i) {
    if (q->Int(i) != 0) found |= kBits[i];
  }
  *flags = found;
  return host::kOk;
}
