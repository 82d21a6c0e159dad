// Whole runs of taxbridge_plus on the bundled demo company data: the demo CSV
// files are imported into a fresh ledger, the accounting product's launcher
// starts the program with an output path, the script backend answers the
// dialogs, and the written document is compared byte for byte with the
// expected document in tests/golden/expected/ (Shift_JIS, CR LF). Each
// expected document was worked out by hand from the demo data; the notes
// beside it show the sums.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/Installation.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size() - 1;
    lines.push_back(text.substr(start, end - start + 1));
    start = end + 1;
  }
  return lines;
}

// A document line without its CR LF, for a message.
std::string Shown(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

// Names the first line where two documents part, both lines shown.
std::string FirstDifference(const std::string& want, const std::string& got) {
  const std::vector<std::string> a = Lines(want), b = Lines(got);
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const std::string x = i < a.size() ? a[i] : "(end of document)";
    const std::string y = i < b.size() ? b[i] : "(end of document)";
    if (x != y) return "line " + std::to_string(i + 1) + "\n  expected: " + Shown(x) + "\n  written:  " + Shown(y);
  }
  return "no line differs";
}

class GoldenDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::temp_directory_path() / ("tb-golden-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "drive_c");
    fs::create_directories(dir_ / "out");
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  // Runs the build's ledger command with `args` and the test's ledger and
  // drive map (and `env`); returns its exit status and appends its output to log_.
  int Ledger(const std::vector<std::string>& args, test_support::ProgramEnvironment env = {}) {
    env.emplace_back("LEDGER_HOME", (dir_ / "ledger").string());
    env.emplace_back("TAXBRIDGE_DRIVES", (dir_ / "drives").string());
    const int status = test_support::RunProgram(test_support::ProgramFile(TAXBRIDGE_BINARY_DIR, "ledger"), args, env,
                                                dir_, dir_ / "output.txt");
    log_ += ReadAll(dir_ / "output.txt");
    return status;
  }

  // A ledger holding exactly the demo data, with `user` selecting `dataNo`.
  void ImportDemo(const std::string& user, int dataNo) {
    ASSERT_EQ(Ledger({"init"}), 0) << log_;
    ASSERT_EQ(test_support::UseOwnSettingsFolder(dir_ / "ledger"), "");
    ASSERT_EQ(Ledger({"import", (fs::path(TAXBRIDGE_SOURCE_DIR) / "demo" / "ledger").string()}), 0) << log_;
    ASSERT_EQ(Ledger({"select", user, std::to_string(dataNo)}), 0) << log_;
  }

  // Launches taxbridge_plus as the accounting product does, with an output
  // path given as the Windows path of the test's folder, the script
  // answering; returns the launcher's status (the posted run result).
  int Launch(const std::string& script) {
    std::ofstream(dir_ / "script.txt") << script;
    return Ledger({"launch", "plus", "--path", test_support::WindowsPathOf(dir_ / "out" / "tax.xml")},
                  {{"TAXBRIDGE_SCRIPT", (dir_ / "script.txt").string()},
                   {"TAXBRIDGE_TRANSCRIPT", (dir_ / "transcript.txt").string()}});
  }

  void ExpectDocument(const std::string& expectedName) {
    const std::string want = ReadAll(fs::path(TAXBRIDGE_SOURCE_DIR) / "tests" / "golden" / "expected" / expectedName);
    ASSERT_FALSE(want.empty()) << expectedName << " is missing";
    const std::string got = ReadAll(dir_ / "out" / "tax.xml");
    EXPECT_TRUE(want == got) << expectedName << " differs at " << FirstDifference(want, got) << "\nrun folder "
                             << dir_ << "\n"
                             << log_ << ReadAll(dir_ / "transcript.txt");
  }

  fs::path dir_;
  std::string log_;
};

// Method 1 (the saved return), the dialog's default months; the run ends
// with the completion notice.
const char kSavedReturnScript[] = "click 1031\nkey F12\nanswer OK\n";

// The PROGRAMNAME and PROGRAMVER of the expected documents are the ones the
// support information file beside the program carries.
TEST(GoldenSupportInfo, ExpectedDocumentsNameTheInstalledProduct) {
  const std::string inf = ReadAll(fs::path(TAXBRIDGE_BINARY_DIR) / "bin" / "SUPPORT.INF");
  // "[=製品名=]Kestrel２０ Plus" and "[=製品ﾊﾞｰｼﾞｮﾝ=]20.01.00", as the file holds them.
  EXPECT_NE(inf.find("[=製品名=]Kestrel２０ Plus\r\n"), std::string::npos);
  EXPECT_NE(inf.find("[=製品ﾊﾞｰｼﾞｮﾝ=]20.01.00\r\n"), std::string::npos);
}

// Method 0 (journal aggregation). The corporation: every month; the run
// notices the undetermined import categories (OK), then completes (OK).
const char kCorporationJournalScript[] = "click 1029\nkey F12\nanswer OK\nanswer OK\n";
// The individual under simplified taxation: months 4 to 12, so that the
// sixth-type sales (June) are accepted; the run completes (OK).
const char kIndividualJournalScript[] = "click 1029\ntype 1014 \"4\"\ntype 1016 \"12\"\nkey F12\nanswer OK\n";

TEST_F(GoldenDocument, CorporationJournalUnderGeneralTaxation) {
  ImportDemo("001", 1);
  ASSERT_FALSE(HasFatalFailure());
  const int status = Launch(kCorporationJournalScript);
  EXPECT_EQ(status, 0) << log_ << ReadAll(dir_ / "transcript.txt");
  ExpectDocument("corporation_journal.xml");
}

TEST_F(GoldenDocument, IndividualJournalUnderSimplifiedTaxation) {
  ImportDemo("002", 2);
  ASSERT_FALSE(HasFatalFailure());
  const int status = Launch(kIndividualJournalScript);
  EXPECT_EQ(status, 0) << log_ << ReadAll(dir_ / "transcript.txt");
  ExpectDocument("individual_journal.xml");
}

TEST_F(GoldenDocument, CorporationSavedReturn) {
  ImportDemo("001", 1);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Launch(kSavedReturnScript), 0) << log_ << ReadAll(dir_ / "transcript.txt");
  ExpectDocument("corporation_saved_return.xml");
}

TEST_F(GoldenDocument, IndividualSavedReturnUnderSimplifiedTaxation) {
  ImportDemo("002", 2);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Launch(kSavedReturnScript), 0) << log_ << ReadAll(dir_ / "transcript.txt");
  ExpectDocument("individual_saved_return.xml");
}

}  // namespace
