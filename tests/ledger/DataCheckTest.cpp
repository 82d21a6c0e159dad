// The check of a data set's journal lines before a run reads any figure: a
// sound set passes; each kind of damage a hand edit can leave is refused,
// naming the line and the column; what only looks odd (a leap day, a line
// with no department) passes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/HostTypes.h"
#include "ledger/DataAccess.h"
#include "ledger/testing/Fixture.h"

namespace {

using ledger::testing::Fixture;

// One data set (period 2023/04/01 to 2024/03/31) with two accounts, a
// department and three sound lines.
void AddBooks(Fixture& f) {
  f.AddData({});
  f.AddTax("D0001", {});
  f.AddAccount("D0001", {.id = 1});
  f.AddAccount("D0001", {.id = 2, .code = "500", .name = ledger::testing::U8(u8"仕入高")});
  f.AddDepartment("D0001", {.code = 7});
  ledger::testing::LineSpec line;
  line.date = 20230501;
  line.monthNo = 2;
  line.debit.account = 2;
  line.debit.department = 7;
  line.debit.amount = 10000000;
  line.debit.tax = 1000000;
  line.debit.category = 31;
  line.debit.rate = 1000;
  line.credit.account = 1;
  line.credit.amount = 11000000;
  for (line.lineNo = 1; line.lineNo <= 3; ++line.lineNo) f.AddLine("D0001", line);
  f.AddUser("001", 1, 1);
}

// Runs the check after `damage` (SQL with the store's own checks off).
std::pair<int32_t, std::string> CheckAfter(const std::string& damage) {
  Fixture f;
  AddBooks(f);
  if (!damage.empty())
    f.Exec("PRAGMA foreign_keys = OFF; PRAGMA ignore_check_constraints = ON; " + damage +
           "; PRAGMA ignore_check_constraints = OFF;");
  EXPECT_TRUE(f.Connect());
  std::string problem;
  const int32_t status = ledger::CheckDataSet("D0001", &problem);
  return {status, problem};
}

TEST(DataCheckTest, SoundBooksAndOddButSoundLinesPass) {
  for (const char* sound : {"",
                            // February 29th of a leap year, inside the period.
                            "UPDATE journal_line SET entry_date = 20240229 WHERE line_no = 2",
                            // The closing months 15 and 18, a line without departments.
                            "UPDATE journal_line SET month_no = 15, dr_department = NULL WHERE line_no = 1",
                            "UPDATE journal_line SET month_no = 18, dr_rate = 800, dr_reduced = 1 WHERE line_no = 3",
                            // The period's first and last day.
                            "UPDATE journal_line SET entry_date = 20230401 WHERE line_no = 1; "
                            "UPDATE journal_line SET entry_date = 20240331 WHERE line_no = 3"}) {
    const auto [status, problem] = CheckAfter(sound);
    EXPECT_EQ(status, host::kOk) << sound << ": " << problem;
  }
}

TEST(DataCheckTest, EachDamagedColumnIsNamedWithItsLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"UPDATE journal_line SET dr_amount = 'lots' WHERE line_no = 2", "line 2: dr_amount"},
      {"UPDATE journal_line SET cr_tax = 1.5 WHERE line_no = 3", "line 3: cr_tax"},
      {"UPDATE journal_line SET cr_amount = 1000000000000000000 WHERE line_no = 1", "line 1: cr_amount"},
      {"UPDATE journal_line SET dr_account = 99 WHERE line_no = 2", "line 2: dr_account"},
      {"UPDATE journal_line SET cr_account = '1x' WHERE line_no = 3", "line 3: cr_account"},
      {"UPDATE journal_line SET cr_department = 8 WHERE line_no = 1", "line 1: cr_department"},
      {"UPDATE journal_line SET dr_department = 'seven' WHERE line_no = 1", "line 1: dr_department"},
      {"UPDATE journal_line SET entry_date = 20230230 + 10000 WHERE line_no = 2", "line 2: entry_date"},
      {"UPDATE journal_line SET entry_date = 20230331 WHERE line_no = 2", "line 2: entry_date"},
      {"UPDATE journal_line SET entry_date = 20240401 WHERE line_no = 2", "line 2: entry_date"},
      {"UPDATE journal_line SET entry_date = '2023-05-01' WHERE line_no = 2", "line 2: entry_date"},
      {"UPDATE journal_line SET month_no = 13 WHERE line_no = 1", "line 1: month_no"},
      {"UPDATE journal_line SET dr_category = 256 WHERE line_no = 1", "line 1: dr_category"},
      {"UPDATE journal_line SET cr_rate = 700 WHERE line_no = 2", "line 2: cr_rate"},
      {"UPDATE journal_line SET dr_reduced = 1 WHERE line_no = 1", "line 1: dr_reduced"},  // reduced at 10 %
      {"UPDATE journal_line SET cr_business_type = 7 WHERE line_no = 3", "line 3: cr_business_type"},
      {"UPDATE journal_line SET description = X'41' WHERE line_no = 3", "line 3: description"},
      {"UPDATE journal_line SET line_no = -4 WHERE line_no = 1", "line -4: line_no"},
  };
  for (const auto& [damage, named] : cases) {
    const auto [status, problem] = CheckAfter(damage);
    EXPECT_EQ(status, host::kStoreFailed) << damage;
    EXPECT_NE(problem.find("journal_line, " + named + " "), std::string::npos) << damage << ": " << problem;
  }
}

TEST(DataCheckTest, BooksWhoseMagnitudesReachTheArithmeticsLimitAreRefused) {
  // The limit is 10^14 yen (10^18 in ten-thousandths), the fixed-point
  // arithmetic's own: two sales of 6 x 10^13 yen reach it.
  EXPECT_EQ(CheckAfter("UPDATE journal_line SET dr_amount = 600000000000000000, dr_tax = 0, cr_amount = 0 "
                       "WHERE line_no IN (1, 2)")
                .first,
            host::kStoreFailed);
  // Just below it passes: debit and credit, amount and tax count together,
  // a negative amount by its magnitude; one more ten-thousandth on any line
  // reaches it.
  const std::string below =
      "UPDATE journal_line SET dr_amount = 0, dr_tax = 0, cr_amount = 0, cr_tax = 0; "
      "UPDATE journal_line SET dr_amount = -400000000000000000, cr_tax = 99999999999999999 WHERE line_no = 1; "
      "UPDATE journal_line SET cr_amount = 500000000000000000 WHERE line_no = 3";
  EXPECT_EQ(CheckAfter(below).first, host::kOk) << CheckAfter(below).second;
  const auto [status, problem] = CheckAfter(below + "; UPDATE journal_line SET dr_tax = -1 WHERE line_no = 2");
  EXPECT_EQ(status, host::kStoreFailed);
  EXPECT_NE(problem.find("add up to 10^14 yen or more"), std::string::npos) << problem;
  // The assets' acquisitions count with the journal (a refund row adds both).
  const std::string asset =
      "; INSERT INTO fixed_asset (data_id, asset_no, name, kind, acquisition_date, acquisition_amount) "
      "VALUES ('D0001', 1, 'van', 0, 20230601, ";
  EXPECT_EQ(CheckAfter(below + asset + "0)").first, host::kOk);
  EXPECT_EQ(CheckAfter(below + asset + "-1)").first, host::kStoreFailed);
}

TEST(DataCheckTest, SavedAmountsCountApartAndTheSecuritiesSalesTwentyTimes) {
  const std::string saved =
      "INSERT INTO saved_return (data_id, taxation_kind, deduction_method, sales_tax_choice, purchase_tax_choice, "
      "transitional_flag, period_start, period_end, year_start, year_end, return_start, return_end, "
      "closing_pattern, refund_individual_basis, refund_corporate_pl_basis, refund_corporate_asset_basis) "
      "VALUES ('D0001', 1, 0, 0, 0, 0, 20230401, 20240331, 20230401, 20240331, 20230401, 20240331, 0, 0, 0, 0); "
      "INSERT INTO saved_amount (data_id, name, amount) VALUES ";
  // Beside a journal of 9 x 10^13 yen, saved amounts of as much again pass.
  const std::string journal = "UPDATE journal_line SET dr_amount = 900000000000000000, dr_tax = 0, cr_amount = 0 "
                              "WHERE line_no = 1; ";
  EXPECT_EQ(CheckAfter(journal + saved + "('D0001', 'KAZEIURIAGEZEINUKI5', 900000000000000000)").first, host::kOk);
  // The document shows the securities sales at twenty times their saved amount.
  EXPECT_EQ(CheckAfter(saved + "('D0001', 'HIKAZEIURIAGEYUUKAZEINUKI5', 49999999999999999)").first, host::kOk);
  const auto [status, problem] = CheckAfter(saved + "('D0001', 'HIKAZEIURIAGEYUUKAZEINUKI5', 50000000000000000)");
  EXPECT_EQ(status, host::kStoreFailed);
  EXPECT_NE(problem.find("saved_amount: the saved return's amounts add up to 10^14 yen"), std::string::npos)
      << problem;
}

}  // namespace
