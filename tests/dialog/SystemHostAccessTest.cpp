// The period's months as the dialog takes them from the host's period object.
#include <gtest/gtest.h>

#include "dialog/HostAccess.h"

namespace {

void ExpectMonths(int32_t start, int32_t end, int32_t first, int32_t last) {
  const auto months = dialog::SystemHostAccess().PeriodMonthsOf(start, end);
  ASSERT_TRUE(months) << start << "-" << end;
  EXPECT_EQ(months->first, first) << start << "-" << end;
  EXPECT_EQ(months->last, last) << start << "-" << end;
}

TEST(SystemHostAccess, PeriodMonthsOfCommonPeriods) {
  ExpectMonths(20230401, 20240331, 4, 3);
  ExpectMonths(20231001, 20240331, 10, 3);
  ExpectMonths(20230101, 20231231, 1, 12);
  ExpectMonths(20230401, 20230930, 4, 9);
  // Closing on the 20th: 21 March belongs to April's accounting month.
  ExpectMonths(20230321, 20240320, 4, 3);
}

}  // namespace
