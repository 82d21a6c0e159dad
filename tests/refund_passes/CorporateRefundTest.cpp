// The corporate refund pass over hand-built books: book amounts by the row
// kinds of the account sums and the closing slots, journal parts by account
// group and tax category, both sides of a line, the tax-inclusive byte, and the
// assets within the chosen months.
#include <gtest/gtest.h>

#include "tests/refund_passes/RefundBook.h"

using aggregate::RefundLine;
using aggregate::TaxAggregate;

namespace refund_test {
namespace {

constexpr int64_t kCash = 1;
// Purchase group, counted by their own records.
constexpr int64_t kGoods = 10, kFreight = 11, kMarkedA = 12, kMarkedB = 13, kMarkedB2 = 14;
// Counted by their class heading rows.
constexpr int64_t kCostOfSales = 15;                   // 0x40884400
constexpr int64_t kTravel = 20, kPostage = 21;         // 0x40882000 and its sub-class 0x40882008
constexpr int64_t kInterest = 30;                      // 0x40844000
constexpr int64_t kLoss = 40, kLossSub = 41, kLossSub2 = 42;  // 0x40440000, 0x40440040, 0x40440080
constexpr int64_t kSales = 50;                         // in no refund group

constexpr int32_t kTaxable = 22;    // a taxable-purchase category
constexpr int32_t kNoTax = 0;       // non-qualifying

// A corporation with accounts of every listed class.
class CorporateBook : public RefundBook {
 public:
  CorporateBook() : RefundBook(/*kind=*/0) {
    Account(kGoods, 0x20200000)
      .Account(kFreight, 0x20400004)
      .Account(kMarkedA, 0x20200040, 1, /*markA=*/1)
      .Account(kMarkedB, 0x20400008, 1, 0, /*markB=*/1)
      .Account(kMarkedB2, 0x20804000, 1, /*markA=*/2, /*markB=*/2)
      .Account(kCostOfSales, 0x40884400)
      .Account(kTravel, 0x40882000)
      .Account(kPostage, 0x40882008)
      .Account(kInterest, 0x40844000)
      .Account(kLoss, 0x40440000)
      .Account(kLossSub, 0x40440040)
      .Account(kLossSub2, 0x40440080)
        .Account(kSales, 0x80100000, 2);
  }
};

// Debits `account` with `yen` against cash, both sides taxable (not selected
// by the journal condition).
void Book(RefundBook& book, int32_t month, int64_t account, int64_t yen, int64_t taxYen = 0) {
  book.Line(month, {account, Yen(yen), kTaxable, Yen(taxYen)}, {kCash, Yen(yen + taxYen), kTaxable});
}

TEST(CorporateBookAmounts, RowKindTableCountsEachAccountOnceInItsRow) {
  CorporateBook book;
  Book(book, 1, kGoods, 1000);
  Book(book, 2, kFreight, 200);
  Book(book, 2, kMarkedA, 7000);    // exclusion mark 126 = 1
  Book(book, 2, kMarkedB, 8000);    // exclusion mark 128 = 1
  Book(book, 3, kMarkedB2, 9);      // marks of 2 do not exclude
  Book(book, 3, kCostOfSales, 30);  // its heading row counts, its own record does not
  Book(book, 4, kTravel, 400);
  Book(book, 5, kPostage, 50);      // in the 0x40882000 heading, never on its own
  Book(book, 6, kInterest, 60);
  Book(book, 7, kLoss, 70);
  book.Line(8, {kCash, Yen(5), kTaxable}, {kLossSub, Yen(5), kTaxable});  // a credit lowers the row
  Book(book, 9, kSales, 123456);

  ASSERT_EQ(book.RunCorporate({1, 12, {18}}), 1);
  const TaxAggregate& a = book.aggregate;
  EXPECT_EQ(a.goodsPurchases.bookAmount, Yen(1000 + 200 + 9 + 30));
  EXPECT_EQ(a.sellingAdminExpenses.bookAmount, Yen(450));
  EXPECT_EQ(a.nonOperatingExpenses.bookAmount, Yen(60));
  EXPECT_EQ(a.otherProfitLoss.bookAmount, Yen(65));
  for (const RefundLine* row : {&a.goodsPurchases, &a.sellingAdminExpenses, &a.nonOperatingExpenses, &a.otherProfitLoss}) {
    EXPECT_EQ(row->nonQualifying, 0);
    EXPECT_EQ(row->undeterminedImport, 0);
  }
  // The individual rows stay untouched.
  EXPECT_EQ(a.businessExpenses.bookAmount, 0);
  EXPECT_EQ(a.businessPurchases.bookAmount, 0);
}

TEST(CorporateBookAmounts, ClosingSlotsFollowThePeriodCondition) {
  CorporateBook book;
  Book(book, 1, kTravel, 1);
  Book(book, 6, kTravel, 10);
  Book(book, 7, kTravel, 100);
  Book(book, 12, kTravel, 1000);
  Book(book, 15, kTravel, 10000);   // interim closing
  Book(book, 18, kTravel, 100000);  // year-end closing

  // The whole year with its year-end closing.
  ASSERT_EQ(book.RunCorporate({1, 12, {18}}, false, 1), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(101111));
  // Months 1 to 6 of data with an interim closing include the interim slot.
  book.aggregate = TaxAggregate();
  ASSERT_EQ(book.RunCorporate({1, 6, {15}}, false, 1), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(10011));
  // Without the interim closing pattern it does not.
  book.aggregate = TaxAggregate();
  ASSERT_EQ(book.RunCorporate({1, 6, {}}, false, 0), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(11));
  // A period not ending with the last month has no year-end slot.
  book.aggregate = TaxAggregate();
  ASSERT_EQ(book.RunCorporate({7, 12, {}}), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(1100));
}

TEST(CorporateBookAmounts, ShortPeriodStillReadsTheYearEndClosing) {
  // Ten months, April to January: the year-end closing is month number 18
  // whatever the number of the last month.
  RefundBook book(0, 0, /*periodEnd=*/20240131);
  book.Account(kTravel, 0x40882000);
  Book(book, 10, kTravel, 5);
  Book(book, 18, kTravel, 700);
  ASSERT_EQ(book.RunCorporate({1, 10, {18}}), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(705));
  // Six months with an interim closing that are also the whole period: both
  // closings count.
  RefundBook half(0, 0, /*periodEnd=*/20230930);
  half.Account(kTravel, 0x40882000);
  Book(half, 6, kTravel, 3);
  Book(half, 15, kTravel, 40);
  Book(half, 18, kTravel, 500);
  ASSERT_EQ(half.RunCorporate({1, 6, {15, 18}}, false, 1), 1);
  EXPECT_EQ(half.aggregate.sellingAdminExpenses.bookAmount, Yen(543));
}

TEST(CorporateJournalParts, CategoriesDecideNonQualifyingAndImportParts) {
  CorporateBook book;
  // Debit categories against a non-qualifying cash side, so that every line
  // is selected and only the expense side's category decides.
  const int32_t amounts[][2] = {{0, 1},   {20, 2},   {24, 4},   {30, 8},    {31, 16},   {34, 32},
                                {37, 64}, {38, 128}, {21, 256}, {23, 512},  {25, 1024}, {29, 2048}};
  int32_t month = 1;
  for (const auto& [category, yen] : amounts) {
    book.Line(month++ % 12 + 1, {kTravel, Yen(yen), category}, {kCash, Yen(yen), kNoTax});
  }
  ASSERT_EQ(book.RunCorporate({1, 12, {18}}), 1);
  const RefundLine& sga = book.aggregate.sellingAdminExpenses;
  EXPECT_EQ(sga.nonQualifying, Yen(1 + 2 + 4 + 8 + 16 + 32 + 64 + 128));
  EXPECT_EQ(sga.undeterminedImport, Yen(16 + 32 + 64));
  EXPECT_EQ(sga.bookAmount, Yen(4095));
}

TEST(CorporateJournalParts, BothSidesOnListedAccountsAndSubClasses) {
  CorporateBook book;
  // Debit to the purchase row, credit from the other row.
  book.Line(1, {kGoods, Yen(100), 30}, {kLoss, Yen(100), 32});
  // Both sides in the same row: the debit adds, the credit subtracts.
  book.Line(2, {kTravel, Yen(50), 30}, {kPostage, Yen(20), 24});
  // Sub-classes count in the journal parts of their group.
  book.Line(3, {kPostage, Yen(7), 35}, {kCash, Yen(7), kTaxable});
  book.Line(4, {kLossSub2, Yen(9), 0}, {kCash, Yen(9), kTaxable});
  book.Line(5, {kLossSub, Yen(3), 0}, {kCostOfSales, Yen(3), 36});
  // A line outside the chosen months and a line in an unlisted account.
  book.Line(12, {kInterest, Yen(1000), 0}, {kCash, Yen(1000), 0});
  book.Line(2, {kSales, Yen(1000), 0}, {kCash, Yen(1000), 0});

  ASSERT_EQ(book.RunCorporate({1, 6, {}}), 1);
  const TaxAggregate& a = book.aggregate;
  EXPECT_EQ(a.goodsPurchases.nonQualifying, Yen(100 - 3));
  EXPECT_EQ(a.goodsPurchases.undeterminedImport, Yen(-3));
  EXPECT_EQ(a.otherProfitLoss.nonQualifying, Yen(-100 + 9 + 3));
  EXPECT_EQ(a.otherProfitLoss.undeterminedImport, Yen(-100));
  EXPECT_EQ(a.sellingAdminExpenses.nonQualifying, Yen(50 - 20 + 7));
  EXPECT_EQ(a.sellingAdminExpenses.undeterminedImport, Yen(7));
  EXPECT_EQ(a.nonOperatingExpenses.nonQualifying, 0);
}

TEST(CorporateRefund, BookkeepingFlagReadsTheTaxInclusivePairAndAddsSideTax) {
  CorporateBook book;
  Book(book, 1, kTravel, 1000, 100);
  book.Line(2, {kInterest, Yen(500), 31, Yen(40)}, {kCash, Yen(540), 0});
  book.Line(3, {kCash, Yen(33), 0}, {kInterest, Yen(30), 30, Yen(3)});

  ASSERT_EQ(book.RunCorporate({1, 12, {18}}, /*taxInclusive=*/false), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(1000));
  EXPECT_EQ(book.aggregate.nonOperatingExpenses.bookAmount, Yen(470));
  EXPECT_EQ(book.aggregate.nonOperatingExpenses.nonQualifying, Yen(470));
  EXPECT_EQ(book.aggregate.nonOperatingExpenses.undeterminedImport, Yen(500));

  book.aggregate = TaxAggregate();
  ASSERT_EQ(book.RunCorporate({1, 12, {18}}, /*taxInclusive=*/true), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(1100));
  EXPECT_EQ(book.aggregate.nonOperatingExpenses.bookAmount, Yen(507));
  EXPECT_EQ(book.aggregate.nonOperatingExpenses.nonQualifying, Yen(507));
  EXPECT_EQ(book.aggregate.nonOperatingExpenses.undeterminedImport, Yen(540));
}

TEST(CorporateAssets, AcquisitionsWithinTheMonthsByKind) {
  CorporateBook book;
  book.Asset(20230430, Yen(1));         // month 1: before the months
  book.Asset(20230501, Yen(20));        // first day of month 2
  book.Asset(20230615, Yen(300), 9);    // deferred asset
  book.Asset(20230630, Yen(4000), 3);   // last day of month 3
  book.Asset(20230701, Yen(50000));     // month 4: after the months
  ASSERT_EQ(book.RunCorporate({2, 3, {}}), 1);
  EXPECT_EQ(book.aggregate.fixedAssetAcquisitions, Yen(4020));
  EXPECT_EQ(book.aggregate.deferredAssetAcquisitions, Yen(300));
}

TEST(CorporateRefund, OtherKindsOfDataAreLeftAlone) {
  RefundBook book(/*kind=*/3, /*layout=*/1);
  book.Account(kTravel, 0x40882000);
  Book(book, 1, kTravel, 10);
  book.Asset(20230501, Yen(20));
  ASSERT_EQ(book.RunCorporate({1, 12, {18}}), 1);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, 0);
  EXPECT_EQ(book.aggregate.fixedAssetAcquisitions, 0);
}

TEST(CorporateRefund, NoAccountingPeriodSkipsTheAssetsAndSaysSo) {
  // An end date the host cannot make a period of.
  RefundBook book(0, 0, /*periodEnd=*/20240231);
  book.Account(kTravel, 0x40882000);
  book.Line(1, {kTravel, Yen(10), 30}, {kCash, Yen(10), kTaxable});
  book.Asset(20230501, Yen(20));
  EXPECT_EQ(book.RunCorporate({1, 12, {18}}), 0);
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.bookAmount, Yen(10));
  EXPECT_EQ(book.aggregate.sellingAdminExpenses.nonQualifying, Yen(10));
  EXPECT_EQ(book.aggregate.fixedAssetAcquisitions, 0);
}

}  // namespace
}  // namespace refund_test
