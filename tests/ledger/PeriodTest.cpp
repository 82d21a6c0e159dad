// Accounting periods: months under month-end and mid-month closing days,
// short first years, and the closing month numbers 15 and 18.
#include <gtest/gtest.h>

#include "host/LedgerCore.h"

namespace {

struct Range {
  int32_t from = 0, to = 0;
  bool operator==(const Range&) const = default;
};

ClAccPeriod MakePeriod(int32_t start, int32_t end) {
  ClAccPeriod period;
  EXPECT_EQ(period.SetPeriod(start, end), 0);
  int16_t closingDay = 0;
  EXPECT_EQ(period.GetClosingDayByEndDate(end, &closingDay), 0);
  EXPECT_EQ(period.SetClosingDay(closingDay), 0);
  return period;
}

Range ByNumber(const ClAccPeriod& period, int16_t number) {
  Range r;
  EXPECT_EQ(period.GetPeriodByMonthKind(number, &r.from, &r.to, 0), 0) << "month number " << number;
  return r;
}

Range ByMonth(const ClAccPeriod& period, int16_t month) {
  Range r;
  EXPECT_EQ(period.GetPeriodByAMonth(month, &r.from, &r.to, 0), 0) << "month " << month;
  return r;
}

int16_t AMonth(const ClAccPeriod& period, int32_t date) {
  int16_t month = 0;
  EXPECT_EQ(period.GetAMonthByDate(date, &month), 0);
  return month;
}

TEST(PeriodTest, AprilToMarchCountsFromApril) {
  ClAccPeriod p = MakePeriod(20230401, 20240331);
  EXPECT_EQ(p.MonthCount(), 12);
  EXPECT_EQ(ByNumber(p, 1), (Range{20230401, 20230430}));
  EXPECT_EQ(ByNumber(p, 11), (Range{20240201, 20240229}));  // leap February
  EXPECT_EQ(ByNumber(p, 12), (Range{20240301, 20240331}));
  EXPECT_EQ(ByMonth(p, 3), (Range{20240301, 20240331}));
  EXPECT_EQ(ByNumber(p, 15), (Range{20230930, 20230930}));
  EXPECT_EQ(ByNumber(p, 18), (Range{20240331, 20240331}));
  EXPECT_EQ(AMonth(p, 20230401), 4);
  int32_t start = 0, end = 0;
  EXPECT_EQ(p.GetPeriod(&start, &end), 0);
  EXPECT_EQ(start, 20230401);
  EXPECT_EQ(end, 20240331);
}

TEST(PeriodTest, JanuaryToDecemberAndOctoberToSeptember) {
  ClAccPeriod calendar = MakePeriod(20230101, 20231231);
  EXPECT_EQ(ByNumber(calendar, 1), (Range{20230101, 20230131}));
  EXPECT_EQ(ByNumber(calendar, 2), (Range{20230201, 20230228}));
  EXPECT_EQ(ByNumber(calendar, 6), (Range{20230601, 20230630}));
  EXPECT_EQ(ByNumber(calendar, 15), (Range{20230630, 20230630}));

  ClAccPeriod october = MakePeriod(20231001, 20240930);
  EXPECT_EQ(october.MonthCount(), 12);
  EXPECT_EQ(ByNumber(october, 3), (Range{20231201, 20231231}));
  EXPECT_EQ(ByNumber(october, 4), (Range{20240101, 20240131}));
  EXPECT_EQ(ByMonth(october, 9), (Range{20240901, 20240930}));
  EXPECT_EQ(ByMonth(october, 10), (Range{20231001, 20231031}));
}

TEST(PeriodTest, ShortFirstYearHasOnlyItsMonths) {
  // Founded on July 15, first year closing in March: nine months.
  ClAccPeriod p = MakePeriod(20230715, 20240331);
  EXPECT_EQ(p.MonthCount(), 9);
  EXPECT_EQ(ByNumber(p, 1), (Range{20230715, 20230731}));
  EXPECT_EQ(ByNumber(p, 9), (Range{20240301, 20240331}));
  EXPECT_EQ(ByMonth(p, 7), (Range{20230715, 20230731}));
  int32_t from = 0, to = 0;
  EXPECT_NE(p.GetPeriodByMonthKind(10, &from, &to, 0), 0);
  EXPECT_NE(p.GetPeriodByAMonth(5, &from, &to, 0), 0);  // May is not in this period
  EXPECT_EQ(from, 0);
  ClAccPeriod single = MakePeriod(20240101, 20240131);
  EXPECT_EQ(single.MonthCount(), 1);
  EXPECT_EQ(ByNumber(single, 18), (Range{20240131, 20240131}));
  EXPECT_NE(single.GetPeriodByMonthKind(15, &from, &to, 0), 0);  // no sixth month
}

TEST(PeriodTest, ClosingDayTwentyNamesMonthsByTheirClosing) {
  ClAccPeriod p = MakePeriod(20230321, 20240320);
  int16_t closingDay = 0;
  EXPECT_EQ(p.GetClosingDayByEndDate(20240320, &closingDay), 0);
  EXPECT_EQ(closingDay, 20);
  EXPECT_EQ(AMonth(p, 20230321), 4);
  EXPECT_EQ(AMonth(p, 20230420), 4);
  EXPECT_EQ(AMonth(p, 20230421), 5);
  EXPECT_EQ(AMonth(p, 20231221), 1);  // closes in January of the next year
  EXPECT_EQ(p.MonthCount(), 12);
  EXPECT_EQ(ByNumber(p, 1), (Range{20230321, 20230420}));
  EXPECT_EQ(ByNumber(p, 10), (Range{20231221, 20240120}));
  EXPECT_EQ(ByNumber(p, 12), (Range{20240221, 20240320}));
  EXPECT_EQ(ByMonth(p, 3), (Range{20240221, 20240320}));
  EXPECT_EQ(ByNumber(p, 15), (Range{20230920, 20230920}));
}

TEST(PeriodTest, ClosingDayPastTheMonthEndClosesOnTheLastDay) {
  ClAccPeriod p;
  ASSERT_EQ(p.SetPeriod(20230131, 20240130), 0);
  ASSERT_EQ(p.SetClosingDay(30), 0);
  EXPECT_EQ(ByNumber(p, 1), (Range{20230131, 20230228}));
  EXPECT_EQ(ByNumber(p, 2), (Range{20230301, 20230330}));
  int16_t closingDay = 0;
  EXPECT_EQ(p.GetClosingDayByEndDate(20240229, &closingDay), 0);
  EXPECT_EQ(closingDay, 31);
}

TEST(PeriodTest, RefusesBadDatesAndArguments) {
  ClAccPeriod p;
  EXPECT_NE(p.SetPeriod(20240331, 20230401), 0);
  EXPECT_NE(p.SetPeriod(20230230, 20240131), 0);
  EXPECT_NE(p.SetClosingDay(0), 0);
  EXPECT_NE(p.SetClosingDay(32), 0);
  int16_t month = 0;
  EXPECT_NE(p.GetAMonthByDate(20231301, &month), 0);
  EXPECT_NE(p.GetAMonthByDate(20230401, nullptr), 0);
  int32_t from = 0, to = 0;
  EXPECT_NE(p.GetPeriodByMonthKind(1, &from, &to, 0), 0);  // no period set
  EXPECT_NE(p.GetPeriod(&from, &to), 0);
}

}  // namespace
