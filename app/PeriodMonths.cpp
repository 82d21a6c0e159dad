#include "app/PeriodMonths.h"

namespace app {

PeriodMonths PeriodMonthsFrom(int firstMonth, int32_t endDate) {
  int last = endDate / 100 % 100;
  if (last < firstMonth) last += 100;
  return PeriodMonths{firstMonth, last};
}

std::vector<MonthClause> PeriodMonthClauses(PeriodMonths period, int32_t closingPattern, int start, int end) {
  const int f = period.first;
  const int lm = period.last % 100;
  const bool crossing = period.last >= 100;

  int s = 1;
  if (start > f) s = start - f + 1;
  if (start < f) s = start - f + 13;

  int t;
  if (end == lm) {
    t = crossing ? lm - f + 13 : lm - f + 1;
  } else {
    t = (crossing && end < lm) ? end - f + 13 : end - f + 1;
  }

  std::vector<MonthClause> clauses{
      {kCompareAtLeast, static_cast<int16_t>(s), kJoinAnd},
      {kCompareAtMost, static_cast<int16_t>(t), kJoinLast},
  };
  if (closingPattern == 1 && t == 6) {
    clauses.back().joiner = kJoinOr;
    clauses.push_back({kCompareEqual, kInterimClosingMonth, kJoinLast});
  }
  if (end == lm) {
    clauses.back().joiner = kJoinOr;
    clauses.push_back({kCompareEqual, kYearEndClosingMonth, kJoinLast});
  }
  return clauses;
}

}  // namespace app
