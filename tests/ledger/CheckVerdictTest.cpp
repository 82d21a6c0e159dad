// The check's verdict remembered in the store: it stands while no row of the
// data set has changed, whichever connection changes one; a changed schema,
// a database without the verdict table or damaged verdict bytes send the
// connection back to the whole check, which still refuses damaged books.
#include <gtest/gtest.h>

#include <string>

#include "host/HostTypes.h"
#include "ledger/CheckVerdict.h"
#include "ledger/DataAccess.h"
#include "ledger/Installation.h"
#include "ledger/testing/Fixture.h"

namespace {

using ledger::testing::Fixture;

constexpr const char* kData = "D0001";

void AddBooks(Fixture& f) {
  f.AddData({});
  f.AddTax(kData, {});
  f.AddAccount(kData, {.id = 1});
  f.AddAccount(kData, {.id = 2, .code = "500", .name = ledger::testing::U8(u8"仕入高")});
  f.AddDepartment(kData, {.code = 7});
  f.AddAsset(kData, {});
  ledger::testing::LineSpec line;
  line.date = 20230501;
  line.monthNo = 2;
  line.debit.account = 2;
  line.debit.amount = 10000000;
  line.debit.tax = 1000000;
  line.debit.category = 21;
  line.debit.rate = 1000;
  line.credit.account = 1;
  line.credit.amount = 11000000;
  for (line.lineNo = 1; line.lineNo <= 3; ++line.lineNo) f.AddLine(kData, line);
  f.AddUser("001", 1, 1);
}

void Remember(Fixture& f) {
  std::string problem, notKept;
  ASSERT_EQ(ledger::CheckAndRemember(f.store(), kData, &problem, &notKept), host::kOk) << problem;
  ASSERT_EQ(notKept, "");
}

bool Recalled() {
  ledger::JournalTally tally;
  return ledger::RecallCheck(ledger::Session::Current()->store(), kData, &tally);
}

TEST(CheckVerdictTest, AVerdictStandsUntilARowOfTheDataSetChanges) {
  Fixture f;
  AddBooks(f);
  ASSERT_TRUE(f.Connect());
  EXPECT_FALSE(Recalled());  // books written row by row carry no verdict
  Remember(f);
  ASSERT_TRUE(Recalled());
  // The connection takes the verdict without reading the tally; the first
  // question reads it, and it answers as the check's own does.
  std::string problem;
  ASSERT_EQ(ledger::RecallOrCheckDataSet(kData, &problem), host::kOk);
  ledger::Session* session = ledger::Session::Current();
  EXPECT_FALSE(session->journalTally().Answers(kData, session->store().DataVersion()));
  const ledger::JournalTally* tally = ledger::SessionTally(session->store(), kData);
  ASSERT_NE(tally, nullptr);
  ledger::JournalTally::Counts counts;
  ASSERT_EQ(tally->Select(nullptr, &counts), host::kOk);
  EXPECT_EQ(counts.lines, 3u);
  EXPECT_EQ(ledger::SessionTally(session->store(), "D0002"), nullptr);
  // Books changed between the connection's check and the first question:
  // the questions go to the lines.
  ASSERT_EQ(ledger::RecallOrCheckDataSet(kData, &problem), host::kOk);
  f.Exec("UPDATE journal_line SET description = 'y' WHERE line_no = 1");
  EXPECT_EQ(ledger::SessionTally(session->store(), kData), nullptr);
  Remember(f);

  // A user's selection is no part of the books.
  f.Exec("UPDATE app_user SET selected_group = 2");
  EXPECT_TRUE(Recalled());
  // Every change of a row of a checked table, by another connection, and
  // an insert, an update and a delete alike, forgets the verdict.
  for (const char* change :
       {"UPDATE journal_line SET description = 'x' WHERE line_no = 2", "DELETE FROM journal_line WHERE line_no = 3",
        "INSERT INTO department (data_id, code, name) VALUES ('D0001', 8, 'b')",
        "UPDATE account SET name = 'n' WHERE account_id = 1", "UPDATE data_entry SET period_end = 20240330",
        "UPDATE tax_settings SET rounding = 1", "DELETE FROM fixed_asset",
        "INSERT INTO saved_return (data_id, taxation_kind, period_start, period_end, year_start, year_end, "
        "return_start, return_end) VALUES ('D0001', 1, 20230401, 20240331, 20230401, 20240331, 20230401, 20240331)",
        "INSERT INTO saved_amount VALUES ('D0001', 'A', 1)"}) {
    Remember(f);
    ASSERT_TRUE(Recalled()) << change;
    f.Exec(change);
    EXPECT_FALSE(Recalled()) << change;
  }
  // And so does a change by the connection itself.
  Remember(f);
  ASSERT_TRUE(session->store().Exec("UPDATE journal_line SET dr_amount = 1 WHERE line_no = 1"));
  EXPECT_FALSE(Recalled());
}

TEST(CheckVerdictTest, DamageAfterTheVerdictIsStillRefusedAtConnection) {
  Fixture f;
  AddBooks(f);
  Remember(f);
  f.Exec("PRAGMA foreign_keys = OFF; PRAGMA ignore_check_constraints = ON; "
         "UPDATE journal_line SET dr_account = 99 WHERE line_no = 2; PRAGMA ignore_check_constraints = OFF;");
  ASSERT_TRUE(f.Connect());
  std::string problem;
  EXPECT_EQ(ledger::RecallOrCheckDataSet(kData, &problem), host::kStoreFailed);
  EXPECT_EQ(problem,
            "journal_line, line 2: dr_account is of the wrong type, out of range, or names a row that does not exist");
}

TEST(CheckVerdictTest, WithoutItsTriggersOrTableOrBytesNoVerdictIsTrusted) {
  Fixture f;
  AddBooks(f);
  ASSERT_TRUE(f.Connect());
  std::string problem, error;
  // A dropped trigger changes the schema: the verdict no longer stands, and
  // none is kept until the triggers are back.
  Remember(f);
  f.Exec("DROP TRIGGER data_check_forget_journal_line_update");
  EXPECT_FALSE(Recalled());
  ledger::JournalTally tally;
  ASSERT_EQ(ledger::CheckDataSet(f.store(), kData, &tally, &problem), host::kOk);
  EXPECT_FALSE(ledger::RememberCheck(f.store(), tally, &error));
  EXPECT_EQ(error, "the database lacks the triggers that keep a verdict true");
  ASSERT_TRUE(ledger::EnsureCheckVerdicts(f.store(), &error)) << error;
  Remember(f);
  EXPECT_TRUE(Recalled());

  // Damaged verdict bytes: the connection checks the books instead.
  f.Exec("UPDATE data_check SET tally = substr(tally, 1, 40)");
  EXPECT_FALSE(Recalled());
  EXPECT_EQ(ledger::RecallOrCheckDataSet(kData, &problem), host::kOk);

  // A database made before verdicts were kept: no table, no triggers.
  f.Exec("DROP TABLE data_check");
  EXPECT_FALSE(Recalled());
  EXPECT_EQ(ledger::RecallOrCheckDataSet(kData, &problem), host::kOk);
  ASSERT_TRUE(ledger::EnsureCheckVerdicts(f.store(), &error)) << error;
  Remember(f);
  EXPECT_TRUE(Recalled());
}

}  // namespace
