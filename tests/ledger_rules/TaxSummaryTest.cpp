// Tax summary rows (ClRuleShohizei): one row per account with sides at a rate
// in a range of month numbers.
#include <map>

#include "Book.h"

namespace ledger_rules_test {
namespace {

using T = StTAXSUMINFO;

constexpr uint32_t kCash = 1, kSales = 2, kOtherIncome = 3, kTravel = 4;

class TaxSummaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Account(kCash, "100", 0x10100000, 1);
    book_.Account(kSales, "500", 0x40888000, 2);
    book_.Account(kOtherIncome, "510", 0x40848000, 2);
    book_.Account(kTravel, "710", 0x40882000, 1);
  }

  // Account code -> (amount at 598, amount at 606).
  std::map<std::string, std::pair<int64_t, int64_t>> Rows(int16_t first, int16_t last, uint32_t rate,
                                                          uint8_t treatment = 0) {
    auto rule = book_.Bound<ClRuleShohizei>();
    EXPECT_EQ(rule->MoveReady(2, &first, &last, &rate, nullptr, treatment, 0, 0, 0), host::kOk);
    uint32_t count = 0;
    EXPECT_EQ(rule->GetSumInfoCount(&count), host::kOk);
    std::map<std::string, std::pair<int64_t, int64_t>> rows;
    StTAXSUMINFO row;
    for (uint32_t i = 0; i < count; ++i) {
      EXPECT_EQ(rule->MoveNext(&row), host::kOk);
      rows[row.view().Text(T::kAccountCode, T::kAccountCodeWidth)] = {row.view().I64(T::kAmount), row.view().I64(606)};
    }
    EXPECT_EQ(rule->MoveNext(&row), host::kEndOfWalk);
    EXPECT_EQ(rule->MoveFinish(), host::kOk);
    return rows;
  }

  Book book_;
};

TEST_F(TaxSummaryTest, RowsCarryTheTaxInTheAccountsBalanceDirection) {
  book_.Line(20140410, 1, Side{kCash, Yen(525)}, Side{kSales, Yen(500), Yen(25), 1, 500});
  book_.Line(20140420, 1, Side{kSales, Yen(100), Yen(5), 1, 500}, Side{kCash, Yen(105)});  // a return
  book_.Line(20140420, 1, Side{kTravel, Yen(200), Yen(10), 21, 500}, Side{kCash, Yen(210)});
  book_.Line(20140420, 1, Side{kCash, Yen(103)}, Side{kOtherIncome, Yen(100), Yen(3), 1, 300});
  book_.Line(20140420, 1, Side{kCash, Yen(108)}, Side{kOtherIncome, Yen(100), Yen(8), 1, 800});
  const auto five = Rows(1, 12, 500);
  ASSERT_EQ(five.size(), 2u);
  EXPECT_EQ(five.at("500"), std::make_pair(Yen(20), Yen(400)));
  EXPECT_EQ(five.at("710"), std::make_pair(Yen(10), Yen(200)));
  const auto inclusive = Rows(1, 12, 500, 1);
  EXPECT_EQ(inclusive.at("500"), std::make_pair(Yen(20), Yen(420)));
  const auto three = Rows(1, 12, 300);
  ASSERT_EQ(three.size(), 1u);
  EXPECT_EQ(three.at("510"), std::make_pair(Yen(3), Yen(100)));
}

TEST_F(TaxSummaryTest, MonthRangeFollowsThePeriodsOrderOfClosingMonths) {
  book_.Line(20140410, 1, Side{kCash, Yen(1)}, Side{kSales, Yen(100), Yen(1), 1, 500});
  book_.Line(20140930, 15, Side{kCash, Yen(1)}, Side{kSales, Yen(100), Yen(10), 1, 500});
  book_.Line(20141010, 7, Side{kCash, Yen(1)}, Side{kSales, Yen(100), Yen(100), 1, 500});
  book_.Line(20150331, 18, Side{kCash, Yen(1)}, Side{kSales, Yen(100), Yen(1000), 1, 500});
  EXPECT_EQ(Rows(1, 6, 500).at("500").first, Yen(1));
  EXPECT_EQ(Rows(1, 15, 500).at("500").first, Yen(11));  // months 1-6 and the interim closing
  EXPECT_EQ(Rows(1, 12, 500).at("500").first, Yen(111));
  EXPECT_EQ(Rows(1, 18, 500).at("500").first, Yen(1111));
  EXPECT_TRUE(Rows(8, 12, 500).empty());

  auto rule = book_.Bound<ClRuleShohizei>();
  int16_t first = 1, bad = 13;
  uint32_t rate = 500;
  EXPECT_EQ(rule->MoveReady(2, &first, &bad, &rate, nullptr, 0, 0, 0, 0), host::kBadArgument);
  EXPECT_EQ(rule->MoveReady(1, &first, &first, &rate, nullptr, 0, 0, 0, 0), host::kBadArgument);
  uint32_t count = 0;
  EXPECT_EQ(rule->GetSumInfoCount(&count), host::kNotReady);
}

}  // namespace
}  // namespace ledger_rules_test
