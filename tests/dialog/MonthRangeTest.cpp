// The month range table: which ranges pass and which edit a refusal sends the user to.
#include <gtest/gtest.h>

#include "dialog/MonthRange.h"

namespace {

using dialog::CheckMonthRange;
using dialog::MonthField;
using dialog::PeriodMonths;

struct Case {
  int start, end;
  MonthField expected;
};

void ExpectTable(const PeriodMonths& period, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(CheckMonthRange(c.start, c.end, period), c.expected)
        << "period " << period.first << "-" << period.last << ", months " << c.start << "-" << c.end;
  }
}

TEST(MonthRange, MonthsOutsideOneToTwelve) {
  const PeriodMonths aprMar{4, 3};
  ExpectTable(aprMar, {{0, 3, MonthField::Start},
                       {13, 3, MonthField::Start},
                       {13, 13, MonthField::Start},
                       {4, 13, MonthField::End},
                       {4, 0, MonthField::End},
                       {-1, 3, MonthField::Start}});
}

TEST(MonthRange, AprilToMarch) {
  ExpectTable({4, 3}, {{4, 3, MonthField::None},
                       {1, 3, MonthField::None},
                       {4, 4, MonthField::None},
                       {12, 1, MonthField::None},
                       {3, 4, MonthField::End},
                       {2, 5, MonthField::End},
                       {5, 4, MonthField::End}});
}

TEST(MonthRange, OctoberToMarch) {
  ExpectTable({10, 3}, {{12, 1, MonthField::None},
                        {10, 3, MonthField::None},
                        {11, 5, MonthField::Start},
                        {2, 5, MonthField::End},
                        {5, 11, MonthField::Start},
                        {1, 12, MonthField::End},
                        {5, 6, MonthField::Start}});
}

TEST(MonthRange, JanuaryToDecemberAndShortPeriods) {
  ExpectTable({1, 12}, {{1, 12, MonthField::None}, {6, 6, MonthField::None}, {6, 5, MonthField::Start}});
  ExpectTable({4, 9}, {{4, 9, MonthField::None},
                       {3, 9, MonthField::Start},
                       {4, 10, MonthField::Start},
                       {9, 4, MonthField::Start}});
}

TEST(DecimalValue, ReadsLikeAtoi) {
  EXPECT_EQ(dialog::DecimalValue("4"), 4);
  EXPECT_EQ(dialog::DecimalValue(" 12"), 12);
  EXPECT_EQ(dialog::DecimalValue("-3"), -3);
  EXPECT_EQ(dialog::DecimalValue("1a"), 1);
  EXPECT_EQ(dialog::DecimalValue("a1"), 0);
  EXPECT_EQ(dialog::DecimalValue(""), 0);
  EXPECT_EQ(dialog::DecimalValue("99999999999"), 2147483647);
  EXPECT_EQ(dialog::DecimalValue("-99999999999"), -2147483647 - 1);
}

}  // namespace
