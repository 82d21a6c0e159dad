// Import: the demo data round trip through the host classes, amounts, and
// refusals that name the file, line and field and leave nothing behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/LedgerCommon.h"
#include "ledger/Import.h"
#include "ledger/testing/Fixture.h"

namespace {

namespace fs = std::filesystem;

int64_t Count(ledger::Store& store, const std::string& table) {
  ledger::Statement q = store.Prepare("SELECT count(*) FROM " + table);
  q.Step();
  return q.Int(0);
}

TEST(ImportTest, AmountsAreTenThousandthsOfAYen) {
  EXPECT_EQ(ledger::ParseAmount("1234"), 12340000);
  EXPECT_EQ(ledger::ParseAmount("-0.0001"), -1);
  EXPECT_EQ(ledger::ParseAmount("12.5"), 125000);
  EXPECT_EQ(ledger::ParseAmount("99999999999999.9999"), 999999999999999999);
  EXPECT_FALSE(ledger::ParseAmount("100000000000000"));  // 10^14 yen does not fit
  EXPECT_FALSE(ledger::ParseAmount("1.23456"));
  EXPECT_FALSE(ledger::ParseAmount("1,000"));
  EXPECT_FALSE(ledger::ParseAmount("."));
  EXPECT_FALSE(ledger::ParseAmount(""));
}

TEST(ImportTest, DemoDataReadsBackThroughTheHost) {
  ledger::testing::Fixture f;
  auto result = ledger::ImportFolder(f.store(), std::string(TAXBRIDGE_SOURCE_DIR) + "/demo/ledger", false);
  ASSERT_TRUE(result.ok) << result.error;
  ledger::ImportResult again = ledger::ImportFolder(f.store(), std::string(TAXBRIDGE_SOURCE_DIR) + "/demo/ledger", false);
  EXPECT_FALSE(again.ok);
  EXPECT_NE(again.error.find("data.csv line 2, field data_no"), std::string::npos) << again.error;
  ASSERT_TRUE(ledger::ImportFolder(f.store(), std::string(TAXBRIDGE_SOURCE_DIR) + "/demo/ledger", true).ok);
  EXPECT_EQ(Count(f.store(), "data_entry"), 4);

  ASSERT_TRUE(f.Connect());
  StDATAINFO info;
  auto* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1));
  ASSERT_EQ(data->GetSelectedInfo(&info), 0);
  EXPECT_EQ(info.view().Text(StDATAINFO::kCompanyName, StDATAINFO::kCompanyNameWidth), "北浜商事株式会社");
  EXPECT_EQ(info.view().I32(StDATAINFO::kClosingPattern), 1);
  // Month numbers were derived from the dates; closing lines keep 15 and 18.
  ledger::Statement months = f.store().Prepare(
      "SELECT month_no, count(*) FROM journal_line WHERE data_id = 'CORP2014' GROUP BY month_no ORDER BY month_no");
  std::vector<int64_t> numbers;
  while (months.Step() == SQLITE_ROW) numbers.push_back(months.Int(0));
  EXPECT_EQ(numbers, (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18}));
  ledger::Statement line = f.store().Prepare(
      "SELECT dr_amount, dr_tax, cr_category, cr_rate, cr_reduced FROM journal_line WHERE data_id = 'CORP2014' AND "
      "line_no = 1");
  ASSERT_EQ(line.Step(), SQLITE_ROW);
  EXPECT_EQ(line.Int(0), 1000000000);  // 100 000 yen
  EXPECT_EQ(line.Int(1), 80000000);
  EXPECT_EQ(line.Int(2), 1);
  EXPECT_EQ(line.Int(3), 800);
  EXPECT_EQ(line.Int(4), 0);
}

struct BadCase {
  std::string file, content, expected;
};

TEST(ImportTest, BadRowsAreNamedAndNothingStays) {
  const std::string data =
      "data_no,data_id,company_name,period_start,period_end,closing_day,closing_pattern,past_record,company_kind,"
      "income_layout,maintenance_lock\n9,D9,Nine,20230401,20240331,31,0,0,0,0,0\n";
  const std::string accounts =
      "data_no,account_id,code,name,class_code,balance_side,list_excluded,sum_mark_a,sum_mark_b\n"
      "9,1,100,Cash,0x10100000,1,0,0,0\n9,2,500,Sales,0x40100000,2,0,0,0\n";
  const std::string header =
      "data_no,line_no,date,month_no,dr_account,dr_department,dr_amount,dr_tax,dr_category,dr_rate,"
      "dr_business_type,cr_account,cr_department,cr_amount,cr_tax,cr_category,cr_rate,cr_business_type,"
      "description\n";
  const std::vector<BadCase> cases = {
      {"journal.csv", header + "9,1,20230410,,100,,1000,80,0,0,0,500,,1000,80,1,8,0,ok\n9,2,20230410,,100,,1000\n",
       "journal.csv line 3: 7 fields where the header has 19"},
      {"journal.csv", header + "9,1,20230410,,100,,1e3,0,0,0,0,500,,1000,0,1,8,0,x\n",
       "journal.csv line 2, field dr_amount"},
      {"journal.csv", header + "9,1,20230410,,100,,100000000000000,0,0,0,0,500,,1,0,1,8,0,x\n",
       "journal.csv line 2, field dr_amount"},
      {"journal.csv", header + "9,1,20230410,,999,,1,0,0,0,0,500,,1,0,1,8,0,x\n",
       "journal.csv line 2, field dr_account: no account has code \"999\""},
      {"journal.csv", header + "9,1,20230410,5,100,,1,0,0,0,0,500,,1,0,1,8,0,x\n",
       "journal.csv line 2, field month_no: the date falls in month number 1"},
      {"journal.csv", header + "9,1,20230410,,100,,1,0,0,0,0,500,,1,0,1,7,0,x\n", "journal.csv line 2, field cr_rate"},
      {"journal.csv", header + "9,1,20240410,,100,,1,0,0,0,0,500,,1,0,1,8,0,x\n",
       "journal.csv line 2, field date: outside"},
      {"journal.csv", header + "9,1,20230410,,100,,1,0,0,0,0,500,,1,0,1,8,0,\"open\n",
       "journal.csv line 2: a quoted field is not closed"},
      {"users.csv", "user_id,name,selected_group,selected_data_no\n001,a,0,77\n",
       "users.csv line 2, field selected_data_no: no data set has number 77"},
      {"saved_return.csv", "data_no,field,value\n9,NOSUCHAMOUNT8,1\n", "saved_return.csv line 2, field field"},
      {"accounts.csv", "data_no,code\n", "accounts.csv line 1: the header must be"},
  };
  for (const BadCase& c : cases) {
    ledger::testing::Fixture f;
    const fs::path dir = fs::path(f.folder()) / "in";
    fs::create_directory(dir);
    std::ofstream(dir / "data.csv") << data;
    if (c.file != "accounts.csv") std::ofstream(dir / "accounts.csv") << accounts;
    std::ofstream(dir / c.file) << c.content;
    ledger::ImportResult result = ledger::ImportFolder(f.store(), dir.string(), false);
    EXPECT_FALSE(result.ok) << c.expected;
    EXPECT_NE(result.error.find(c.expected), std::string::npos) << "got: " << result.error;
    EXPECT_EQ(Count(f.store(), "data_entry"), 0) << c.expected;
    EXPECT_EQ(Count(f.store(), "account"), 0) << c.expected;
  }
}

// The import reads the plain files of the folder it is given and nothing
// else: an import file's name that is a link (to a file elsewhere, or to a
// device that never ends), a pipe (which would wait for a writer) or a folder
// is refused by name, and nothing stays. Values that look like SQL are data.
TEST(ImportTest, OnlyThePlainFilesOfTheFolderAreRead) {
  const std::string data =
      "data_no,data_id,company_name,period_start,period_end,closing_day,closing_pattern,past_record,company_kind,"
      "income_layout,maintenance_lock\n9,D9,Nine,20230401,20240331,31,0,0,0,0,0\n";
  struct Trap {
    const char* what;
    std::function<void(const fs::path& file, const fs::path& outside)> make;
    const char* expected;
  };
  const std::vector<Trap> traps = {
      {"a link to a file outside",
       [&](const fs::path& file, const fs::path& outside) {
         std::ofstream(outside) << data;
         fs::create_symlink(outside, file);
       },
       "data.csv: is a link"},
      {"a link to a device", [](const fs::path& file, const fs::path&) { fs::create_symlink("/dev/zero", file); },
       "data.csv: is a link"},
      {"a dangling link", [](const fs::path& file, const fs::path&) { fs::create_symlink("/no/such/file", file); },
       "data.csv: is a link"},
      {"a pipe", [](const fs::path& file, const fs::path&) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
       "data.csv: is not a plain file"},
      {"a folder", [](const fs::path& file, const fs::path&) { fs::create_directory(file); },
       "data.csv: is not a plain file"},
  };
  for (const Trap& t : traps) {
    ledger::testing::Fixture f;
    const fs::path dir = fs::path(f.folder()) / "in";
    fs::create_directory(dir);
    t.make(dir / "data.csv", fs::path(f.folder()) / "outside.csv");
    const ledger::ImportResult result = ledger::ImportFolder(f.store(), dir.string(), false);
    EXPECT_FALSE(result.ok) << t.what;
    EXPECT_NE(result.error.find(t.expected), std::string::npos) << t.what << ": " << result.error;
    EXPECT_EQ(Count(f.store(), "data_entry"), 0) << t.what;
  }

  // Quotes, semicolons and SQL in values are stored as they are.
  ledger::testing::Fixture f;
  const fs::path dir = fs::path(f.folder()) / "in";
  fs::create_directory(dir);
  const std::string name = "O'Hara\"; DROP TABLE data_entry; --";
  std::ofstream(dir / "data.csv")
      << "data_no,data_id,company_name,period_start,period_end,closing_day,closing_pattern,past_record,company_kind,"
         "income_layout,maintenance_lock\n9,D9,\""
      << "O'Hara\"\"; DROP TABLE data_entry; --" << "\",20230401,20240331,31,0,0,0,0,0\n";
  const ledger::ImportResult result = ledger::ImportFolder(f.store(), dir.string(), false);
  ASSERT_TRUE(result.ok) << result.error;
  ledger::Statement q = f.store().Prepare("SELECT data_id, company_name FROM data_entry");
  ASSERT_EQ(q.Step(), SQLITE_ROW);
  EXPECT_EQ(q.Text(0), "D9");
  EXPECT_EQ(q.Text(1), name);
}

}  // namespace
