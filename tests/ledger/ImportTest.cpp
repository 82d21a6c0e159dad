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

// A new database is made of the store's large pages (set before its first
// table, or it would stay at SQLite's default), and the demo data fills it.
TEST(ImportTest, NewDatabasesAreMadeOfLargePages) {
  ledger::testing::Fixture f;
  ledger::Statement size = f.store().Prepare("PRAGMA page_size");
  ASSERT_EQ(size.Step(), SQLITE_ROW);
  EXPECT_EQ(size.Int(0), ledger::Store::kPageSize);
  ASSERT_TRUE(ledger::ImportFolder(f.store(), std::string(TAXBRIDGE_SOURCE_DIR) + "/demo/ledger", false).ok);
  ledger::Statement check = f.store().Prepare("PRAGMA integrity_check");
  ASSERT_EQ(check.Step(), SQLITE_ROW);
  EXPECT_EQ(check.Text(0), "ok");
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
#if !defined(_WIN32)  // Windows has no named pipe in a folder
      {"a pipe", [](const fs::path& file, const fs::path&) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
       "data.csv: is not a plain file"},
#endif
      {"a folder", [](const fs::path& file, const fs::path&) { fs::create_directory(file); },
       "data.csv: is not a plain file"},
  };
  for (const Trap& t : traps) {
#if defined(_WIN32)
    // Making a link on Windows takes a privilege a test may not hold (and
    // Wine shows a Linux link as the file it leads to): the link cases are
    // checked where links can be made.
    if (std::string(t.what).find("link") != std::string::npos) {
      std::printf("[ SKIPPED  ] %s: links need a privilege on Windows\n", t.what);
      continue;
    }
#endif
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

namespace {

const char kDataCsv[] =
    "data_no,data_id,company_name,period_start,period_end,closing_day,closing_pattern,past_record,company_kind,"
    "income_layout,maintenance_lock\n9,D9,Nine,20230401,20240331,31,0,0,0,0,0\n";
const char kAccountsHeader[] = "data_no,account_id,code,name,class_code,balance_side,list_excluded,sum_mark_a,sum_mark_b\n";

// A fresh installation with the folder `in` holding `files` (name, bytes).
struct Folder {
  ledger::testing::Fixture f;
  fs::path dir;
  explicit Folder(const std::vector<std::pair<std::string, std::string>>& files) {
    dir = fs::path(f.folder()) / "in";
    fs::create_directory(dir);
    for (const auto& [name, bytes] : files) std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  ledger::ImportResult Import(bool replace = false) { return ledger::ImportFolder(f.store(), dir.string(), replace); }
};

}  // namespace

// Spreadsheet exports in Shift_JIS read as well as UTF-8, each file in its
// own encoding and the import says which; a byte that is neither is named by
// its line and field, and so is a file that mixes the two.
TEST(ImportTest, EachFileIsReadInTheEncodingItIsWrittenIn) {
  const std::string sjisName = "\x94\x84\x8F\xE3\x8D\x82";  // 売上高 in Shift_JIS
  const std::string kUtf8Name = reinterpret_cast<const char*>(u8"売上高");
  Folder ok({{"data.csv", kDataCsv},
             {"accounts.csv", std::string(kAccountsHeader) + "9,1,500," + sjisName + ",0x40100000,2,0,0,0\n"}});
  const ledger::ImportResult result = ok.Import();
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_EQ(result.files.size(), 2u);
  EXPECT_EQ(result.files[0].name, "data.csv");
  EXPECT_EQ(result.files[0].encoding, "UTF-8");
  EXPECT_EQ(result.files[1].name, "accounts.csv");
  EXPECT_EQ(result.files[1].encoding, "Shift_JIS");
  EXPECT_EQ(result.files[1].rows, 1);
  ledger::Statement q = ok.f.store().Prepare("SELECT name FROM account");
  ASSERT_EQ(q.Step(), SQLITE_ROW);
  EXPECT_EQ(q.Text(0), kUtf8Name);

  // A UTF-8 byte-order mark decides for UTF-8 even before plain ASCII.
  Folder bom({{"data.csv", "\xEF\xBB\xBF" + std::string(kDataCsv)}});
  ASSERT_TRUE(bom.Import().ok);

  const struct {
    std::string accounts, expected;
  } bad[] = {
      {std::string(kAccountsHeader) + "9,1,500,ok,0x40100000,2,0,0,0\n9,2,501,\x80\xFF,0x40100000,2,0,0,0\n",
       "accounts.csv line 3, field name: holds bytes that are neither UTF-8 nor Shift_JIS"},
      {std::string(kAccountsHeader) + "9,1,500," + kUtf8Name + ",0x40100000,2,0,0,0\n9,2,501," + sjisName +
           ",0x40100000,2,0,0,0\n",
       "accounts.csv: mixes UTF-8 and Shift_JIS"},
  };
  for (const auto& c : bad) {
    Folder folder({{"data.csv", kDataCsv}, {"accounts.csv", c.accounts}});
    const ledger::ImportResult refused = folder.Import();
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find(c.expected), std::string::npos) << refused.error;
    EXPECT_EQ(Count(folder.f.store(), "data_entry"), 0);
  }
}

// A CSV file under a name the import does not know would be left out and
// the books would look complete: any such name is refused, with the known
// names, before anything is read.
TEST(ImportTest, UnknownCsvNamesAreRefused) {
  for (const char* name : {"JOURNAL.CSV", "journals.csv", "Data.csv", "notes.Csv"}) {
#ifdef _WIN32
    // Windows' names ignore case: "Data.csv" would be data.csv itself.
    if (std::string(name) == "Data.csv") continue;
#endif
    Folder folder({{"data.csv", kDataCsv}, {name, "x\n"}, {"readme.txt", "not a csv name"}});
    const ledger::ImportResult result = folder.Import();
    EXPECT_FALSE(result.ok) << name;
    EXPECT_NE(result.error.find(std::string(name) + " is not an import file"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("journal.csv"), std::string::npos) << result.error;
    EXPECT_EQ(Count(folder.f.store(), "data_entry"), 0) << name;
  }
}

// Every refusal names the file, the line of the offending row and its field
// in the import's own words: no database wording ("constraint failed")
// reaches the user, and nothing stays.
TEST(ImportTest, DuplicatesAndUndefinedValuesAreNamedInTheImportsWords) {
  const std::string journalHeader =
      "data_no,line_no,date,month_no,dr_account,dr_department,dr_amount,dr_tax,dr_category,dr_rate,"
      "dr_business_type,cr_account,cr_department,cr_amount,cr_tax,cr_category,cr_rate,cr_business_type,"
      "description\n";
  const std::string accounts = std::string(kAccountsHeader) + "9,1,100,Cash,0x10100000,1,0,0,0\n9,2,500,Sales,0x40100000,2,0,0,0\n";
  const std::string sale = "20230410,,100,,1000,80,0,0,0,500,,1000,80,1,8,0,x\n";
  const std::string savedHeader =
      "data_no,field,value\n9,taxation_kind,1\n9,period_start,20230401\n9,period_end,20240331\n"
      "9,year_start,20230401\n9,year_end,20240331\n9,return_start,20230401\n9,return_end,20240331\n";
  const std::string dataHeader = std::string(kDataCsv).substr(0, std::string(kDataCsv).find('\n') + 1);
  const struct {
    std::string file, content, expected;
  } cases[] = {
      {"data.csv", dataHeader + "9,D9,a,20230401,20240331,31,0,0,0,0,0\n9,D8,b,20230401,20240331,31,0,0,0,0,0\n",
       "data.csv line 3, field data_no: data number 9 is given twice (line 2 gives it first)"},
      {"data.csv", dataHeader + "9,D9,a,20230401,20240331,31,0,0,0,0,0\n8,D9,b,20230401,20240331,31,0,0,0,0,0\n",
       "data.csv line 3, field data_id: data ID D9 is given twice"},
      {"data.csv", dataHeader + "9,D 9,a,20230401,20240331,31,0,0,0,0,0\n", "data.csv line 2, field data_id"},
      {"data.csv", dataHeader + "9,D9,a,20230401,20240331,31,0,0,2,0,0\n", "data.csv line 2, field company_kind"},
      {"tax_settings.csv",
       "data_no,tax_method,rounding,deduction_method,main_business_type,tax_inclusive,rate_count\n9,2,0,0,0,0,5\n"
       "9,1,0,0,0,0,5\n",
       "tax_settings.csv line 3, field data_no: the tax settings of data number 9 is given twice"},
      {"accounts.csv", accounts + "9,3,100,Cash again,0x10100000,1,0,0,0\n",
       "accounts.csv line 4, field code: data number 9 has an account with code \"100\" already"},
      {"accounts.csv", accounts + "9,2,700,Other,0x10100000,1,0,0,0\n",
       "accounts.csv line 4, field account_id: data number 9 has an account 2 already"},
      {"departments.csv", "data_no,code,name,class,reference,income_type\n9,1,A,0,0,1\n9,1,B,0,0,1\n",
       "departments.csv line 3, field code: data number 9 has a department 1 already"},
      {"users.csv", "user_id,name,selected_group,selected_data_no\n001,a,0,9\n002,b,0,9\n001,c,0,9\n",
       "users.csv line 4, field user_id: user 001 is given twice (line 2 gives it first)"},
      {"journal.csv", journalHeader + "9,1," + sale + "9,2," + sale + "9,1," + sale,
       "journal.csv line 4, field line_no: data number 9 has a journal line 1 already"},
      {"journal.csv", journalHeader + "9,1,20230410,,100,,1000,80,0,0,0,500,,1000,80,8,8,0,x\n",
       "journal.csv line 2, field cr_category: 8 is no tax category (0-7 or 21-37"},
      {"journal.csv", journalHeader + "9,1,20230410,,100,,1000,80,38,0,0,500,,1000,80,1,8,0,x\n",
       "journal.csv line 2, field dr_category: 38 is no tax category"},
      {"assets.csv",
       "data_no,asset_no,name,kind,acquisition_date,acquisition_amount,income_type\n9,1,A,1,20230501,10,1\n"
       "9,1,B,1,20230501,10,1\n",
       "assets.csv line 3, field asset_no: data number 9 has an asset 1 already"},
      {"saved_return.csv", savedHeader + "9,taxation_kind,2\n",
       "saved_return.csv line 9, field field: the saved return's taxation_kind of data number 9 is given twice"},
      {"saved_return.csv", savedHeader + "9,KANPU1,5\n9,KAZEIURIAGEZEINUKI8,1\n9,KANPU1,6\n",
       "saved_return.csv line 11, field field: the saved return's KANPU1"},
      {"saved_return.csv", "data_no,field,value\n9,taxation_kind,3\n", "saved_return.csv line 2, field value: 3 is outside 1 to 2"},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<std::string, std::string>> files = {{"data.csv", kDataCsv}};
    if (c.file != "data.csv") files.push_back({"accounts.csv", accounts});
    files.push_back({c.file, c.content});
    if (c.file == "accounts.csv") files.erase(files.begin() + 1);
    Folder folder(files);
    const ledger::ImportResult result = folder.Import();
    EXPECT_FALSE(result.ok) << c.expected;
    EXPECT_NE(result.error.find(c.expected), std::string::npos) << "got: " << result.error;
    EXPECT_EQ(result.error.find("constraint"), std::string::npos) << result.error;
    EXPECT_EQ(Count(folder.f.store(), "data_entry"), 0) << c.expected;
  }

  // A user already stored is replaced only on request.
  Folder users({{"data.csv", kDataCsv}, {"users.csv", "user_id,name,selected_group,selected_data_no\n001,a,0,9\n"}});
  ASSERT_TRUE(users.Import().ok);
  fs::remove(users.dir / "data.csv");
  const ledger::ImportResult again = users.Import();
  EXPECT_NE(again.error.find("users.csv line 2, field user_id: user 001 already exists"), std::string::npos)
      << again.error;
  EXPECT_TRUE(users.Import(true).ok);
}

namespace {

const char kJournalHeader[] =
    "data_no,line_no,date,month_no,dr_account,dr_department,dr_amount,dr_tax,dr_category,dr_rate,"
    "dr_business_type,cr_account,cr_department,cr_amount,cr_tax,cr_category,cr_rate,cr_business_type,description";
const char kTwoAccounts[] =
    "data_no,account_id,code,name,class_code,balance_side,list_excluded,sum_mark_a,sum_mark_b\n"
    "9,1,100,Cash,0x10100000,1,0,0,0\n9,2,500,Sales,0x40100000,2,0,0,0\n";

// The journal row of line number `no` with `description` as written, and the
// line end `end`; `rate` is the credit side's rate.
std::string JournalRow(int64_t no, const std::string& description, const std::string& end = "\n",
                       const std::string& rate = "8") {
  return "9," + std::to_string(no) + ",20230410,,100,,1000,80,0,0,0,500,,1000,80,1," + rate + ",0," + description + end;
}

// The import reads its files a buffer-full at a time (256 KiB); rows, quoted
// fields and characters cut by a buffer's end must read as if whole.
constexpr size_t kReadBuffer = size_t{1} << 18;

// A journal whose row number `special` (line `special` + 1) has
// `description`, its first byte at offset `at`, between rows of plain text,
// `rows` rows in all, each line ending in `end`.
std::string JournalWith(const std::string& description, size_t at, int rows, const std::string& end) {
  std::string text = std::string(kJournalHeader) + end;
  int64_t no = 1;
  // Two rows padded (descriptions hold 60 characters at most) so that the
  // next row's description starts at `at`.
  // The bytes the two padding rows and the head of the special row take
  // without the padding.
  auto fixed = [&] {
    return JournalRow(no, "", end).size() + JournalRow(no + 1, "", end).size() + JournalRow(no + 2, "", end).size() -
           end.size();
  };
  while (at - text.size() - fixed() > 120) text += JournalRow(no++, "filler", end);
  const size_t gap = at - text.size() - fixed();
  text += JournalRow(no++, std::string(std::min<size_t>(gap, 60), 'p'), end);
  text += JournalRow(no++, std::string(gap - std::min<size_t>(gap, 60), 'q'), end);
  EXPECT_EQ(text.size() + JournalRow(no, "", end).size() - end.size(), at);
  text += JournalRow(no++, description, end);
  while (no <= rows) text += JournalRow(no++, "after", end);
  return text;
}

int64_t JournalLines(ledger::Store& store) { return Count(store, "journal_line"); }

}  // namespace

// Long files: every byte of a quoted field that spans lines, of a doubled
// quote, of a CR LF line end and of a UTF-8 character lies on a buffer's end
// in turn; the rows read back as written, the line numbers of later rows
// count the field's own line end, and a bad last row leaves nothing.
TEST(ImportTest, LongFilesReadTheSameWhereverTheirBuffersEnd) {
  const std::string kText = reinterpret_cast<const char*>(u8"x\"y\r\nz売");
  const std::string written = reinterpret_cast<const char*>(u8"\"x\"\"y\r\nz売\"");
  for (size_t shift = 0; shift <= written.size() + 2; ++shift) {
    const std::string journal = JournalWith(written, kReadBuffer - shift, 6000, "\r\n");
    // Where a line end (the quoted one or the row's own) lies on the
    // buffer's end, the last row (line 6001 without the quoted line end) has
    // a rate that is none.
    const size_t quotedEnd = written.find('\r');
    if (shift == quotedEnd || shift == quotedEnd + 1 || shift >= written.size()) {
      Folder bad({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts},
                  {"journal.csv", journal + JournalRow(6001, "last", "\r\n", "7")}});
      const ledger::ImportResult refused = bad.Import();
      EXPECT_NE(refused.error.find("journal.csv line 6003, field cr_rate"), std::string::npos)
          << shift << ": " << refused.error;
      EXPECT_EQ(JournalLines(bad.f.store()), 0) << shift;
      EXPECT_EQ(Count(bad.f.store(), "data_entry"), 0) << shift;
    }

    Folder good({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts}, {"journal.csv", journal}});
    const ledger::ImportResult result = good.Import();
    ASSERT_TRUE(result.ok) << shift << ": " << result.error;
    EXPECT_EQ(result.files.back().rows, 6000) << shift;
    EXPECT_EQ(result.files.back().encoding, "UTF-8") << shift;
    EXPECT_EQ(JournalLines(good.f.store()), 6000) << shift;
    ledger::Statement q = good.f.store().Prepare("SELECT count(*) FROM journal_line WHERE description = ?1");
    q.Bind(1, kText);
    ASSERT_EQ(q.Step(), SQLITE_ROW);
    EXPECT_EQ(q.Int(0), 1) << shift;
  }
}

// The encoding is decided on the whole file: Shift_JIS text whose double-byte
// character is cut by a buffer's end, or that first shows after a long run
// of plain ASCII, reads as Shift_JIS; a stray byte far into a UTF-8 file is
// named by its line.
TEST(ImportTest, LongFilesAreDecodedInTheEncodingOfTheWholeFile) {
  const std::string sjis = "\x94\x84\x8F\xE3";  // 売上
  const std::string utf8 = reinterpret_cast<const char*>(u8"売上");
  for (size_t shift : {1, 2, 3, 4}) {
    Folder folder({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts},
                   {"journal.csv", JournalWith(sjis, kReadBuffer - shift, 5000, "\n")}});
    const ledger::ImportResult result = folder.Import();
    ASSERT_TRUE(result.ok) << shift << ": " << result.error;
    EXPECT_EQ(result.files.back().encoding, "Shift_JIS") << shift;
    ledger::Statement q = folder.f.store().Prepare("SELECT count(*) FROM journal_line WHERE description = ?1");
    q.Bind(1, utf8);
    ASSERT_EQ(q.Step(), SQLITE_ROW);
    EXPECT_EQ(q.Int(0), 1) << shift;
  }

  std::string ascii = std::string(kJournalHeader) + "\n";
  for (int64_t no = 1; no <= 8000; ++no) ascii += JournalRow(no, "plain");
  Folder late({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts},
               {"journal.csv", ascii + JournalRow(8001, sjis)}});
  const ledger::ImportResult lateResult = late.Import();
  ASSERT_TRUE(lateResult.ok) << lateResult.error;
  EXPECT_EQ(lateResult.files.back().encoding, "Shift_JIS");

  Folder stray({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts},
                {"journal.csv", ascii + JournalRow(8001, utf8) + JournalRow(8002, "\x80\xFF")}});
  const ledger::ImportResult strayResult = stray.Import();
  EXPECT_NE(strayResult.error.find("journal.csv line 8003, field description: holds bytes that are neither"),
            std::string::npos)
      << strayResult.error;
  EXPECT_EQ(Count(stray.f.store(), "data_entry"), 0);
}

// A repeated line number is refused however far apart the rows are, and
// against a line stored before; a file's shape is checked whole before its
// first row, so an open quote at its end is named before a bad row near its
// start.
TEST(ImportTest, LongFilesRefuseRepeatsAndBadShapesAnywhere) {
  std::string journal = std::string(kJournalHeader) + "\n";
  for (int64_t no = 1; no <= 20000; ++no) journal += JournalRow(no, "line");
  Folder repeated({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts},
                   {"journal.csv", journal + JournalRow(3, "again")}});
  const ledger::ImportResult refused = repeated.Import();
  EXPECT_NE(refused.error.find("journal.csv line 20002, field line_no: data number 9 has a journal line 3 already"),
            std::string::npos)
      << refused.error;
  EXPECT_EQ(JournalLines(repeated.f.store()), 0);

  Folder stored({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts}, {"journal.csv", journal}});
  ASSERT_TRUE(stored.Import().ok);
  fs::remove(stored.dir / "data.csv");
  fs::remove(stored.dir / "accounts.csv");
  std::ofstream(stored.dir / "journal.csv", std::ios::binary)
      << kJournalHeader << "\n" << JournalRow(20001, "new") << JournalRow(19999, "old");
  const ledger::ImportResult again = stored.Import();
  EXPECT_NE(again.error.find("journal.csv line 3, field line_no: data number 9 has a journal line 19999 already"),
            std::string::npos)
      << again.error;
  EXPECT_EQ(JournalLines(stored.f.store()), 20000);

  std::string shapes = std::string(kJournalHeader) + "\n" + JournalRow(1, "ok") +
                       "9,2,20230410,,100,,1e3,0,0,0,0,500,,1000,0,1,8,0,x\n";
  for (int64_t no = 3; no <= 5000; ++no) shapes += JournalRow(no, "line");
  const struct {
    std::string tail, expected;
  } ends[] = {
      {JournalRow(5001, "\"open"), "journal.csv line 5002: a quoted field is not closed"},
      {"9,5001,20230410\n", "journal.csv line 5002: 3 fields where the header has 19"},
  };
  for (const auto& e : ends) {
    Folder folder({{"data.csv", kDataCsv}, {"accounts.csv", kTwoAccounts}, {"journal.csv", shapes + e.tail}});
    const ledger::ImportResult result = folder.Import();
    EXPECT_NE(result.error.find(e.expected), std::string::npos) << result.error;
    EXPECT_EQ(Count(folder.f.store(), "data_entry"), 0);
  }
}
