// The document of a whole journal-method run on generated company data stays
// byte for byte what it was: every speed change in the ledger or the passes
// must leave what is computed and written alone. The company is made with the
// `ledger generate` command (deterministic data), the run is taxbridge_plus
// under the script backend, and the document's hash is pinned below.
//
// When the document changes on purpose (a new field, a corrected figure), run
// this suite, check the new document by hand and pin the hash it prints.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "ledger/Installation.h"
#include "ledger/Store.h"
#include "tests/support/Files.h"
#include "tests/support/Installation.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;

// FNV-1a (64 bits) of the document of 6 000 generated lines, 120 accounts,
// 12 departments and 40 assets, months 4 to 3.
constexpr uint64_t kPinnedDocument = 0x3d548b265739e7f3ull;

uint64_t Fnv1a(const std::string& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

// The transcript shows the journal method: the conditions dialog ended by its
// run button with radio button 1029 checked, and the aggregation's progress
// window came up.
bool JournalMethodShown(const std::string& transcript) {
  const std::string ended = "dialog 130 ended 1005\n";
  const size_t at = transcript.find(ended);
  if (at == std::string::npos || transcript.find("\ndialog 131 shown", at) == std::string::npos) return false;
  const size_t radio = transcript.find("\n  1029 radio ", at + ended.size() - 1);
  if (radio == std::string::npos) return false;
  const size_t end = transcript.find('\n', radio + 1);
  return transcript.substr(radio, end - radio).find(" checked") != std::string::npos;
}

class GeneratedCompanyRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tb-perf-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "drive_c");
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
    ASSERT_EQ(Ledger({"init"}), 0);
    ASSERT_EQ(test_support::UseOwnSettingsFolder(dir_ / "home"), "");
    ASSERT_EQ(Ledger({"generate", "1", "6000", "120", "12", "40"}), 0);
    ASSERT_EQ(Ledger({"select", "001", "1"}), 0);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Ledger(const std::vector<std::string>& args) {
    return test_support::RunProgram(test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "ledger"), args,
                                    {{"LEDGER_HOME", (dir_ / "home").string()}}, dir_, dir_ / "ledger.txt");
  }

  // Runs the journal method over the whole year (the data has undetermined
  // import categories, so a notice comes before the closing box) with its own
  // C: drive, so no settings entry of another run can choose the method; the
  // document's bytes, or nothing (with the transcript reported) when the run
  // did not complete or its transcript does not show the journal method.
  std::string RunJournalMethod() {
    const fs::path document = dir_ / "out" / "tax.xml";
    fs::create_directories(document.parent_path());
    fs::remove(document);
    // Typed into the dialog: each "\\" of the path doubled, as a script spells it.
    std::string windowsPath;
    for (char c : test_support::WindowsPathOf(document)) windowsPath += c == '\\' ? std::string("\\\\") : std::string(1, c);
    std::ofstream(dir_ / "script.txt") << "click 1029\ntype 1008 \"" << windowsPath << "\"\nkey F12\nanswer OK\nanswer OK\n";
    const int exitStatus = test_support::RunProgram(
        test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "taxbridge_plus"), {"0,1025,7,"},
        {{"HOME", dir_.string()},
         {"LEDGER_HOME", (dir_ / "home").string()},
         {"TAXBRIDGE_DRIVES", (dir_ / "drives").string()},
         {"TAXBRIDGE_SCRIPT", (dir_ / "script.txt").string()},
         {"TAXBRIDGE_TRANSCRIPT", (dir_ / "transcript.txt").string()}},
        dir_, dir_ / "output.txt");
    EXPECT_EQ(exitStatus, 0) << ReadAll(dir_ / "transcript.txt") << ReadAll(dir_ / "output.txt");
    EXPECT_TRUE(fs::exists(document)) << ReadAll(dir_ / "transcript.txt");
    const bool journal = JournalMethodShown(ReadAll(dir_ / "transcript.txt"));
    EXPECT_TRUE(journal) << ReadAll(dir_ / "transcript.txt");
    return exitStatus == 0 && journal ? ReadAll(document) : std::string();
  }

  fs::path dir_;
};

TEST_F(GeneratedCompanyRun, DocumentIsTheOnePinnedAndTheSameOnEveryRun) {
  const std::string first = RunJournalMethod();
  ASSERT_FALSE(first.empty());
  char printed[32];
  std::snprintf(printed, sizeof printed, "0x%016" PRIx64 "ull", Fnv1a(first));
  EXPECT_EQ(Fnv1a(first), kPinnedDocument) << "the document's hash is now " << printed;
  EXPECT_EQ(RunJournalMethod(), first);
}

// The pinned document must come from the journal: a change to one sales line
// changes it, and undoing the change brings it back.
TEST_F(GeneratedCompanyRun, DocumentFollowsTheJournal) {
  const std::string before = RunJournalMethod();
  ASSERT_FALSE(before.empty());
  std::string error;
  auto store = ledger::Store::Open(ledger::Installation::DatabasePath((dir_ / "home").string()), &error);
  ASSERT_TRUE(store) << error;
  // A taxable sale (category 1 on the credit side) at the 8 % rate.
  ledger::Statement pick = store->Prepare(
      "SELECT line_no, cr_amount FROM journal_line WHERE data_id = 'G1' AND cr_category = 1 AND cr_rate = 800 "
      "ORDER BY line_no LIMIT 1");
  ASSERT_EQ(pick.Step(), SQLITE_ROW);
  const int64_t line = pick.Int(0);
  const int64_t amount = pick.Int(1);
  pick.Reset();
  ASSERT_TRUE(store->Exec("UPDATE journal_line SET cr_amount = cr_amount + 10000, cr_tax = cr_tax + 800 "
                          "WHERE data_id = 'G1' AND line_no = " + std::to_string(line), &error)) << error;
  const std::string changed = RunJournalMethod();
  ASSERT_FALSE(changed.empty());
  EXPECT_NE(changed, before);
  ASSERT_TRUE(store->Exec("UPDATE journal_line SET cr_amount = " + std::to_string(amount) +
                          ", cr_tax = cr_tax - 800 WHERE data_id = 'G1' AND line_no = " + std::to_string(line), &error))
      << error;
  EXPECT_EQ(RunJournalMethod(), before);
}

}  // namespace
