// Speed of the ledger's rules on `ledger generate` data of 1 000 000 journal
// lines, each against one plain SQL pass over the journal table measured in
// the same run: every rule reports its time as a multiple of that pass
// (counter x_plain, in process CPU time) and the process's peak memory
// (counter peak_MB): targets are SumTax within 1.5 and a full journal walk
// within 2, with memory independent of the number of lines.
//
// The data is generated once with the `ledger` command built beside this
// program (../bin/ledger) into rules-bench-home/ next to it, and reused by
// later runs. RULES_BENCH_LINES changes the number of lines (a different
// folder is used for each count).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <time.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/Host.h"
#include "ledger/Installation.h"

namespace {

namespace fs = std::filesystem;
using F = StFINDINFO;

int64_t LineCount() {
  const char* text = std::getenv("RULES_BENCH_LINES");
  return text != nullptr && std::atoll(text) > 0 ? std::atoll(text) : 1000000;
}

fs::path ProgramFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// Opens (generating first if needed) the benchmark installation.
void OpenInstallation() {
  static bool opened = false;
  if (opened) return;
  const fs::path home = ProgramFolder() / ("rules-bench-home-" + std::to_string(LineCount()));
  const fs::path tool = ProgramFolder() / ".." / "bin" / "ledger";
  setenv("LEDGER_HOME", home.c_str(), 1);
  if (!fs::exists(home / "ready")) {
    fs::remove_all(home);
    const std::string init = "'" + tool.string() + "' init > /dev/null";
    const std::string generate =
        "'" + tool.string() + "' generate 1 " + std::to_string(LineCount()) + " > /dev/null";
    if (std::system(init.c_str()) != 0 || std::system(generate.c_str()) != 0) {
      std::fprintf(stderr, "rules bench: cannot generate the data with %s\n", tool.c_str());
      std::exit(1);
    }
    std::FILE* ready = std::fopen((home / "ready").c_str(), "w");
    if (ready != nullptr) std::fclose(ready);
  }
  std::string error;
  if (!ledger::Session::Open(home.string(), &error)) {
    std::fprintf(stderr, "rules bench: %s\n", error.c_str());
    std::exit(1);
  }
  opened = true;
}

template <class Rule>
std::unique_ptr<Rule> Bound() {
  auto rule = std::make_unique<Rule>();
  rule->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  rule->SetCurDataID("G1");
  rule->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  return rule;
}

// The whole year with the year-end closing, as the component asks for it.
const std::vector<StFINDINFO>& YearCondition() {
  static const std::vector<StFINDINFO> chain = {
      F::Compare(F::kItemMonthNumber, 0, F::kCompareAtLeast, F::kValueMonth, 1, F::kJoinAnd),
      F::Compare(F::kItemMonthNumber, 0, F::kCompareAtMost, F::kValueMonth, 12, F::kJoinOr),
      F::Compare(F::kItemMonthNumber, 0, F::kCompareEqual, F::kValueMonth, 18, F::kJoinLast)};
  return chain;
}

// The plain pass: every column of every journal line of the data set, in
// the table's order.
int64_t PlainPass() {
  ledger::Statement q = ledger::Session::Current()->store().Prepare(
      "SELECT * FROM journal_line WHERE data_id = ?1");
  q.Bind(1, "G1");
  int64_t sum = 0;
  while (q.Step() == SQLITE_ROW) {
    for (int c = 1; c < 20; ++c) sum += q.Int(c);
    sum += static_cast<int64_t>(q.Text(20).size());
  }
  return sum;
}

// The process's CPU time (user and system, so reading the database file
// counts): the machine may be shared, and wall time would measure the others.
// (<chrono> does not compile under the CP932 execution character set, so the
// clock is read directly.)
double Now() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Seconds(void (*run)()) {
  const double start = Now();
  run();
  return Now() - start;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs `body` per iteration, each after one plain pass (not counted in the
// benchmark's own time), and reports the body's time as a multiple of the
// plain passes': measured side by side, the ratio holds on a busy machine.
template <class Body>
void Measure(benchmark::State& state, Body body) {
  OpenInstallation();
  double total = 0, plain = 0;
  for (auto _ : state) {
    state.PauseTiming();
    plain += Seconds([] { benchmark::DoNotOptimize(PlainPass()); });
    state.ResumeTiming();
    const double start = Now();
    body();
    total += Now() - start;
  }
  state.counters["x_plain"] = total / plain;
  state.counters["peak_MB"] = PeakMegabytes();
}

void BM_SumTax(benchmark::State& state) {
  Measure(state, [] {
    std::vector<StTAXREPORTRATEINFO> rates(5);
    std::vector<StTAXREPORTBUSINESSTYPEINFO> types(30);
    const uint32_t preset[] = {800, 500, 300};
    for (int i = 0; i < 3; ++i) rates[i].view().SetU32(StTAXREPORTRATEINFO::kRate, preset[i]);
    auto rule = Bound<ClRuleShohizeiShinkoku>();
    if (rule->SumTax(2, YearCondition().data(), rates.data(), types.data()) != host::kOk) std::abort();
    benchmark::DoNotOptimize(rates.data());
  });
}

void BM_JournalWalk(benchmark::State& state) {
  Measure(state, [] {
    auto rule = Bound<ClRuleShiwake>();
    if (rule->MoveReady(YearCondition().data(), nullptr, nullptr, 4) != host::kOk) std::abort();
    StSWKTINFO line;
    int64_t sum = 0;
    while (rule->MoveNext(&line) == host::kOk) sum += line.view().I64(StSWKTINFO::kDebitAmount);
    rule->MoveFinish();
    benchmark::DoNotOptimize(sum);
  });
}

void BM_JournalCount(benchmark::State& state) {
  Measure(state, [] {
    auto rule = Bound<ClRuleShiwake>();
    uint32_t count = 0;
    if (rule->GetSwkCount(YearCondition().data(), nullptr, &count) != host::kOk) std::abort();
    benchmark::DoNotOptimize(count);
  });
}

void BM_RateFlags(benchmark::State& state) {
  Measure(state, [] {
    auto rule = Bound<ClRuleShiwake>();
    int32_t flags = 0;
    if (rule->CheckExistSwkByZeiRate(YearCondition().data(), &flags, 1) != host::kOk) std::abort();
    benchmark::DoNotOptimize(flags);
  });
}

void BM_AccountSums(benchmark::State& state) {
  Measure(state, [] {
    auto rule = Bound<ClRuleKamoku>();
    if (rule->MoveReady(1, 0, 0, YearCondition().data(), nullptr, 0) != host::kOk) std::abort();
    StKAMOKUSUMINFO record;
    while (rule->MoveNext(&record) == host::kOk) benchmark::DoNotOptimize(record.data());
    rule->MoveFinish();
  });
}

void BM_TaxSummaryRows(benchmark::State& state) {
  Measure(state, [] {
    auto rule = Bound<ClRuleShohizei>();
    int16_t first = 1, last = 18;
    uint32_t rate = 500;
    if (rule->MoveReady(2, &first, &last, &rate, nullptr, 0, 0, 0, 0) != host::kOk) std::abort();
    StTAXSUMINFO row;
    while (rule->MoveNext(&row) == host::kOk) benchmark::DoNotOptimize(row.data());
    rule->MoveFinish();
  });
}

BENCHMARK(BM_SumTax)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_JournalWalk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_JournalCount)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RateFlags)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AccountSums)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TaxSummaryRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
