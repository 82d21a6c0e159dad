// Whole interactive runs of taxbridge_plus on the demo company data, in a
// detached 80 x 24 tmux session: keys go in with send-keys, the screen comes
// back with capture-pane, and the checks are what a person would see and the
// document written. Every wait is bounded.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "tests/support/Files.h"

namespace {

using test_support::ReadAll;
using test_support::Quote;
using test_support::Capture;

namespace fs = std::filesystem;

// Milliseconds of the monotonic clock (<chrono> does not build with the
// Shift_JIS execution character set).
long long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}
void SleepMs(int ms) { ::usleep(static_cast<useconds_t>(ms) * 1000); }

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class TerminalRun : public ::testing::Test {
 protected:
  void SetUp() override {
    // tmux is one of the packages `make deps` installs: without it these
    // runs cannot be checked, and that is a failure, not a reason to pass.
    ASSERT_EQ(std::system("command -v tmux >/dev/null 2>&1"), 0) << "tmux is not installed (make deps installs it)";
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    static int runs = 0;  // short folder names keep the default path whole on the screen
    dir_ = fs::temp_directory_path() / ("tbt" + std::to_string(::getpid()) + "-" + std::to_string(++runs));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "tmp");
    // Drive C: (where the settings file lives) is a fresh folder of this run,
    // so no entry stored by another run can change what the dialog starts with.
    fs::create_directories(dir_ / "drive_c");
    std::ofstream(dir_ / "drives") << "C: \"" << (dir_ / "drive_c").string() << "\"\n";
    socket_ = "tbtty" + std::to_string(::getpid()) + name;
    const fs::path bin = fs::path(TAXBRIDGE_BINARY_DIR) / "bin";
    const std::string env = Environment();
    const std::string setup = env + " " + Quote((bin / "ledger").string()) + " init >/dev/null && " + env + " " +
                              Quote((bin / "ledger").string()) + " import " +
                              Quote(std::string(TAXBRIDGE_SOURCE_DIR) + "/demo/ledger") + " >/dev/null && " + env +
                              " " + Quote((bin / "ledger").string()) + " select 001 1 >/dev/null";
    ASSERT_EQ(std::system(setup.c_str()), 0) << setup;
  }

  // The variables every program of the run is started with: the run's own
  // ledger, drive map, home and temporary folder.
  std::string Environment() const {
    return "LEDGER_HOME=" + Quote((dir_ / "ledger").string()) + " TAXBRIDGE_DRIVES=" +
           Quote((dir_ / "drives").string()) + " HOME=" + Quote((dir_ / "home").string()) +
           " TMPDIR=" + Quote(tmpFolder_.empty() ? (dir_ / "tmp").string() : tmpFolder_);
  }

  void TearDown() override {
    if (!socket_.empty()) std::system((Tmux() + " kill-server 2>/dev/null").c_str());
    fs::remove_all(dir_);
  }

  std::string Tmux() const { return "LANG=C.UTF-8 tmux -L " + socket_ + " -f /dev/null"; }

  // Starts the program in the session; `shellPrefix` runs first in the same shell.
  void Start(const std::string& shellPrefix = "") {
    const fs::path program = fs::path(TAXBRIDGE_BINARY_DIR) / "bin" / "taxbridge_plus";
    // A script named in the test's own environment must not turn the run
    // into an unattended one.
    const std::string inner = shellPrefix + "unset TAXBRIDGE_SCRIPT TAXBRIDGE_TRANSCRIPT; LANG=C.UTF-8 " + Environment() + " " + Quote(program.string()) + " 2> " + Quote((dir_ / "stderr").string()) + "; echo $? > " + Quote((dir_ / "status").string()) +
                              "; stty -a > " + Quote((dir_ / "stty").string());
    const std::string cmd = Tmux() + " new-session -d -x 80 -y 24 -s run " + Quote("sh -c " + Quote(inner));
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }

  std::string Screen() const { return Capture(Tmux() + " capture-pane -p -t run 2>/dev/null"); }

  // Waits (at most 15 s) until the screen satisfies `shows`; returns the
  // screen. A capture may catch the terminal half-way through a repaint, so
  // a test that checks several parts of one state waits for all of them.
  template <typename Predicate>
  std::string WaitUntil(Predicate shows, const std::string& what) {
    std::string screen;
    for (const long long until = NowMs() + 15000; NowMs() < until;) {
      screen = Screen();
      if (shows(screen)) return screen;
      SleepMs(100);
    }
    ADD_FAILURE() << "the screen never showed " << what << "; it shows:\n" << screen;
    return screen;
  }

  // Waits (at most 15 s) until the screen shows every one of `texts`;
  // returns the screen.
  std::string WaitFor(std::initializer_list<std::string> texts) {
    std::string what;
    for (const std::string& t : texts) what += (what.empty() ? "\"" : " and \"") + t + "\"";
    return WaitUntil(
        [&](const std::string& screen) {
          for (const std::string& t : texts)
            if (screen.find(t) == std::string::npos) return false;
          return true;
        },
        what);
  }
  std::string WaitFor(const std::string& text) { return WaitFor({text}); }

  // Waits (at most 15 s) for the program to end; its exit status, or -1.
  int WaitForEnd() {
    for (const long long until = NowMs() + 15000; NowMs() < until;) {
      if (fs::exists(dir_ / "stty")) {
        SleepMs(100);
        return std::atoi(ReadAll(dir_ / "status").c_str());
      }
      SleepMs(100);
    }
    ADD_FAILURE() << "the program did not end; the screen shows:\n" << Screen();
    return -1;
  }

  void Keys(const std::string& keys) { std::system((Tmux() + " send-keys -t run " + keys).c_str()); }
  void Type(const std::string& text) { std::system((Tmux() + " send-keys -t run -l " + Quote(text)).c_str()); }

  // Leaves the dialog with Escape and OK.
  void Cancel() {
    Keys("Escape");
    WaitFor(U8(u8"集計を中止します"));
    Keys("Enter");
    EXPECT_EQ(WaitForEnd(), 1);
  }

  // The screen line that holds `text`.
  static std::string LineWith(const std::string& screen, const std::string& text) {
    std::istringstream in(screen);
    for (std::string line; std::getline(in, line);)
      if (line.find(text) != std::string::npos) return line;
    return "";
  }

  // The terminal was given back: line editing and echo are on again.
  void ExpectTerminalRestored() {
    const std::string stty = ReadAll(dir_ / "stty");
    EXPECT_NE(stty.find(" icanon"), std::string::npos) << stty;
    EXPECT_NE(stty.find(" echo "), std::string::npos) << stty;
  }

  fs::path dir_;
  std::string socket_;
  std::string tmpFolder_;  // the program's TMPDIR when set, else the run's own
};

const char8_t kCaption[] = u8"消費税 - 集計条件";

TEST_F(TerminalRun, DialogShowsTheFactsAndDefaultMonthsAndEscapeStops) {
  Start();
  // The caption is drawn first; the buttons on the last line end the paint.
  const std::string screen = WaitUntil(
      [](const std::string& s) {
        return s.find(U8(kCaption)) != std::string::npos && s.find(U8(u8"キャンセル(Esc)")) != std::string::npos;
      },
      "the whole dialog");
  EXPECT_NE(screen.find(U8(u8"北浜商事株式会社")), std::string::npos) << screen;
  EXPECT_NE(screen.find(U8(u8"2014/04/01～2015/03/31")), std::string::npos) << screen;
  EXPECT_NE(screen.find(U8(u8"原則課税")), std::string::npos) << screen;
  EXPECT_NE(screen.find(U8(u8"個別対応方式")), std::string::npos) << screen;
  const std::string months = LineWith(screen, U8(u8"集計期間 "));
  EXPECT_NE(months.find(U8(u8"[4   ]月度(S)")), std::string::npos) << months;
  EXPECT_NE(months.find(U8(u8"[3   ]月度(E)")), std::string::npos) << months;
  EXPECT_NE(LineWith(screen, U8(u8"出力先")).size(), 0u);
  EXPECT_NE(screen.find("*.xml"), std::string::npos) << screen;
  // Every line fits the 80 columns: nothing wrapped onto a line of its own.
  EXPECT_NE(LineWith(screen, U8(u8"(*) 集計期間を指定して仕訳を集計する(N)")), "") << screen;

  Keys("Escape");
  WaitFor({U8(u8"｢消費税｣の集計を中止します。"), "(i)", "OK"});
  Keys("Enter");
  EXPECT_EQ(WaitForEnd(), 1);
  ExpectTerminalRestored();
}

// The README shows the dialog as a person sees it on the demo data with the
// temporary folder /tmp; it must stay the screen the program really draws.
TEST_F(TerminalRun, TheReadmeShowsTheDialogAsDrawn) {
  const std::string readme = ReadAll(fs::path(TAXBRIDGE_SOURCE_DIR) / "README.md");
  const std::string::size_type start = readme.find("```\n" + U8(u8"┌─ 消費税 - 集計条件"));
  ASSERT_NE(start, std::string::npos) << "README.md shows no conditions dialog";
  const std::string shown = readme.substr(start + 4, readme.find("```", start + 4) - start - 4);
  tmpFolder_ = "/tmp";
  Start();
  auto drawn = [](std::string screen) {
    while (!screen.empty() && screen.back() == '\n') screen.pop_back();
    return screen + "\n";
  };
  const std::string screen =
      WaitUntil([&](const std::string& s) { return drawn(s) == shown; }, "the dialog of the README");
  EXPECT_EQ(shown, drawn(screen));
  Cancel();
}

TEST_F(TerminalRun, WrongMonthRangeIsRefusedAndTheMonthTakesTheFocus) {
  Start();
  WaitFor(U8(kCaption));
  // Alt+E: the end month's mnemonic reaches its edit, all its text selected.
  Keys("M-e");
  Type("13");
  Keys("F12");
  WaitFor({U8(u8"集計期間に誤りがあります。"), U8(u8"集計期間を設定しなおしてください。"), "(!)"});
  Keys("Enter");
  WaitFor(U8(u8"[13  ]"));
  // The end month has the focus with its text selected: typing replaces it.
  Type("9");
  const std::string screen = WaitFor(U8(u8"[9   ]月度(E)"));
  EXPECT_NE(screen.find(U8(u8"[4   ]月度(S)")), std::string::npos) << screen;
  // A digit-only edit refuses letters.
  Type("x");
  SleepMs(300);
  EXPECT_NE(Screen().find(U8(u8"[9   ]月度(E)")), std::string::npos);
  Keys("Escape");
  WaitFor(U8(u8"集計を中止します"));
  Keys("Enter");
  EXPECT_EQ(WaitForEnd(), 1);
}

TEST_F(TerminalRun, TypedYenIsTheSeparatorAndCharactersWithoutShiftJisAreRefusedVisibly) {
  Start();
  WaitFor(U8(kCaption));
  Keys("M-o");
  Type(U8(u8"Z:¥tmp¥a€"));
  // The euro sign is not in the path, and the bottom line says why.
  std::string screen = WaitFor({"[Z:\\tmp\\a ", U8(u8"「€」(U+20AC) は Shift_JIS にない文字のため入力できません")});
  const std::string typedEuro = U8(u8"a€");
  EXPECT_EQ(screen.find(typedEuro), std::string::npos) << screen;
  // The next key takes the note away and the dialog's bottom edge is whole again.
  Type("b");
  screen = WaitFor("[Z:\\tmp\\ab ");
  EXPECT_EQ(screen.find("Shift_JIS"), std::string::npos) << screen;
  Cancel();
}

TEST_F(TerminalRun, TipShowsOnF1UntilTheNextKey) {
  Start();
  WaitFor(U8(kCaption));
  Keys("F1");
  const std::string shown = WaitFor({U8(u8"連動元製品にて入力・保存した消費税申告書の情報を使用します。"),
                                     U8(u8"・課税売上割合変動時調整対象固定資産に係る消費税額の調整額")});
  // The tip stays inside the dialog: the caption still shows, and no corner
  // of the tip's box stands beside the dialog's own.
  EXPECT_NE(shown.find(U8(kCaption)), std::string::npos) << shown;
  for (const char8_t* doubled : {u8"┌┌", u8"└└", u8"┐┐", u8"┘┘", u8"││"})
    EXPECT_EQ(shown.find(U8(doubled)), std::string::npos) << U8(doubled) << "\n" << shown;
  Keys("F1");
  for (int i = 0; i < 50 && Screen().find(U8(u8"保存した消費税申告書")) != std::string::npos; ++i) SleepMs(100);
  EXPECT_EQ(Screen().find(U8(u8"保存した消費税申告書")), std::string::npos);
  EXPECT_NE(Screen().find(U8(kCaption)), std::string::npos);
  Cancel();
}

TEST_F(TerminalRun, WithNoControlToTakeItTheCursorLeavesTheDialog) {
  // Books without a saved return: both method buttons are disabled, so no
  // control of the dialog takes the cursor, which is hidden in the corner
  // instead of standing where the last cell was drawn.
  fs::create_directories(dir_ / "csv");
  for (const auto& entry : fs::directory_iterator(std::string(TAXBRIDGE_SOURCE_DIR) + "/demo/ledger"))
    if (entry.path().filename() != "saved_return.csv") fs::copy_file(entry.path(), dir_ / "csv" / entry.path().filename());
  const std::string reload = Environment() + " " + Quote((fs::path(TAXBRIDGE_BINARY_DIR) / "bin" / "ledger").string()) +
                             " import " + Quote((dir_ / "csv").string()) + " --replace >/dev/null";
  ASSERT_EQ(std::system(reload.c_str()), 0) << reload;
  Start();
  const std::string screen = WaitFor(U8(kCaption));
  std::string cursor;
  for (int i = 0; i < 20; ++i) {
    cursor = Capture(Tmux() + " display -p -t run '#{cursor_x},#{cursor_y},#{cursor_flag}'");
    if (cursor.rfind("0,0,", 0) == 0) break;
    SleepMs(100);
  }
  EXPECT_EQ(cursor.substr(0, 4), "0,0,") << cursor << "\n" << screen;
  EXPECT_NE(cursor.find(",0"), std::string::npos) << cursor;  // hidden
  Cancel();
}

TEST_F(TerminalRun, ArrowKeysSwitchTheMethod) {
  Start();
  std::string screen = WaitFor(U8(kCaption));
  // A fresh drive C: holds no stored conditions: the journal method comes first.
  EXPECT_NE(screen.find(U8(u8"(*) 集計期間を指定して")), std::string::npos) << screen;
  const std::string journal = U8(u8"集計期間を指定して"), saved = U8(u8"連動元製品の"), months = U8(u8"集計期間 ");
  // The month edits are disabled under the saved-return method: no brackets.
  Keys("Down");
  WaitUntil(
      [&](const std::string& s) {
        return s.find("(*) " + saved) != std::string::npos && s.find("( ) " + journal) != std::string::npos &&
               LineWith(s, months).find("[") == std::string::npos;
      },
      "the saved-return method chosen and the month edits disabled");
  Keys("Up");
  WaitUntil(
      [&](const std::string& s) {
        return s.find("(*) " + journal) != std::string::npos && s.find("( ) " + saved) != std::string::npos &&
               LineWith(s, months).find(U8(u8"[4   ]")) != std::string::npos;
      },
      "the journal method chosen and the month edits enabled");
  Cancel();
}

// One whole run in the terminal: the method chosen by its key (Alt+N the
// journal, Alt+P the saved return), a path typed into the output edit
// (reached by Alt+O), F12, and every message answered up to the completion
// message. The document must be the very one the script backend writes for
// the same conditions on the same data.
class CompletedRun : public TerminalRun {
 protected:
  static std::string WindowsPath(const fs::path& p) {
    std::string out = "Z:" + p.string();
    for (char& c : out) c = c == '/' ? '\\' : c;
    return out;
  }

  void RunWithMethod(int method) {
    Start();
    WaitFor(U8(kCaption));
    Keys(method == 1 ? "M-p" : "M-n");
    WaitFor(method == 1 ? U8(u8"(*) 連動元製品の") : U8(u8"(*) 集計期間を指定して"));
    const fs::path out = dir_ / "tmp" / "out.xml";
    Keys("M-o");
    Type(WindowsPath(out));
    WaitFor("tmp\\out.xml");
    Keys("F12");
    std::string screen;
    bool done = false;
    int notices = 0;
    const std::string notice = U8(u8"未確定の税区分");
    for (const long long until = NowMs() + 30000; NowMs() < until && !done;) {
      screen = Screen();
      // A box counts once its text is drawn, not at its first button: a
      // capture may catch it half-painted.
      const bool box = screen.find("OK") != std::string::npos && screen.find(U8(kCaption)) == std::string::npos;
      done = box && screen.find(U8(u8"消費税情報の出力が終了しました。")) != std::string::npos;
      if (box && screen.find(notice) != std::string::npos) {
        // The demo corporation has lines of undetermined import categories:
        // under the journal method the notice comes first, and the run goes
        // on after it.
        ++notices;
        Keys("Enter");
        done = false;
        for (int i = 0; i < 50 && Screen().find(notice) != std::string::npos; ++i) SleepMs(100);
        continue;
      }
      if (!done) SleepMs(100);
    }
    ASSERT_TRUE(done) << "the completion message never showed; the screen shows:\n" << screen;
    EXPECT_EQ(notices, method == 1 ? 0 : 1) << screen;
    Keys("Enter");
    EXPECT_EQ(WaitForEnd(), 0) << screen << ReadAll(dir_ / "stderr");
    ExpectTerminalRestored();

    const std::string doc = ReadAll(out);
    ASSERT_EQ(doc.rfind("<?xml", 0), 0u) << doc.substr(0, 200);
    EXPECT_NE(doc.find("</REPORT>"), std::string::npos);

    // The conditions were stored for the next run, on this run's drive C:.
    const std::string settings = ReadAll(dir_ / "drive_c" / "taxbridge" / "taxbridge_plus.env");
    EXPECT_NE(settings.find(":" + std::to_string(method) + "/"), std::string::npos) << settings;
    EXPECT_NE(settings.find(WindowsPath(out) + "\n"), std::string::npos) << settings;

    // The same conditions through the script backend, on a drive C: of its own.
    fs::create_directories(dir_ / "drive_c2");
    std::ofstream(dir_ / "drives2") << "C: \"" << (dir_ / "drive_c2").string() << "\"\n";
    const fs::path scriptOut = dir_ / "tmp" / "script.xml";
    std::string quoted;
    for (char c : WindowsPath(scriptOut)) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    std::ofstream(dir_ / "script.txt") << (method == 1 ? "click 1031\n" : "click 1029\n") << "type 1008 \""
                                       << quoted << "\"\nkey F12\n"
                                       << (method == 1 ? "answer OK\n" : "answer OK\nanswer OK\n");
    const std::string scripted =
        Environment() + " TAXBRIDGE_DRIVES=" + Quote((dir_ / "drives2").string()) + " TAXBRIDGE_SCRIPT=" +
        Quote((dir_ / "script.txt").string()) + " TAXBRIDGE_TRANSCRIPT=" + Quote((dir_ / "transcript.txt").string()) +
        " " + Quote((fs::path(TAXBRIDGE_BINARY_DIR) / "bin" / "taxbridge_plus").string()) + " </dev/null >" +
        Quote((dir_ / "script-log.txt").string()) + " 2>&1";
    EXPECT_EQ(std::system(scripted.c_str()), 0) << ReadAll(dir_ / "script-log.txt") << ReadAll(dir_ / "transcript.txt");
    const std::string scriptDoc = ReadAll(scriptOut);
    EXPECT_FALSE(scriptDoc.empty()) << ReadAll(dir_ / "transcript.txt");
    EXPECT_TRUE(doc == scriptDoc) << "the terminal run wrote " << doc.size() << " bytes, the script run "
                                  << scriptDoc.size();
  }
};

TEST_F(CompletedRun, SavedReturnMethodWritesTheDocument) { RunWithMethod(1); }
TEST_F(CompletedRun, JournalMethodWritesTheDocument) { RunWithMethod(0); }

TEST_F(TerminalRun, AnErrorEndGivesTheTerminalBack) {
  // The company data cannot be opened: the error is shown in the terminal,
  // and after its OK the program ends with status 3 and the terminal as it was.
  fs::rename(dir_ / "ledger", dir_ / "ledger-gone");
  Start();
  const std::string box = WaitFor({U8(u8"会計データを開けません。"), "(!)"});
  EXPECT_EQ(box.find(U8(kCaption)), std::string::npos) << box;
  Keys("Enter");
  EXPECT_EQ(WaitForEnd(), 3);
  ExpectTerminalRestored();
}

TEST_F(TerminalRun, InterruptAndTerminateGiveTheTerminalBack) {
  // Ctrl-C: the shell around the program keeps going, the program ends by the signal.
  Start("trap : INT TERM; ");
  WaitFor(U8(kCaption));
  Keys("C-c");
  EXPECT_EQ(WaitForEnd(), 128 + SIGINT);
  ExpectTerminalRestored();

  // SIGTERM, sent to the program (the pane's shell's one child) by its ID.
  fs::remove(dir_ / "status");
  fs::remove(dir_ / "stty");
  Start("trap : INT TERM; ");
  WaitFor(U8(kCaption));
  const std::string shell = Capture(Tmux() + " display -p -t run '#{pane_pid}'");
  const long shellPid = std::atol(shell.c_str());
  ASSERT_GT(shellPid, 0) << shell;
  const long program = std::atol(ReadAll("/proc/" + std::to_string(shellPid) + "/task/" + std::to_string(shellPid) +
                                         "/children").c_str());
  ASSERT_GT(program, 0);
  ASSERT_EQ(::kill(static_cast<pid_t>(program), SIGTERM), 0);
  EXPECT_EQ(WaitForEnd(), 128 + SIGTERM);
  ExpectTerminalRestored();
}

}  // namespace

// ------------------------------------------------------------------------
// The progress window on the terminal. The driver below runs only inside the
// tmux session that the test after it starts (it needs a terminal): it shows
// template 131, steps both bars much as the aggregation does (1 000 steps of
// the overall bar, each with a sweep of ten activity steps and a repaint
// request after each, a little work between them), then waits in a message
// box; it writes how long the steps took and how many paints reached the
// terminal.
#include "platform/ui/Cursor.h"
#include "platform/ui/ShowMessage.h"
#include "platform/ui/tty/TtyBackend.h"
#include "resources/Resources.h"

namespace {

TEST(ProgressWindowDriver, StepsAndWaits) {
  const char* report = std::getenv("TAXBRIDGE_TTY_PROGRESS_REPORT");
  if (!report) GTEST_SKIP() << "runs only inside the terminal session of ProgressWindowOnTheTerminal";
  std::string error;
  auto backend = platform::ui::tty::TtyBackend::Open(&error);
  ASSERT_TRUE(backend) << error;
  platform::ui::InstallBackend(backend.get());
  {
    platform::ui::Dialog progress(resources::FindDialogTemplate(resources::kProgressDialog));
    ASSERT_TRUE(progress.Create());
    platform::ui::Control& overall = progress.Item(resources::kOverallBar);
    platform::ui::Control& activity = progress.Item(resources::kActivityBar);
    progress.ShowWindow(true);
    platform::ui::BeginWaitCursor();
    overall.SetRange(0, 1000);
    overall.SetStep(1);
    const long paintsBefore = backend->PaintCount();
    const long long start = NowMs();
    for (int i = 1; i <= 1000; ++i) {
      if (i % 10 == 0) progress.SetText("集計中 " + std::to_string(i / 10) + "％");
      overall.StepIt();
      activity.SetRange(0, 10);
      activity.SetPos(0);
      for (int k = 0; k < 10; ++k) {
        activity.StepIt();
        progress.UpdateWindow();
        ::usleep(50);
      }
      progress.UpdateWindow();
    }
    const long long elapsed = NowMs() - start;
    std::ofstream(report) << elapsed << " " << backend->PaintCount() - paintsBefore << "\n";
    platform::ui::ShowMessage(&progress, "done", "消費税", platform::ui::kMbOk | platform::ui::kMbIconInformation);
    platform::ui::EndWaitCursor();
    progress.EndDialog(1);
  }
  platform::ui::InstallBackend(nullptr);
}

TEST_F(TerminalRun, ProgressWindowOnTheTerminal) {
  const fs::path report = dir_ / "progress.txt";
  const std::string inner = "LANG=C.UTF-8 TAXBRIDGE_TTY_PROGRESS_REPORT=" + Quote(report.string()) + " " +
                            Quote(std::string(TAXBRIDGE_BINARY_DIR) + "/tests/test_tty") +
                            " --gtest_filter=ProgressWindowDriver.StepsAndWaits 2>/dev/null; echo $? > " +
                            Quote((dir_ / "status").string()) + "; stty -a > " + Quote((dir_ / "stty").string());
  ASSERT_EQ(std::system((Tmux() + " new-session -d -x 80 -y 24 -s run " + Quote("sh -c " + Quote(inner))).c_str()), 0);
  // The title at 100 %, the busy mark and the bars stay under the box.
  const std::string screen = WaitFor({"done", U8(u8"集計中 100％"), U8(u8"[ 処理中"), "[####"});
  const std::string bars = LineWith(screen, "[####");
  EXPECT_NE(bars, "") << screen;
  // Every step was asked to repaint (11 000 requests), yet the terminal was
  // painted no more than about thirty times a second.
  std::istringstream numbers(ReadAll(report));
  long long elapsedMs = -1;
  long paints = -1;
  numbers >> elapsedMs >> paints;
  ASSERT_GE(elapsedMs, 0) << ReadAll(report);
  EXPECT_GE(paints, 2);
  EXPECT_LE(paints, elapsedMs / 33 + 2) << elapsedMs << " ms, " << paints << " paints";
  Keys("Enter");
  EXPECT_EQ(WaitForEnd(), 0);
  ExpectTerminalRestored();
}

}  // namespace
