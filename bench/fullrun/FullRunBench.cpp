// full_run_bench: a whole method-0 run of taxbridge_plus on `ledger generate`
// company data of several sizes, each measured against the limit the hardware
// sets: one plain SQL pass over the same journal table that reads every line
// once (amounts and tax summed by category and rate).
//
//   full_run_bench BUILD_DIR CACHE_DIR LINES...
//
// For every size the data is generated once (1 000 accounts, 50 departments,
// 10 000 assets) into CACHE_DIR/LINES/ and reused by later runs until the
// ledger command is rebuilt. The program
// under test runs as a child with the script backend; its wall time and peak
// resident memory come from wait4. One line per size is printed: the pass's
// and the run's wall and CPU seconds, the ratio of the run's CPU time to the
// pass's, the run's peak MiB, the growth of the run's CPU time against the
// previous size (with the growth in lines beside it), and the document's size
// and FNV-1a hash (the same data must always give the same document).
// The status is 0 when every run ended with status 0 and wrote its document.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kDataId = "G1";

struct Measure {
  double seconds = 0;     // wall time
  double cpuSeconds = 0;  // user and system time
  double peakMiB = 0;
  int status = -1;
};

// Seconds on the monotonic clock (<chrono> cannot be compiled under this
// build's Shift_JIS execution character set).
double Clock(clockid_t id) {
  timespec t{};
  clock_gettime(id, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
double Now() { return Clock(CLOCK_MONOTONIC); }
double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; }

// Runs argv with `env` added to the environment; wall time, peak memory and
// exit status of the child.
Measure RunChild(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
                 const fs::path& outputFile) {
  Measure m;
  std::fflush(nullptr);  // the child must not print what the parent buffered
  const double start = Now();
  const pid_t pid = fork();
  if (pid < 0) return m;
  if (pid == 0) {
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    std::FILE* out = std::freopen(outputFile.c_str(), "w", stdout);
    if (out == nullptr || dup2(fileno(stdout), 2) < 0) _exit(127);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return m;
  m.seconds = Now() - start;
  m.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  m.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
  m.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return m;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// The installation for `lines`, generated when the cache does not hold it.
std::optional<fs::path> Installation(const fs::path& build, const fs::path& cache, int64_t lines) {
  const fs::path home = cache / std::to_string(lines);
  const fs::path tool = build / "bin" / "ledger";
  // A ledger built since the data was made may lay it out differently.
  std::error_code ec;
  if (fs::exists(home / "ready") && fs::last_write_time(home / "ready", ec) >= fs::last_write_time(tool, ec))
    return home;
  fs::remove_all(home);
  fs::create_directories(home);
  std::fprintf(stderr, "full_run_bench: generating %" PRId64 " journal lines into %s\n", lines, home.c_str());
  const std::string command = "LEDGER_HOME='" + home.string() + "' '" + tool.string() + "'";
  if (!Shell(command + " init >/dev/null") ||
      !Shell(command + " generate 1 " + std::to_string(lines) + " 1000 50 10000 >/dev/null") ||
      !Shell(command + " select 001 1 >/dev/null")) {
    std::fprintf(stderr, "full_run_bench: cannot generate the data in %s\n", home.c_str());
    return std::nullopt;
  }
  std::ofstream(home / "ready") << "ready\n";
  return home;
}

// The installation's database (the ledger's own file name).
fs::path DatabaseOf(const fs::path& home) { return home / "ledger.db"; }

// One pass over every journal line of the data set: the grouped sum any
// consumption-tax figure needs at least. Returns the seconds it took, or a
// failed measure when the database cannot be read.
Measure PlainPass(const fs::path& database, int64_t* rowsRead) {
  Measure m;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
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

// The whole year, the journal method, the document written under the
// installation, and the closing box answered.
std::string Script(const fs::path& document) {
  std::string windowsPath = "Z:";
  for (char c : document.string()) windowsPath += c == '/' ? '\\' : c;
  std::string quoted;
  for (char c : windowsPath) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
  // The notice about undetermined import categories comes under general
  // taxation when such lines exist; the generated data has them.
  return "click 1029\ntype 1008 \"" + quoted + "\"\nkey F12\nanswer OK\nanswer OK\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: full_run_bench BUILD_DIR CACHE_DIR LINES...\n");
    return 2;
  }
  const fs::path build = fs::absolute(argv[1]);
  const fs::path cache = fs::absolute(argv[2]);
  const fs::path program = build / "bin" / "taxbridge_plus";
  int failures = 0;
  // Times are in seconds; the ratio and the growth are of CPU time (user and
  // system), which other work on the machine disturbs far less than wall time.
  std::printf("%10s %9s %9s %9s %9s %7s %9s %14s  %s\n", "lines", "pass", "pass cpu", "run", "run cpu", "x pass",
              "peak MiB", "growth (lines)", "document");
  double previousSeconds = 0;
  int64_t previousLines = 0;
  for (int i = 3; i < argc; ++i) {
    const int64_t lines = std::atoll(argv[i]);
    if (lines <= 0) {
      std::fprintf(stderr, "full_run_bench: not a line count: %s\n", argv[i]);
      return 2;
    }
    const auto home = Installation(build, cache, lines);
    if (!home) return 1;
    const fs::path database = DatabaseOf(*home);
    int64_t rows = 0;
    PlainPass(database, &rows);  // brings the file into the page cache, as it is for the run
    const Measure pass = PlainPass(database, &rows);
    if (pass.status != 0 || rows != lines) {
      std::fprintf(stderr, "full_run_bench: the plain pass over %s failed (%" PRId64 " rows)\n", database.c_str(), rows);
      return 1;
    }
    const fs::path work = *home / "run";
    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path document = work / "tax.xml";
    std::ofstream(work / "script.txt") << Script(document);
    const Measure run = RunChild({program.string(), "0,1025,7,"},
                                 {{"LEDGER_HOME", home->string()},
                                  {"TAXBRIDGE_SCRIPT", (work / "script.txt").string()},
                                  {"TAXBRIDGE_TRANSCRIPT", (work / "transcript.txt").string()},
                                  {"HOME", work.string()}},
                                 work / "output.txt");
    const auto hash = HashFile(document);
    std::string growth = "-";
    if (previousLines > 0 && previousSeconds > 0) {
      char text[64];
      std::snprintf(text, sizeof text, "%.2f (%.2f)", run.cpuSeconds / previousSeconds,
                    static_cast<double>(lines) / static_cast<double>(previousLines));
      growth = text;
    }
    char doc[64] = "none";
    if (hash) std::snprintf(doc, sizeof doc, "%" PRIu64 " bytes fnv %016" PRIx64, hash->second, hash->first);
    std::printf("%10" PRId64 " %9.3f %9.3f %9.3f %9.3f %7.2f %9.1f %14s  %s\n", lines, pass.seconds,
                pass.cpuSeconds, run.seconds, run.cpuSeconds, run.cpuSeconds / pass.cpuSeconds, run.peakMiB,
                growth.c_str(), doc);
    std::fflush(stdout);
    if (run.status != 0 || !hash) {
      ++failures;
      std::fprintf(stderr, "full_run_bench: the run on %" PRId64 " lines ended with status %d%s; see %s\n", lines,
                   run.status, hash ? "" : " and wrote no document", work.c_str());
    }
    previousSeconds = run.cpuSeconds;
    previousLines = lines;
  }
  return failures == 0 ? 0 : 1;
}
