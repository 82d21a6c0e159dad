// Account sums by month slot (ClRuleKamoku): accounts and class headings,
// closing months, tax-exclusive and tax-inclusive pairs, departments.
#include "Book.h"

namespace ledger_rules_test {
namespace {

using K = StKAMOKUSUMINFO;

constexpr uint32_t kCash = 1, kTravel = 2, kPostage = 3, kPurchases = 4;
constexpr uint32_t kSga = 0x40882000, kSgaSub = 0x40882004;

class AccountSumsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Account(kCash, "100", 0x10100000, 1);
    book_.Account(kTravel, "710", kSga, 1, 0, 0);
    book_.Account(kPostage, "720", kSgaSub, 1, 1, 1);
    book_.Account(kPurchases, "600", 0x20200000, 2, 0, 2);
  }

  std::vector<StKAMOKUSUMINFO> Walk(const std::vector<StFINDINFO>& period, const StBUMONINFO* department = nullptr,
                                    int16_t deptSumType = 0) {
    auto rule = book_.Bound<ClRuleKamoku>();
    EXPECT_EQ(rule->MoveReady(1, deptSumType, 0, period.data(), department, 0), host::kOk);
    uint32_t count = 0;
    EXPECT_EQ(rule->GetSumCount(&count), host::kOk);
    EXPECT_EQ(rule->SetMovePos(0), host::kOk);
    std::vector<StKAMOKUSUMINFO> records;
    StKAMOKUSUMINFO record;
    int32_t status;
    while ((status = rule->MoveNext(&record)) == host::kOk) records.push_back(record);
    EXPECT_EQ(status, host::kEndOfWalk);
    EXPECT_EQ(records.size(), count);
    EXPECT_EQ(rule->MoveFinish(), host::kOk);
    return records;
  }

  static const StKAMOKUSUMINFO* Account(const std::vector<StKAMOKUSUMINFO>& records, uint32_t id) {
    for (const auto& r : records) {
      if (r.view().U8(K::kRowKind) != K::kRowKindHeading && r.view().U32(K::kAccountId) == id) return &r;
    }
    return nullptr;
  }
  static const StKAMOKUSUMINFO* Heading(const std::vector<StKAMOKUSUMINFO>& records, uint32_t classCode) {
    for (const auto& r : records) {
      if (r.view().U8(K::kRowKind) == K::kRowKindHeading && r.view().U32(K::kClassCode) == classCode) return &r;
    }
    return nullptr;
  }
  static int64_t At(const StKAMOKUSUMINFO* r, size_t array, size_t slot) { return r->view().I64(K::Slot(array, slot)); }

  Book book_;
};

TEST_F(AccountSumsTest, MonthsAndClosingMonthsFillTheirSlotsInBothPairs) {
  book_.Line(20140410, 1, Side{kTravel, Yen(100), Yen(8)}, Side{kCash, Yen(108)});
  book_.Line(20140910, 6, Side{kTravel, Yen(50), Yen(4)}, Side{kCash, Yen(54)});
  book_.Line(20140930, 15, Side{kTravel, Yen(7)}, Side{kCash, Yen(7)});
  book_.Line(20150331, 18, Side{kCash, Yen(3)}, Side{kTravel, Yen(3)});
  book_.Line(20150310, 12, Side{kTravel, Yen(11), Yen(1)}, Side{kCash, Yen(12)});
  const auto records = Walk(Months(1, 12, 18));
  const StKAMOKUSUMINFO* travel = Account(records, kTravel);
  ASSERT_NE(travel, nullptr);
  EXPECT_EQ(At(travel, K::kDebitExclusive, 1), Yen(100));
  EXPECT_EQ(At(travel, K::kDebitInclusive, 1), Yen(108));
  EXPECT_EQ(At(travel, K::kDebitExclusive, 6), Yen(50));
  EXPECT_EQ(At(travel, K::kDebitInclusive, 6), Yen(54));
  EXPECT_EQ(At(travel, K::kDebitExclusive, 12), Yen(11));
  EXPECT_EQ(At(travel, K::kDebitInclusive, 12), Yen(12));
  EXPECT_EQ(At(travel, K::kCreditExclusive, 13), Yen(3));  // year-end closing, month number 18
  EXPECT_EQ(At(travel, K::kCreditInclusive, 13), Yen(3));
  EXPECT_EQ(At(travel, K::kDebitExclusive, 14), 0);        // interim closing is outside this condition
  const StKAMOKUSUMINFO* cash = Account(records, kCash);
  ASSERT_NE(cash, nullptr);
  EXPECT_EQ(At(cash, K::kCreditExclusive, 1), Yen(108));
  EXPECT_EQ(At(cash, K::kDebitExclusive, 13), Yen(3));

  const auto interim = Walk(Months(1, 6, 15));
  EXPECT_EQ(At(Account(interim, kTravel), K::kDebitExclusive, 14), Yen(7));  // month number 15
  EXPECT_EQ(At(Account(interim, kTravel), K::kDebitExclusive, 12), 0);
  EXPECT_EQ(At(Account(interim, kTravel), K::kCreditExclusive, 13), 0);
}

TEST_F(AccountSumsTest, HeadingsSumTheirClassAndSubClassesAndAccountsCarryTheirMarks) {
  book_.Line(20140410, 1, Side{kTravel, Yen(100)}, Side{kCash, Yen(100)});
  book_.Line(20140410, 1, Side{kPostage, Yen(30)}, Side{kCash, Yen(30)});
  book_.Line(20140510, 2, Side{kCash, Yen(5)}, Side{kPostage, Yen(5)});
  const auto records = Walk(Months(1, 12));

  const StKAMOKUSUMINFO* sga = Heading(records, kSga);
  ASSERT_NE(sga, nullptr);
  EXPECT_EQ(At(sga, K::kDebitExclusive, 1), Yen(130));
  EXPECT_EQ(At(sga, K::kCreditExclusive, 2), Yen(5));
  EXPECT_EQ(sga->view().U8(K::kExcludeMarkA), 0);
  EXPECT_EQ(sga->view().U8(K::kExcludeMarkB), 0);
  const StKAMOKUSUMINFO* sub = Heading(records, kSgaSub);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(At(sub, K::kDebitExclusive, 1), Yen(30));
  const StKAMOKUSUMINFO* above = Heading(records, 0x40880000);
  ASSERT_NE(above, nullptr);
  EXPECT_EQ(At(above, K::kDebitExclusive, 1), Yen(130));
  // Cash is in no class of these: its heading holds cash alone.
  EXPECT_EQ(At(Heading(records, 0x10100000), K::kCreditExclusive, 1), Yen(130));

  const StKAMOKUSUMINFO* postage = Account(records, kPostage);
  ASSERT_NE(postage, nullptr);
  EXPECT_EQ(postage->view().U8(K::kExcludeMarkA), 1);
  EXPECT_EQ(postage->view().U8(K::kExcludeMarkB), 1);
  EXPECT_NE(postage->view().U8(K::kRowKind), K::kRowKindHeading);
  EXPECT_EQ(postage->view().U32(K::kClassCode), kSgaSub);
  const StKAMOKUSUMINFO* purchases = Account(records, kPurchases);
  ASSERT_NE(purchases, nullptr);  // an account without lines still has its row
  EXPECT_EQ(purchases->view().U8(K::kBalanceSide), 2);
  EXPECT_EQ(purchases->view().U8(K::kExcludeMarkB), 2);
  EXPECT_EQ(At(purchases, K::kDebitExclusive, 1), 0);

  // A heading comes before the accounts of its class, in class order.
  size_t headingAt = 0, travelAt = 0, subAt = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (&records[i] == sga) headingAt = i;
    if (&records[i] == Account(records, kTravel)) travelAt = i;
    if (&records[i] == sub) subAt = i;
  }
  EXPECT_LT(headingAt, travelAt);
  EXPECT_LT(travelAt, subAt);
}

TEST_F(AccountSumsTest, DepartmentSumsTakeTheDepartmentOrItsMembers) {
  book_.Department(10, 1, 0);   // a summing department
  book_.Department(11, 0, 10);  // member of 10
  book_.Department(12, 0, 0);
  book_.Line(20140410, 1, Side{kTravel, Yen(100), 0, 0, 0, 0, 10}, Side{kCash, Yen(100)});
  book_.Line(20140410, 1, Side{kTravel, Yen(20), 0, 0, 0, 0, 11}, Side{kCash, Yen(20), 0, 0, 0, 0, 11});
  book_.Line(20140410, 1, Side{kTravel, Yen(3), 0, 0, 0, 0, 12}, Side{kCash, Yen(3)});
  StBUMONINFO dept;
  dept.view().SetI32(StBUMONINFO::kCode, 10);

  EXPECT_EQ(At(Account(Walk(Months(1, 12), &dept, 0), kTravel), K::kDebitExclusive, 1), Yen(100));
  const auto members = Walk(Months(1, 12), &dept, 4);
  EXPECT_EQ(At(Account(members, kTravel), K::kDebitExclusive, 1), Yen(120));
  EXPECT_EQ(At(Account(members, kCash), K::kCreditExclusive, 1), Yen(20));  // only the credit side booked to 11
  EXPECT_EQ(At(Account(Walk(Months(1, 12)), kTravel), K::kDebitExclusive, 1), Yen(123));

  auto rule = book_.Bound<ClRuleKamoku>();
  const auto period = Months(1, 12);
  dept.view().SetI32(StBUMONINFO::kCode, 99);
  EXPECT_EQ(rule->MoveReady(1, 0, 0, period.data(), &dept, 0), host::kNotFound);
  EXPECT_EQ(rule->MoveReady(1, 4, 0, period.data(), nullptr, 0), host::kBadArgument);
  uint32_t count = 0;
  EXPECT_EQ(rule->GetSumCount(&count), host::kNotReady);  // a refused ready leaves nothing to walk
}

TEST_F(AccountSumsTest, PositioningAndTheEndOfTheWalk) {
  auto rule = book_.Bound<ClRuleKamoku>();
  StKAMOKUSUMINFO record;
  EXPECT_EQ(rule->MoveNext(&record), host::kNotReady);
  const auto period = Months(1, 12);
  ASSERT_EQ(rule->MoveReady(1, 0, 0, period.data(), nullptr, 0), host::kOk);
  uint32_t count = 0;
  ASSERT_EQ(rule->GetSumCount(&count), host::kOk);
  ASSERT_GT(count, 2u);
  EXPECT_EQ(rule->SetMovePos(count - 1), host::kOk);
  EXPECT_EQ(rule->MoveNext(&record), host::kOk);
  EXPECT_EQ(rule->MoveNext(&record), host::kEndOfWalk);
  EXPECT_EQ(rule->MoveNext(&record), host::kEndOfWalk);
  EXPECT_EQ(rule->SetMovePos(count + 1), host::kBadArgument);
  EXPECT_EQ(rule->SetMovePos(0), host::kOk);
  EXPECT_EQ(rule->MoveNext(&record), host::kOk);
}

}  // namespace
}  // namespace ledger_rules_test
