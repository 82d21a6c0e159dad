// ClRuleShiwake: journal lines under a clause chain, streamed from the store.
//
// Cursor type 4 walks every selected line by line number. (Ordering by date
// first would make the store sort the whole journal on every walk, doubling
// its cost; no caller depends on the order.)
//
// Rate-presence flags of CheckExistSwkByZeiRate: see RateFlagOfSide. A side
// counts by its own rate; a side without a rate counts for none.
// CheckExistSwkByJigyoBunrui counts the lines with a side of that business
// type (each line once).
//
// The counting and presence questions are answered from the journal's tally
// (JournalTally) while it describes the store, else by reading the lines.
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
  if (const ledger::JournalTally* tally = rules::CurrentTally(*store, CurDataID())) {
    ledger::JournalTally::Counts counts;
    if (int32_t status = tally->Select(chain, &counts); status != host::kOk) return status;
    *count = static_cast<uint32_t>(counts.lines);
    return host::kOk;
  }
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
  // By line number, the journal's own numbering: the store keeps the lines in
  // that order, so the walk streams them without sorting.
  Statement* q = walk_->cache.Get(*store, std::string("SELECT ") + rules::kJournalColumns +
                                              " FROM journal_line WHERE data_id = ?1 AND " + condition.where +
                                              " ORDER BY line_no");
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
  if (const ledger::JournalTally* tally = rules::CurrentTally(*store, CurDataID())) {
    ledger::JournalTally::Counts counts;
    if (int32_t status = tally->Select(chain, &counts); status != host::kOk) return status;
    *count = static_cast<int32_t>(counts.withBusinessType[static_cast<size_t>(businessType)]);
    return host::kOk;
  }
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

namespace {

// One rate-presence flag: its bit and the SQL test of a line for it (the
// same test as RateFlagOfSide on either side).
struct RateFlag {
  int32_t bit;
  const char* sql;
};

constexpr RateFlag kRateFlags[] = {
    {ledger::kRateFlag3, "(dr_rate = 300 OR cr_rate = 300)"},
    {ledger::kRateFlag5, "(dr_rate = 500 OR cr_rate = 500)"},
    {ledger::kRateFlag8, "((dr_rate = 800 AND dr_reduced = 0) OR (cr_rate = 800 AND cr_reduced = 0))"},
    {ledger::kRateFlag10, "(dr_rate = 1000 OR cr_rate = 1000)"},
    {ledger::kRateFlagReduced8, "((dr_rate = 800 AND dr_reduced = 1) OR (cr_rate = 800 AND cr_reduced = 1))"},
};

}  // namespace

int32_t ClRuleShiwake::CheckExistSwkByZeiRate(const StFINDINFO* chain, int32_t* flags, int32_t mode) {
  if (int32_t status = CheckBound(); status != host::kOk) return status;
  if (flags == nullptr || mode != 1) return host::kBadArgument;
  ledger::SqlCondition condition;
  if (int32_t status = JournalCondition(chain, &condition); status != host::kOk) return status;
  Store* store = nullptr;
  if (int32_t status = rules::OpenData(CurDataID(), &store); status != host::kOk) return status;
  if (const ledger::JournalTally* tally = rules::CurrentTally(*store, CurDataID())) {
    ledger::JournalTally::Counts counts;
    if (int32_t status = tally->Select(chain, &counts); status != host::kOk) return status;
    *flags = counts.rateFlags;
    return host::kOk;
  }
  // The first selected line with any flag not yet found gives every flag it
  // has; the search goes on for the flags still missing. Each search stops at
  // its first line, so the journal is read through once at most, when a flag
  // is missing, and then with only that test per line.
  int32_t found = 0;
  for (;;) {
    std::string missing;
    for (const RateFlag& flag : kRateFlags) {
      if ((found & flag.bit) == 0) missing += (missing.empty() ? "" : " OR ") + std::string(flag.sql);
    }
    if (missing.empty()) break;
    Statement* q = walk_->cache.Get(*store,
                                    "SELECT dr_rate, dr_reduced, cr_rate, cr_reduced FROM journal_line "
                                    "WHERE data_id = ?1 AND (" + condition.where + ") AND (" + missing + ") LIMIT 1");
    if (q == nullptr) return host::kStoreFailed;
    q->Bind(1, CurDataID());
    rules::BindCondition(*q, condition, 2);
    const int rc = q->Step();
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) return host::kStoreFailed;
    const int32_t before = found;
    found |= ledger::RateFlagOfSide(q->Int(0), q->Int(1)) | ledger::RateFlagOfSide(q->Int(2), q->Int(3));
    q->Reset();
    if (found == before) return host::kStoreFailed;  // the two tests disagree: never loop
  }
  *flags = found;
  return host::kOk;
}
