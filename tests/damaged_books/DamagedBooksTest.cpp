// Whole runs of taxbridge_plus on damaged company databases: the demo data
// imported, then the database file damaged (random bytes, a table gone,
// values of the wrong type, dates out of range, amounts at the 64-bit limit,
// references to rows that do not exist). Every run must end with a message
// the user can read, and with run result 2 posted or exit status 3; never a
// crash, a hang or a document written as if nothing were wrong.
//
// Where the run stops depends on the damage, so the script is found by
// answering: each run starts with "choose the method, run"; when the program
// shows a box the script has no answer for, the box's first button is added
// at that place and the run repeated (a user pressing the default button).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/Installation.h"
#include "tests/support/Program.h"
#include "tests/support/TempFolder.h"

namespace {

using test_support::ProgramFile;
using test_support::ReadAll;
using test_support::RunProgram;

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

const fs::path& Root() {
  static const fs::path root = test_support::NewTempFolder("tb-damaged");
  return root;
}

const fs::path& Ledger() {
  static const fs::path ledger = ProgramFile(TAXBRIDGE_BINARY_DIR, "ledger");
  return ledger;
}

// Runs SQL on a database file with the store's own checks switched off, as a
// damaged or hand-edited file would hold it.
void Damage(const fs::path& db, const std::string& sql) {
  sqlite3* h = nullptr;
  ASSERT_EQ(sqlite3_open(db.string().c_str(), &h), SQLITE_OK);
  char* error = nullptr;
  const std::string all = "PRAGMA foreign_keys = OFF; PRAGMA ignore_check_constraints = ON; " + sql;
  const int rc = sqlite3_exec(h, all.c_str(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(h);
  ASSERT_EQ(rc, SQLITE_OK) << message << "\n" << sql;
}

// Overwrites `length` bytes at `offset` with bytes from a fixed seed.
void Scribble(const fs::path& db, uint64_t offset, size_t length, uint64_t seed) {
  std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
  ASSERT_TRUE(f.good());
  f.seekp(static_cast<std::streamoff>(offset));
  for (size_t i = 0; i < length; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    f.put(static_cast<char>(seed >> 56));
  }
}

struct Outcome {
  int status = -1;
  std::string log;         // the launcher's and the program's output
  std::string transcript;  // the script backend's record
  std::string script;
};

class DamagedBooks : public ::testing::Test {
 protected:
  // One ledger with the demo data, copied for every case.
  static void SetUpTestSuite() {
    ASSERT_FALSE(Root().empty()) << "no temporary folder could be made";
    fs::create_directories(Root() / "template");
    const test_support::ProgramEnvironment env{{"LEDGER_HOME", (Root() / "template" / "ledger").string()}};
    // Each step's output is kept beside the template, for the message below.
    const auto step = [&](const std::vector<std::string>& args) {
      const fs::path log = Root() / ("template-" + args[0] + ".log");
      const bool ok = RunProgram(Ledger(), args, env, Root(), log) == 0;
      if (!ok) templateLog_ += ReadAll(log);
      return ok;
    };
    // Each case's copy of the template names its own settings folder (below).
    ready_ = step({"init"}) && step({"import", (fs::path(TAXBRIDGE_SOURCE_DIR) / "demo" / "ledger").string()}) &&
             step({"select", "001", "1"});
  }
  static void TearDownTestSuite() {
    // The figure `make reliability` collects: damaged databases run.
    std::printf("hostile-inputs damaged-books %d\n", cases_);
    std::fflush(stdout);
    const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
    if (suite == nullptr || !suite->Failed()) fs::remove_all(Root());
  }

  void SetUp() override {
    ASSERT_TRUE(ready_) << templateLog_;
    dir_ = Root() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "drive_c");
    fs::create_directories(dir_ / "out");
    fs::copy(Root() / "template" / "ledger", dir_ / "ledger", fs::copy_options::recursive);
    ASSERT_EQ(test_support::UseOwnSettingsFolder(dir_ / "ledger"), "");
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  fs::path Database() const { return dir_ / "ledger" / "ledger.db"; }

  // The template's sound database over this case's, byte for byte. (Not
  // fs::copy_file: MinGW's takes every two files of one drive for the same
  // file, as Windows' stat gives them no inode, and refuses to overwrite.)
  void RestoreDatabase() const {
    std::ofstream(Database(), std::ios::binary | std::ios::trunc) << ReadAll(Root() / "template" / "ledger" / "ledger.db");
  }

  // One run of the program under the accounting product's launcher, killed
  // after 60 seconds.
  Outcome RunOnce(const std::string& script) {
    std::ofstream(dir_ / "script.txt", std::ios::trunc) << script;
    fs::remove(dir_ / "transcript.txt");
    fs::remove(dir_ / "log.txt");
    const std::string out = test_support::WindowsPathOf(dir_ / "out" / "tax.xml");
    Outcome o;
    o.status = RunProgram(Ledger(), {"launch", "plus", "--path", out},
                          {{"LEDGER_HOME", (dir_ / "ledger").string()},
                           {"TAXBRIDGE_DRIVES", (dir_ / "drives").string()},
                           {"TAXBRIDGE_SCRIPT", (dir_ / "script.txt").string()},
                           {"TAXBRIDGE_TRANSCRIPT", (dir_ / "transcript.txt").string()}},
                          dir_, dir_ / "log.txt", 60);
    o.log = ReadAll(dir_ / "log.txt");
    o.transcript = ReadAll(dir_ / "transcript.txt");
    o.script = script;
    return o;
  }

  // Runs with method `method` (1029 journal, 1031 saved return), adding
  // answers where the program asks for them.
  Outcome Run(int method) {
    const std::string choose = "click " + std::to_string(method) + "\nkey F12\n";
    std::vector<std::string> script = Lines(choose);
    for (int attempt = 0; attempt < 8; ++attempt) {
      std::string text;
      for (const auto& l : script) text += l + "\n";
      Outcome o = RunOnce(text);
      const std::vector<std::string> events = Lines(o.transcript);
      std::string buttons, error;
      for (const auto& e : events) {
        if (e.starts_with("messagebox ")) {
          const size_t at = e.find(" buttons=");
          buttons = at == std::string::npos ? "OK" : e.substr(at + 9, e.find(' ', at + 9) - at - 9);
        }
        if (e.starts_with("error ")) error = e;
      }
      if (error.empty()) return o;
      const std::string first = buttons.substr(0, buttons.find('/'));
      std::smatch m;
      if (std::regex_search(error, m, std::regex("line ([0-9]+): .* is not an answer, but a message box waits"))) {
        script.insert(script.begin() + (std::stoi(m[1]) - 1), "answer " + first);
      } else if (error.find("ran out of answers while a message box waits") != std::string::npos) {
        script.push_back("answer " + first);
      } else if (std::regex_search(error, m, std::regex("line ([0-9]+): .* answers a box, but dialog"))) {
        const auto chosen = Lines(choose);
        script.insert(script.begin() + (std::stoi(m[1]) - 1), chosen.begin(), chosen.end());
      } else {
        return o;  // not a question of answers: the checks below report it
      }
    }
    ADD_FAILURE() << "no script found that the run accepts";
    return Outcome{};
  }

  // The run stopped with a message and result 2, or could not open the data
  // (status 3), and nothing was written.
  void ExpectStoppedWithAMessage(const Outcome& o) {
    ++cases_;
    const std::string all = "status " + std::to_string(o.status) + "\nscript:\n" + o.script + "log:\n" + o.log +
                            "transcript:\n" + o.transcript;
    EXPECT_TRUE(o.status == 2 || o.status == 3) << all;
    std::smatch m;
    if (std::regex_search(o.log, m, std::regex("program ended with status ([0-9]+)"))) {
      EXPECT_EQ(m[1], "3") << "no result posted, yet the data was opened:\n" << all;
    } else {
      EXPECT_NE(o.log.find("result 2"), std::string::npos) << all;
    }
    EXPECT_EQ(o.transcript.find("\nerror "), std::string::npos) << all;
    EXPECT_EQ(o.log.find("Sanitizer"), std::string::npos) << all;
    EXPECT_EQ(o.log.find("runtime error"), std::string::npos) << all;
    const bool boxed = std::regex_search(o.transcript, std::regex("messagebox .*icon=(exclamation|error)"));
    EXPECT_TRUE(boxed || o.log.find("taxbridge: ") != std::string::npos) << "no message:\n" << all;
    EXPECT_FALSE(fs::exists(dir_ / "out" / "tax.xml")) << "a document was written:\n" << all;
  }

  static inline bool ready_ = false;
  static inline std::string templateLog_;
  static inline int cases_ = 0;
  fs::path dir_;
};

const char kData[] = "(SELECT data_id FROM data_entry WHERE data_no = 1)";

// ---- random bytes ----

TEST_F(DamagedBooks, RandomBytesOverTheFileHeader) {
  Scribble(Database(), 0, 100, 1);
  ExpectStoppedWithAMessage(Run(1029));
}

// Bytes over a page the run never reads (a free page, an index the run does
// not use) change nothing: such a run may complete, but only with the very
// document the sound file gives.
TEST_F(DamagedBooks, RandomBytesOverPagesOfTheFile) {
  std::string sound[2];
  for (int m = 0; m < 2; ++m) {
    const Outcome o = Run(m == 0 ? 1029 : 1031);
    ASSERT_EQ(o.status, 0) << o.log << o.transcript;
    sound[m] = ReadAll(dir_ / "out" / "tax.xml");
    fs::remove(dir_ / "out" / "tax.xml");
  }
  const uint64_t pages = fs::file_size(Database()) / 4096;
  int stopped = 0;
  for (uint64_t seed = 1; seed <= 8 && !HasFailure(); ++seed) {
    RestoreDatabase();
    const uint64_t page = 1 + (seed * 7919) % (pages - 1);
    Scribble(Database(), page * 4096, 4096, seed);
    SCOPED_TRACE("page " + std::to_string(page) + " of " + std::to_string(pages));
    const int m = static_cast<int>(seed % 2);
    const Outcome o = Run(m == 0 ? 1029 : 1031);
    if (o.status == 0 && o.log.find("result 0") != std::string::npos) {
      ++cases_;
      EXPECT_TRUE(ReadAll(dir_ / "out" / "tax.xml") == sound[m]) << "a different document from a damaged file:\n"
                                                                  << o.log << o.transcript;
      fs::remove(dir_ / "out" / "tax.xml");
    } else {
      ExpectStoppedWithAMessage(o);
      ++stopped;
    }
  }
  EXPECT_GT(stopped, 0) << "no seed hit a page the run reads";
}

TEST_F(DamagedBooks, FileCutShortOrEmpty) {
  fs::resize_file(Database(), fs::file_size(Database()) / 2);
  ExpectStoppedWithAMessage(Run(1029));
  fs::resize_file(Database(), 0);
  ExpectStoppedWithAMessage(Run(1029));
}

// ---- a missing table ----

TEST_F(DamagedBooks, MissingTables) {
  for (const char* table : {"journal_line", "account", "tax_settings", "saved_return", "data_entry"}) {
    RestoreDatabase();
    Damage(Database(), std::string("DROP TABLE ") + table);
    SCOPED_TRACE(table);
    ExpectStoppedWithAMessage(Run(1029));
  }
}

// ---- wrong column types ----

TEST_F(DamagedBooks, TextWhereAnAmountBelongs) {
  Damage(Database(), std::string("UPDATE journal_line SET dr_amount = 'lots', cr_amount = 'lots' WHERE data_id = ") +
                         kData + " AND line_no = 1");
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, BlobAsTheCompanyName) {
  Damage(Database(), std::string("UPDATE data_entry SET company_name = x'FFFE00' WHERE data_no = 1"));
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, TextAsTheTaxMethodAndAFractionAsAMonth) {
  Damage(Database(), std::string("UPDATE tax_settings SET tax_method = 'general' WHERE data_id = ") + kData);
  ExpectStoppedWithAMessage(Run(1029));
  RestoreDatabase();
  Damage(Database(), std::string("UPDATE journal_line SET month_no = 4.5 WHERE data_id = ") + kData);
  ExpectStoppedWithAMessage(Run(1029));
}

// ---- out-of-range dates ----

TEST_F(DamagedBooks, PeriodDatesOutOfRange) {
  for (const char* set : {"period_start = 0", "period_end = 99999999", "period_start = 20140230",
                          "period_start = 20150401, period_end = 20140331"}) {
    RestoreDatabase();
    Damage(Database(), std::string("UPDATE data_entry SET ") + set + " WHERE data_no = 1");
    SCOPED_TRACE(set);
    ExpectStoppedWithAMessage(Run(1029));
  }
}

TEST_F(DamagedBooks, SavedReturnDatesOutOfRange) {
  Damage(Database(), std::string("UPDATE saved_return SET return_start = 0, return_end = -5 WHERE data_id = ") + kData);
  ExpectStoppedWithAMessage(Run(1031));
}

// ---- amounts at the 64-bit limit ----

TEST_F(DamagedBooks, AnAmountAtTheSixtyFourBitLimit) {
  Damage(Database(), std::string("UPDATE journal_line SET dr_amount = 9223372036854775807, cr_amount = "
                                 "9223372036854775807 WHERE data_id = ") +
                         kData + " AND line_no = 1");
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, AmountsWhoseSumPassesTheSixtyFourBitLimit) {
  Damage(Database(), std::string("UPDATE journal_line SET dr_amount = 999999999999999999, cr_amount = "
                                 "999999999999999999, dr_tax = 99999999999999999, cr_tax = 99999999999999999 "
                                 "WHERE data_id = ") +
                         kData);
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, SavedAmountAtTheSixtyFourBitLimit) {
  Damage(Database(), std::string("UPDATE saved_amount SET amount = -9223372036854775808 WHERE data_id = ") + kData);
  ExpectStoppedWithAMessage(Run(1031));
}

// ---- dangling references ----

TEST_F(DamagedBooks, JournalLinesNamingAnAccountThatDoesNotExist) {
  Damage(Database(), std::string("UPDATE journal_line SET dr_account = 987654 WHERE data_id = ") + kData +
                         " AND line_no = 1");
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, TheUserSelectsDataThatDoesNotExist) {
  Damage(Database(), "UPDATE app_user SET selected_data_no = 77 WHERE user_id = '001'");
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, JournalLinesNamingADepartmentThatDoesNotExist) {
  Damage(Database(), std::string("UPDATE journal_line SET cr_department = 4242 WHERE data_id = ") + kData +
                         " AND line_no = 3");
  ExpectStoppedWithAMessage(Run(1029));
}

TEST_F(DamagedBooks, AnAssetBoughtOnADayThatDoesNotExist) {
  Damage(Database(), std::string("UPDATE fixed_asset SET acquisition_date = 20140231 WHERE data_id = ") + kData);
  ExpectStoppedWithAMessage(Run(1029));
}

}  // namespace
