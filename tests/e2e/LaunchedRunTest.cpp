// Whole runs on small company books loaded with `ledger import`: the program
// started by a calling window (or, for the settings case, without one) with
// the script backend answering, the transcript, the posted result, the
// document and the settings file checked, and the journal method's figures
// compared with what `ledger summary` reports for the same months.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/CallerWindow.h"
#include "tests/support/Files.h"

namespace {

using test_support::Quote;
using test_support::ReadAll;

namespace fs = std::filesystem;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string WindowsPath(const fs::path& p) {
  std::string text = "Z:" + p.string();
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int s = ::pclose(pipe);
    if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  }
  return out;
}

const char kAccounts[] =
    "data_no,account_id,code,name,class_code,balance_side,list_excluded,sum_mark_a,sum_mark_b\n"
    "1,1,100,cash,0x10100000,1,0,0,0\n"
    "1,2,135,receivable,0x10100000,1,0,0,0\n"
    "1,3,500,sales,0x40100000,2,0,0,0\n"
    "1,4,610,purchases,0x20200000,1,0,0,0\n"
    "1,5,170,securities,0x10100000,1,0,0,0\n";
const char kJournalHeader[] =
    "data_no,line_no,date,month_no,dr_account,dr_department,dr_amount,dr_tax,dr_category,dr_rate,dr_business_type,"
    "cr_account,cr_department,cr_amount,cr_tax,cr_category,cr_rate,cr_business_type,description\n";
// Two taxable sales at 8 %, an export and a purchase, April 2014 to March 2015.
const char kPlainBook[] =
    "1,1,20140415,,135,,500000,40000,0,0,0,500,,500000,40000,1,8,1,sale\n"
    "1,2,20140520,,135,,120000,0,0,0,0,500,,120000,0,2,0,0,export\n"
    "1,3,20140610,,610,,200000,16000,21,8,0,100,,200000,16000,0,0,0,purchase\n"
    "1,4,20150310,,135,,30001,2400,0,0,0,500,,30001,2400,1,8,2,sale\n";

// A book in a fresh installation beside copies of the programs; each test
// has its own folder.
class LaunchedRun : public ::testing::Test {
 protected:
  struct Outcome {
    int exitStatus = -1;
    std::optional<int64_t> posted;
    std::string transcript;
    std::string document;
    bool documentExists = false;
    std::string output;  // what the program printed (standard output and error)
  };

  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::temp_directory_path() / ("tb-launch-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "csv");
    fs::create_directories(dir_ / "out");
    for (const char* program : {"taxbridge_plus", "ledger"})
      fs::copy_file(fs::path(TAXBRIDGE_BINARY_DIR) / "bin" / program, dir_ / "bin" / program);
    std::ofstream(dir_ / "bin" / "HalvernDef.ini", std::ios::binary) << "[ProgramLevel]\r\nSY26=2\r\n";
    ASSERT_EQ(Ledger("init"), 0) << output_;
    // The application folder (settings file) inside the test's folder.
    const fs::path ini = dir_ / "home" / "ledger.ini";
    std::string text = ReadAll(ini);
    text = std::regex_replace(text, std::regex("Folder1=[^\r\n]*"), "Folder1=" + WindowsPath(dir_ / "app") + "\\");
    std::ofstream(ini, std::ios::binary) << text;
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Ledger(const std::string& args) {
    int status = -1;
    output_ = Shell("LEDGER_HOME='" + (dir_ / "home").string() + "' '" + (dir_ / "bin" / "ledger").string() + "' " +
                        args + " 2>&1",
                    &status);
    return status;
  }

  // Data 1: a corporation (kind 0) or an individual (3), taxation method
  // `method`, with the journal `lines`; user 001 selects it. `locked`: the
  // data is under maintenance in the accounting product.
  void Book(int method, const std::string& lines, int companyKind = 0, bool locked = false) {
    std::ofstream(dir_ / "csv" / "data.csv")
        << "data_no,data_id,company_name,period_start,period_end,closing_day,closing_pattern,past_record,"
           "company_kind,income_layout,maintenance_lock\n"
        << "1,TB1,test company,20140401,20150331,31,0,0," << companyKind << ",1," << (locked ? 1 : 0) << "\n";
    std::ofstream(dir_ / "csv" / "tax_settings.csv")
        << "data_no,tax_method,rounding,deduction_method,main_business_type,tax_inclusive,rate_count\n"
        << "1," << method << ",0,0," << (method == 1 ? 1 : 0) << ",0,5\n";
    std::ofstream(dir_ / "csv" / "accounts.csv") << kAccounts;
    std::ofstream(dir_ / "csv" / "journal.csv") << kJournalHeader << lines;
    std::ofstream(dir_ / "csv" / "users.csv") << "user_id,name,selected_group,selected_data_no\n001,clerk,1,1\n";
    ASSERT_EQ(Ledger("import '" + (dir_ / "csv").string() + "' --replace"), 0) << output_;
  }

  // One run with `script`. `fromCaller`: the calling window fixes the output
  // file `out`; otherwise the program is started without a command line and
  // the script types the path. `diskFull`: every byte the program writes to
  // a file fails (a file-size limit of 0, as a full disk fails), while the
  // transcript reaches the test through a pipe.
  Outcome Run(const std::string& script, const fs::path& out, bool fromCaller = true, bool diskFull = false) {
    std::string error;
    std::unique_ptr<platform::CallerWindow> caller = platform::CallerWindow::Create(&error);
    EXPECT_TRUE(caller) << error;
    std::ofstream(dir_ / "script.txt") << script;
    fs::remove(dir_ / "transcript.txt");
    fs::remove(dir_ / "output.txt");
    const std::string line = fromCaller ? std::to_string(caller->Handle()) + ",32769,1," + WindowsPath(out) : "";
    const std::string program = "LEDGER_HOME='" + (dir_ / "home").string() + "' TAXBRIDGE_SCRIPT='" +
                                (dir_ / "script.txt").string() + "' " +
                                (diskFull ? "" : "TAXBRIDGE_TRANSCRIPT='" + (dir_ / "transcript.txt").string() + "' ") +
                                "'" + (dir_ / "bin" / "taxbridge_plus").string() + "' '" + line + "'";
    const std::string output = "'" + (dir_ / "output.txt").string() + "'";
    const std::string command =
        "cd '" + dir_.string() + "' && " +
        (diskFull ? "{ (ulimit -f 0; trap '' XFSZ; exec env " + program + " 2>&1; ); echo $? >status.txt; } | cat >'" +
                        (dir_ / "transcript.txt").string() + "'; exit $(cat status.txt)"
                  : program + " >" + output + " 2>&1");
    const int status = std::system(command.c_str());
    Outcome o;
    o.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.output = ReadAll(dir_ / "output.txt");
    o.transcript = ReadAll(dir_ / "transcript.txt") + o.output;
    while (auto e = caller->Receive(100))
      if (e->kind == platform::CallerWindowEvent::Kind::kPost) o.posted = e->lparam;
    o.documentExists = fs::is_regular_file(out);
    if (o.documentExists) o.document = ReadAll(out);
    return o;
  }

  // The settings file's text ("" when none was written).
  std::string SettingsText() const {
    std::string text;
    if (fs::is_directory(dir_ / "app"))
      for (const auto& entry : fs::recursive_directory_iterator(dir_ / "app"))
        if (entry.is_regular_file()) text += ReadAll(entry.path());
    return text;
  }

  fs::path dir_;
  std::string output_;
};

// The leaf `name` of the document ("" when empty, nullopt when absent).
std::optional<std::string> Leaf(const std::string& document, const std::string& name) {
  const std::string open = "<" + name + ">";
  const size_t at = document.find(open);
  if (at == std::string::npos) return std::nullopt;
  const size_t from = at + open.size();
  return document.substr(from, document.find('<', from) - from);
}

// The first figure of the summary line starting with `label`, commas removed.
std::string SummaryFigure(const std::string& summary, const std::string& label) {
  std::istringstream in(summary);
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(label);
    if (at == std::string::npos || line.compare(at + label.size(), 2, "  ") != 0) continue;
    std::istringstream fields(line.substr(at + label.size()));
    std::string figure;
    fields >> figure;
    figure.erase(std::remove(figure.begin(), figure.end(), ','), figure.end());
    return figure;
  }
  return "?";
}

const char kMonths[] = "type 1014 \"4\"\ntype 1016 \"3\"\n";

TEST_F(LaunchedRun, JournalMethodWritesTheFiguresTheLedgerReports) {
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "tax.xml";
  // Through the accounting product's own launcher this time.
  std::ofstream(dir_ / "launch.script") << kMonths << "key F12\nanswer OK\n";
  ASSERT_EQ(Ledger("summary 1 4 3"), 0) << output_;
  const std::string summary = output_;

  // The launcher takes its script from the environment.
  int status = -1;
  const std::string launched =
      Shell("LEDGER_HOME='" + (dir_ / "home").string() + "' TAXBRIDGE_SCRIPT='" + (dir_ / "launch.script").string() +
                "' TAXBRIDGE_TRANSCRIPT='" + (dir_ / "transcript.txt").string() + "' '" +
                (dir_ / "bin" / "ledger").string() + "' launch plus --path '" + WindowsPath(out) + "' 2>&1",
            &status);
  EXPECT_EQ(status, 0) << launched << ReadAll(dir_ / "transcript.txt");
  EXPECT_NE(launched.find("result 0"), std::string::npos) << launched;
  EXPECT_NE(launched.find(out.string() + "\n"), std::string::npos) << "the document's path:\n" << launched;
  const std::string doc = ReadAll(out);
  ASSERT_NE(doc.find("<DATA>"), std::string::npos) << doc.substr(0, 400);
  EXPECT_NE(doc.find("<KANPUH>"), std::string::npos);
  EXPECT_EQ(doc.substr(doc.size() - 11), "</REPORT>\r\n");

  const struct {
    const char* label;
    const char* leaf;
  } figures[] = {
      {"Taxable sales, without tax", "KAZEIURIAGEZEINUKI8"},
      {"Taxable sales, tax", "KAZEIURIAGEZEIGAKU8"},
      {"Taxable sales, with tax", "KAZEIURIAGEZEIKOMI8"},
      {"Export-exempt sales", "MENZEIURIAGEZEINUKI8"},
  };
  for (const auto& f : figures) {
    const std::string expected = SummaryFigure(summary, f.label);
    EXPECT_NE(expected, "0") << f.label << " (the book has this figure)";
    EXPECT_EQ(Leaf(doc, f.leaf).value_or("absent"), expected) << f.label << "\n" << summary;
  }
  EXPECT_EQ(Leaf(doc, "KAZEIURIAGEZEINUKI8"), "530001");
}

TEST_F(LaunchedRun, CancelPostsOneAndWritesNothing) {
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "tax.xml";
  const Outcome run = Run("key Escape\nanswer OK\n", out);
  EXPECT_EQ(run.posted, 1) << run.transcript;
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_FALSE(run.documentExists);
  EXPECT_EQ(SettingsText(), "");
  EXPECT_EQ(run.transcript.find("dialog 131 shown"), std::string::npos) << run.transcript;
}

TEST_F(LaunchedRun, DataUnderMaintenanceIsRefusedByTheSystemLinkWithResultOne) {
  Book(2, kPlainBook, 0, true);
  const fs::path out = dir_ / "out" / "tax.xml";
  const Outcome run = Run("answer OK\n", out);
  EXPECT_EQ(run.posted, 1) << run.transcript;
  EXPECT_EQ(run.exitStatus, 1);
  // The host said why; the dialog never opened and nothing was written.
  EXPECT_NE(run.transcript.find(U8(u8"メンテナンス中")), std::string::npos) << run.transcript;
  EXPECT_EQ(run.transcript.find("dialog 130 shown"), std::string::npos) << run.transcript;
  EXPECT_FALSE(run.documentExists);
  EXPECT_EQ(SettingsText(), "");
}

TEST_F(LaunchedRun, NoToTheSystemQuestionStopsWithOnlyTheFrame) {
  Book(2, kPlainBook);
  // The disk takes the file but no byte of it: SYSTEM fails.
  const Outcome run = Run(std::string(kMonths) + "key F12\nanswer No\n", dir_ / "out" / "tax.xml", true, true);
  EXPECT_EQ(run.posted, 2) << run.transcript;
  EXPECT_NE(run.transcript.find(U8(u8"icon=exclamation buttons=Yes/No text=\"システム情報の出力に失敗しました。")),
            std::string::npos)
      << run.transcript;
  EXPECT_EQ(run.transcript.find(U8(u8"基本情報の出力に失敗")), std::string::npos);
  EXPECT_EQ(run.transcript.find(U8(u8"消費税情報の出力が終了しました")), std::string::npos);
  EXPECT_EQ(SettingsText(), "");
}

TEST_F(LaunchedRun, YesToEveryQuestionStillFailsTheRun) {
  // A full disk fails all three sections; Yes to each writes on, but the
  // document is incomplete: the run says so instead of completing.
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "tax.xml";
  const Outcome run = Run(std::string(kMonths) + "key F12\nanswer Yes\nanswer Yes\nanswer Yes\nanswer OK\n", out,
                          true, true);
  EXPECT_EQ(run.posted, 2) << run.transcript;
  EXPECT_EQ(run.exitStatus, 2);
  for (const char8_t* question : {u8"システム情報の出力に失敗", u8"基本情報の出力に失敗", u8"連動情報の出力に失敗"})
    EXPECT_NE(run.transcript.find(U8(question)), std::string::npos) << run.transcript;
  EXPECT_NE(run.transcript.find(U8(u8"caption=\"消費税\" icon=information buttons=OK "
                                   u8"text=\"消費税情報の出力に失敗しました。\\n\\nアプリケーションを終了します。\"")),
            std::string::npos)
      << run.transcript;
  EXPECT_EQ(run.transcript.find(U8(u8"消費税情報の出力が終了しました")), std::string::npos);
  EXPECT_EQ(SettingsText(), "");
  EXPECT_EQ(run.transcript.find(out.string()), std::string::npos) << run.transcript;  // no path printed
}

TEST_F(LaunchedRun, SettingsKeepTheTypedPathWhenNoCallerFixedIt) {
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "typed.xml";
  std::string typed = WindowsPath(out);
  typed = std::regex_replace(typed, std::regex(R"(\\)"), R"(\\)");  // quoted in the script
  const Outcome run = Run(std::string(kMonths) + "type 1008 \"" + typed + "\"\nkey F12\nanswer OK\n", out, false);
  EXPECT_EQ(run.exitStatus, 0) << run.transcript;
  EXPECT_FALSE(run.posted);
  EXPECT_TRUE(run.documentExists);
  EXPECT_NE(SettingsText().find("typed.xml"), std::string::npos) << SettingsText();
  // The completed run names its document as the Linux path, on the last line.
  EXPECT_TRUE(run.output.ends_with("\n" + out.string() + "\n") || run.output == out.string() + "\n") << run.output;
}

TEST_F(LaunchedRun, RefusedBooksPostOneWithTheirMessage) {
  const fs::path out = dir_ / "out" / "tax.xml";
  // A sixth-business-type sale under simplified taxation in a period that
  // begins before 2015-04-01.
  Book(1, "1,1,20140415,,135,,1000,80,0,0,0,500,,1000,80,1,8,6,sale\n");
  Outcome run = Run(std::string(kMonths) + "key F12\nanswer OK\n", out);
  EXPECT_EQ(run.posted, 1) << run.transcript;
  EXPECT_NE(run.transcript.find(U8(u8"owner=131 caption=\"消費税\" icon=exclamation buttons=OK text=\"集計範囲に事業分類「第六種事業」")),
            std::string::npos)
      << run.transcript;
  EXPECT_NE(run.transcript.find(U8(u8"Kestrel２０ Plus の以下の機能")), std::string::npos);
  EXPECT_FALSE(run.documentExists);

  // A 10 % line (general taxation).
  Book(2, "1,2,20140415,,135,,1000,100,0,0,0,500,,1000,100,1,10,0,sale\n");
  run = Run(std::string(kMonths) + "key F12\nanswer OK\n", out);
  EXPECT_EQ(run.posted, 1) << run.transcript;
  EXPECT_NE(run.transcript.find(U8(u8"icon=exclamation buttons=OK text=\"集計範囲に税率「10%」または「8%(軽減)」")),
            std::string::npos)
      << run.transcript;
  EXPECT_FALSE(run.documentExists);
  EXPECT_EQ(SettingsText(), "");
}

TEST_F(LaunchedRun, BooksBeyondTheArithmeticAreRefusedBeforeAnythingIsWritten) {
  // Two 5 % sales of 6 x 10^13 yen: their sum is beyond what the figures'
  // arithmetic holds (10^14 yen). The books are refused by the system link,
  // with a message that says so; no dialog, no document, result 2.
  Book(2, "1,1,20140415,,135,,60000000000000,0,0,0,0,500,,60000000000000,0,1,5,0,s\n"
          "1,2,20140416,,135,,60000000000000,0,0,0,0,500,,60000000000000,0,1,5,0,s\n");
  const fs::path out = dir_ / "out" / "tax.xml";
  const Outcome run = Run("answer OK\n", out);
  EXPECT_EQ(run.exitStatus, 2) << run.transcript;
  EXPECT_EQ(run.posted, 2);
  EXPECT_NE(run.transcript.find("add up to 10^14 yen or more"), std::string::npos) << run.transcript;
  EXPECT_EQ(run.transcript.find("dialog 130 shown"), std::string::npos) << run.transcript;
  EXPECT_EQ(run.transcript.find(U8(u8"消費税情報の出力が終了しました")), std::string::npos);
  EXPECT_FALSE(run.documentExists);
  EXPECT_EQ(SettingsText(), "");

  // Just below the limit the same books run to completion.
  Book(2, "1,1,20140415,,135,,49999999999999,0,0,0,0,500,,49999999999999,0,1,5,0,s\n");
  const Outcome below = Run(std::string(kMonths) + "key F12\nanswer OK\n", out);
  EXPECT_EQ(below.exitStatus, 0) << below.transcript;
  EXPECT_EQ(Leaf(below.document, "KAZEIURIAGEZEINUKI5"), "49999999999999");
}

// Paths in the environment may be relative; they mean the folder the
// launcher was started in, although the program moves to its own folder
// before it posts its result and writes its transcript's last lines.
TEST_F(LaunchedRun, RelativeEnvironmentPathsMeanTheStartFolder) {
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "tax.xml";
  std::ofstream(dir_ / "launch.script") << kMonths << "key F12\nanswer OK\n";
  fs::create_directory(dir_ / "runtime");
  fs::permissions(dir_ / "runtime", fs::perms::owner_all);
  std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
  fs::create_directory(dir_ / "drive_c");
  int status = -1;
  const std::string launched =
      Shell("cd '" + dir_.string() + "' && LEDGER_HOME=home TAXBRIDGE_SCRIPT=launch.script "
            "TAXBRIDGE_TRANSCRIPT=transcript.txt TAXBRIDGE_RUNTIME_DIR=runtime TAXBRIDGE_DRIVES=drives "
            "bin/ledger launch plus --path '" + WindowsPath(out) + "' 2>&1",
            &status);
  EXPECT_EQ(status, 0) << launched;
  EXPECT_NE(launched.find("result 0"), std::string::npos) << launched;
  EXPECT_NE(ReadAll(dir_ / "transcript.txt").find("caller post"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "bin" / "transcript.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "bin" / "runtime"));
  EXPECT_NE(ReadAll(out).find("</REPORT>"), std::string::npos);
}

// A drive map that cannot be used names itself, its line and the fault in a
// box before any dialog; the run ends with status 2 and writes nothing.
TEST_F(LaunchedRun, BrokenDriveMapIsShownBeforeAnyDialog) {
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "tax.xml";
  std::ofstream(dir_ / "bad-drives") << "# drives\nC: /tmp\nD: /media/cd floppy\n";
  const struct {
    std::string map;
    std::string named;
  } cases[] = {{(dir_ / "bad-drives").string(), "line 3: unknown word"},
               {(dir_ / "no-such-drives").string(), "cannot read the drive map"}};
  for (const auto& c : cases) {
    ::setenv("TAXBRIDGE_DRIVES", c.map.c_str(), 1);
    const Outcome run = Run("answer OK\n", out);
    ::unsetenv("TAXBRIDGE_DRIVES");
    EXPECT_EQ(run.exitStatus, 2) << run.transcript;
    const size_t box = run.transcript.find("messagebox owner=none");
    ASSERT_NE(box, std::string::npos) << run.transcript;
    const std::string boxLine = run.transcript.substr(box, run.transcript.find('\n', box) - box);
    EXPECT_NE(boxLine.find(U8(u8"ドライブの対応表が使えない")), std::string::npos) << boxLine;
    EXPECT_NE(boxLine.find(c.map), std::string::npos) << boxLine;
    EXPECT_NE(boxLine.find(c.named), std::string::npos) << boxLine;
    EXPECT_EQ(run.transcript.find("dialog "), std::string::npos) << run.transcript;
    EXPECT_FALSE(run.posted.has_value());
    EXPECT_FALSE(run.documentExists);
  }
}

// An output path that names no regular file is refused in the dialog, for a
// typed path and for one the caller fixed; nothing waits on the pipe.
TEST_F(LaunchedRun, DevicesAndPipesAreNoOutputFile) {
  Book(2, kPlainBook);
  ASSERT_EQ(::mkfifo((dir_ / "out" / "pipe").c_str(), 0600), 0);
  for (const fs::path& other : {dir_ / "out" / "pipe", fs::path("/dev/null")}) {
    const Outcome fixed = Run(std::string(kMonths) + "key F12\nanswer OK\nkey Escape\nanswer OK\n", other);
    EXPECT_EQ(fixed.posted, 1) << fixed.transcript;
    EXPECT_NE(fixed.transcript.find(U8(u8"text=\"ファイル名が指定されていません。\"")), std::string::npos)
        << fixed.transcript;
    std::string typed = WindowsPath(other);
    for (size_t at = 0; (at = typed.find('\\', at)) != std::string::npos; at += 2) typed.insert(at, 1, '\\');
    const Outcome run = Run(std::string(kMonths) + "type 1008 \"" + typed + "\"\nkey F12\nanswer OK\nkey Escape\nanswer OK\n",
                            other, /*fromCaller=*/false);
    EXPECT_EQ(run.exitStatus, 1) << run.transcript;
    EXPECT_NE(run.transcript.find(U8(u8"text=\"ファイル名が指定されていません。\"")), std::string::npos)
        << run.transcript;
  }
  EXPECT_EQ(fs::status(dir_ / "out" / "pipe").type(), fs::file_type::fifo);
}

// The worked example of docs/ledger-import.md, taken from the document itself:
// its files imported as they stand, and a run over April to March writes the
// figures the document promises.
TEST_F(LaunchedRun, TheImportDocumentsWorkedExampleRuns) {
  const std::string doc = ReadAll(fs::path(TAXBRIDGE_SOURCE_DIR) / "docs" / "ledger-import.md");
  const size_t section = doc.find("## Worked example");
  ASSERT_NE(section, std::string::npos);
  const size_t open = doc.find("```\n", section);
  const size_t close = doc.find("```", open + 4);
  ASSERT_NE(close, std::string::npos);
  // Blocks separated by blank lines; the first line of each names its file.
  std::istringstream blocks(doc.substr(open + 4, close - open - 4));
  const fs::path folder = dir_ / "example";
  fs::create_directories(folder);
  std::ofstream file;
  int files = 0;
  for (std::string line; std::getline(blocks, line);) {
    if (line.empty()) {
      file.close();
    } else if (!file.is_open()) {
      file.open(folder / line, std::ios::binary);
      ++files;
    } else {
      file << line << "\n";
    }
  }
  file.close();
  EXPECT_EQ(files, 5);
  ASSERT_EQ(Ledger("import '" + folder.string() + "'"), 0) << output_;
  ASSERT_EQ(Ledger("select 001 1"), 0) << output_;
  const fs::path out = dir_ / "out" / "example.xml";
  const Outcome run = Run(std::string(kMonths) + "key F12\nanswer OK\n", out);
  EXPECT_EQ(run.exitStatus, 0) << run.transcript;
  EXPECT_EQ(Leaf(run.document, "KAZEIURIAGEZEINUKI8"), "500") << run.transcript;
  EXPECT_EQ(Leaf(run.document, "KAZEIURIAGEZEIGAKU8"), "40");
}

// The ledger command's own refusals: plain words and the documented status,
// never a new user or a half-done change.
TEST_F(LaunchedRun, LedgerCommandRefusesWhatItCannotDo) {
  Book(2, kPlainBook);
  EXPECT_EQ(Ledger("--help"), 0) << output_;
  EXPECT_NE(output_.find("select USER DATA_NO"), std::string::npos) << output_;
  EXPECT_EQ(Ledger("--version"), 0) << output_;
  EXPECT_EQ(Ledger("select 999 1"), 1) << output_;
  EXPECT_NE(output_.find("no user 999"), std::string::npos) << output_;
  EXPECT_EQ(Ledger("select 001 77"), 1) << output_;
  EXPECT_EQ(Ledger("generate 5 many"), 2) << output_;
  EXPECT_EQ(Ledger("generate 5 1e3"), 2) << output_;
  // Nothing half-made stands in the way: the refused user and data set are
  // still refused, and the refused generation can now be made whole.
  EXPECT_EQ(Ledger("select 999 1"), 1) << output_;
  EXPECT_EQ(Ledger("generate 5 10 4 1 1"), 0) << output_;
  EXPECT_EQ(Ledger("generate 5 10 4 1 1"), 1) << output_;
  EXPECT_EQ(output_.find("constraint"), std::string::npos) << output_;
}

// `ledger summary` lines its columns up by what the terminal shows: a
// Japanese account name takes two columns a character, so every row of a
// table ends in the same column.
TEST_F(LaunchedRun, SummaryColumnsStayInLineAfterJapaneseNames) {
  ASSERT_EQ(Ledger("import '" + (fs::path(TAXBRIDGE_SOURCE_DIR) / "demo" / "ledger").string() + "'"), 0) << output_;
  ASSERT_EQ(Ledger("summary 1 4 3"), 0) << output_;
  // Columns of a line as a terminal shows it: two for every character
  // beyond ASCII (the demo's names are all full-width).
  auto shown = [](const std::string& line) {
    int columns = 0;
    for (unsigned char c : line) columns += c < 0x80 ? 1 : (c & 0xC0) == 0xC0 ? 2 : 0;
    return columns;
  };
  std::map<std::string, std::set<int>> widths;  // a table's indent -> the widths of its rows
  std::map<std::string, int> japanese;
  std::istringstream in(output_);
  const std::regex row("^( +)[0-9]+ +[^ ].*[0-9]$");
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, row)) continue;
    widths[m[1].str()].insert(shown(line));
    if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
      ++japanese[m[1].str()];
  }
  ASSERT_FALSE(japanese.empty()) << output_;
  for (const auto& [indent, count] : japanese) EXPECT_EQ(widths[indent].size(), 1u) << "rows indented " << indent.size() << "\n" << output_;
}

// Launched from a terminal, `ledger launch` holds the caller's lines until
// the program has ended, so that they never land in the program's screen:
// the program's own last line (its document's path) comes first. Launched
// into a pipe, the lines come as they happen.
TEST_F(LaunchedRun, LaunchHoldsTheCallerLinesWhileTheProgramHasTheTerminal) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1) to give a terminal";
  Book(2, kPlainBook);
  const fs::path out = dir_ / "out" / "tax.xml";
  std::ofstream(dir_ / "launch.script") << kMonths << "key F12\nanswer OK\n";
  const std::string launch = "LEDGER_HOME='" + (dir_ / "home").string() + "' TAXBRIDGE_SCRIPT='" +
                             (dir_ / "launch.script").string() + "' TAXBRIDGE_TRANSCRIPT='" +
                             (dir_ / "transcript.txt").string() + "' '" + (dir_ / "bin" / "ledger").string() +
                             "' launch plus --path '" + WindowsPath(out) + "'";
  int status = -1;
  const std::string onTerminal = Shell("script -qec " + Quote(launch) + " /dev/null 2>&1", &status);
  EXPECT_EQ(status, 0) << onTerminal;
  const size_t path = onTerminal.find(out.string());
  const size_t caller = onTerminal.find("caller window disabled");
  ASSERT_NE(path, std::string::npos) << onTerminal;
  ASSERT_NE(caller, std::string::npos) << onTerminal;
  EXPECT_LT(path, caller) << onTerminal;

  const std::string piped = Shell(launch + " 2>&1 | cat", &status);
  EXPECT_LT(piped.find("caller window disabled"), piped.find(out.string())) << piped;
}

}  // namespace
