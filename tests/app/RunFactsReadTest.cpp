// The run's facts read from the host in one go: which data entry and whose
// settings they are, whether the saved return may be linked, and what is left
// when the host has nothing to give.
#include <gtest/gtest.h>

#include <string>

#include "app/RunFacts.h"
#include "host/Host.h"
#include "ledger/testing/Fixture.h"

namespace {

using ledger::testing::DataSpec;
using ledger::testing::Fixture;
using ledger::testing::TaxSpec;

ClSetData* DataObject() { return dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1)); }
ClSetShohizei* TaxObject() {
  return dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindShohizei, 1));
}

std::string DataIdOf(const app::RunFacts& facts) {
  return facts.company.view().Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth);
}

// A saved return of `dataId` for the period 2023-04-01 to 2024-03-31 under
// simplified taxation (kind 2), lump-sum deduction, closing pattern 0.
std::string SavedReturnRow(const std::string& dataId, int periodStart = 20230401) {
  return "INSERT INTO saved_return (data_id, taxation_kind, deduction_method, sales_tax_choice, purchase_tax_choice, "
         "transitional_flag, period_start, period_end, year_start, year_end, return_start, return_end, "
         "closing_pattern, refund_individual_basis, refund_corporate_pl_basis, refund_corporate_asset_basis) "
         "VALUES ('" +
         dataId + "', 2, 1, 0, 0, 0, " + std::to_string(periodStart) +
         ", 20240331, 20230401, 20240331, 20230701, 20230930, 0, 0, 0, 0)";
}

// Two companies: C001 (data number 1, general taxation) and C002 (data number
// 2, simplified taxation, a half-year closing, a January-to-December period).
class RunFactsReadTest : public ::testing::Test {
 protected:
  void AddTwoCompanies() {
    DataSpec first;
    first.dataId = "C001";
    book_.AddData(first).AddTax("C001", TaxSpec{2, 0, 0, 0, 0, 5});
    DataSpec second;
    second.dataId = "C002";
    second.dataNo = 2;
    second.periodStart = 20230101;
    second.periodEnd = 20231231;
    second.closingPattern = 1;
    book_.AddData(second).AddTax("C002", TaxSpec{1, 2, 1, 4, 0, 5});
  }
  app::RunFacts Read() {
    std::string error;
    EXPECT_TRUE(book_.Connect(&error)) << error;
    return app::ReadRunFacts(DataObject(), TaxObject());
  }
  Fixture book_;
};

TEST_F(RunFactsReadTest, TheSelectedDataWithItsOwnSettingsAndPeriod) {
  AddTwoCompanies();
  book_.AddUser("007", 3, 2);
  const app::RunFacts facts = Read();
  EXPECT_EQ(facts.userId, "007");
  EXPECT_EQ(facts.selectedNo[0], 3);
  EXPECT_EQ(facts.selectedNo[1], 2);
  EXPECT_EQ(DataIdOf(facts), "C002");
  EXPECT_EQ(facts.company.view().I32(StDATAINFO::kClosingPattern), 1);
  // The settings are the selected data's, not the first entry's.
  EXPECT_EQ(facts.taxSettings.taxMethod(), 1);
  EXPECT_EQ(facts.taxSettings.rounding(), 2);
  EXPECT_EQ(facts.taxSettings.deductionMethod(), 1);
  EXPECT_EQ(facts.taxSettings.mainBusinessType(), 4);
  EXPECT_EQ(facts.periodStart, 20230101);
  EXPECT_EQ(facts.periodEnd, 20231231);
  EXPECT_EQ(facts.periodMonths.first, 1);
  EXPECT_EQ(facts.periodMonths.last, 12);
  // The settings object stays bound to that data for the run's later
  // questions (the rate count of the old-rate check).
  EXPECT_EQ(TaxObject()->GetTaxRateCount(), 5);
}

TEST_F(RunFactsReadTest, APeriodAcrossTheYearEndCountsItsLastMonthPastTwelve) {
  AddTwoCompanies();
  book_.AddUser("001", 1, 1);
  const app::RunFacts facts = Read();
  EXPECT_EQ(DataIdOf(facts), "C001");
  EXPECT_EQ(facts.taxSettings.taxMethod(), 2);
  EXPECT_EQ(facts.periodMonths.first, 4);
  EXPECT_EQ(facts.periodMonths.last, 103);
}

TEST_F(RunFactsReadTest, ASavedReturnOfTheDataAsItIsNowMayBeLinked) {
  DataSpec data;
  data.dataId = "S001";
  book_.AddData(data).AddTax("S001", TaxSpec{1, 0, 1, 2, 0, 5}).AddUser("001", 1, 1);
  book_.Exec(SavedReturnRow("S001"));
  const app::RunFacts facts = Read();
  ASSERT_NE(facts.savedReturn, nullptr);
  EXPECT_EQ(facts.savedReturn->view().I32(StSaveTaxInfo::kPeriodStart), 20230401);
  EXPECT_EQ(facts.savedReturnMatches, 1);
  // The accounting months in which the return's first and last days fall.
  EXPECT_EQ(facts.returnStartMonth, 7);
  EXPECT_EQ(facts.returnEndMonth, 9);
}

TEST_F(RunFactsReadTest, ASavedReturnThatNoLongerFitsIsNotLinked) {
  // The data's taxation has changed since the return was saved.
  DataSpec data;
  data.dataId = "S001";
  book_.AddData(data).AddTax("S001", TaxSpec{2, 0, 1, 0, 0, 5}).AddUser("001", 1, 1);
  book_.Exec(SavedReturnRow("S001"));
  const app::RunFacts facts = Read();
  EXPECT_EQ(facts.savedReturn->view().I32(StSaveTaxInfo::kPeriodStart), 20230401);
  EXPECT_EQ(facts.savedReturnMatches, 0);
}

TEST_F(RunFactsReadTest, ASavedReturnOfAnotherPeriodIsNotLinked) {
  DataSpec data;
  data.dataId = "S001";
  book_.AddData(data).AddTax("S001", TaxSpec{1, 0, 1, 2, 0, 5}).AddUser("001", 1, 1);
  book_.Exec(SavedReturnRow("S001", 20220401));
  const app::RunFacts facts = Read();
  EXPECT_EQ(facts.savedReturnMatches, 0);
}

TEST_F(RunFactsReadTest, ASelectionWithoutItsDataEntryGivesZeroFacts) {
  DataSpec data;
  data.dataId = "N001";
  book_.AddData(data).AddTax("N001", TaxSpec{2, 1, 1, 0, 0, 5}).AddUser("001", 1, 9);
  const app::RunFacts facts = Read();
  EXPECT_EQ(facts.selectedNo[1], 9);
  EXPECT_EQ(DataIdOf(facts), "");
  EXPECT_EQ(facts.company.view().I32(StDATAINFO::kPeriodStart), 0);
  EXPECT_EQ(facts.taxSettings.taxMethod(), 0);
  ASSERT_NE(facts.savedReturn, nullptr);
  EXPECT_EQ(facts.savedReturn->view().I32(StSaveTaxInfo::kPeriodStart), 0);
  EXPECT_EQ(facts.savedReturnMatches, 0);
}

TEST_F(RunFactsReadTest, DataWithoutSettingsOrSavedReturnStillHasItsRecord) {
  DataSpec data;
  data.dataId = "N001";
  book_.AddData(data).AddUser("001", 1, 1);
  const app::RunFacts facts = Read();
  EXPECT_EQ(DataIdOf(facts), "N001");
  EXPECT_EQ(facts.taxSettings.taxMethod(), 0);
  EXPECT_EQ(facts.taxSettings.rounding(), 0);
  ASSERT_NE(facts.savedReturn, nullptr);
  EXPECT_EQ(facts.savedReturn->view().I32(StSaveTaxInfo::kPeriodStart), 0);
  EXPECT_EQ(facts.savedReturnMatches, 0);
  EXPECT_EQ(facts.periodStart, 20230401);

  // Without a settings object the settings stay zero too.
  const app::RunFacts withoutObject = app::ReadRunFacts(DataObject(), nullptr);
  EXPECT_EQ(DataIdOf(withoutObject), "N001");
  EXPECT_EQ(withoutObject.taxSettings.taxMethod(), 0);
}

}  // namespace
