// The month condition of a run: which of the host's period-relative month
// numbers the aggregation passes take.
//
// The host numbers the months of an accounting period from 1 at its first
// month; 15 is the interim closing month and 18 the year-end closing month.
// The user chooses calendar months (1 to 12). PeriodMonthClauses turns the
// chosen range into the clauses of the host's search chain: "month number at
// least s" and "month number at most t", plus "month number 15" when the data
// closes half-yearly (closing pattern 1) and the range ends with the sixth
// month, plus "month number 18" when the range ends with the period's last
// month. Joiner 1 binds tighter than joiner 2, so the chain reads
// (s <= m and m <= t) or m = 15 or m = 18.
#pragma once

#include <cstdint>
#include <vector>

namespace app {

// The period's first calendar month and its last one, the latter plus 100 when
// the period crosses a calendar year end (April to March gives 4 and 103).
struct PeriodMonths {
  int first = 0;
  int last = 0;
};

struct MonthClause {
  uint16_t comparison;  // 4 at least, 6 at most, 1 equal to
  int16_t month;        // period-relative month number
  uint16_t joiner;      // 1 and, 2 or, 0 last clause
};

// Comparison codes and joiners of the host's search clauses.
inline constexpr uint16_t kCompareEqual = 1;
inline constexpr uint16_t kCompareAtLeast = 4;
inline constexpr uint16_t kCompareAtMost = 6;
inline constexpr uint16_t kJoinLast = 0;
inline constexpr uint16_t kJoinAnd = 1;
inline constexpr uint16_t kJoinOr = 2;
inline constexpr int16_t kInterimClosingMonth = 15;
inline constexpr int16_t kYearEndClosingMonth = 18;

// The clauses for calendar months `start` to `end` of a period with the
// given months and closing pattern; two to four clauses.
std::vector<MonthClause> PeriodMonthClauses(PeriodMonths period, int32_t closingPattern, int start, int end);

// The period's months from its first month as the host counts it (the
// accounting month of the start date) and the end date (yyyymmdd).
PeriodMonths PeriodMonthsFrom(int firstMonth, int32_t endDate);

}  // namespace app
