// The month condition: which host month numbers a chosen range selects.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/PeriodMonths.h"

namespace {

using app::MonthClause;
using app::PeriodMonthClauses;
using app::PeriodMonths;
using app::PeriodMonthsFrom;
using Clause = std::tuple<int, int, int>;  // comparison, month number, joiner

std::vector<Clause> Clauses(PeriodMonths period, int closingPattern, int start, int end) {
  std::vector<Clause> out;
  for (const MonthClause& c : PeriodMonthClauses(period, closingPattern, start, end))
    out.emplace_back(c.comparison, c.month, c.joiner);
  return out;
}

TEST(PeriodCondition, WholeAprilToMarchYearAddsTheYearEndMonth) {
  const PeriodMonths april = PeriodMonthsFrom(4, 20240331);
  EXPECT_EQ(april.first, 4);
  EXPECT_EQ(april.last, 103);
  EXPECT_EQ(Clauses(april, 0, 4, 3), (std::vector<Clause>{{4, 1, 1}, {6, 12, 2}, {1, 18, 0}}));
}

TEST(PeriodCondition, HalfYearWithInterimClosing) {
  const PeriodMonths april = PeriodMonthsFrom(4, 20240331);
  EXPECT_EQ(Clauses(april, 1, 4, 9), (std::vector<Clause>{{4, 1, 1}, {6, 6, 2}, {1, 15, 0}}));
  // Without interim closing the sixth month adds nothing.
  EXPECT_EQ(Clauses(april, 0, 4, 9), (std::vector<Clause>{{4, 1, 1}, {6, 6, 0}}));
  // Another range ending in the sixth month number also takes month 15.
  EXPECT_EQ(Clauses(april, 1, 7, 9), (std::vector<Clause>{{4, 4, 1}, {6, 6, 2}, {1, 15, 0}}));
}

TEST(PeriodCondition, CalendarYearFirstQuarter) {
  const PeriodMonths january = PeriodMonthsFrom(1, 20241231);
  EXPECT_EQ(january.last, 12);
  EXPECT_EQ(Clauses(january, 0, 1, 3), (std::vector<Clause>{{4, 1, 1}, {6, 3, 0}}));
  EXPECT_EQ(Clauses(january, 0, 1, 12), (std::vector<Clause>{{4, 1, 1}, {6, 12, 2}, {1, 18, 0}}));
}

TEST(PeriodCondition, MonthsAfterTheYearTurn) {
  const PeriodMonths october = PeriodMonthsFrom(10, 20240930);
  // January to March of an October-to-September year are month numbers 4 to 6.
  EXPECT_EQ(Clauses(october, 0, 1, 3), (std::vector<Clause>{{4, 4, 1}, {6, 6, 0}}));
  // November to August: 2 to 11, not the year end.
  EXPECT_EQ(Clauses(october, 0, 11, 8), (std::vector<Clause>{{4, 2, 1}, {6, 11, 0}}));
}

TEST(PeriodCondition, ShortFirstPeriodTakesBothClosingMonths) {
  // October 2023 to March 2024: six months; its last month is the sixth.
  const PeriodMonths shortYear = PeriodMonthsFrom(10, 20240331);
  EXPECT_EQ(Clauses(shortYear, 1, 10, 3),
            (std::vector<Clause>{{4, 1, 1}, {6, 6, 2}, {1, 15, 2}, {1, 18, 0}}));
  // A three-month period inside one calendar year.
  const PeriodMonths quarter = PeriodMonthsFrom(7, 20230930);
  EXPECT_EQ(Clauses(quarter, 0, 8, 9), (std::vector<Clause>{{4, 2, 1}, {6, 3, 2}, {1, 18, 0}}));
}

TEST(PeriodCondition, ClosingDayBeforeMonthEnd) {
  // Closing on the 20th: 2023-04-21 to 2024-04-20; the host counts the first
  // accounting month as May, and the end date's month April is the last.
  const PeriodMonths p = PeriodMonthsFrom(5, 20240420);
  EXPECT_EQ(p.first, 5);
  EXPECT_EQ(p.last, 104);
  EXPECT_EQ(Clauses(p, 0, 5, 4), (std::vector<Clause>{{4, 1, 1}, {6, 12, 2}, {1, 18, 0}}));
  EXPECT_EQ(Clauses(p, 0, 2, 3), (std::vector<Clause>{{4, 10, 1}, {6, 11, 0}}));
}

}  // namespace
