// Journal lines (ClRuleShiwake): counts and walks under clause chains, the
// line record's offsets, the business-type count and the rate flags.
#include "Book.h"

namespace ledger_rules_test {
namespace {

using F = StFINDINFO;
using S = StSWKTINFO;

constexpr uint32_t kCash = 1, kSales = 2, kTravel = 3;

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Account(kCash, "100", 0x10100000, 1);
    book_.Account(kSales, "500", 0x40888000, 2);
    book_.Account(kTravel, "710", 0x40882000, 1);
    book_.Department(7, 0, 0);
  }
  Book book_;
};

// The non-qualifying condition: (debit category < 21, = 24 or >= 30, or the
// same on the credit side) and within the period.
struct NonQualifyingChain {
  explicit NonQualifyingChain(const std::vector<StFINDINFO>& period) : period(period) {
    for (uint16_t side : {F::kSideDebit, F::kSideCredit}) {
      auto& chain = side == F::kSideDebit ? debit : credit;
      chain.push_back(F::Compare(F::kItemTaxCategory, side, F::kCompareLessThan, F::kValueNumber, 21, F::kJoinOr));
      chain.push_back(F::Compare(F::kItemTaxCategory, side, F::kCompareEqual, F::kValueNumber, 24, F::kJoinOr));
      chain.push_back(F::Compare(F::kItemTaxCategory, side, F::kCompareAtLeast, F::kValueNumber, 30, F::kJoinLast));
    }
    sides = {F::Group(debit.data(), F::kJoinOr), F::Group(credit.data(), F::kJoinLast)};
    main = {F::Group(sides.data(), F::kJoinAnd), F::Group(this->period.data(), F::kJoinLast)};
  }
  std::vector<StFINDINFO> period, debit, credit, sides, main;
};

TEST_F(JournalTest, WalkDeliversEverySelectedLineAtItsOffsetsThenEnds) {
  book_.Line(20140420, 1, Side{kTravel, Yen(100), Yen(8), 22, 800, 0, 7}, Side{kCash, Yen(108), 0, 30});
  book_.Line(20140410, 1, Side{kCash, Yen(540)}, Side{kSales, Yen(500), Yen(40), 1, 800, 3, 0});
  book_.Line(20140510, 2, Side{kTravel, Yen(1)}, Side{kCash, Yen(1)});
  auto rule = book_.Bound<ClRuleShiwake>();
  const auto period = Months(1, 1);
  uint32_t count = 0;
  ASSERT_EQ(rule->GetSwkCount(period.data(), nullptr, &count), host::kOk);
  EXPECT_EQ(count, 2u);
  ASSERT_EQ(rule->MoveReady(period.data(), nullptr, nullptr, 4), host::kOk);
  StSWKTINFO line;
  ASSERT_EQ(rule->MoveNext(&line), host::kOk);  // by line number: line 1, dated after line 2
  host::RecordView v = line.view();
  EXPECT_EQ(v.U32(S::kLineNo), 1u);
  EXPECT_EQ(v.U32(S::kDebitAccount), kTravel);
  EXPECT_EQ(v.I32(S::kDebitDepartment), 7);
  EXPECT_EQ(v.I64(S::kDebitTax), Yen(8));
  EXPECT_EQ(v.U8(S::kDebitCategory), 22);
  EXPECT_EQ(v.I32(S::kCreditDepartment), 0);
  EXPECT_EQ(v.U8(S::kCreditCategory), 30);
  ASSERT_EQ(rule->MoveNext(&line), host::kOk);
  EXPECT_EQ(v.U32(S::kLineNo), 2u);
  EXPECT_EQ(v.U32(S::kDebitAccount), kCash);
  EXPECT_EQ(v.I64(S::kDebitAmount), Yen(540));
  EXPECT_EQ(v.U32(S::kCreditAccount), kSales);
  EXPECT_EQ(v.I64(S::kCreditAmount), Yen(500));
  EXPECT_EQ(v.I64(S::kCreditTax), Yen(40));
  EXPECT_EQ(v.U8(S::kCreditCategory), 1);
  EXPECT_EQ(v.U8(S::kCreditBusinessType), 3);
  EXPECT_EQ(v.I32(S::kDate), 20140410);
  EXPECT_EQ(rule->MoveNext(&line), host::kEndOfWalk);
  EXPECT_EQ(rule->MoveNext(&line), host::kEndOfWalk);
  EXPECT_EQ(rule->MoveFinish(), host::kOk);
  EXPECT_EQ(rule->MoveNext(&line), host::kNotReady);
  EXPECT_EQ(rule->MoveReady(period.data(), nullptr, nullptr, 3), host::kBadArgument);
}

TEST_F(JournalTest, NestedChainsSelectLinesWithANonQualifyingSide) {
  book_.Line(20140410, 1, Side{kTravel, Yen(1), 0, 21}, Side{kCash, Yen(1), 0, 22});   // neither side
  book_.Line(20140410, 1, Side{kTravel, Yen(1), 0, 24}, Side{kCash, Yen(1), 0, 21});   // debit 24
  book_.Line(20140410, 1, Side{kTravel, Yen(1), 0, 23}, Side{kCash, Yen(1), 0, 31});   // credit 31
  book_.Line(20140410, 1, Side{kTravel, Yen(1), 0, 29}, Side{kCash, Yen(1), 0, 25});   // neither
  book_.Line(20140410, 2, Side{kTravel, Yen(1), 0, 0}, Side{kCash, Yen(1), 0, 0});     // outside the period
  book_.Line(20140930, 15, Side{kTravel, Yen(1), 0, 5}, Side{kCash, Yen(1), 0, 21});   // interim closing
  NonQualifyingChain chain(Months(1, 1, 15));
  auto rule = book_.Bound<ClRuleShiwake>();
  uint32_t count = 0;
  ASSERT_EQ(rule->GetSwkCount(chain.main.data(), nullptr, &count), host::kOk);
  EXPECT_EQ(count, 3u);
  ASSERT_EQ(rule->MoveReady(chain.main.data(), nullptr, nullptr, 4), host::kOk);
  StSWKTINFO line;
  uint32_t walked = 0;
  while (rule->MoveNext(&line) == host::kOk) ++walked;
  EXPECT_EQ(walked, count);
}

TEST_F(JournalTest, BusinessTypeCountAndRateFlags) {
  book_.Line(20140410, 1, Side{kCash, Yen(1)}, Side{kSales, Yen(1), 0, 1, 800, 6});
  book_.Line(20140410, 1, Side{kSales, Yen(1), 0, 1, 800, 6}, Side{kCash, Yen(1)});
  book_.Line(20140510, 2, Side{kCash, Yen(1)}, Side{kSales, Yen(1), 0, 1, 500, 6});
  book_.Line(20140610, 3, Side{kCash, Yen(1)}, Side{kSales, Yen(1), 0, 1, 1000});
  book_.Line(20140710, 4, Side{kTravel, Yen(1), 0, 21, 800, 0, 0, 1}, Side{kCash, Yen(1)});
  book_.Line(20140810, 5, Side{kCash, Yen(1)}, Side{kSales, Yen(1), 0, 1, 300});
  // One line with two flags, one on each side; then a line with one of them.
  book_.Line(20140910, 6, Side{kTravel, Yen(1), 0, 21, 800, 0, 0, 1}, Side{kSales, Yen(1), 0, 1, 300});
  book_.Line(20140911, 6, Side{kCash, Yen(1)}, Side{kSales, Yen(1), 0, 1, 300});
  auto rule = book_.Bound<ClRuleShiwake>();
  int32_t count = 0;
  ASSERT_EQ(rule->CheckExistSwkByJigyoBunrui(Months(1, 1).data(), 6, &count), host::kOk);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(rule->CheckExistSwkByJigyoBunrui(Months(1, 12).data(), 6, &count), host::kOk);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(rule->CheckExistSwkByJigyoBunrui(Months(1, 12).data(), 7, &count), host::kBadArgument);

  const struct {
    int first, last;
    int32_t flags;
  } cases[] = {{1, 1, 0x4}, {2, 2, 0x2}, {3, 3, 0x8}, {4, 4, 0x40000}, {5, 5, 0x1}, {1, 5, 0x4000F}, {6, 6, 0x40001},
               {5, 6, 0x40001}, {1, 12, 0x4000F}, {7, 12, 0}};
  for (const auto& c : cases) {
    int32_t flags = -1;
    ASSERT_EQ(rule->CheckExistSwkByZeiRate(Months(c.first, c.last).data(), &flags, 1), host::kOk);
    EXPECT_EQ(flags, c.flags) << "months " << c.first << " to " << c.last;
  }
  int32_t flags = 0;
  EXPECT_EQ(rule->CheckExistSwkByZeiRate(Months(1, 12).data(), &flags, 2), host::kBadArgument);
}

}  // namespace
}  // namespace ledger_rules_test
