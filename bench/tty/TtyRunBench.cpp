// tty_run_bench: the same journal-method run of taxbridge_plus under the
// terminal backend and under the script backend, RUNS times each, on one
// `ledger generate` data set of LINES journal lines.
//
//   tty_run_bench BUILD_DIR CACHE_DIR LINES RUNS
//   tty_run_bench --measure REPORT PROGRAM [ARGS...]   (used inside tmux)
//
// The terminal runs happen in a detached 80 x 24 tmux session: this program
// starts itself there with --measure, which runs taxbridge_plus as its child
// on the pane's terminal and writes the child's wall and CPU seconds and exit
// status to REPORT. Meanwhile the driver reads the screen with capture-pane
// and sends the keys a person would: Alt+N (the journal method), Alt+O and the
// output path, F12, then Enter on every message box up to the completion
// message. The script runs do the same through a script file (click 1029,
// type 1008, key F12, answer OK). Runs alternate between the two backends so
// that a change in the machine's load falls on both.
//
// What is judged is the CPU time (user and system) of the taxbridge_plus
// process alone: it leaves out tmux, this driver, and the time the program
// sits waiting for a key, none of which is the program's own work. Wall
// times are printed beside it for information; the terminal's include the
// time the driver takes to see each screen and answer it.
//
// Every run gets a fresh drive C: (so no stored settings entry carries over)
// and writes its document to a fresh folder; all documents must be equal
// byte for byte. The status is 0 when every run completed with equal
// documents and the median terminal CPU time is at most 1.1 times the median
// script CPU time; 1 otherwise.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/common/ChildRun.h"
#include "bench/common/GeneratedBooks.h"

namespace {

namespace fs = std::filesystem;

constexpr double kLimit = 1.1;

using bench::Measure;
using bench::Now;
using bench::Quote;
using bench::ReadAll;
using bench::Shell;
using test_support::Capture;

void SleepMs(int ms) { ::usleep(static_cast<useconds_t>(ms) * 1000); }

// Runs argv (stdout and stderr to `log` when given) and waits for it.
Measure RunChild(const std::vector<std::string>& argv, const std::string& log) { return bench::RunChild(argv, {}, log); }

// --measure REPORT PROGRAM ARGS...: runs the program on this terminal and
// writes "wall cpu status" to REPORT (through a temporary name, so that the
// driver never reads half a line).
int MeasureMode(int argc, char** argv) {
  if (argc < 4) return 2;
  std::vector<std::string> args(argv + 3, argv + argc);
  const Measure m = RunChild(args, "");
  const std::string report = argv[2];
  {
    std::ofstream out(report + ".part");
    out << m.seconds << " " << m.cpuSeconds << " " << m.status << "\n";
  }
  std::rename((report + ".part").c_str(), report.c_str());
  return 0;
}

std::string WindowsPath(const fs::path& p) {
  std::string out = "Z:" + p.string();
  for (char& c : out) c = c == '/' ? '\\' : c;
  return out;
}

// One run's folder: a fresh drive C: and the map that names it, a home and
// a temporary folder; the document goes to out/tax.xml.
struct RunFolder {
  fs::path dir;
  fs::path document() const { return dir / "out" / "tax.xml"; }
};

RunFolder FreshFolder(const fs::path& root, const std::string& name) {
  RunFolder f{root / name};
  fs::remove_all(f.dir);
  for (const char* sub : {"drive_c", "home", "tmp", "out"}) fs::create_directories(f.dir / sub);
  std::ofstream(f.dir / "drives") << "C: \"" << (f.dir / "drive_c").string() << "\"\n";
  return f;
}

void SetRunEnvironment(const fs::path& ledgerHome, const RunFolder& f) {
  setenv("LEDGER_HOME", ledgerHome.c_str(), 1);
  setenv("TAXBRIDGE_DRIVES", (f.dir / "drives").c_str(), 1);
  setenv("HOME", (f.dir / "home").c_str(), 1);
  setenv("TMPDIR", (f.dir / "tmp").c_str(), 1);
}

Measure ScriptRun(const fs::path& program, const fs::path& ledgerHome, const RunFolder& f) {
  std::string quoted;
  for (char c : WindowsPath(f.document())) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
  // The notice about undetermined import categories, then the completion
  // message; a line left over after the run ends is not read.
  std::ofstream(f.dir / "script.txt") << "click 1029\ntype 1008 \"" << quoted << "\"\nkey F12\nanswer OK\nanswer OK\n";
  SetRunEnvironment(ledgerHome, f);
  setenv("TAXBRIDGE_SCRIPT", (f.dir / "script.txt").c_str(), 1);
  setenv("TAXBRIDGE_TRANSCRIPT", (f.dir / "transcript.txt").c_str(), 1);
  const Measure m = RunChild({program.string()}, (f.dir / "log.txt").string());
  unsetenv("TAXBRIDGE_SCRIPT");
  unsetenv("TAXBRIDGE_TRANSCRIPT");
  return m;
}

// The terminal run, driven through tmux.
class TmuxSession {
 public:
  explicit TmuxSession(std::string socket) : socket_(std::move(socket)) {}
  ~TmuxSession() { Shell(Tmux() + " kill-server >/dev/null 2>&1"); }

  std::string Tmux() const { return "LANG=C.UTF-8 tmux -L " + socket_ + " -f /dev/null"; }
  bool Start(const std::string& command) {
    Shell(Tmux() + " kill-server >/dev/null 2>&1");
    return Shell(Tmux() + " new-session -d -x 80 -y 24 -s run " + Quote(command));
  }
  std::string Screen() const { return Capture(Tmux() + " capture-pane -p -t run 2>/dev/null"); }
  void Keys(const std::string& keys) { Shell(Tmux() + " send-keys -t run " + keys); }
  void Type(const std::string& text) { Shell(Tmux() + " send-keys -t run -l " + Quote(text)); }

  // Waits until the screen shows `text` (polling every 10 ms, at most
  // `seconds`); the screen, or nullopt.
  std::optional<std::string> WaitFor(const std::string& text, double seconds) {
    for (const double until = Now() + seconds; Now() < until;) {
      std::string screen = Screen();
      if (screen.find(text) != std::string::npos) return screen;
      SleepMs(10);
    }
    return std::nullopt;
  }

 private:
  std::string socket_;
};

const char kCaption[] = "\xE6\xB6\x88\xE8\xB2\xBB\xE7\xA8\x8E - \xE9\x9B\x86\xE8\xA8\x88\xE6\x9D\xA1\xE4\xBB\xB6";  // 消費税 - 集計条件 (UTF-8)
const char kJournalChecked[] = "(*) \xE9\x9B\x86\xE8\xA8\x88\xE6\x9C\x9F\xE9\x96\x93";  // (*) 集計期間
const char kCompleted[] =
    "\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\x8C\xE7\xB5\x82\xE4\xBA\x86\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F";  // 出力が終了しました

Measure TerminalRun(TmuxSession& tmux, const fs::path& self, const fs::path& program, const fs::path& ledgerHome,
                    const RunFolder& f, double timeoutSeconds) {
  Measure failed;
  const fs::path report = f.dir / "measure.txt";
  const std::string command =
      "unset TAXBRIDGE_SCRIPT TAXBRIDGE_TRANSCRIPT; LANG=C.UTF-8 LEDGER_HOME=" + Quote(ledgerHome.string()) +
      " TAXBRIDGE_DRIVES=" + Quote((f.dir / "drives").string()) + " HOME=" + Quote((f.dir / "home").string()) +
      " TMPDIR=" + Quote((f.dir / "tmp").string()) + " " + Quote(self.string()) + " --measure " +
      Quote(report.string()) + " " + Quote(program.string()) + " 2>" + Quote((f.dir / "log.txt").string());
  if (!tmux.Start("sh -c " + Quote(command))) return failed;
  auto fail = [&](const char* what) {
    std::fprintf(stderr, "tty_run_bench: %s; the screen shows:\n%s\n", what, tmux.Screen().c_str());
    return failed;
  };
  if (!tmux.WaitFor(kCaption, 30)) return fail("the dialog never showed");
  tmux.Keys("M-n");
  if (!tmux.WaitFor(kJournalChecked, 10)) return fail("Alt+N did not choose the journal method");
  tmux.Keys("M-o");
  const std::string path = WindowsPath(f.document());
  tmux.Type(path);
  if (!tmux.WaitFor("tax.xml", 10)) return fail("the output path did not appear");
  tmux.Keys("F12");
  // Answer every message box (an OK with the dialog gone) until the
  // completion message has been answered and the program has ended.
  bool completed = false;
  for (const double until = Now() + timeoutSeconds; Now() < until && !fs::exists(report);) {
    const std::string screen = tmux.Screen();
    if (screen.find("OK") != std::string::npos && screen.find(kCaption) == std::string::npos) {
      completed = completed || screen.find(kCompleted) != std::string::npos;
      tmux.Keys("Enter");
      for (int i = 0; i < 100 && tmux.Screen() == screen && !fs::exists(report); ++i) SleepMs(10);
      continue;
    }
    // While the run works, look at the screen ten times a second, as a
    // person would: every look starts a shell and a tmux client, and at 100
    // looks a second they took a good part of the second core from the run.
    SleepMs(100);
  }
  if (!fs::exists(report)) return fail("the run did not end in time");
  if (!completed) std::fprintf(stderr, "tty_run_bench: the terminal run never showed the completion message\n");
  Measure m;
  std::istringstream(ReadAll(report)) >> m.seconds >> m.cpuSeconds >> m.status;
  if (!completed && m.status == 0) m.status = -1;
  return m;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--measure") == 0) return MeasureMode(argc, argv);
  if (argc != 5) {
    std::fprintf(stderr, "usage: tty_run_bench BUILD_DIR CACHE_DIR LINES RUNS\n");
    return 2;
  }
  if (!Shell("command -v tmux >/dev/null 2>&1")) {
    std::fprintf(stderr, "tty_run_bench: tmux is not installed (make deps installs it)\n");
    return 1;
  }
  const fs::path build = fs::absolute(argv[1]);
  const fs::path cache = fs::absolute(argv[2]);
  const int64_t lines = std::atoll(argv[3]);
  const int runs = std::atoi(argv[4]);
  if (lines <= 0 || runs <= 0) {
    std::fprintf(stderr, "tty_run_bench: LINES and RUNS must be positive\n");
    return 2;
  }
  const fs::path program = build / "bin" / "taxbridge_plus";
  const fs::path self = fs::canonical("/proc/self/exe");
  const auto home = bench::GeneratedInstallation(build, cache, lines, "tty_run_bench");
  if (!home) return 1;
  const fs::path work = cache / ("runs-" + std::to_string(::getpid()));
  TmuxSession tmux("tbbench" + std::to_string(::getpid()));

  // One unmeasured run each way first: the database file into the page
  // cache, the programs loaded, as they are for every measured run after.
  int failures = 0;
  std::string firstDocument;
  auto check = [&](const char* backend, int run, const Measure& m, const RunFolder& f) {
    const std::string doc = ReadAll(f.document());
    if (m.status != 0 || doc.empty()) {
      std::fprintf(stderr, "tty_run_bench: %s run %d ended with status %d%s; see %s\n", backend, run, m.status,
                   doc.empty() ? " and wrote no document" : "", f.dir.c_str());
      ++failures;
      return false;
    }
    if (firstDocument.empty()) firstDocument = doc;
    if (doc != firstDocument) {
      std::fprintf(stderr, "tty_run_bench: the %s run %d wrote a different document; see %s\n", backend, run,
                   f.dir.c_str());
      ++failures;
      return false;
    }
    fs::remove_all(f.dir);
    return true;
  };
  const double runTimeout = 600;
  check("script", 0, ScriptRun(program, *home, FreshFolder(work, "s0")), RunFolder{work / "s0"});
  check("terminal", 0, TerminalRun(tmux, self, program, *home, FreshFolder(work, "t0"), runTimeout),
        RunFolder{work / "t0"});
  if (failures > 0) return 1;

  std::printf("%" PRId64 " journal lines, %d runs each way (seconds; CPU is user + system of taxbridge_plus)\n",
              lines, runs);
  std::printf("%4s %12s %12s %12s %12s\n", "run", "script cpu", "tty cpu", "script wall", "tty wall");
  std::vector<double> scriptCpu, ttyCpu, scriptWall, ttyWall;
  for (int i = 1; i <= runs; ++i) {
    const RunFolder s = FreshFolder(work, "s" + std::to_string(i));
    const Measure sm = ScriptRun(program, *home, s);
    const RunFolder t = FreshFolder(work, "t" + std::to_string(i));
    const Measure tm = TerminalRun(tmux, self, program, *home, t, runTimeout);
    if (!check("script", i, sm, s) || !check("terminal", i, tm, t)) continue;
    scriptCpu.push_back(sm.cpuSeconds);
    ttyCpu.push_back(tm.cpuSeconds);
    scriptWall.push_back(sm.seconds);
    ttyWall.push_back(tm.seconds);
    std::printf("%4d %12.3f %12.3f %12.3f %12.3f\n", i, sm.cpuSeconds, tm.cpuSeconds, sm.seconds, tm.seconds);
    std::fflush(stdout);
  }
  fs::remove_all(work);
  if (scriptCpu.empty()) return 1;
  const double ratio = Median(ttyCpu) / Median(scriptCpu);
  std::printf("%4s %12.3f %12.3f %12.3f %12.3f\n", "med", Median(scriptCpu), Median(ttyCpu), Median(scriptWall),
              Median(ttyWall));
  std::printf("terminal / script CPU time: %.3f (limit %.2f): %s; wall time ratio %.3f\n", ratio, kLimit,
              ratio <= kLimit ? "within" : "OVER", Median(ttyWall) / Median(scriptWall));
  std::printf("all %zu documents equal (%zu bytes)\n", 2 * scriptCpu.size() + 2, firstDocument.size());
  return failures == 0 && ratio <= kLimit ? 0 : 1;
}
