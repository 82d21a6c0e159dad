// full_run_bench: the whole-run benchmarks of taxbridge_plus, each run a child
// process under the script backend with its own C: drive (TAXBRIDGE_DRIVES)
// and its own installation (LEDGER_HOME), so no settings entry of an earlier
// run can choose its method.
//
//   full_run_bench [--repeat N] --peer PEER_SCRIPT BUILD_DIR CACHE_DIR LINES...
//
// A whole method-0 run on `ledger generate` company data of several sizes,
// each measured against three baselines on the same database:
//   - the plain scan, the floor: one query that reads every journal line of
//     the data set once and sums both sides' amounts and tax, nothing grouped;
//   - the grouped pass: the same sums grouped by the debit side's category
//     and rate (SQLite sorts every line for it);
//   - the peer: PEER_SCRIPT under python3 with its standard sqlite3 module,
//     one GROUP BY query per side of the journal by tax category, rate and
//     business type, as a short script would get a return's figures.
// Both queries run in this process on a connection opened as the ledger
// opens its store; the peer and the run are child processes (their times and
// peak memory from wait4). For every size the data is generated once (1 000
// accounts, 50 departments, 10 000 assets) into CACHE_DIR/LINES/ and reused
// by later runs until the ledger command is rebuilt. The four take turns, N
// rounds (default 3), each round starting one further on; the medians are
// printed, one line per size: each baseline's and the run's wall and CPU
// seconds, the ratios of the run's CPU time to each baseline's, the run's
// largest peak MiB, the growth of the run's CPU time against the previous
// size (with the growth in lines beside it), and the document's size and
// FNV-1a hash. The script clicks the journal method (1029) and the
// transcript must show that the journal method ran; every run must write
// the same document, and the grouped pass's and the peer's totals must be
// the plain scan's. Without python3 or its sqlite3 module the peer is
// skipped and the status is 1.
//
//   full_run_bench demo BUILD_DIR CACHE_DIR DEMO_LEDGER_DIR [RUNS [LINES...]]
//
// On the demo company data (imported into CACHE_DIR/demo, corporation data 1)
// and then on each generated company of LINES journal lines (a copy in
// CACHE_DIR/LINES-saved given demo data 1's saved return, its period and tax
// settings made the data set's own, so the saved-return method is offered):
// the conditions dialog's start-up (the company record, the saved return and
// the settings read, the dialog shown, then cancelled; the whole process, an
// upper bound of the time until the dialog is shown) and a whole run of the
// saved-return method (1031), each RUNS times (default 20). Printed: the
// median and the largest wall and CPU milliseconds of the whole process, and
// its peak MiB.
//
//   full_run_bench big BUILD_DIR CACHE_DIR [LINES]
//
// One journal-method run on a generated company of LINES journal lines
// (default 5 000 000), end to end: its wall and CPU seconds, peak MiB and
// document.
//
// The status is 0 when every run and baseline ended as it should and every
// run wrote its document.
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

// The line count and the amount and tax sums of both sides of a data set's
// journal: what the scan, the grouped pass and the peer must all agree on.
struct Totals {
  int64_t lines = 0, drAmount = 0, drTax = 0, crAmount = 0, crTax = 0;
  bool operator==(const Totals&) const = default;
};

std::string TotalsText(const Totals& t) {
  char text[160];
  std::snprintf(text, sizeof text,
                "%" PRId64 " lines, debit %" PRId64 " / %" PRId64 ", credit %" PRId64 " / %" PRId64, t.lines,
                t.drAmount, t.drTax, t.crAmount, t.crTax);
  return text;
}

// Runs one query over the data set's journal on a connection opened as the
// ledger opens its store (read-only, no SQLite locking: one thread), adding
// columns 1-5 of every row it gives (count, debit amount and tax, credit
// amount and tax) into `totals`. The measure's times are this process's.
Measure TimedQuery(const fs::path& database, const char* sql, Totals* totals) {
  Measure m;
  *totals = Totals{};
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return m;
  }
  const double start = Now();
  const double startCpu = Clock(CLOCK_PROCESS_CPUTIME_ID);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, kDataId, -1, SQLITE_STATIC);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      totals->lines += sqlite3_column_int64(st, 0);
      totals->drAmount += sqlite3_column_int64(st, 1);
      totals->drTax += sqlite3_column_int64(st, 2);
      totals->crAmount += sqlite3_column_int64(st, 3);
      totals->crTax += sqlite3_column_int64(st, 4);
    }
    if (rc == SQLITE_DONE) {
      m.seconds = Now() - start;
      m.cpuSeconds = Clock(CLOCK_PROCESS_CPUTIME_ID) - startCpu;
      m.status = 0;
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return m;
}

// The floor: one scan that reads every journal line of the data set once and
// sums it, with no grouping and nothing kept per line.
Measure PlainScan(const fs::path& database, Totals* totals) {
  return TimedQuery(database,
                    "SELECT count(*), sum(dr_amount), sum(dr_tax), sum(cr_amount), sum(cr_tax) "
                    "FROM journal_line WHERE data_id = ?1",
                    totals);
}

// The grouped sum any consumption-tax figure needs at least: the lines by
// the debit side's category and rate (SQLite sorts every line for it).
Measure GroupedPass(const fs::path& database, Totals* totals) {
  return TimedQuery(database,
                    "SELECT count(*), sum(dr_amount), sum(dr_tax), sum(cr_amount), sum(cr_tax), dr_category, dr_rate "
                    "FROM journal_line WHERE data_id = ?1 GROUP BY dr_category, dr_rate",
                    totals);
}

// The python3 to run the peer script with: the first on PATH, when it can
// import its sqlite3 module. Empty (and the reason in `why`) otherwise.
std::string PeerInterpreter(std::string* why) {
  const char* path = std::getenv("PATH");
  std::string found;
  std::stringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const fs::path candidate = fs::path(folder.empty() ? "." : folder) / "python3";
    if (access(candidate.c_str(), X_OK) == 0) {
      found = candidate.string();
      break;
    }
  }
  if (found.empty()) {
    *why = "python3 is not on PATH";
    return "";
  }
  if (!Shell(Quote(found) + " -c 'import sqlite3' >/dev/null 2>&1")) {
    *why = found + " cannot import its sqlite3 module";
    return "";
  }
  return found;
}

// The peer: the script as a child process (its CPU time from wait4), its
// output to `output`; `totals` read from its "total" line.
Measure PeerRun(const std::string& python, const fs::path& script, const fs::path& database, const fs::path& output,
                Totals* totals) {
  Measure m = RunChild({python, script.string(), database.string(), kDataId}, {}, output);
  *totals = Totals{};
  std::stringstream lines(ReadAll(output));
  bool seen = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("total ", 0) != 0) continue;
    std::stringstream fields(line.substr(6));
    seen = static_cast<bool>(fields >> totals->lines >> totals->drAmount >> totals->drTax >> totals->crAmount >>
                             totals->crTax);
  }
  if (!seen && m.status == 0) m.status = -1;
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

// One journal-method run of `program` on the installation `home`, in the
// fresh run folder `work`; its document is `work`/tax.xml. `hash` is the
// document's size and hash; `ran` whether the transcript shows the journal
// method ran.
Measure JournalRun(const fs::path& program, const fs::path& home, const fs::path& work,
                   std::optional<std::pair<uint64_t, uint64_t>>* hash, bool* ran) {
  *hash = std::nullopt;
  *ran = false;
  if (!FreshRunFolder(work)) {
    std::fprintf(stderr, "full_run_bench: cannot make the run folder %s\n", work.c_str());
    return Measure{};
  }
  const fs::path document = work / "tax.xml";
  std::ofstream(work / "script.txt") << JournalScript(document);
  const Measure run = RunChild({program.string(), "0,1025,7,"}, RunEnvironment(home, work), work / "output.txt");
  *hash = HashFile(document);
  *ran = JournalMethodRan(ReadAll(work / "transcript.txt"));
  return run;
}

// The median wall and CPU time of some measures, and their largest peak.
Measure MedianOf(const std::vector<Measure>& measures) {
  Measure m;
  if (measures.empty()) return m;
  std::vector<double> wall, cpu;
  for (const Measure& x : measures) {
    wall.push_back(x.seconds);
    cpu.push_back(x.cpuSeconds);
    m.peakMiB = std::max(m.peakMiB, x.peakMiB);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  m.seconds = wall[wall.size() / 2];
  m.cpuSeconds = cpu[cpu.size() / 2];
  m.status = 0;
  return m;
}

std::string Ratio(double run, double baseline) {
  if (baseline <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", run / baseline);
  return text;
}

// What the whole-run part measures on one installation, `repeat` rounds.
struct SizeResult {
  Measure scan, grouped, peer, run;
  std::optional<std::pair<uint64_t, uint64_t>> document;
  bool ok = true;
};

SizeResult MeasureSize(const fs::path& program, const fs::path& home, int64_t lines, int repeat,
                       const std::string& python, const fs::path& peerScript) {
  SizeResult result;
  const fs::path database = DatabaseOf(home);
  auto fail = [&](const std::string& what) {
    std::fprintf(stderr, "full_run_bench: %" PRId64 " lines: %s\n", lines, what.c_str());
    result.ok = false;
  };
  // The reference totals; this scan also brings the file into the page
  // cache, as it is for every later pass and run.
  Totals expected;
  if (PlainScan(database, &expected).status != 0 || expected.lines != lines) {
    fail("the plain scan over " + database.string() + " failed or counted " + std::to_string(expected.lines) +
         " lines");
    return result;
  }
  std::vector<Measure> scans, groupeds, peers, runs;
  // Each round runs the four once, starting one further on every round, so
  // no one of them always comes first after the others.
  for (int round = 0; round < repeat && result.ok; ++round) {
    for (int k = 0; k < 4 && result.ok; ++k) {
      Totals totals;
      switch ((round + k) % 4) {
        case 0: {
          const Measure m = PlainScan(database, &totals);
          if (m.status != 0 || totals != expected) fail("the plain scan gave " + TotalsText(totals));
          scans.push_back(m);
          break;
        }
        case 1: {
          const Measure m = GroupedPass(database, &totals);
          if (m.status != 0 || totals != expected)
            fail("the grouped pass gave " + TotalsText(totals) + ", the plain scan " + TotalsText(expected));
          groupeds.push_back(m);
          break;
        }
        case 2: {
          if (python.empty()) break;
          const fs::path output = home / "peer.txt";
          const Measure m = PeerRun(python, peerScript, database, output, &totals);
          if (m.status != 0 || totals != expected)
            fail("the peer ended with status " + std::to_string(m.status) + " and gave " + TotalsText(totals) +
                 ", the plain scan " + TotalsText(expected) + "; see " + output.string());
          peers.push_back(m);
          break;
        }
        case 3: {
          std::optional<std::pair<uint64_t, uint64_t>> hash;
          bool journal = false;
          const fs::path work = home / "run";
          const Measure m = JournalRun(program, home, work, &hash, &journal);
          runs.push_back(m);
          if (m.status != 0 || !hash || !journal) {
            fail("the run ended with status " + std::to_string(m.status) + (hash ? "" : " and wrote no document") +
                 (journal ? "" : " and its transcript does not show the journal method") + "; see " +
                 work.string());
          } else if (result.document && *hash != *result.document) {
            fail("the run wrote " + DocumentText(hash) + ", an earlier run " + DocumentText(result.document) +
                 "; see " + work.string());
          } else {
            result.document = hash;
          }
          break;
        }
      }
    }
  }
  result.scan = MedianOf(scans);
  result.grouped = MedianOf(groupeds);
  result.peer = MedianOf(peers);
  result.run = MedianOf(runs);
  return result;
}

int FullRuns(const fs::path& build, const fs::path& cache, const std::vector<std::string>& sizes, int repeat,
             const fs::path& peerScript) {
  const fs::path program = build / "bin" / "taxbridge_plus";
  int failures = 0;
  std::string why;
  const std::string python = PeerInterpreter(&why);
  if (python.empty()) {
    std::fprintf(stderr, "full_run_bench: %s: the peer baseline (%s) is skipped, and the bench fails\n", why.c_str(),
                 peerScript.c_str());
    ++failures;
  } else if (!fs::exists(peerScript)) {
    std::fprintf(stderr, "full_run_bench: no peer script %s: the peer baseline is skipped, and the bench fails\n",
                 peerScript.c_str());
    ++failures;
  }
  const std::string peer = python.empty() || !fs::exists(peerScript) ? std::string() : python;
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
  // Times are in seconds, each the median of `repeat` rounds; the ratios and
  // the growth are of CPU time (user and system), which other work on the
  // machine disturbs far less than wall time.
  std::printf("medians of %d rounds; seconds (wall, cpu); ratios of cpu time\n", repeat);
  std::printf("%10s %8s %8s %8s %8s %8s %8s %8s %8s %7s %7s %7s %8s %14s  %s\n", "lines", "scan", "scan cpu",
              "grouped", "grp cpu", "peer", "peer cpu", "run", "run cpu", "x scan", "x grp", "x peer", "peak MiB",
              "growth (lines)", "document");
  double previousSeconds = 0;
  int64_t previousLines = 0;
  for (const auto& [lines, home] : installations) {
    const SizeResult r = MeasureSize(program, home, lines, repeat, peer, peerScript);
    if (!r.ok) {
      ++failures;
      std::printf("%10" PRId64 " failed\n", lines);
      std::fflush(stdout);
      previousLines = 0;
      continue;
    }
    std::string growth = "-";
    if (previousLines > 0 && previousSeconds > 0) {
      char text[64];
      std::snprintf(text, sizeof text, "%.2f (%.2f)", r.run.cpuSeconds / previousSeconds,
                    static_cast<double>(lines) / static_cast<double>(previousLines));
      growth = text;
    }
    const bool peerRan = r.peer.status == 0;
    char peerWall[32] = "-", peerCpu[32] = "-";
    if (peerRan) {
      std::snprintf(peerWall, sizeof peerWall, "%.3f", r.peer.seconds);
      std::snprintf(peerCpu, sizeof peerCpu, "%.3f", r.peer.cpuSeconds);
    }
    std::printf("%10" PRId64 " %8.3f %8.3f %8.3f %8.3f %8s %8s %8.3f %8.3f %7s %7s %7s %8.1f %14s  %s\n", lines,
                r.scan.seconds, r.scan.cpuSeconds, r.grouped.seconds, r.grouped.cpuSeconds, peerWall, peerCpu,
                r.run.seconds, r.run.cpuSeconds, Ratio(r.run.cpuSeconds, r.scan.cpuSeconds).c_str(),
                Ratio(r.run.cpuSeconds, r.grouped.cpuSeconds).c_str(),
                peerRan ? Ratio(r.run.cpuSeconds, r.peer.cpuSeconds).c_str() : "-", r.run.peakMiB, growth.c_str(),
                DocumentText(r.document).c_str());
    std::fflush(stdout);
    previousSeconds = r.run.cpuSeconds;
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

// The data set's own values a saved return must repeat to be offered: the
// period, the closing pattern, the taxation kind and the deduction method.
// Empty when the database cannot be read.
std::vector<std::pair<std::string, std::string>> MatchingReturnFields(const fs::path& database) {
  std::vector<std::pair<std::string, std::string>> fields;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return fields;
  }
  sqlite3_stmt* st = nullptr;
  const char* sql =
      "SELECT d.period_start, d.period_end, d.closing_pattern, t.tax_method, t.deduction_method "
      "FROM data_entry d JOIN tax_settings t ON t.data_id = d.data_id WHERE d.data_id = ?1";
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, kDataId, -1, SQLITE_STATIC);
    if (sqlite3_step(st) == SQLITE_ROW) {
      const std::string start = std::to_string(sqlite3_column_int64(st, 0));
      const std::string end = std::to_string(sqlite3_column_int64(st, 1));
      fields = {{"period_start", start},
                {"period_end", end},
                {"year_start", start},
                {"year_end", end},
                {"return_start", start},
                {"return_end", end},
                {"closing_pattern", std::to_string(sqlite3_column_int64(st, 2))},
                {"taxation_kind", sqlite3_column_int64(st, 3) == 1 ? "2" : "1"},
                {"deduction_method", std::to_string(sqlite3_column_int64(st, 4))}};
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return fields;
}

// A copy of the generated installation of `lines` journal lines, in
// `cache`/LINES-saved, whose data set has a saved return that matches it, so
// the saved-return method is offered: demo data 1's saved return with its
// period, closing pattern, taxation kind and deduction method replaced by the
// data set's own. Made afresh on every call; none when it cannot be made.
std::optional<fs::path> SavedReturnInstallation(const fs::path& build, const fs::path& cache, int64_t lines,
                                                const fs::path& demoLedger) {
  const auto source = bench::GeneratedInstallation(build, cache, lines, "full_run_bench");
  if (!source) return std::nullopt;
  const fs::path home = cache / (std::to_string(lines) + "-saved");
  std::error_code ec;
  fs::remove_all(home, ec);
  fs::create_directories(home / "import", ec);
  for (const char* name : {"ledger.db", "ledger.ini"}) {
    fs::copy_file(*source / name, home / name, ec);
    if (ec) {
      std::fprintf(stderr, "full_run_bench: cannot copy %s into %s\n", (*source / name).c_str(), home.c_str());
      return std::nullopt;
    }
  }
  const auto matching = MatchingReturnFields(DatabaseOf(home));
  if (matching.empty()) {
    std::fprintf(stderr, "full_run_bench: cannot read data set %s's period and tax settings in %s\n", kDataId,
                 home.c_str());
    return std::nullopt;
  }
  std::stringstream demo(ReadAll(demoLedger / "saved_return.csv"));
  std::string csv = "data_no,field,value\n";
  int taken = 0;
  for (std::string line; std::getline(demo, line);) {
    if (line.rfind("1,", 0) != 0) continue;  // demo data 1's rows only
    const size_t comma = line.find(',', 2);
    if (comma == std::string::npos) continue;
    const std::string field = line.substr(2, comma - 2);
    auto own = std::find_if(matching.begin(), matching.end(), [&](const auto& f) { return f.first == field; });
    csv += own == matching.end() ? line + "\n" : "1," + field + "," + own->second + "\n";
    ++taken;
  }
  if (taken == 0) {
    std::fprintf(stderr, "full_run_bench: no saved return of data 1 in %s\n", (demoLedger / "saved_return.csv").c_str());
    return std::nullopt;
  }
  std::ofstream(home / "import" / "saved_return.csv") << csv;
  const std::string command = "LEDGER_HOME=" + Quote(home.string()) + " " + Quote((build / "bin" / "ledger").string());
  if (!Shell(command + " import " + Quote((home / "import").string()) + " >/dev/null") ||
      !Shell(command + " select 001 1 >/dev/null")) {
    std::fprintf(stderr, "full_run_bench: cannot import the saved return into %s\n", home.c_str());
    return std::nullopt;
  }
  return home;
}

// The dialog's start-up and the saved-return method, `runs` times each, on
// one installation; false when a run did not end as it should.
bool StartUpAndSavedReturn(const fs::path& program, const fs::path& home, const std::string& title, int runs) {
  const fs::path work = home / "run";
  std::printf("%-22s %9s %9s %9s %9s %9s  %s\n", title.c_str(), "wall med", "wall max", "cpu med", "cpu max",
              "peak MiB", "document");
  // The dialog's start-up: everything up to the dialog shown, then cancelled
  // (and the box saying so answered). The whole process is timed, so this is
  // an upper bound of the time until the dialog is shown.
  bool ok = DemoRuns(program, home, work, "dialog start-up", runs, "key Escape\nanswer OK\n", 1, DialogStarted,
                     fs::path());
  const fs::path document = work / "tax.xml";
  ok = DemoRuns(program, home, work, "saved-return method", runs, SavedReturnScript(document), 0,
                SavedReturnMethodRan, document) && ok;
  return ok;
}

int DemoBench(const fs::path& build, const fs::path& cache, const fs::path& demoLedger, int runs,
              const std::vector<int64_t>& generatedSizes) {
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
  bool ok = StartUpAndSavedReturn(program, home, "demo data 1, ms", runs);
  for (const int64_t lines : generatedSizes) {
    const auto saved = SavedReturnInstallation(build, cache, lines, demoLedger);
    if (!saved) {
      ok = false;
      continue;
    }
    sync();
    ok = StartUpAndSavedReturn(program, *saved, std::to_string(lines) + " lines, ms", runs) && ok;
  }
  return ok ? 0 : 1;
}

// One journal-method run on a generated company of `lines` lines, end to
// end: its wall and CPU seconds, peak memory and document.
int BigRun(const fs::path& build, const fs::path& cache, int64_t lines) {
  const fs::path program = build / "bin" / "taxbridge_plus";
  const auto home = bench::GeneratedInstallation(build, cache, lines, "full_run_bench");
  if (!home) return 1;
  sync();
  std::optional<std::pair<uint64_t, uint64_t>> hash;
  bool journal = false;
  const fs::path work = *home / "run";
  const Measure m = JournalRun(program, *home, work, &hash, &journal);
  std::printf("%10s %9s %9s %9s  %s\n", "lines", "run", "run cpu", "peak MiB", "document");
  std::printf("%10" PRId64 " %9.3f %9.3f %9.1f  %s\n", lines, m.seconds, m.cpuSeconds, m.peakMiB,
              DocumentText(hash).c_str());
  std::fflush(stdout);
  if (m.status != 0 || !hash || !journal) {
    std::fprintf(stderr, "full_run_bench: the run on %" PRId64 " lines ended with status %d%s%s; see %s\n", lines,
                 m.status, hash ? "" : " and wrote no document",
                 journal ? "" : " and its transcript does not show the journal method", work.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto count = [](const std::string& text, int64_t* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) return false;
    *value = std::atoll(text.c_str());
    return *value > 0;
  };
  if (!args.empty() && args[0] == "demo") {
    if (args.size() < 4) {
      std::fprintf(stderr, "usage: full_run_bench demo BUILD_DIR CACHE_DIR DEMO_LEDGER_DIR [RUNS [LINES...]]\n");
      return 2;
    }
    int64_t runs = 20;
    if (args.size() > 4 && !count(args[4], &runs)) {
      std::fprintf(stderr, "full_run_bench: not a number of runs: %s\n", args[4].c_str());
      return 2;
    }
    std::vector<int64_t> sizes;
    for (size_t i = 5; i < args.size(); ++i) {
      int64_t lines = 0;
      if (!count(args[i], &lines)) {
        std::fprintf(stderr, "full_run_bench: not a line count: %s\n", args[i].c_str());
        return 2;
      }
      sizes.push_back(lines);
    }
    return DemoBench(fs::absolute(args[1]), fs::absolute(args[2]), fs::absolute(args[3]), static_cast<int>(runs),
                     sizes);
  }
  if (!args.empty() && args[0] == "big") {
    int64_t lines = 5000000;
    if (args.size() < 3 || args.size() > 4 || (args.size() == 4 && !count(args[3], &lines))) {
      std::fprintf(stderr, "usage: full_run_bench big BUILD_DIR CACHE_DIR [LINES]\n");
      return 2;
    }
    return BigRun(fs::absolute(args[1]), fs::absolute(args[2]), lines);
  }
  int64_t repeat = 3;
  fs::path peerScript;
  while (!args.empty() && args[0].rfind("--", 0) == 0) {
    if (args[0] == "--repeat" && args.size() > 1 && count(args[1], &repeat)) {
    } else if (args[0] == "--peer" && args.size() > 1) {
      peerScript = fs::absolute(args[1]);
    } else {
      std::fprintf(stderr, "full_run_bench: unknown option or missing value: %s\n", args[0].c_str());
      return 2;
    }
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() < 3 || peerScript.empty()) {
    std::fprintf(stderr, "usage: full_run_bench [--repeat N] --peer PEER_SCRIPT BUILD_DIR CACHE_DIR LINES...\n");
    return 2;
  }
  return FullRuns(fs::absolute(args[0]), fs::absolute(args[1]), std::vector<std::string>(args.begin() + 2, args.end()),
                  static_cast<int>(repeat), peerScript);
}
