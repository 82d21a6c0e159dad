// What the rule classes share: the open store, bound clause conditions, the
// order and slots of month numbers, and statements kept for reuse.
//
// Month numbers: 1 to 12 count the period's months; 15 is the interim closing
// (closing entries of the sixth month) and 18 the year-end closing (closing
// entries of the last month). In the period's order the interim closing comes
// right after month 6 and the year-end closing after month 12, so a range of
// month numbers "from 1 to 15" holds months 1 to 6 and the interim closing.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host/FindInfo.h"
#include "ledger/Clause.h"
#include "ledger/JournalTally.h"
#include "ledger/Store.h"

namespace ledger::rules {

// The store of the open connection, or null when none is open.
Store* OpenStore();

// The store of the open connection in `*store`, when the data set `dataId`
// is in it: kNotConnected without a connection, kNotFound for an unknown
// data set, kStoreFailed when the store cannot be read.
int32_t OpenData(const std::string& dataId, Store** store);

// The tally of `dataId`'s journal (see JournalTally) while it still
// describes `store`; null when the journal must be read instead.
const JournalTally* CurrentTally(Store& store, const std::string& dataId);

// Binds the parameters of `condition` from `firstParam` on.
void BindCondition(Statement& statement, const SqlCondition& condition, int firstParam);

// The place of a month number in the period's order (1-6, 15, 7-12, 18 give
// 1 to 14); 0 for a value that is no month number.
int32_t MonthOrder(int32_t monthNumber);
// The same as an SQL expression over the column month_no.
inline constexpr const char* kMonthOrderSql =
    "(CASE month_no WHEN 15 THEN 7 WHEN 18 THEN 14 ELSE month_no + (month_no > 6) END)";

// The slot of a month number in the month arrays of StKAMOKUSUMINFO: 1-12 for
// months 1-12, 13 for the year-end closing (18), 14 for the interim closing
// (15); -1 for a value that is no month number.
int32_t MonthSlot(int32_t monthNumber);

// Prepared statements of one rule object, kept by their SQL text so that
// repeated calls reuse them. The statements belong to the store they were
// prepared on; a different store (a reopened connection) empties the cache.
class StatementCache {
 public:
  // The statement for `sql`, reset and with its bindings cleared; null when
  // it does not compile.
  Statement* Get(Store& store, const std::string& sql);
  void Clear() {
    statements_.clear();
    ++generation_;
  }
  // Changes whenever the cached statements are dropped, so that a walk
  // holding one of them can tell it is gone.
  uint64_t generation() const { return generation_; }

 private:
  sqlite3* owner_ = nullptr;
  uint64_t generation_ = 0;
  std::map<std::string, Statement> statements_;
};

// Adds `value` to `*sum`; false (and `*sum` unchanged) when the result leaves
// the range of a signed 64-bit amount.
bool AddAmount(int64_t* sum, int64_t value);

}  // namespace ledger::rules
