// Whole runs of the program, started as the accounting product starts it: a
// calling window, a company database, the script backend answering every box.
// Each run gets its own copy of the program in a folder of its own, so the
// return product's definition file beside it can differ from run to run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ledger/Installation.h"
#include "platform/CallerWindow.h"
#include "tests/support/Files.h"

namespace {

using test_support::ReadAll;

namespace fs = std::filesystem;

// The transcript and the program's output are UTF-8; this file's narrow
// literals are Shift_JIS.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct RunOutcome {
  int exitStatus = -1;
  std::string transcript;
  std::vector<platform::CallerWindowEvent> events;
};

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = fs::temp_directory_path() / ("tb-e2e-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    fs::copy_file(fs::path(TAXBRIDGE_BINARY_DIR) / "bin" / "taxbridge_plus", dir_ / "bin" / "taxbridge_plus");
    // Drive C: (the application folder with the settings file) inside the
    // test's folder: no run reads or changes the settings of the user's own.
    fs::create_directories(dir_ / "drive_c");
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
    ::setenv("TAXBRIDGE_DRIVES", (dir_ / "drives").c_str(), 1);
    ledger::InstallationSettings settings;
    settings.currentUser = "001";
    settings.folder1 = "C:\\taxbridge\\";
    settings.returnProductName = "Halvern";
    std::string error;
    ASSERT_TRUE(ledger::Installation::Create((dir_ / "home").string(), settings, &error)) << error;
  }
  void TearDown() override { fs::remove_all(dir_); }

  void PutDefinition(const std::string& text) { std::ofstream(dir_ / "bin" / "HalvernDef.ini", std::ios::binary) << text; }

  // Runs the program with `script`; `hostForm` puts the calling window's
  // handle, message 1025 and function 7 before `rest` on the command line;
  // otherwise "{window}" in `rest` stands for that handle.
  RunOutcome Run(const std::string& script, bool hostForm = true, const std::string& rest = ",") {
    std::string error;
    std::unique_ptr<platform::CallerWindow> caller = platform::CallerWindow::Create(&error);
    EXPECT_TRUE(caller) << error;
    std::ofstream(dir_ / "script.txt") << script;
    const fs::path transcript = dir_ / "transcript.txt";
    fs::remove(transcript);
    std::string line = hostForm ? std::to_string(caller->Handle()) + ",1025,7" + rest : rest;
    if (const size_t at = line.find("{window}"); at != std::string::npos)
      line.replace(at, 8, std::to_string(caller->Handle()));
    const std::string command = "cd '" + dir_.string() + "' && LEDGER_HOME='" + (dir_ / "home").string() +
                                "' TAXBRIDGE_SCRIPT='" + (dir_ / "script.txt").string() +
                                "' TAXBRIDGE_TRANSCRIPT='" + transcript.string() + "' '" +
                                (dir_ / "bin" / "taxbridge_plus").string() + "' '" + line + "' >'" + (dir_ / "output.txt").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    RunOutcome out;
    out.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Boxes the host shows itself may go to the program's output rather than
    // through the user interface; both count as shown.
    out.transcript = ReadAll(transcript) + ReadAll(dir_ / "output.txt");
    while (auto e = caller->Receive(100)) out.events.push_back(*e);
    return out;
  }

  fs::path dir_;
};

std::optional<platform::CallerWindowEvent> PostOf(const RunOutcome& run) {
  for (const auto& e : run.events)
    if (e.kind == platform::CallerWindowEvent::Kind::kPost) return e;
  return std::nullopt;
}

// The definition file decides; every refusal posts 2 after its message.
TEST_F(ProgramRun, TargetProductRefusals) {
  struct Case {
    std::optional<std::string> definition;
    std::string expectedText;
  };
  const Case cases[] = {
      {std::nullopt, U8(u8"Halvernが正しくインストールされているか確認してください。")},
      {"[ProgramLevel]\r\nSY26=1\r\n", U8(u8"Halvernの最新版を入手して")},
      {"[ProgramLevel]\r\nSY26=0\r\n", U8(u8"Halvernの最新版を入手して")},
      {"[ProgramLevel]\r\nSY26=abc\r\n", U8(u8"Halvernの最新版を入手して")},
      {"[Other]\r\nSY26=2\r\n", U8(u8"Halvernの最新版を入手して")},
      {"[ProgramLevel]\r\nSY26=3\r\n", U8(u8"連動コンポーネントの最新版を入手して")},
      {"[ProgramLevel]\r\nSY26=\r\n", U8(u8"動作環境が不正です。")},
      // Only 15 characters of the level are read: "000000000000000" is 0.
      {"[ProgramLevel]\r\nSY26=0000000000000002\r\n", U8(u8"Halvernの最新版を入手して")},
  };
  for (const Case& c : cases) {
    fs::remove(dir_ / "bin" / "HalvernDef.ini");
    if (c.definition) PutDefinition(*c.definition);
    const RunOutcome run = Run("answer OK\n");
    const std::string label = c.definition.value_or("(no file)");
    EXPECT_EQ(run.exitStatus, 2) << label;
    EXPECT_NE(run.transcript.find(U8(u8"消費税")), std::string::npos) << label << run.transcript;
    EXPECT_NE(run.transcript.find(c.expectedText), std::string::npos) << label << run.transcript;
    EXPECT_EQ(run.transcript.find("ES_APRPACKAGENAME"), std::string::npos) << label;
    const auto post = PostOf(run);
    ASSERT_TRUE(post) << label;
    EXPECT_EQ(post->message, 1025u);
    EXPECT_EQ(post->wparam, 7);
    EXPECT_EQ(post->lparam, 2);
  }
}

TEST_F(ProgramRun, AcceptedTargetGoesOnToTheSystemLink) {
  PutDefinition("[ProgramLevel]\r\nSY26=000000000000002\r\n");  // 15 characters: level 2
  // No user selection in the empty database: the system link refuses with the
  // host's own message, and the run fails without a message of its own.
  const RunOutcome run = Run("answer OK\n");
  EXPECT_EQ(run.transcript.find("Halvern"), std::string::npos) << run.transcript;
  EXPECT_EQ(run.exitStatus, 2);
  const auto post = PostOf(run);
  ASSERT_TRUE(post);
  EXPECT_EQ(post->lparam, 2);
  // The calling window was disabled first and enabled again at the end.
  ASSERT_FALSE(run.events.empty());
  EXPECT_EQ(run.events.front().kind, platform::CallerWindowEvent::Kind::kEnable);
  EXPECT_FALSE(run.events.front().enable);
  EXPECT_EQ(run.events.back().kind, platform::CallerWindowEvent::Kind::kEnable);
  EXPECT_TRUE(run.events.back().enable);
}

TEST_F(ProgramRun, WithoutHostFormNothingIsPostedButTheHandleOwnsTheMessage) {
  // Fewer than three commas: not started by a host; the handle before the
  // first comma still owns the target check's message.
  RunOutcome run = Run("answer OK\n", true, "");
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_FALSE(PostOf(run));
  EXPECT_TRUE(run.events.empty());  // never disabled either
  EXPECT_NE(run.transcript.find(U8(u8"動作環境が不正です。")), std::string::npos) << run.transcript;

  run = Run("answer OK\n", false, "");
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_NE(run.transcript.find(U8(u8"動作環境が不正です。")), std::string::npos) << run.transcript;
}

// The command line that --help shows is one the program takes as a calling
// window's: filled in as shown, with no path, the run posts its result.
TEST_F(ProgramRun, TheHelpShowsTheCommandLineTheProgramAccepts) {
  const std::string command = "'" + (dir_ / "bin" / "taxbridge_plus").string() + "' --help >'" +
                              (dir_ / "help.txt").string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string help = ReadAll(dir_ / "help.txt");
  const std::string usage = "Usage: taxbridge_plus ";
  const size_t at = help.find(usage);
  ASSERT_NE(at, std::string::npos) << help;
  std::string form = help.substr(at + usage.size(), help.find('\n', at) - at - usage.size());
  ASSERT_NE(form.find("WINDOW"), std::string::npos) << form;
  // Optional parts left out, as a caller with no fixed path would.
  std::string line;
  for (size_t i = 0, depth = 0; i < form.size(); ++i) {
    if (form[i] == '[') ++depth;
    else if (form[i] == ']') --depth;
    else if (depth == 0) line += form[i];
  }
  for (const auto& [word, value] :
       {std::pair<std::string, std::string>{"WINDOW", "{window}"}, {"MESSAGE", "1025"}, {"FUNCTION", "7"}}) {
    const size_t place = line.find(word);
    ASSERT_NE(place, std::string::npos) << word << " in " << form;
    line.replace(place, word.size(), value);
  }
  // No definition file beside the program: refused, and the refusal posted.
  const RunOutcome run = Run("answer OK\n", false, line);
  const auto post = PostOf(run);
  ASSERT_TRUE(post) << "the help's form \"" << form << "\" is not a calling window's line: " << line;
  EXPECT_EQ(post->message, 1025u);
  EXPECT_EQ(post->wparam, 7);
}

TEST_F(ProgramRun, DataThatCannotBeOpenedEndsWithStatusThree) {
  fs::remove_all(dir_ / "home");
  const RunOutcome run = Run("answer OK\n");
  EXPECT_EQ(run.exitStatus, 3) << run.transcript;
  // The host said why; nothing was posted, and the calling window was never touched.
  EXPECT_NE(run.transcript.find(U8(u8"会計データを開けません")), std::string::npos) << run.transcript;
  EXPECT_TRUE(run.events.empty());
}

}  // namespace
