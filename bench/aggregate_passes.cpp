// The journal method's checks and first two passes (return figures, tax
// summary) on 1 000 000 journal lines, against one plain SQL pass over the
// journal table of the same database in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "aggregate/ProgressDialog.h"
#include "aggregate/ReturnFiguresPass.h"
#include "aggregate/JournalRun.h"
#include "aggregate/RunChecks.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSummaryPass.h"
#include "ledger/testing/Fixture.h"

using aggregate::CheckNewRates;
using aggregate::CheckSixthBusinessType;
using aggregate::CheckUndeterminedImports;
using aggregate::PeriodCondition;
using aggregate::PrepareRateTables;
using aggregate::ProgressDialog;
using aggregate::SumOldRateTax;
using aggregate::SumReturnFigures;
using aggregate::TaxAggregate;
using aggregate::TaxSettings;

namespace {

using ledger::testing::AccountSpec;
using ledger::testing::Fixture;

constexpr int kLines = 1000000;

// One company with three accounts and kLines lines over twelve months, at
// 8 %, 5 % and 3 %, built once for the whole program.
Fixture& Books() {
  static Fixture* fx = [] {
    auto* f = new Fixture();
    f->AddData({}).AddTax("D0001", {});
    const struct { int64_t id; const char* code; int64_t cls; int32_t side; } accounts[] = {
        {1, "100", 0x10000000, 1}, {2, "500", 0x40888000, 2}, {3, "510", 0x40848000, 1}};
    for (const auto& a : accounts) {
      AccountSpec spec;
      spec.id = a.id;
      spec.code = a.code;
      spec.name = a.code;
      spec.classCode = a.cls;
      spec.balanceSide = a.side;
      f->AddAccount("D0001", spec);
    }
    f->Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kLines) +
            ") INSERT INTO journal_line (data_id, line_no, entry_date, month_no, dr_account, dr_amount, dr_tax, "
            "dr_category, dr_rate, cr_account, cr_amount, cr_tax, cr_category, cr_rate, cr_business_type) "
            "SELECT 'D0001', i, 20230401, "
            "i % 12 + 1, CASE WHEN i % 2 = 0 THEN 1 ELSE 3 END, (i % 997 + 1) * 10000, "
            "CASE WHEN i % 2 = 0 THEN 0 ELSE (i % 997 + 1) * 400 END, CASE WHEN i % 2 = 0 THEN 0 ELSE 21 END, "
            "CASE WHEN i % 2 = 0 THEN 0 ELSE (CASE i % 3 WHEN 0 THEN 800 WHEN 1 THEN 500 ELSE 300 END) END, "
            "CASE WHEN i % 2 = 0 THEN 2 ELSE 1 END, (i % 997 + 1) * 10000, "
            "CASE WHEN i % 2 = 0 THEN (i % 997 + 1) * 400 ELSE 0 END, CASE WHEN i % 2 = 0 THEN 1 ELSE 0 END, "
            "CASE WHEN i % 2 = 0 THEN (CASE i % 3 WHEN 0 THEN 800 WHEN 1 THEN 500 ELSE 300 END) ELSE 0 END, "
            "CASE WHEN i % 2 = 0 THEN i % 5 + 1 ELSE 0 END FROM n");
    f->AddUser("bench", 0, 1);
    std::string error;
    if (!f->Connect(&error)) {
      std::fprintf(stderr, "cannot open the benchmark ledger: %s\n", error.c_str());
      std::abort();
    }
    return f;
  }();
  return *fx;
}

void AllMonths(PeriodCondition& period) {
  period.Clear();
  period.AppendMonthClause(StFINDINFO::kCompareAtLeast, 1, StFINDINFO::kJoinAnd);
  period.AppendMonthClause(StFINDINFO::kCompareAtMost, 12, StFINDINFO::kJoinOr);
  period.AppendMonthClause(StFINDINFO::kCompareEqual, 18, StFINDINFO::kJoinLast);
}

void BM_ChecksAndFirstTwoPasses(benchmark::State& state) {
  Books();
  for (auto _ : state) {
    ProgressDialog progress;  // no window: the progress calls cost nothing to show
    AllMonths(progress.context().periodCondition);
    int32_t sixth = 0, newRates = 0;
    CheckSixthBusinessType(progress.context(), 6, &sixth);
    CheckNewRates(progress.context(), &newRates, 1, 12);
    const int32_t imports = CheckUndeterminedImports(progress.context());
    TaxAggregate aggregate;
    PrepareRateTables(aggregate);
    SumReturnFigures(progress.context(), progress, aggregate);
    SumOldRateTax(progress.context(), progress, aggregate.oldRateTaxSums, TaxSettings{});
    benchmark::DoNotOptimize(sixth + newRates + imports);
    benchmark::DoNotOptimize(aggregate.oldRateTaxSums[0]);
  }
  state.counters["lines"] = kLines;
}
BENCHMARK(BM_ChecksAndFirstTwoPasses)->Unit(benchmark::kMillisecond);

void BM_PlainSqlPassOverJournal(benchmark::State& state) {
  Fixture& fx = Books();
  for (auto _ : state) {
    ledger::Statement q = fx.store().Prepare(
        "SELECT count(*), sum(dr_amount), sum(cr_tax) FROM journal_line WHERE data_id = 'D0001'");
    q.Step();
    benchmark::DoNotOptimize(q.Int(0) + q.Int(1) + q.Int(2));
  }
  state.counters["lines"] = kLines;
}
BENCHMARK(BM_PlainSqlPassOverJournal)->Unit(benchmark::kMillisecond);

}  // namespace
