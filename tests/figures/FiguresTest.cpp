// The statements of docs/figures.md, each held against a whole run: company
// data built in a throw-away ledger, the program run unattended by the journal
// method over the whole period (months April to March unless a test says
// otherwise), and every leaf of DATA compared with the figures the document
// predicts. A leaf a test does not name must be empty, so that a side that
// lands in a second figure is caught too. Each test names the section of
// docs/figures.md it checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ledger/testing/Fixture.h"
#include "dialog/SettingsFile.h"
#include "platform/CallerWindow.h"
#include "tests/dialog/FakeFileSystem.h"
#include "tests/report_data/DataDocument.h"
#include "tests/support/Files.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using ledger::testing::AccountSpec;
using ledger::testing::AssetSpec;
using ledger::testing::DataSpec;
using ledger::testing::DepartmentSpec;
using ledger::testing::Fixture;
using ledger::testing::LineSpec;
using ledger::testing::SideSpec;
using ledger::testing::TaxSpec;
using report_data_test::Yen;
using test_support::ReadAll;

using Leaves = std::map<std::string, std::map<std::string, std::string>>;

constexpr const char* kData = "F0001";

// Account IDs of the books below.
enum : int64_t { kCash = 1, kSales, kPurchases, kSupplies, kInterest, kLoss, kSubcontract, kMiscIncome, kMiscLoss,
                 kOtherExpense, kUnlisted };

struct Outcome {
  int exitStatus = -1;
  std::string transcript;
  std::string document;
};

class Figures : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::temp_directory_path() / ("tb-figures-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "drive_c");
    program_ = dir_ / "bin" / test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "taxbridge_plus").filename();
    fs::copy_file(test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "taxbridge_plus"), program_);
    std::ofstream(dir_ / "bin" / "HalvernDef.ini", std::ios::binary) << "[ProgramLevel]\r\nSY26=2\r\n";
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A data set with the accounts every test uses, and its tax settings.
  void Books(const DataSpec& data, const TaxSpec& tax) {
    book_.AddData(data).AddTax(data.dataId, tax).AddUser("001", 1, data.dataNo);
    struct A {
      int64_t id;
      const char* code;
      int64_t classCode;
      int32_t side;
    };
    const A accounts[] = {{kCash, "100", 0x10100000, 1},       {kSales, "500", 0x40100000, 2},
                          {kPurchases, "610", 0x20200000, 1},  {kSupplies, "730", 0x40882008, 1},
                          {kInterest, "800", 0x40844000, 1},   {kLoss, "900", 0x40440040, 1},
                          {kSubcontract, "615", 0x20200040, 1}, {kMiscIncome, "810", 0x40888000, 2},
                          {kMiscLoss, "820", 0x40848000, 1},    {kOtherExpense, "740", 0x40844080, 1},
                          {kUnlisted, "735", 0x40882008, 1}};
    for (const A& a : accounts) {
      AccountSpec row;
      row.id = a.id;
      row.code = a.code;
      row.name = a.code;
      row.classCode = a.classCode;
      row.balanceSide = a.side;
      if (a.id == kSubcontract) row.markB = 1;
      if (a.id == kUnlisted) row.listExcluded = 1;
      book_.AddAccount(data.dataId, row);
    }
  }

  // One line: debit and credit side, dated `date` in month number `month`.
  void Line(int32_t date, int32_t month, const SideSpec& debit, const SideSpec& credit) {
    LineSpec line;
    line.lineNo = nextLine_++;
    line.date = date;
    line.monthNo = month;
    line.debit = debit;
    line.credit = credit;
    book_.AddLine(kData, line);
  }

  // A run started by a calling window, with a fixed output path.
  Outcome Run(const std::string& script, const std::string& ledgerHome = "") {
    std::string error;
    std::unique_ptr<platform::CallerWindow> caller = platform::CallerWindow::Create(&error);
    EXPECT_TRUE(caller) << error;
    if (!caller) return {};
    fs::remove(dir_ / "out.xml");
    std::ofstream(dir_ / "script.txt") << script;
    const std::string out = test_support::WindowsPathOf(dir_ / "out.xml");
    Outcome outcome;
    outcome.exitStatus = test_support::RunProgram(
        program_, {std::to_string(caller->Handle()) + ",1025,7," + out},
        {{"LEDGER_HOME", ledgerHome.empty() ? book_.folder() : ledgerHome},
         {"TAXBRIDGE_DRIVES", (dir_ / "drives").string()},
         {"TAXBRIDGE_SCRIPT", (dir_ / "script.txt").string()},
         {"TAXBRIDGE_TRANSCRIPT", (dir_ / "transcript.txt").string()}},
        dir_, dir_ / "output.txt");
    outcome.transcript = ReadAll(dir_ / "transcript.txt") + ReadAll(dir_ / "output.txt");
    outcome.document = ReadAll(dir_ / "out.xml");
    while (caller->Receive(100)) {
    }
    return outcome;
  }

  // The journal method over calendar months `start` to `end`, with `notices`
  // information boxes answered before the completion message.
  Outcome RunJournal(int start = 4, int end = 3, int notices = 0) {
    std::string script = "click 1029\ntype 1014 \"" + std::to_string(start) + "\"\ntype 1016 \"" +
                         std::to_string(end) + "\"\nkey F12\n";
    for (int i = 0; i <= notices; ++i) script += "answer OK\n";
    return Run(script);
  }

  fs::path dir_;
  fs::path program_;  // the program, copied beside its own definition file
  Fixture book_;
  int64_t nextLine_ = 1;
};

SideSpec Side(int64_t account, double yen, int32_t category = 0, double tax = 0, int32_t rate = 0,
              int32_t businessType = 0) {
  SideSpec s;
  s.account = account;
  s.amount = static_cast<int64_t>(yen * 10000 + (yen < 0 ? -0.5 : 0.5));
  s.tax = static_cast<int64_t>(tax * 10000 + (tax < 0 ? -0.5 : 0.5));
  s.category = category;
  s.rate = rate;
  s.businessType = businessType;
  return s;
}

SideSpec InDepartment(SideSpec side, int32_t department) {
  side.department = department;
  return side;
}

// Every leaf of DATA is empty except those of `expected`, which carry their
// text.
void ExpectData(const Outcome& run, const Leaves& expected) {
  ASSERT_EQ(run.exitStatus, 0) << run.transcript;
  const size_t start = run.document.find("\t<DATA>\r\n");
  ASSERT_NE(start, std::string::npos) << run.document;
  const std::vector<report_data_test::Record> records = report_data_test::ParseRecords(run.document.substr(start));
  ASSERT_EQ(records.size(), 23u);
  size_t seen = 0;
  for (const auto& record : records) {
    const auto want = expected.find(record.code);
    for (const auto& [leaf, text] : record.leaves) {
      std::string wanted;
      if (want != expected.end() && want->second.count(leaf)) {
        wanted = want->second.at(leaf);
        ++seen;
      }
      EXPECT_EQ(text, wanted) << record.code << " " << leaf;
    }
  }
  size_t listed = 0;
  for (const auto& [code, leaves] : expected) listed += leaves.size();
  EXPECT_EQ(seen, listed) << "an expected leaf is not in its record";
}

std::string TransitionalFlag(const Outcome& run) {
  const std::string open = "<KEIKASHOCHIKAZEISHISAN>";
  const size_t at = run.document.find(open);
  if (at == std::string::npos) return "<missing>";
  return run.document.substr(at + open.size(), 1);
}

DataSpec Period(int32_t start, int32_t end, int32_t kind = 0, int32_t layout = 0) {
  DataSpec data;
  data.dataId = kData;
  data.periodStart = start;
  data.periodEnd = end;
  data.companyKind = kind;
  data.incomeLayout = layout;
  return data;
}

// "Sales and purchases", "Imports", "Bad debts", "Business types", "Rounding":
// which side makes a figure and which lowers it, the three measures, and
// what tax_inclusive leaves alone.
TEST_F(Figures, SidesBecomeReturnFigures) {
  TaxSpec tax;
  tax.taxInclusive = 1;  // changes no return figure
  Books(Period(20230401, 20240331), tax);
  const int32_t d = 20230415;
  Line(d, 1, Side(kCash, 1080), Side(kSales, 1000, 1, 80, 800, 1));          // sale, business type 1
  Line(d, 1, Side(kCash, 540), Side(kSales, 500, 1, 40, 800));               // sale, no business type
  Line(d, 1, Side(kSales, 200, 1, 16, 800), Side(kCash, 216));               // sales return
  Line(d, 1, Side(kCash, 300), Side(kSales, 300, 2, 0, 800));                // export-exempt sale
  Line(d, 1, Side(kCash, 70), Side(kSales, 70, 3, 0, 800));                  // non-taxable sale
  Line(d, 1, Side(kSales, 2.5, 5, 0, 800), Side(kCash, 2.5));                // debit lowers asset exports
  Line(d, 1, Side(kPurchases, 500, 21, 40, 800), Side(kCash, 540));          // purchase
  Line(d, 1, Side(kCash, 108), Side(kPurchases, 100, 23, 8, 800));           // purchase return, common
  Line(d, 1, Side(kPurchases, 10000, 25, 630, 800), Side(kCash, 10630));     // import: customs value, tax
  Line(d, 1, Side(kPurchases, 0, 28, 170, 800), Side(kCash, 170));           // import local tax
  Line(d, 1, Side(kCash, 63), Side(kPurchases, 1000, 26, 63, 800));          // import refund
  Line(d, 1, Side(kLoss, 300, 6, 24, 800), Side(kCash, 324));                // bad debt
  Line(d, 1, Side(kCash, 108), Side(kLoss, 100, 7, 8, 800));                 // recovered bad debt
  Line(d, 1, Side(kSupplies, 90, 24, 0, 800), Side(kCash, 90, 29, 0, 800));  // no figure
  Line(d, 1, Side(kSupplies, 40, 30, 0, 800), Side(kCash, 40, 0, 3, 800));   // no figure
  const Outcome run = RunJournal();
  ExpectData(run, {
      {"D020110",
       {{"KAZEIURIAGEZEINUKI8", "1500"}, {"KAZEIURIAGEZEIGAKU8", "120"}, {"KAZEIURIAGEZEIKOMI8", "1620"},
        {"MENZEIURIAGEZEINUKI8", "300"}, {"HIKAZEIURIAGEYUUKAIGAIZEINUKI8", "70"},
        {"HIKAZEISHISANYUSHUTSUZEINUKI8", "-3"},
        {"KAZEIURIAGEHENKANZEINUKI8", "200"}, {"KAZEIURIAGEHENKANZEIGAKU8", "16"},
        {"KAZEIURIAGEHENKANZEIKOMI8", "216"}}},
      {"D020120",
       {{"SHIIREKAZEIZEINUKI8", "500"}, {"SHIIREKAZEIZEIGAKU8", "40"}, {"SHIIREKAZEIZEIKOMI8", "540"},
        {"YUNYUSHIIREKAZEIZEIGAKU8", "630"}, {"YUNYUSHIIRETIHO8", "170"},
        {"SHIIREHENKANKYOTUUZEINUKI8", "100"}, {"SHIIREHENKANKYOTUUZEIGAKU8", "8"},
        {"SHIIREHENKANKYOTUUZEIKOMI8", "108"}, {"YUNYUHENKANHIKAZEIZEIGAKU8", "63"}}},
      {"D020130",
       {{"KASHIDAOREZEINUKI8", "300"}, {"KASHIDAOREZEIGAKU8", "24"}, {"KASHIDAOREZEIKOMI8", "324"},
        {"KASHIDAOREKAISHUZEINUKI8", "100"}, {"KASHIDAOREKAISHUZEIGAKU8", "8"},
        {"KASHIDAOREKAISHUZEIKOMI8", "108"}}},
      {"D020230",
       {{"KASHIDAOREZEINUKI8", "300"}, {"KASHIDAOREZEIGAKU8", "24"}, {"KASHIDAOREZEIKOMI8", "324"},
        {"KASHIDAOREKAISHUZEINUKI8", "100"}, {"KASHIDAOREKAISHUZEIGAKU8", "8"},
        {"KASHIDAOREKAISHUZEIKOMI8", "108"}}},
      {"D020210",
       {{"KAZEIURIAGE1SHUZEINUKI8", "1000"}, {"KAZEIURIAGE1SHUZEIGAKU8", "80"}, {"KAZEIURIAGE1SHUZEIKOMI8", "1080"},
        {"KAZEIURIAGEZEROZEINUKI8", "500"}, {"KAZEIURIAGEZEROZEIGAKU8", "40"}, {"KAZEIURIAGEZEROZEIKOMI8", "540"},
        {"MENZEIURIAGEZEINUKI8", "300"}}},
      {"D020220",
       {{"KAZEIHENKANZEROZEINUKI8", "200"}, {"KAZEIHENKANZEROZEIGAKU8", "16"}, {"KAZEIHENKANZEROZEIKOMI8", "216"}}},
      // The refund statement reads amounts with tax under tax_inclusive 1:
      // purchases 540 + 10 630 + 170 - 108 - 1 063 of the purchase account;
      // supplies 90 + 40 (categories 24 and 30 are non-qualifying); the loss
      // account 324 - 108, all of it categories 6 and 7, non-qualifying.
      {"KANPUH",
       {{"KESSANZEIKUBUN", "1"}, {"SHOHINSHIIRE1", "10169"}, {"HANBAIIPPAN1", "130"}, {"HANBAIIPPAN2", "130"},
        {"SONOTASONEKI1", "216"}, {"SONOTASONEKI2", "216"}}},
  });
  EXPECT_EQ(TransitionalFlag(run), "2");
}

// "Which rate a side counts at": a side without a rate takes the rate of its
// date; in force from 2019-10-01 that is 10 %, which no record holds.
TEST_F(Figures, SideWithoutRateCountsByItsDate) {
  Books(Period(20190401, 20200331), TaxSpec());
  Line(20190415, 1, Side(kCash, 1080), Side(kSales, 1000, 1, 80));
  Line(20191115, 8, Side(kCash, 2200), Side(kSales, 2000, 1, 200));  // 10 %: in no figure, not refused
  Line(20191115, 8, Side(kCash, 550), Side(kSales, 500, 1, 50, 800, 0));
  ExpectData(RunJournal(), {{"D020110",
                             {{"KAZEIURIAGEZEINUKI8", "1500"}, {"KAZEIURIAGEZEIGAKU8", "130"},
                              {"KAZEIURIAGEZEIKOMI8", "1630"}}},
                            {"D020210",
                             {{"KAZEIURIAGEZEROZEINUKI8", "1500"}, {"KAZEIURIAGEZEROZEIGAKU8", "130"},
                              {"KAZEIURIAGEZEROZEIKOMI8", "1630"}}}});
}

// "Which rate a side counts at", "Securities", "rate_count": before
// 2014-04-01 a side without a rate is a 5 % side; with rate_count 3 only the
// 8 % securities figure is scaled back to the whole transfer and the 5 %
// figures do not set the transitional flag, with rate_count 5 they do.
TEST_F(Figures, OldRatesAndTheRateCount) {
  TaxSpec tax;
  tax.rateCount = 3;
  Books(Period(20130401, 20140331), tax);
  Line(20130415, 1, Side(kCash, 1050), Side(kSales, 1000, 1, 50));
  Line(20130415, 1, Side(kCash, 2000), Side(kSales, 2000, 4, 0, 500));
  Line(20130415, 1, Side(kCash, 2000), Side(kSales, 2000, 4, 0, 800));
  Line(20130415, 1, Side(kSales, 400, 4, 0, 800), Side(kCash, 400));
  const Outcome run = RunJournal();
  ExpectData(run, {{"D020110", {{"HIKAZEIURIAGEYUUKAZEINUKI8", "1600"}}},
                   {"D020111",
                    {{"KAZEIURIAGEZEINUKI5", "1000"}, {"KAZEIURIAGEZEIGAKU5", "50"}, {"KAZEIURIAGEZEIKOMI5", "1050"},
                     {"HIKAZEIURIAGEYUUKAZEINUKI5", "100"}}},
                   {"D020211",
                    {{"KAZEIURIAGEZEROZEINUKI5", "1000"}, {"KAZEIURIAGEZEROZEIGAKU5", "50"},
                     {"KAZEIURIAGEZEROZEIKOMI5", "1050"}}}});
  // With three rates only the 3 % tax sum can set the flag.
  EXPECT_EQ(TransitionalFlag(run), "2");

  book_.Exec("UPDATE tax_settings SET rate_count = 5");
  const Outcome five = RunJournal();
  ExpectData(five, {{"D020110", {{"HIKAZEIURIAGEYUUKAZEINUKI8", "1600"}}},
                    {"D020111",
                     {{"KAZEIURIAGEZEINUKI5", "1000"}, {"KAZEIURIAGEZEIGAKU5", "50"}, {"KAZEIURIAGEZEIKOMI5", "1050"},
                      {"HIKAZEIURIAGEYUUKAZEINUKI5", "2000"}}},
                    {"D020211",
                     {{"KAZEIURIAGEZEROZEINUKI5", "1000"}, {"KAZEIURIAGEZEROZEIGAKU5", "50"},
                      {"KAZEIURIAGEZEROZEIKOMI5", "1050"}}}});
  EXPECT_EQ(TransitionalFlag(five), "1");
}

// "Securities": 5 % of the transfers is kept to the ten-thousandth of a yen,
// cut toward zero, before it is multiplied by 20; rounding up then finds no
// fraction left.
TEST_F(Figures, SecuritiesFigureIsCutBeforeItIsScaled) {
  TaxSpec tax;
  tax.rounding = 2;
  Books(Period(20230401, 20240331), tax);
  Line(20230415, 1, Side(kCash, 1234.0019), Side(kSales, 1234.0019, 4, 0, 800));
  Line(20230415, 1, Side(kCash, 1.0001), Side(kSales, 1.0001, 3, 0, 800));
  ExpectData(RunJournal(),
             {{"D020110", {{"HIKAZEIURIAGEYUUKAZEINUKI8", "1234"}, {"HIKAZEIURIAGEYUUKAIGAIZEINUKI8", "2"}}}});
}

// "Old-rate tax summary": the tax of 3 % sides on the accounts of classes
// 0x40888000 and 0x40848000, each in its account's balance direction, whatever
// the side's category. Here the two sums cancel, then they do not.
TEST_F(Figures, OldRateTaxSummarySetsTheTransitionalFlag) {
  Books(Period(20130401, 20140331), TaxSpec());
  Line(20130415, 1, Side(kMiscLoss, 0, 0, 30, 300), Side(kCash, 30));    // debit-balance account: +30
  Line(20130415, 1, Side(kMiscIncome, 0, 0, 30, 300), Side(kCash, 30));  // credit-balance account: -30
  Line(20130415, 1, Side(kSupplies, 0, 0, 99, 300), Side(kCash, 99));    // another class: not summed
  EXPECT_EQ(TransitionalFlag(RunJournal()), "2");

  Line(20130415, 1, Side(kCash, 30), Side(kMiscIncome, 0, 0, 30, 300));  // credit-balance account: +30
  const Outcome run = RunJournal();
  EXPECT_EQ(TransitionalFlag(run), "1");
  ExpectData(run, {});
}

// "Corporate refund statement": book amounts by class (purchase accounts by
// their own records, the other rows by their class heading), the marks, the
// closing months, the non-qualifying part from the journal, the assets.
TEST_F(Figures, CorporateRefundStatement) {
  DataSpec data = Period(20230401, 20240331);
  data.closingPattern = 1;
  Books(data, TaxSpec());
  Line(20230415, 1, Side(kPurchases, 1000, 21, 80, 800), Side(kCash, 1080));
  Line(20230415, 1, Side(kCash, 100), Side(kPurchases, 100));         // credit, category 0: -100 both columns
  Line(20230415, 1, Side(kSubcontract, 400), Side(kCash, 400));       // sum_mark_b: journal part only
  Line(20230415, 1, Side(kSupplies, 300, 24), Side(kCash, 300));      // 0x40882008 under heading 0x40882000
  Line(20230415, 1, Side(kInterest, 50, 30), Side(kCash, 50));
  Line(20230415, 1, Side(kLoss, 70), Side(kCash, 70));                // 0x40440040 under heading 0x40440000
  Line(20240331, 18, Side(kPurchases, 200, 21, 0, 800), Side(kCash, 200));  // year-end closing
  Line(20230930, 15, Side(kPurchases, 5000), Side(kCash, 5000));      // interim closing: not in a whole year
  AssetSpec fixed;
  fixed.assetNo = 1;
  fixed.acquisitionDate = 20230601;
  fixed.amount = Yen(10000);
  AssetSpec deferred;
  deferred.assetNo = 2;
  deferred.kind = 9;
  deferred.acquisitionDate = 20240301;
  deferred.amount = Yen(3000);
  book_.AddAsset(kData, fixed).AddAsset(kData, deferred);
  ExpectData(RunJournal(),
             {{"D020120", {{"SHIIREKAZEIZEINUKI8", "1200"}, {"SHIIREKAZEIZEIGAKU8", "80"}, {"SHIIREKAZEIZEIKOMI8", "1280"}}},
              {"KANPUH",
               {{"KESSANZEIKUBUN", "2"}, {"SHOHINSHIIRE1", "1100"}, {"SHOHINSHIIRE2", "300"}, {"HANBAIIPPAN1", "300"},
                {"HANBAIIPPAN2", "300"}, {"EIGYOGAIHIYOU1", "50"}, {"EIGYOGAIHIYOU2", "50"}, {"SONOTASONEKI1", "70"},
                {"SONOTASONEKI2", "70"}, {"SHISANZEIKUBUN", "2"}, {"KOTEISHISAN1", "10000"},
                {"KURINOBESHISAN1", "3000"}}}});
}

// "Month slots": in a period of six months the sixth month is also the last,
// and the chosen months take the interim and the year-end closing with them.
TEST_F(Figures, ShortPeriodTakesBothClosings) {
  DataSpec data = Period(20230401, 20230930);
  data.closingPattern = 1;
  Books(data, TaxSpec());
  Line(20230415, 1, Side(kPurchases, 100), Side(kCash, 100));
  Line(20230930, 15, Side(kPurchases, 20), Side(kCash, 20));
  Line(20230930, 18, Side(kPurchases, 3), Side(kCash, 3));
  ExpectData(RunJournal(4, 9),
             {{"KANPUH", {{"KESSANZEIKUBUN", "2"}, {"SHOHINSHIIRE1", "123"}, {"SHOHINSHIIRE2", "123"}}}});
}

// "Individual refund statement": departments route the amounts to business,
// real-estate and other income; a side without a department reaches only the
// journal part, as other income.
TEST_F(Figures, IndividualRefundStatementByDepartment) {
  Books(Period(20230101, 20231231, 3, 3), TaxSpec());
  auto department = [&](int32_t code, int32_t deptClass, int32_t incomeType) {
    DepartmentSpec row;
    row.code = code;
    row.name = "D" + std::to_string(code);
    row.deptClass = deptClass;
    row.incomeType = incomeType;
    book_.AddDepartment(kData, row);
  };
  department(1, 0, 1);  // business income
  department(2, 1, 3);  // class 1, reference 0, real estate: business and real estate
  department(3, 0, 2);  // any other income type: other income
  const int32_t d = 20230115;
  Line(d, 1, InDepartment(Side(kSupplies, 100, 24), 1), InDepartment(Side(kCash, 100), 1));
  Line(d, 1, InDepartment(Side(kSupplies, 200, 24), 2), InDepartment(Side(kCash, 200), 2));
  Line(d, 1, InDepartment(Side(kSupplies, 50), 3), InDepartment(Side(kCash, 50), 3));
  Line(d, 1, Side(kSupplies, 30), Side(kCash, 30));
  Line(d, 1, InDepartment(Side(kPurchases, 400, 21, 0, 800), 3), InDepartment(Side(kCash, 400), 3));
  AssetSpec asset;
  asset.acquisitionDate = 20230301;
  asset.amount = Yen(1000);
  asset.incomeType = 2;
  book_.AddAsset(kData, asset);
  ExpectData(RunJournal(1, 12),
             {{"D020120", {{"SHIIREKAZEIZEINUKI8", "400"}, {"SHIIREKAZEIZEIKOMI8", "400"}}},
              {"KANPUK",
               {{"KESSANZEIKUBUN", "2"}, {"JIGYOSHIIRE1", "0"}, {"JIGYOSHIIRE2", "0"}, {"JIGYOHITSUYOU1", "300"},
                {"JIGYOHITSUYOU2", "300"}, {"JIGYOKOTEISHISAN1", "0"}, {"FUDOUSANHITSUYOU1", "200"},
                {"FUDOUSANHITSUYOU2", "200"}, {"FUDOUSANKOTEISHISAN1", "1000"}, {"SONOTASHIIRE1", "400"},
                {"SONOTASHIIRE2", "0"}, {"SONOTAHITSUYOU1", "50"}, {"SONOTAHITSUYOU2", "80"}}}});
}

// "Exit status": 0 completed, 1 stopped by the user, 2 failed, 3 company data
// not opened.
TEST_F(Figures, ExitStatusOfTheProgram) {
  Books(Period(20230401, 20240331), TaxSpec());
  EXPECT_EQ(RunJournal().exitStatus, 0);
  EXPECT_EQ(Run("key Escape\nanswer OK\n").exitStatus, 1);  // cancelled, then told so
  EXPECT_EQ(Run("").exitStatus, 2);  // the script ran out while the dialog waited
  const Outcome unopened = Run("answer OK\n", (dir_ / "no-ledger").string());
  EXPECT_EQ(unopened.exitStatus, 3) << unopened.transcript;
  book_.Exec("UPDATE tax_settings SET tax_method = 0");
  EXPECT_EQ(Run("answer OK\n").exitStatus, 1);  // exempt data is refused
  EXPECT_EQ(test_support::RunProgram(program_, {"--help"}, {}, dir_, dir_ / "help.txt"), 0);
}

// "Rounding": negative amounts are rounded by their magnitude, by each kind.
TEST_F(Figures, NegativeAmountsRoundByTheirMagnitude) {
  Books(Period(20230401, 20240331), TaxSpec());
  Line(20230415, 1, Side(kSales, 2.9, 5, 0, 800), Side(kCash, 2.9));        // exports lowered: -2.9
  Line(20230415, 1, Side(kCash, 0.4445), Side(kSales, 0.4445, 3, 0, 800));  // half up digit by digit
  ExpectData(RunJournal(), {{"D020110", {{"HIKAZEISHISANYUSHUTSUZEINUKI8", "-3"},
                                         {"HIKAZEIURIAGEYUUKAIGAIZEINUKI8", "1"}}}});
  book_.Exec("UPDATE tax_settings SET rounding = 1");
  ExpectData(RunJournal(), {{"D020110", {{"HIKAZEISHISANYUSHUTSUZEINUKI8", "-2"}}}});
  book_.Exec("UPDATE tax_settings SET rounding = 2");
  ExpectData(RunJournal(), {{"D020110", {{"HIKAZEISHISANYUSHUTSUZEINUKI8", "-3"},
                                         {"HIKAZEIURIAGEYUUKAIGAIZEINUKI8", "1"}}}});
}

// "Corporate refund statement": an undetermined import counts in the journal
// part (and brings the notice), and list_excluded keeps an account out of the
// journal part but not out of its class total.
TEST_F(Figures, CorporateJournalPartAndTheAccountList) {
  Books(Period(20230401, 20240331), TaxSpec());
  Line(20230415, 1, Side(kPurchases, 500, 31, 40, 800), Side(kCash, 540));
  Line(20230415, 1, Side(kUnlisted, 70, 24), Side(kCash, 70));
  ExpectData(RunJournal(4, 3, 1), {{"KANPUH",
                                    {{"KESSANZEIKUBUN", "2"}, {"SHOHINSHIIRE1", "500"}, {"SHOHINSHIIRE2", "500"},
                                     {"HANBAIIPPAN1", "70"}}}});
}

// "Individual refund statement": layout 2 counts expenses (0x40844080 too) as
// real-estate income and purchases nowhere, and writes only the FUDOUSAN
// leaves.
TEST_F(Figures, IndividualRealEstateLayout) {
  Books(Period(20230101, 20231231, 3, 2), TaxSpec());
  Line(20230115, 1, Side(kPurchases, 100), Side(kCash, 100));
  ExpectData(RunJournal(1, 12), {{"KANPUK",
                                  {{"FUDOUSANHITSUYOU1", "0"}, {"FUDOUSANHITSUYOU2", "0"},
                                   {"FUDOUSANKOTEISHISAN1", "0"}}}});
  Line(20230115, 1, Side(kOtherExpense, 40), Side(kCash, 40));
  ExpectData(RunJournal(1, 12), {{"KANPUK",
                                  {{"KESSANZEIKUBUN", "2"}, {"FUDOUSANHITSUYOU1", "40"}, {"FUDOUSANHITSUYOU2", "40"},
                                   {"FUDOUSANKOTEISHISAN1", "0"}}}});
}

// "Individual refund statement": a department of class 1 or 2 also takes the
// book amounts of the departments that reference it, so those count twice;
// class 1 with a reference goes to business (by its income type) and other.
TEST_F(Figures, DepartmentReferencesCountTwice) {
  Books(Period(20230101, 20231231, 3, 3), TaxSpec());
  auto department = [&](int32_t code, int32_t deptClass, int32_t reference) {
    DepartmentSpec row;
    row.code = code;
    row.name = "D" + std::to_string(code);
    row.deptClass = deptClass;
    row.reference = reference;
    row.incomeType = 1;
    book_.AddDepartment(kData, row);
  };
  department(1, 2, 0);  // takes its own sides and those of 2 and 3
  department(2, 0, 1);
  department(3, 1, 1);  // class 1 with a reference: business and other
  Line(20230115, 1, InDepartment(Side(kSupplies, 100), 2), InDepartment(Side(kCash, 100), 2));
  Line(20230115, 1, InDepartment(Side(kSupplies, 10), 3), InDepartment(Side(kCash, 10), 3));
  ExpectData(RunJournal(1, 12),
             {{"KANPUK",
               {{"KESSANZEIKUBUN", "2"}, {"JIGYOSHIIRE1", "0"}, {"JIGYOSHIIRE2", "0"}, {"JIGYOHITSUYOU1", "220"},
                {"JIGYOHITSUYOU2", "110"}, {"JIGYOKOTEISHISAN1", "0"}, {"FUDOUSANHITSUYOU1", "0"},
                {"FUDOUSANHITSUYOU2", "0"}, {"FUDOUSANKOTEISHISAN1", "0"}, {"SONOTASHIIRE1", "0"},
                {"SONOTASHIIRE2", "0"}, {"SONOTAHITSUYOU1", "10"}, {"SONOTAHITSUYOU2", "10"}}}});
}

// "Individual refund statement": layout 1 makes everything business income
// (assets whatever their income type) and writes only the JIGYO leaves;
// layout 3 without departments routes the same amounts to business income,
// the assets by their income type.
TEST_F(Figures, IndividualBusinessLayoutAndNoDepartments) {
  Books(Period(20230101, 20231231, 3, 1), TaxSpec());
  Line(20230115, 1, Side(kPurchases, 20), Side(kCash, 20));
  Line(20230115, 1, Side(kSupplies, 10), Side(kCash, 10));
  AssetSpec asset;
  asset.acquisitionDate = 20230301;
  asset.amount = Yen(5);
  asset.incomeType = 2;
  book_.AddAsset(kData, asset);
  ExpectData(RunJournal(1, 12), {{"KANPUK",
                                  {{"KESSANZEIKUBUN", "2"}, {"JIGYOSHIIRE1", "20"}, {"JIGYOSHIIRE2", "20"},
                                   {"JIGYOHITSUYOU1", "10"}, {"JIGYOHITSUYOU2", "10"}, {"JIGYOKOTEISHISAN1", "5"}}}});
  book_.Exec("UPDATE data_entry SET income_layout = 3");
  ExpectData(RunJournal(1, 12),
             {{"KANPUK",
               {{"KESSANZEIKUBUN", "2"}, {"JIGYOSHIIRE1", "20"}, {"JIGYOSHIIRE2", "20"}, {"JIGYOHITSUYOU1", "10"},
                {"JIGYOHITSUYOU2", "10"}, {"JIGYOKOTEISHISAN1", "0"}, {"FUDOUSANHITSUYOU1", "0"},
                {"FUDOUSANHITSUYOU2", "0"}, {"FUDOUSANKOTEISHISAN1", "5"}, {"SONOTASHIIRE1", "0"},
                {"SONOTASHIIRE2", "0"}, {"SONOTAHITSUYOU1", "0"}, {"SONOTAHITSUYOU2", "0"}}}});
}

// "SYSTEM and BASIC": the leaves that come from the company record and the
// tax settings.
TEST_F(Figures, BasicSectionFromTheCompanyRecord) {
  TaxSpec tax;
  tax.method = 1;
  DataSpec data = Period(20230101, 20231231, 3, 1);
  data.company = "ABC";
  Books(data, tax);
  const Outcome run = RunJournal(1, 12);
  ASSERT_EQ(run.exitStatus, 0) << run.transcript;
  for (const char* leaf : {"<JIGYOUNENDOFROM>20230101</", "<JIGYOUNENDOTO>20231231</", "<HOUJINKOJINKUBUN>2</",
                           "<KAZEIKUBUN>2</", "<URIAGEZEIGAKUKEISAN>1</", "<SHIIREZEIGAKUKEISAN></",
                           "<KEIKASHOCHIKAZEISHISAN>2</", "<FUNCTIONID>7</", "<GYOUMUPREFIX>SY26</",
                           "<KOMONSAKINAME>\x82\x60\x82\x61\x82\x62</"}) {
    EXPECT_NE(run.document.find(leaf), std::string::npos) << leaf << "\n" << run.document;
  }
}

// README "The settings file": a key matches only at the start of a line, byte
// for byte, and the first line of a key is read; a write drops every line of
// its key and keeps the others.
TEST(SettingsFileKeys, MatchAtTheLineStartByteForByte) {
  dialog::testing::FakeFileSystem fs;
  fs.dirs.insert("C:\\taxbridge");
  const char* file = "C:\\taxbridge\\taxbridge_plus.env";
  fs.files[file] = " 001/1/0:0/5/5/C:\\blank.xml\nABC/1/0:0/6/6/C:\\upper.xml\n001/1/0:0/4/3/C:\\first.xml\n"
                   "001/1/0:0/7/7/C:\\second.xml\n";
  dialog::SettingsFile settings(fs, "C:\\taxbridge\\", "taxbridge_plus.env");
  EXPECT_EQ(settings.Read({"001", 1, 0})->outputPath, "C:\\first.xml");
  EXPECT_FALSE(settings.Read({"abc", 1, 0}));
  EXPECT_EQ(settings.Read({"ABC", 1, 0})->outputPath, "C:\\upper.xml");
  EXPECT_FALSE(settings.Read({"001", 1, 1}));
  ASSERT_TRUE(settings.Write({"001", 1, 0}, {0, 4, 9, "C:\\new.xml"}));
  EXPECT_EQ(fs.files[file], " 001/1/0:0/5/5/C:\\blank.xml\nABC/1/0:0/6/6/C:\\upper.xml\n001/1/0:0/4/9/C:\\new.xml\n");
}

}  // namespace
