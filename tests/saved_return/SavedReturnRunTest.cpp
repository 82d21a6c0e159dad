// Whole runs of the program with the return-values method: company data and a
// saved return in a ledger, the program started by a calling window with a
// fixed output path, the script choosing method 1. The expected documents are
// worked out by hand from the saved amounts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ledger/testing/Fixture.h"
#include "platform/CallerWindow.h"
#include "tests/report_data/DataDocument.h"
#include "tests/support/Files.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;
using ledger::testing::DataSpec;
using ledger::testing::Fixture;
using ledger::testing::TaxSpec;
using ledger::testing::U8;

struct RunOutcome {
  int exitStatus = -1;
  std::optional<int64_t> posted;
  std::string transcript;
  std::string document;
};

class SavedReturnRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::temp_directory_path() / ("tb-saved-run-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "drive_c");
    program_ = dir_ / "bin" / test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "taxbridge_plus").filename();
    fs::copy_file(test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "taxbridge_plus"), program_);
    std::ofstream(dir_ / "bin" / "HalvernDef.ini", std::ios::binary) << "[ProgramLevel]\r\nSY26=2\r\n";
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The saved return of `dataId`: header fields and amounts in yen.
  void SaveReturn(const std::string& dataId, int taxationKind, int closingPattern, int32_t start, int32_t end,
                  const std::string& bases, const std::map<std::string, std::string>& amounts) {
    book_.Exec(
        "INSERT INTO saved_return (data_id, taxation_kind, deduction_method, sales_tax_choice, purchase_tax_choice, "
        "transitional_flag, period_start, period_end, year_start, year_end, return_start, return_end, "
        "closing_pattern, refund_individual_basis, refund_corporate_pl_basis, refund_corporate_asset_basis) "
        "VALUES ('" + dataId + "', " + std::to_string(taxationKind) + ", 0, 1, 0, 1, " + std::to_string(start) +
        ", " + std::to_string(end) + ", " + std::to_string(start) + ", " + std::to_string(end) + ", " +
        std::to_string(start) + ", " + std::to_string(end) + ", " + std::to_string(closingPattern) + ", " + bases +
        ")");
    for (const auto& [name, yen] : amounts) {
      const int64_t scaled = static_cast<int64_t>(std::llround(std::stod(yen) * 10000));
      book_.Exec("INSERT INTO saved_amount (data_id, name, amount) VALUES ('" + dataId + "', '" + name + "', " +
                 std::to_string(scaled) + ")");
    }
  }

  RunOutcome Run(const std::string& script) {
    std::string error;
    std::unique_ptr<platform::CallerWindow> caller = platform::CallerWindow::Create(&error);
    EXPECT_TRUE(caller) << error;
    std::ofstream(dir_ / "script.txt") << script;
    const fs::path out = dir_ / "out.xml";
    const std::string line = std::to_string(caller->Handle()) + ",1025,7," + test_support::WindowsPathOf(out);
    RunOutcome outcome;
    outcome.exitStatus = test_support::RunProgram(program_, {line},
                                                  {{"LEDGER_HOME", book_.folder()},
                                                   {"TAXBRIDGE_DRIVES", (dir_ / "drives").string()},
                                                   {"TAXBRIDGE_SCRIPT", (dir_ / "script.txt").string()},
                                                   {"TAXBRIDGE_TRANSCRIPT", (dir_ / "transcript.txt").string()}},
                                                  dir_, dir_ / "output.txt");
    outcome.transcript = ReadAll(dir_ / "transcript.txt") + ReadAll(dir_ / "output.txt");
    while (auto e = caller->Receive(100))
      if (e->kind == platform::CallerWindowEvent::Kind::kPost) outcome.posted = e->lparam;
    outcome.document = ReadAll(out);
    return outcome;
  }

  fs::path dir_;
  fs::path program_;  // the program, copied beside its own definition file
  Fixture book_;
};

// The DATA records of `document` with every leaf empty except `expected`
// (record code -> leaf -> text).
void ExpectData(const std::string& document, const std::map<std::string, std::map<std::string, std::string>>& expected) {
  const size_t start = document.find("\t<DATA>\r\n");
  ASSERT_NE(start, std::string::npos) << document;
  const std::vector<report_data_test::Record> records = report_data_test::ParseRecords(document.substr(start));
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

const char kScript[] = "click 1031\nkey F12\nanswer OK\n";

TEST_F(SavedReturnRun, CorporationUnderGeneralTaxation) {
  DataSpec data;
  data.dataId = "CORP";
  data.periodStart = 20140401;
  data.periodEnd = 20150331;
  data.closingPattern = 1;
  data.companyKind = 0;
  TaxSpec tax;
  tax.method = 2;
  tax.rounding = 0;  // half up
  book_.AddData(data).AddTax("CORP", tax).AddUser("001", 1, 1);
  SaveReturn("CORP", 1, 1, 20140401, 20150331, "2, 2, 0",
             {{"KAZEIURIAGEZEINUKI8", "1112000"},     {"KAZEIURIAGEZEIGAKU8", "88960"},
              {"MENZEIURIAGEZEINUKI8", "600000"},     {"HIKAZEIURIAGEYUUKAZEINUKI5", "1500.5"},
              {"HIKAZEIURIAGEYUUKAZEINUKI3", "0.02"}, {"KAZEIURIAGEZEINUKI3", "0.5"},
              {"HIKAZEISHISANYUSHUTSUZEINUKI8", "40000"},
              {"SHIIREKAZEIZEINUKI8", "720000"},      {"SHIIREHENKANKYOTUUZEIGAKU5", "-120.4"},
              {"YUNYUSHIIREKYOTUUZEIGAKU8", "4800"},  {"YUNYUHENKANKAZEIZEIGAKU3", "35"},
              {"YUNYUSHIIRETIHO8", "1300"},           {"YUNYUHENKANTIHO5", "7"},
              {"TOKUTEISHIIREKAZEIZEINUKI8", "5000"}, {"TOKUTEISHIIREHENKANHIKAZEIZEINUKI8", "0.4999"},
              {"KASHIDAOREKAISHUZEIKOMI8", "2160"},   {"GIMUMENJOKAZEI8", "1000"},
              {"GIMUMENJOKYOTUU5", "200"},            {"KAZEIGYOMUYOTENYO3", "30"},
              {"KAZEIURIAGE1SHUZEINUKI8", "999"},     {"KANPU0", "720000"},
              {"KANPU1", "1500"},                     {"KANPU9", "300000"},
              {"KANPU14", "5"}});

  const RunOutcome run = Run(kScript);
  EXPECT_EQ(run.exitStatus, 0) << run.transcript;
  EXPECT_EQ(run.posted, 0);
  EXPECT_NE(run.transcript.find(U8(u8"消費税情報の出力が終了しました。")), std::string::npos) << run.transcript;

  const std::string& doc = run.document;
  EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n\t<SYSTEM>\r\n", 0), 0u);
  EXPECT_NE(doc.find("\t\t<FUNCTIONID>7</FUNCTIONID>\r\n"), std::string::npos);
  EXPECT_NE(doc.find("\t\t<JIGYOUNENDOFROM>20140401</JIGYOUNENDOFROM>\r\n"
                     "\t\t<JIGYOUNENDOTO>20150331</JIGYOUNENDOTO>\r\n"
                     "\t\t<HOUJINKOJINKUBUN>1</HOUJINKOJINKUBUN>\r\n"
                     "\t\t<KAZEIKUBUN>1</KAZEIKUBUN>\r\n"
                     "\t\t<KEIKASHOCHIKAZEISHISAN>1</KEIKASHOCHIKAZEISHISAN>\r\n"
                     "\t\t<URIAGEZEIGAKUKEISAN>2</URIAGEZEIGAKUKEISAN>\r\n"
                     "\t\t<SHIIREZEIGAKUKEISAN>1</SHIIREZEIGAKUKEISAN>\r\n"
                     "\t</BASIC>\r\n\t<DATA>\r\n"),
            std::string::npos)
      << doc;
  const std::string tail = "\t\t</KANPUK>\r\n\t</DATA>\r\n</REPORT>\r\n";
  EXPECT_EQ(doc.substr(doc.size() - std::min(doc.size(), tail.size())), tail);
  ExpectData(doc, {
                      {"D020110",
                       {{"KAZEIURIAGEZEINUKI8", "1112000"},
                        {"KAZEIURIAGEZEIGAKU8", "88960"},
                        {"MENZEIURIAGEZEINUKI8", "600000"},
                        {"HIKAZEISHISANYUSHUTSUZEINUKI8", "40000"}}},
                      // 1 500.5 yen x 20; 0.02 yen x 20 is 0.4 yen, which rounds to nothing.
                      {"D020111", {{"HIKAZEIURIAGEYUUKAZEINUKI5", "30010"}}},
                      {"D020112", {{"KAZEIURIAGEZEINUKI3", "1"}}},
                      {"D020120",
                       {{"SHIIREKAZEIZEINUKI8", "720000"},
                        {"YUNYUSHIIREKYOTUUZEIGAKU8", "4800"},
                        {"YUNYUSHIIRETIHO8", "1300"},
                        {"TOKUTEISHIIREKAZEIZEINUKI8", "5000"},
                        // 0.4999 yen: half up carries from the fourth decimal.
                        {"TOKUTEISHIIREHENKANHIKAZEIZEINUKI8", "1"}}},
                      {"D020121", {{"SHIIREHENKANKYOTUUZEIGAKU5", "-120"}, {"YUNYUHENKANTIHO5", "7"}}},
                      {"D020122", {{"YUNYUHENKANKAZEIZEIGAKU3", "35"}}},
                      {"D020130", {{"KASHIDAOREKAISHUZEIKOMI8", "2160"}}},
                      {"D02200", {{"GIMUMENJOKAZEI8", "1000"}}},
                      {"D02201", {{"GIMUMENJOKYOTUU5", "200"}}},
                      {"D02202", {{"KAZEIGYOMUYOTENYO3", "30"}}},
                      {"KANPUH",
                       {{"KESSANZEIKUBUN", "2"},
                        {"SHOHINSHIIRE1", "720000"},
                        {"SHOHINSHIIRE2", "1500"},
                        {"SHISANZEIKUBUN", "1"},
                        {"KOTEISHISAN2", "300000"}}},
                  });
}

TEST_F(SavedReturnRun, IndividualUnderSimplifiedTaxation) {
  DataSpec data;
  data.dataId = "INDV";
  data.company = U8(u8"南町 太郎");
  data.periodStart = 20150101;
  data.periodEnd = 20151231;
  data.companyKind = 3;
  data.incomeLayout = 1;
  TaxSpec tax;
  tax.method = 1;
  tax.rounding = 1;  // cut off
  tax.mainBusinessType = 1;
  book_.AddData(data).AddTax("INDV", tax).AddUser("001", 1, 1);
  SaveReturn("INDV", 2, 0, 20150101, 20151231, "2, 0, 0",
             {{"KAZEIURIAGE1SHUZEINUKI8", "500000.9"}, {"KAZEIURIAGE6SHUZEIKOMI5", "108"},
              {"KAZEIHENKAN2SHUZEIGAKU3", "-3"},      {"KAZEIHENKAN6SHUZEINUKI8", "10"},
              {"MENZEIURIAGEZEINUKI8", "70000"},      {"MENZEIURIAGEHENKANZEINUKI5", "12"},
              {"KASHIDAOREZEIGAKU3", "8"},            {"KAZEIURIAGEZEINUKI8", "400000"},
              {"HIKAZEIURIAGEYUUKAZEINUKI8", "1000"}, {"GIMUMENJOKAZEI8", "1"},
              {"KANPU0", "100"}});

  const RunOutcome run = Run(kScript);
  EXPECT_EQ(run.exitStatus, 0) << run.transcript;
  EXPECT_EQ(run.posted, 0);
  const std::string& doc = run.document;
  EXPECT_NE(doc.find("\t\t<HOUJINKOJINKUBUN>2</HOUJINKOJINKUBUN>\r\n"
                     "\t\t<KAZEIKUBUN>2</KAZEIKUBUN>\r\n"
                     "\t\t<KEIKASHOCHIKAZEISHISAN>1</KEIKASHOCHIKAZEISHISAN>\r\n"
                     "\t\t<URIAGEZEIGAKUKEISAN>2</URIAGEZEIGAKUKEISAN>\r\n"
                     "\t\t<SHIIREZEIGAKUKEISAN></SHIIREZEIGAKUKEISAN>\r\n"),
            std::string::npos)
      << doc;
  // The general records and both refund statements are empty.
  ExpectData(doc, {
                      {"D020210", {{"KAZEIURIAGE1SHUZEINUKI8", "500000"}, {"MENZEIURIAGEZEINUKI8", "70000"}}},
                      {"D020211", {{"KAZEIURIAGE6SHUZEIKOMI5", "108"}}},
                      {"D020220", {{"KAZEIHENKAN6SHUZEINUKI8", "10"}}},
                      {"D020221", {{"MENZEIURIAGEHENKANZEINUKI5", "12"}}},
                      {"D020222", {{"KAZEIHENKAN2SHUZEIGAKU3", "-3"}}},
                      {"D020232", {{"KASHIDAOREZEIGAKU3", "8"}}},
                  });
}

}  // namespace
