// The per-department refund pass over hand-built books of sole proprietors:
// each income layout, departments of every kind (class 1 with reference 0 and
// non-zero, income types 1, 3 and others, members summed with their class-1
// or class-2 department), no departments at all, the journal parts routed by
// each side's department, and the assets by income type.
#include <gtest/gtest.h>

#include "tests/refund_passes/RefundBook.h"

using aggregate::RefundLine;
using aggregate::TaxAggregate;

namespace refund_test {
namespace {

constexpr int64_t kCash = 1;
constexpr int64_t kGoods = 10, kCostOfSales = 11;  // purchase group
constexpr int64_t kTravel = 20, kPostage = 21, kRent = 22, kMarked = 23;
constexpr int64_t kInterest = 30, kFees = 31, kLoss = 40;
constexpr int64_t kSales = 50;

constexpr int32_t kLayoutBusiness = 1, kLayoutRealEstate = 2, kLayoutByDepartment = 3;
constexpr int32_t kTaxable = 22;

class ProprietorBook : public RefundBook {
 public:
  explicit ProprietorBook(int32_t layout) : RefundBook(/*kind=*/3, layout) {
    Account(kGoods, 0x20200000)
        .Account(kCostOfSales, 0x40884400)
        .Account(kTravel, 0x40882000)
        .Account(kPostage, 0x40882008)
        .Account(kRent, 0x40882010, /*balanceSide=*/2)
        .Account(kMarked, 0x40882020, 1, /*markA=*/2)
        .Account(kInterest, 0x40844000)
        .Account(kFees, 0x40844080)
        .Account(kLoss, 0x40440000)
        .Account(kSales, 0x80100000, 2);
  }
  // Debits `account` with `yen` against cash, both sides taxable, both in
  // `department` (0: none).
  void Expense(int32_t month, int64_t account, int64_t yen, int32_t department = 0, int64_t taxYen = 0) {
    Line(month, {account, Yen(yen), kTaxable, Yen(taxYen), department},
         {kCash, Yen(yen + taxYen), kTaxable, 0, department});
  }
  // A non-qualifying debit of `account` in `department` against taxable cash.
  void Exempt(int32_t month, int64_t account, int64_t yen, int32_t category, int32_t department = 0) {
    Line(month, {account, Yen(yen), category, 0, department}, {kCash, Yen(yen), kTaxable});
  }
};

void ExpectRow(const RefundLine& row, int64_t book, int64_t nonQualifying = 0, int64_t imports = 0) {
  EXPECT_EQ(row.bookAmount, book);
  EXPECT_EQ(row.nonQualifying, nonQualifying);
  EXPECT_EQ(row.undeterminedImport, imports);
}

TEST(IndividualLayouts, BusinessIncomeTakesEveryGroupedAccount) {
  ProprietorBook book(kLayoutBusiness);
  book.Expense(1, kGoods, 100, 0, 8);
  book.Expense(1, kCostOfSales, 20);  // its own record counts, its heading does not
  book.Expense(2, kTravel, 1000, 0, 80);
  book.Expense(2, kPostage, 50);
  book.Expense(3, kRent, 400);        // a credit-side account still counts debit minus credit
  book.Expense(3, kMarked, 9000);     // any non-zero mark at 126 excludes it here
  book.Expense(4, kInterest, 60);
  book.Expense(4, kFees, 7);
  book.Expense(5, kLoss, 3);
  book.Expense(5, kSales, 99999);
  book.Exempt(6, kTravel, 11, 31);
  book.Line(6, {kCash, Yen(5), kTaxable}, {kGoods, Yen(5), 30});
  book.Asset(20230501, Yen(1), 1, /*incomeType=*/1);
  book.Asset(20230601, Yen(20), 1, /*incomeType=*/2);
  book.Asset(20230701, Yen(300), 9, /*incomeType=*/3);

  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  const TaxAggregate& a = book.aggregate;
  ExpectRow(a.businessPurchases, Yen(100 + 20 - 5), Yen(-5));
  ExpectRow(a.businessExpenses, Yen(1000 + 50 + 400 + 60 + 7 + 3 + 11), Yen(11), Yen(11));
  EXPECT_EQ(a.businessFixedAssets.bookAmount, Yen(321));
  for (const RefundLine* row : {&a.realEstateExpenses, &a.realEstateFixedAssets, &a.otherPurchases, &a.otherExpenses,
                                &a.otherFixedAssets}) {
    ExpectRow(*row, 0);
  }
  EXPECT_EQ(a.goodsPurchases.bookAmount, 0);  // the corporate rows stay untouched
  EXPECT_EQ(a.sellingAdminExpenses.nonQualifying, 0);

  // With the tax-inclusive byte set the amounts carry their tax.
  book.aggregate = TaxAggregate();
  ASSERT_EQ(book.RunIndividual({1, 12, {18}}, /*taxInclusive=*/true), 1);
  EXPECT_EQ(book.aggregate.businessPurchases.bookAmount, Yen(108 + 20 - 5));
  EXPECT_EQ(book.aggregate.businessExpenses.bookAmount, Yen(1080 + 50 + 400 + 60 + 7 + 3 + 11));
}

TEST(IndividualLayouts, RealEstateIncomeDropsPurchases) {
  ProprietorBook book(kLayoutRealEstate);
  book.Expense(1, kGoods, 100);
  book.Exempt(2, kGoods, 30, 0);
  book.Expense(3, kTravel, 1000);
  book.Exempt(4, kLoss, 7, 33);
  book.Asset(20230501, Yen(1), 1, /*incomeType=*/1);
  book.Asset(20230601, Yen(20), 1, /*incomeType=*/5);

  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  const TaxAggregate& a = book.aggregate;
  ExpectRow(a.realEstateExpenses, Yen(1007), Yen(7), Yen(7));
  EXPECT_EQ(a.realEstateFixedAssets.bookAmount, Yen(21));
  for (const RefundLine* row : {&a.businessPurchases, &a.businessExpenses, &a.businessFixedAssets, &a.otherPurchases,
                                &a.otherExpenses}) {
    ExpectRow(*row, 0);
  }
}

TEST(IndividualLayouts, ByDepartmentWithoutDepartmentsIsBusinessIncome) {
  ProprietorBook book(kLayoutByDepartment);
  book.Expense(1, kGoods, 100);
  book.Expense(2, kInterest, 40);
  book.Exempt(3, kTravel, 9, 0);
  book.Asset(20230501, Yen(1), 1, /*incomeType=*/1);
  book.Asset(20230601, Yen(20), 9, /*incomeType=*/2);
  book.Asset(20230701, Yen(300), 1, /*incomeType=*/3);  // neither: not counted

  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  const TaxAggregate& a = book.aggregate;
  ExpectRow(a.businessPurchases, Yen(100));
  ExpectRow(a.businessExpenses, Yen(49), Yen(9));
  EXPECT_EQ(a.businessFixedAssets.bookAmount, Yen(1));
  EXPECT_EQ(a.realEstateFixedAssets.bookAmount, Yen(20));
  EXPECT_EQ(a.otherFixedAssets.bookAmount, 0);
  ExpectRow(a.otherPurchases, 0);
  ExpectRow(a.otherExpenses, 0);
  ExpectRow(a.realEstateExpenses, 0);
}

// Departments of every kind, each with the income it routes to:
//   1 class 1, reference 0, real estate: business (class 1, reference 0) and real estate
//   2 class 1, reference to no department, business: business and other
//   3 plain, real estate: real estate
//   4 plain, income type 2: other
//   5 plain, business: business
void AddDepartments(RefundBook& book) {
  book.Department(1, 1, 0, 3).Department(2, 1, 99, 1).Department(3, 0, 0, 3).Department(4, 0, 0, 2);
  book.Department(5, 0, 0, 1);
}

TEST(IndividualDepartments, BookAmountsFollowEachDepartmentsIncome) {
  ProprietorBook book(kLayoutByDepartment);
  AddDepartments(book);
  book.Expense(1, kTravel, 1, 1);
  book.Expense(1, kTravel, 10, 2);
  book.Expense(1, kTravel, 100, 3);
  book.Expense(1, kTravel, 1000, 4);
  book.Expense(1, kTravel, 10000, 5);
  book.Expense(1, kTravel, 100000);  // in no department: outside every department's sums
  book.Expense(2, kGoods, 700, 1);
  book.Expense(2, kGoods, 7, 3);     // real estate has no purchase row
  book.Expense(2, kGoods, 70, 4);
  book.Asset(20230501, Yen(1), 1, /*incomeType=*/1);
  book.Asset(20230601, Yen(20), 1, /*incomeType=*/2);
  book.Asset(20230701, Yen(300), 1, /*incomeType=*/3);

  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  const TaxAggregate& a = book.aggregate;
  ExpectRow(a.businessExpenses, Yen(1 + 10 + 10000));
  ExpectRow(a.realEstateExpenses, Yen(1 + 100));
  ExpectRow(a.otherExpenses, Yen(10 + 1000));
  ExpectRow(a.businessPurchases, Yen(700));
  ExpectRow(a.otherPurchases, Yen(70));
  EXPECT_EQ(a.businessFixedAssets.bookAmount, Yen(1));
  EXPECT_EQ(a.realEstateFixedAssets.bookAmount, Yen(20));
  EXPECT_EQ(a.otherFixedAssets.bookAmount, 0);
}

TEST(IndividualDepartments, JournalPartsFollowEachSidesDepartment) {
  ProprietorBook book(kLayoutByDepartment);
  AddDepartments(book);
  book.Exempt(1, kInterest, 1, 31, 1);
  book.Exempt(2, kInterest, 10, 0);       // no department after one: looked up afresh, other income
  book.Exempt(3, kInterest, 100, 30, 3);
  book.Exempt(4, kInterest, 1000, 37, 2);
  book.Exempt(5, kInterest, 10000, 20, 5);
  book.Exempt(6, kGoods, 5, 24, 1);
  // A credit side in department 4 subtracts from other income.
  book.Line(7, {kCash, Yen(3), kTaxable}, {kLoss, Yen(3), 35, 0, 4});
  // Taxable categories add nothing to the journal parts.
  book.Line(8, {kInterest, Yen(50000), 21, 0, 5}, {kCash, Yen(50000), 0});

  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  const TaxAggregate& a = book.aggregate;
  EXPECT_EQ(a.businessExpenses.nonQualifying, Yen(1 + 1000 + 10000));
  EXPECT_EQ(a.businessExpenses.undeterminedImport, Yen(1 + 1000));
  EXPECT_EQ(a.realEstateExpenses.nonQualifying, Yen(1 + 100));
  EXPECT_EQ(a.realEstateExpenses.undeterminedImport, Yen(1));
  EXPECT_EQ(a.otherExpenses.nonQualifying, Yen(10 + 1000 - 3));
  EXPECT_EQ(a.otherExpenses.undeterminedImport, Yen(1000 - 3));
  EXPECT_EQ(a.businessPurchases.nonQualifying, Yen(5));
  EXPECT_EQ(a.otherPurchases.nonQualifying, 0);
}

TEST(IndividualDepartments, ClassOneAndTwoDepartmentsIncludeTheirMembers) {
  ProprietorBook book(kLayoutByDepartment);
  book.Department(5, 2, 0, 1).Department(6, 0, 5, 9).Department(7, 0, 0, 1).Department(8, 0, 7, 3);
  book.Expense(1, kTravel, 30, 6);   // member of 5 (class 2): in 5's sums and in its own
  book.Expense(1, kTravel, 400, 8);  // reference to 7, a plain department: only in its own
  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  EXPECT_EQ(book.aggregate.businessExpenses.bookAmount, Yen(30));
  EXPECT_EQ(book.aggregate.otherExpenses.bookAmount, Yen(30));
  EXPECT_EQ(book.aggregate.realEstateExpenses.bookAmount, Yen(400));
}

TEST(IndividualRefund, ClosingSlotsAndChosenMonths) {
  ProprietorBook book(kLayoutBusiness);
  book.Expense(1, kTravel, 1);
  book.Expense(6, kTravel, 10);
  book.Expense(15, kTravel, 100);
  book.Expense(7, kTravel, 1000);
  book.Expense(18, kTravel, 10000);
  book.Asset(20230930, Yen(2));
  book.Asset(20231001, Yen(40));
  ASSERT_EQ(book.RunIndividual({1, 6, {15}}, false, /*closingPattern=*/1), 1);
  EXPECT_EQ(book.aggregate.businessExpenses.bookAmount, Yen(111));
  EXPECT_EQ(book.aggregate.businessFixedAssets.bookAmount, Yen(2));
  book.aggregate = TaxAggregate();
  ASSERT_EQ(book.RunIndividual({7, 12, {18}}, false, /*closingPattern=*/1), 1);
  EXPECT_EQ(book.aggregate.businessExpenses.bookAmount, Yen(11000));
  EXPECT_EQ(book.aggregate.businessFixedAssets.bookAmount, Yen(40));
}

TEST(IndividualRefund, CorporateDataIsLeftAlone) {
  RefundBook book(/*kind=*/1);
  book.Account(kTravel, 0x40882000);
  book.Line(1, {kTravel, Yen(10), 0}, {kCash, Yen(10), 0});
  book.Asset(20230501, Yen(20));
  ASSERT_EQ(book.RunIndividual({1, 12, {18}}), 1);
  EXPECT_EQ(book.aggregate.businessExpenses.bookAmount, 0);
  EXPECT_EQ(book.aggregate.businessExpenses.nonQualifying, 0);
  EXPECT_EQ(book.aggregate.businessFixedAssets.bookAmount, 0);
}

TEST(IndividualRefund, NoAccountingPeriodSkipsTheAssetsAndSaysSo) {
  RefundBook book(/*kind=*/4, kLayoutBusiness, /*periodEnd=*/20240231);
  book.Account(kTravel, 0x40882000);
  book.Line(1, {kTravel, Yen(10), 30}, {kCash, Yen(10), kTaxable});
  book.Asset(20230501, Yen(20));
  EXPECT_EQ(book.RunIndividual({1, 12, {18}}), 0);
  EXPECT_EQ(book.aggregate.businessExpenses.bookAmount, Yen(10));
  EXPECT_EQ(book.aggregate.businessExpenses.nonQualifying, Yen(10));
  EXPECT_EQ(book.aggregate.businessFixedAssets.bookAmount, 0);
}

}  // namespace
}  // namespace refund_test
