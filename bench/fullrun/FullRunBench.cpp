// full_run_bench: the whole-run benchmarks of taxbridge_plus, each run a child
// process under the script backend with its own C: drive (TAXBRIDGE_DRIVES)
// and its own installation (LEDGER_HOME), so no settings entry of an earlier
// run can choose its method.
//
//   full_run_bench BUILD_DIR CACHE_DIR LINES...
//
// A whole method-0 run on `ledger generate` company data of several sizes,
// each measured against the limit the hardware sets: one plain SQL pass over
// the same journal table that reads every line once (amounts and tax summed
// by category and rate). For every size the data is generated once (1 000
// accounts, 50 departments, 10 000 assets) into CACHE_DIR/LINES/ and reused
// by later runs until the ledger command is rebuilt. The run's wall time, CPU
// time and peak resident memory come from wait4. One line per size is
// printed: the pass's and the run's wall and CPU seconds, the ratio of the
// run's CPU time to the pass's, the run's peak MiB, the growth of the run's
// CPU time against the previous size (with the growth in lines beside it),
// and the document's size and FNV-1a hash (the same data must always give the
// same document). The script clicks the journal method (1029) and the
// transcript must show that the journal method ran.
//
//   full_run_bench demo BUILD_DIR CACHE_DIR DEMO_LEDGER_DIR [RUNS]
//
// On the demo company data (imported into CACHE_DIR/demo, corporation data 1):
// the conditions dialog's start-up (the company record, the saved return and
// the settings read, the dialog shown, then cancelled) and a whole run of the
// saved-return method (1031), each RUNS times (default 20). Printed: the
// median and the largest wall and CPU milliseconds of the whole process, and
// its peak MiB.
//
// The status is 0 when every run ended as it should and wrote its document.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
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

constexpr const char* kDataId = "G1";

using bench::Clock;
using bench::Measure;
using bench::Now;
using bench::Quote;
using bench::ReadAll;
using bench::Shell;

// Runs argv with `env` added to the environment, its output to `outputFile`.
Measure RunChild(const std::vector<std::string>& argv, const bench::Environment& env, const fs::path& outputFile) {
  return bench::RunChild(argv, env, outputFile.string());
}

// The installation's database (the ledger's own file name).
fs::path DatabaseOf(const fs::path& home) { return home / "ledger.db"; }

// One pass over every journal line of the data set: the grouped sum any
// consumption-tax figure needs at least. Returns the seconds it took, or a
// failed measure when the database cannot be read.
Measure PlainPass(const fs::path& database, int64_t* rowsRead) {
  Measure m;
  sqlite3* db = nullptr;
  // Opened as the ledger opens its store (no SQLite locking: one thread).
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return m;
  }
  const double start = Now();
  const double startCpu = Clock(CLOCK_PROCESS_CPUTIME_ID);
  sqlite3_stmt* st = nullptr;
  const char* sql =
      "SELECT dr_category, dr_rate, sum(dr_amount), sum(dr_tax), sum(cr_amount), sum(cr_tax), count(*) "
      "FROM journal_line WHERE data_id = ?1 GROUP BY 1, 2";
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, kDataId, -1, SQLITE_STATIC);
    int64_t rows = 0;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) rows += sqlite3_column_int64(st, 6);
    if (rc == SQLITE_DONE) {
      m.seconds = Now() - start;
      m.cpuSeconds = Clock(CLOCK_PROCESS_CPUTIME_ID) - startCpu;
      m.status = 0;
      *rowsRead = rows;
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return m;
}

// 64-bit FNV-1a of a file's bytes and its size; nullopt when it cannot be read.
std::optional<std::pair<uint64_t, uint64_t>> HashFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  uint64_t h = 1469598103934665603ull, size = 0;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      h = (h ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    }
    size += static_cast<uint64_t>(in.gcount());
  }
  return std::make_pair(h, size);
}

// A document path as the program is given it: the Windows form through Z:,
// quoted for a script line.
std::string ScriptPath(const fs::path& document) {
  std::string quoted = "Z:";
  for (char c : document.string()) quoted += c == '/' ? std::string("\\\\") : std::string(1, c);
  return quoted;
}

// The whole year, the journal method clicked, the document written under the
// installation, and the closing box answered. The notice about undetermined
// import categories comes under general taxation when such lines exist; the
// generated data has them.
std::string JournalScript(const fs::path& document) {
  return "click 1029\ntype 1008 \"" + ScriptPath(document) + "\"\nkey F12\nanswer OK\nanswer OK\n";
}

// The saved-return method clicked, the document named, the closing box answered.
std::string SavedReturnScript(const fs::path& document) {
  return "click 1031\ntype 1008 \"" + ScriptPath(document) + "\"\nkey F12\nanswer OK\n";
}

// A fresh folder for one run: its own C: drive (an empty folder, so no
// settings file of another run is there) and the drive map naming it.
bool FreshRunFolder(const fs::path& work) {
  std::error_code ec;
  fs::remove_all(work, ec);
  fs::create_directories(work / "drive_c", ec);
  if (ec) return false;
  std::ofstream(work / "drives") << "C: \"" << (work / "drive_c").string() << "\"\n";
  return fs::exists(work / "drives");
}

std::vector<std::pair<std::string, std::string>> RunEnvironment(const fs::path& home, const fs::path& work) {
  return {{"LEDGER_HOME", home.string()},
          {"TAXBRIDGE_DRIVES", (work / "drives").string()},
          {"TAXBRIDGE_SCRIPT", (work / "script.txt").string()},
          {"TAXBRIDGE_TRANSCRIPT", (work / "transcript.txt").string()},
          {"HOME", work.string()}};
}

// Whether the conditions dialog was run (ended with 1005) with the radio button
// `radio` checked: the control lines after "dialog 130 ended 1005" name it so.
bool DialogEndedWithMethod(const std::string& transcript, const std::string& radio) {
  const std::string ended = "dialog 130 ended 1005\n";
  size_t at = transcript.find(ended);
  if (at == std::string::npos) return false;
  at += ended.size();
  while (at < transcript.size() && transcript.compare(at, 2, "  ") == 0) {
    const size_t end = transcript.find('\n', at);
    const std::string line = transcript.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (line.rfind("  " + radio + " radio ", 0) == 0) return line.find(" checked") != std::string::npos;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return false;
}

// The journal method ran: chosen in the dialog, and its progress window shown.
bool JournalMethodRan(const std::string& transcript) {
  return DialogEndedWithMethod(transcript, "1029") && transcript.find("\ndialog 131 shown") != std::string::npos;
}

// The saved-return method ran: chosen in the dialog, and no aggregation shown.
bool SavedReturnMethodRan(const std::string& transcript) {
  return DialogEndedWithMethod(transcript, "1031") && transcript.find("\ndialog 131 shown") == std::string::npos;
}

std::string DocumentText(const std::optional<std::pair<uint64_t, uint64_t>>& hash) {
  char doc[64] = "none";
  if (hash) std::snprintf(doc, sizeof doc, "%" PRIu64 " bytes fnv %016" PRIx64, hash->second, hash->first);
  return doc;
}

int FullRuns(const fs::path& build, const fs::path& cache, const std::vector<std::string>& sizes) {
  const fs::path program = build / "bin" / "taxbridge_plus";
  int failures = 0;
  // Times are in seconds; the ratio and the growth are of CPU time (user and
  // system), which other work on the machine disturbs far less than wall time.
  std::printf("%10s %9s %9s %9s %9s %7s %9s %14s  %s\n", "lines", "pass", "pass cpu", "run", "run cpu", "x pass",
              "peak MiB", "growth (lines)", "document");
  // Every size's data is made before any is measured: a database just
  // written is still being flushed to disk, which would burden the runs.
  std::vector<std::pair<int64_t, fs::path>> installations;
  for (const std::string& size : sizes) {
    const int64_t lines = std::atoll(size.c_str());
    if (lines <= 0) {
      std::fprintf(stderr, "full_run_bench: not a line count: %s\n", size.c_str());
      return 2;
    }
    const auto home = bench::GeneratedInstallation(build, cache, lines, "full_run_bench");
    if (!home) return 1;
    installations.emplace_back(lines, *home);
  }
  sync();
  double previousSeconds = 0;
  int64_t previousLines = 0;
  for (const auto& [lines, installation] : installations) {
    const std::optional<fs::path> home = installation;
    const fs::path database = DatabaseOf(*home);
    int64_t rows = 0;
    PlainPass(database, &rows);  // brings the file into the page cache, as it is for the run
    const Measure pass = PlainPass(database, &rows);
    if (pass.status != 0 || rows != lines) {
      std::fprintf(stderr, "full_run_bench: the plain pass over %s failed (%" PRId64 " rows)\n", database.c_str(), rows);
      return 1;
    }
    const fs::path work = *home / "run";
    if (!FreshRunFolder(work)) {
      std::fprintf(stderr, "full_run_bench: cannot make the run folder %s\n", work.c_str());
      return 1;
    }
    const fs::path document = work / "tax.xml";
    std::ofstream(work / "script.txt") << JournalScript(document);
    const Measure run =
        RunChild({program.string(), "0,1025,7,"}, RunEnvironment(*home, work), work / "output.txt");
    const auto hash = HashFile(document);
    const bool journal = JournalMethodRan(ReadAll(work / "transcript.txt"));
    std::string growth = "-";
    if (previousLines > 0 && previousSeconds > 0) {
      char text[64];
      std::snprintf(text, sizeof text, "%.2f (%.2f)", run.cpuSeconds / previousSeconds,
                    static_cast<double>(lines) / static_cast<double>(previousLines));
      growth = text;
    }
    std::printf("%10" PRId64 " %9.3f %9.3f %9.3f %9.3f %7.2f %9.1f %14s  %s\n", lines, pass.seconds,
                pass.cpuSeconds, run.seconds, run.cpuSeconds, run.cpuSeconds / pass.cpuSeconds, run.peakMiB,
                growth.c_str(), DocumentText(hash).c_str());
    std::fflush(stdout);
    if (run.status != 0 || !hash || !journal) {
      ++failures;
      std::fprintf(stderr, "full_run_bench: the run on %" PRId64 " lines ended with status %d%s%s; see %s\n", lines,
                   run.status, hash ? "" : " and wrote no document",
                   journal ? "" : " and its transcript does not show the journal method", work.c_str());
    }
    previousSeconds = run.cpuSeconds;
    previousLines = lines;
  }
  return failures == 0 ? 0 : 1;
}

struct Spread {
  double median = 0;
  double largest = 0;
};

Spread SpreadOf(std::vector<double> values) {
  Spread s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  s.median = values[values.size() / 2];
  s.largest = values.back();
  return s;
}

// `runs` runs of one script on the demo installation, each in a fresh run
// folder; `check` judges each run's exit status and transcript. Prints one
// line; false when a run did not end as it should.
bool DemoRuns(const fs::path& program, const fs::path& home, const fs::path& work, const char* label, int runs,
              const std::string& script, int expectedStatus, bool (*check)(const std::string&),
              const fs::path& document) {
  std::vector<double> wall, cpu;
  double peak = 0;
  std::optional<std::pair<uint64_t, uint64_t>> hash;
  for (int i = 0; i < runs; ++i) {
    if (!FreshRunFolder(work)) return false;
    std::ofstream(work / "script.txt") << script;
    const Measure m = RunChild({program.string()}, RunEnvironment(home, work), work / "output.txt");
    if (m.status != expectedStatus || !check(ReadAll(work / "transcript.txt"))) {
      std::fprintf(stderr, "full_run_bench: %s ended with status %d (expected %d) or not as expected; see %s\n", label,
                   m.status, expectedStatus, work.c_str());
      return false;
    }
    if (!document.empty()) {
      const auto h = HashFile(document);
      if (!h || (hash && *h != *hash)) {
        std::fprintf(stderr, "full_run_bench: %s wrote no document, or a different one; see %s\n", label,
                     work.c_str());
        return false;
      }
      hash = h;
    }
    wall.push_back(m.seconds * 1000);
    cpu.push_back(m.cpuSeconds * 1000);
    peak = std::max(peak, m.peakMiB);
  }
  const Spread w = SpreadOf(wall), c = SpreadOf(cpu);
  std::printf("%-22s %9.1f %9.1f %9.1f %9.1f %9.1f  %s\n", label, w.median, w.largest, c.median, c.largest, peak,
              document.empty() ? "-" : DocumentText(hash).c_str());
  std::fflush(stdout);
  return true;
}

bool DialogStarted(const std::string& transcript) {
  return transcript.find("dialog 130 shown") != std::string::npos &&
         transcript.find("dialog 130 ended") != std::string::npos;
}

int DemoBench(const fs::path& build, const fs::path& cache, const fs::path& demoLedger, int runs) {
  const fs::path program = build / "bin" / "taxbridge_plus";
  const fs::path home = cache / "demo";
  std::error_code ec;
  fs::remove_all(home, ec);
  fs::create_directories(home, ec);
  const std::string command = "LEDGER_HOME=" + Quote(home.string()) + " " + Quote((build / "bin" / "ledger").string());
  if (!Shell(command + " init >/dev/null") || !Shell(command + " import " + Quote(demoLedger.string()) + " >/dev/null") ||
      !Shell(command + " select 001 1 >/dev/null")) {
    std::fprintf(stderr, "full_run_bench: cannot import the demo data from %s\n", demoLedger.c_str());
    return 1;
  }
  const fs::path work = home / "run";
  std::printf("%-22s %9s %9s %9s %9s %9s  %s\n", "demo data 1, ms", "wall med", "wall max", "cpu med", "cpu max",
              "peak MiB", "document");
  // The dialog's start-up: everything up to the dialog shown, then cancelled
  // (and the box saying so answered).
  bool ok = DemoRuns(program, home, work, "dialog start-up", runs, "key Escape\nanswer OK\n", 1, DialogStarted,
                     fs::path());
  const fs::path document = work / "tax.xml";
  ok = DemoRuns(program, home, work, "saved-return method", runs, SavedReturnScript(document), 0,
                SavedReturnMethodRan, document) && ok;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "demo") {
    if (args.size() < 4) {
      std::fprintf(stderr, "usage: full_run_bench demo BUILD_DIR CACHE_DIR DEMO_LEDGER_DIR [RUNS]\n");
      return 2;
    }
    const int runs = args.size() > 4 ? std::atoi(args[4].c_str()) : 20;
    if (runs <= 0) {
      std::fprintf(stderr, "full_run_bench: not a number of runs: %s\n", args[4].c_str());
      return 2;
    }
    return DemoBench(fs::absolute(args[1]), fs::absolute(args[2]), fs::absolute(args[3]), runs);
  }
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: full_run_bench BUILD_DIR CACHE_DIR LINES...\n");
    return 2;
  }
  return FullRuns(fs::absolute(args[0]), fs::absolute(args[1]), std::vector<std::string>(args.begin() + 2, args.end()));
}
