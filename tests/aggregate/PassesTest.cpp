// The tax summary pass, the return figures pass and the run checks over
// hand-built books in a throw-away ledger.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "aggregate/JournalRun.h"
#include "aggregate/ProgressDialog.h"
#include "aggregate/ReturnFiguresPass.h"
#include "aggregate/RunChecks.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSummaryPass.h"
#include "host/LedgerMsg.h"
#include "ledger/testing/Fixture.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/script/ScriptBackend.h"

using aggregate::AccountClassCodes;
using aggregate::AccountNode;
using aggregate::AggregationContext;
using aggregate::AggregationStatus;
using aggregate::CheckNewRates;
using aggregate::CheckSixthBusinessType;
using aggregate::CheckUndeterminedImports;
using aggregate::LoadAccountList;
using aggregate::PeriodCondition;
using aggregate::PrepareRateTables;
using aggregate::ProgressDialog;
using aggregate::RunJournalAggregation;
using aggregate::RunPreAggregationChecks;
using aggregate::SumOldRateTax;
using aggregate::SumReturnFigures;
using aggregate::TaxAggregate;
using aggregate::TaxSettings;

namespace {

using ledger::testing::AccountSpec;
using ledger::testing::DataSpec;
using ledger::testing::Fixture;
using ledger::testing::LineSpec;
using ledger::testing::SideSpec;
using ledger::testing::TaxSpec;

constexpr int64_t kYen = 10000;
constexpr const char* kData = "D0001";

// Counts repaints: one per activity Tick, eleven per Sweep.
class CountingProgress : public ProgressDialog {
 public:
  void UpdateWindow() override { ++repaints; }
  int repaints = 0;
};

// Month clauses as the run driver builds them.
void Months(PeriodCondition& period, int16_t first, int16_t last, int16_t closing = 0) {
  period.Clear();
  period.AppendMonthClause(StFINDINFO::kCompareAtLeast, first, StFINDINFO::kJoinAnd);
  period.AppendMonthClause(StFINDINFO::kCompareAtMost, last, StFINDINFO::kJoinLast);
  if (closing != 0) {
    period.SetLastJoiner(StFINDINFO::kJoinOr);
    period.AppendMonthClause(StFINDINFO::kCompareEqual, closing, StFINDINFO::kJoinLast);
  }
}

SideSpec Side(int64_t account, int64_t amount, int64_t tax = 0, int32_t category = 0, int32_t rate = 0) {
  SideSpec s;
  s.account = account;
  s.amount = amount;
  s.tax = tax;
  s.category = category;
  s.rate = rate;
  return s;
}

class Books : public ::testing::Test {
 protected:
  explicit Books(TaxSpec tax = TaxSpec{}, DataSpec data = DataSpec{}) {
    fx_.AddData(data).AddTax(kData, tax);
    Account(1, "100", 0);  // cash, in no list
  }

  void Account(int64_t id, const std::string& code, int64_t classCode, int32_t balanceSide = 1, int excluded = 0) {
    AccountSpec a;
    a.id = id;
    a.code = code;
    a.name = "A" + code;
    a.classCode = classCode;
    a.balanceSide = balanceSide;
    a.listExcluded = excluded;
    fx_.AddAccount(kData, a);
  }
  void Line(int32_t month, SideSpec debit, SideSpec credit, int32_t date = 20230401) {
    LineSpec l;
    l.lineNo = ++lines_;
    l.date = date;
    l.monthNo = month;
    l.debit = debit;
    l.credit = credit;
    fx_.AddLine(kData, l);
  }
  void Open(int32_t selectedDataNo = 1) {
    fx_.AddUser("tester", 0, selectedDataNo);
    std::string error;
    ASSERT_TRUE(fx_.Connect(&error)) << error;
  }

  Fixture fx_;
  int64_t lines_ = 0;
};

// ---- tax summary pass -------------------------------------------------------

class TaxSummaryBooks : public Books {
 protected:
  TaxSummaryBooks() {
    Account(2, "500", 0x40888000, 2);     // sales, credit balance: tax on sales counts positive
    Account(3, "510", 0x40848000, 1);
    Account(4, "520", 0x40888000, 2, 1);  // kept out of account lists
    Account(5, "600", 0x40882000, 1);     // a class the tax summary does not list
  }
};

TEST_F(TaxSummaryBooks, SumsListedAccountsByOldRateAndSkipsTheRest) {
  Line(1, Side(1, 10500 * kYen), Side(2, 10000 * kYen, 500 * kYen, 1, 500));
  Line(2, Side(3, 1000 * kYen, 30 * kYen, 21, 300), Side(1, 1030 * kYen));
  Line(3, Side(1, 4200 * kYen), Side(4, 4000 * kYen, 200 * kYen, 1, 500));  // excluded account
  Line(4, Side(5, 1400 * kYen, 70 * kYen, 21, 500), Side(1, 1470 * kYen));  // unlisted code
  Line(5, Side(2, 2000 * kYen, 100 * kYen, 1, 500), Side(1, 2100 * kYen));  // a return lowers the sum
  Line(8, Side(1, 800 * kYen), Side(2, 800 * kYen, 64 * kYen, 1, 800));     // 8 % is not an old rate
  Open();

  CountingProgress progress;
  Months(progress.context().periodCondition, 1, 12);
  int64_t sums[2] = {0, 0};
  TaxSettings settings;
  ASSERT_EQ(SumOldRateTax(progress.context(), progress, sums, settings), 1);
  EXPECT_EQ(sums[0], 400 * kYen);
  EXPECT_EQ(sums[1], 30 * kYen);
  // The list holds the two listed accounts, not the excluded one.
  ASSERT_EQ(progress.context().accounts.size(), 2u);
  EXPECT_EQ(progress.context().accounts.front().code(), "500");
  EXPECT_EQ(progress.context().accounts.back().code(), "510");
  EXPECT_EQ(progress.activityBar().GetPos(), 0);  // window never created
  EXPECT_EQ(progress.context().tickCounter, 10);
}

TEST_F(TaxSummaryBooks, ThirdClauseMonthEndsTheRange) {
  Line(6, Side(1, 1050 * kYen), Side(2, 1000 * kYen, 50 * kYen, 1, 500));
  Line(15, Side(1, 2100 * kYen), Side(2, 2000 * kYen, 100 * kYen, 1, 500));  // interim closing
  Line(7, Side(1, 4200 * kYen), Side(2, 4000 * kYen, 200 * kYen, 1, 500));   // after the range
  Line(3, Side(2, 1000 * kYen, 50 * kYen, 1, 500), Side(1, 1050 * kYen));    // cancels month 6
  Open();

  CountingProgress progress;
  int64_t sums[2] = {0, 0};
  TaxSettings settings;
  Months(progress.context().periodCondition, 1, 6, 15);
  SumOldRateTax(progress.context(), progress, sums, settings);
  EXPECT_EQ(sums[0], 100 * kYen);  // months 1-6 and 15, not 7
  EXPECT_EQ(sums[1], 0);

  // Without the closing clause the same months end at 6 and cancel out.
  int64_t plain[2] = {0, 0};
  Months(progress.context().periodCondition, 1, 6);
  SumOldRateTax(progress.context(), progress, plain, settings);
  EXPECT_EQ(plain[0], 0);
}

class UnlistedBooks : public Books {};

TEST_F(UnlistedBooks, WithoutListedAccountsEveryRowIsStillFetchedAndNothingAdded) {
  Account(2, "500", 0x40882000, 2);
  Account(3, "510", 0x40882000, 1);
  Line(1, Side(1, 1050 * kYen), Side(2, 1000 * kYen, 50 * kYen, 1, 500));
  Line(2, Side(3, 1030 * kYen, 30 * kYen, 21, 300), Side(1, 1060 * kYen));
  Open();

  CountingProgress progress;
  Months(progress.context().periodCondition, 1, 12);
  int64_t sums[2] = {0, 0};
  ASSERT_EQ(SumOldRateTax(progress.context(), progress, sums, TaxSettings{}), 1);
  EXPECT_EQ(sums[0], 0);
  EXPECT_EQ(sums[1], 0);
  EXPECT_TRUE(progress.context().accounts.empty());
  EXPECT_EQ(progress.repaints, 2);  // one tick per row, no sweeps
}

TEST_F(UnlistedBooks, AccountListKindsChainTheirClassCodesInOrder) {
  Account(2, "200", 0x20200000);
  Account(3, "300", 0x40844080);  // only in the per-department kind
  Account(4, "400", 0x40888000);  // only in the tax summary kind
  Account(5, "410", 0x40884400, 1, 1);
  Open();

  ProgressDialog progress;
  LoadAccountList(progress.context(), progress, 2);
  ASSERT_EQ(progress.context().accounts.size(), 1u);
  EXPECT_EQ(progress.context().accounts.front().accountId(), 2u);
  LoadAccountList(progress.context(), progress, 3);
  std::vector<std::string> codes;
  for (const AccountNode& n : progress.context().accounts) codes.emplace_back(n.code());
  EXPECT_EQ(codes, (std::vector<std::string>{"200", "300"}));
  LoadAccountList(progress.context(), progress, 1);
  ASSERT_EQ(progress.context().accounts.size(), 1u);
  EXPECT_EQ(progress.context().accounts.front().classCode(), 0x40888000u);
  EXPECT_EQ(AccountClassCodes(2).size(), 17u);
  EXPECT_EQ(AccountClassCodes(3).size(), 18u);
  EXPECT_TRUE(AccountClassCodes(4).empty());
}

// ---- return figures pass ----------------------------------------------------

class ReturnBooks : public Books {
 protected:
  explicit ReturnBooks(int32_t rateCount = 5) : Books(TaxSpec{2, 0, 0, 0, 0, rateCount}) {
    Account(2, "500", 0x40888000, 2);
    Account(3, "700", 0x40440000, 2);  // securities
  }
};

TEST_F(ReturnBooks, RatesAreStampedAndSecuritiesScaledBackByTwenty) {
  // 2 000 yen of securities sold at 8 % and 1 000 yen bought back at 5 %: the
  // host counts 5 % of each.
  Line(1, Side(1, 2000 * kYen), Side(3, 2000 * kYen, 0, 4, 800));
  Line(2, Side(3, 1000 * kYen, 0, 4, 500), Side(1, 1000 * kYen));
  Open();

  ProgressDialog progress;
  Months(progress.context().periodCondition, 1, 12);
  TaxAggregate agg;
  ASSERT_TRUE(PrepareRateTables(agg));
  ASSERT_EQ(agg.rateCount(), 5);
  ASSERT_EQ(SumReturnFigures(progress.context(), progress, agg), 1);

  const uint32_t rates[5] = {800, 500, 300, 0, 0};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(agg.RateRecord(i).U32(StTAXREPORTRATEINFO::kRate), rates[i]);
    for (int t = 1; t <= 6; ++t) {
      EXPECT_EQ(agg.BusinessRecord(i, t).U32(StTAXREPORTBUSINESSTYPEINFO::kRate), rates[i]) << i << "/" << t;
      EXPECT_EQ(agg.BusinessRecord(i, t).U8(StTAXREPORTBUSINESSTYPEINFO::kBusinessType), t);
    }
  }
  EXPECT_EQ(agg.RateRecord(0).I64(StTAXREPORTRATEINFO::kSecuritiesSales), 2000 * kYen);
  EXPECT_EQ(agg.RateRecord(1).I64(StTAXREPORTRATEINFO::kSecuritiesSales), -1000 * kYen);  // stays negative
  EXPECT_EQ(agg.RateRecord(2).I64(StTAXREPORTRATEINFO::kSecuritiesSales), 0);
}

class ThreeRateBooks : public ReturnBooks {
 protected:
  ThreeRateBooks() : ReturnBooks(3) {}
};

TEST_F(ThreeRateBooks, OnlyRatesBeforeTheLastTwoAreScaled) {
  Line(1, Side(1, 2000 * kYen), Side(3, 2000 * kYen, 0, 4, 800));
  Line(2, Side(1, 2000 * kYen), Side(3, 2000 * kYen, 0, 4, 500));
  Open();

  ProgressDialog progress;
  Months(progress.context().periodCondition, 1, 12);
  TaxAggregate agg;
  ASSERT_TRUE(PrepareRateTables(agg));
  ASSERT_EQ(SumReturnFigures(progress.context(), progress, agg), 1);
  EXPECT_EQ(agg.RateRecord(0).I64(StTAXREPORTRATEINFO::kSecuritiesSales), 2000 * kYen);
  EXPECT_EQ(agg.RateRecord(1).I64(StTAXREPORTRATEINFO::kSecuritiesSales), 100 * kYen);  // as the host gave it
}

TEST_F(ReturnBooks, TablesSmallerThanTheRateCountAreNotHandedToTheHost) {
  Open();
  ProgressDialog progress;
  Months(progress.context().periodCondition, 1, 12);
  TaxAggregate agg;
  agg.AllocateRateTables(3);  // the data reports 5
  EXPECT_EQ(SumReturnFigures(progress.context(), progress, agg), 0);
  TaxAggregate none;
  EXPECT_EQ(SumReturnFigures(progress.context(), progress, none), 0);
}

// ---- run checks -------------------------------------------------------------

class CheckBooks : public Books {
 protected:
  explicit CheckBooks(int32_t method = 2) : Books(TaxSpec{method, 0, 0, 0, 0, 5}) {
    Account(2, "500", 0x40888000, 2);
    Account(3, "600", 0x40882000, 1);
  }
};

TEST_F(CheckBooks, ImportCategoriesCountOnlyFrom31To37OnEitherSide) {
  Line(1, Side(3, 100 * kYen, 0, 30), Side(1, 100 * kYen, 0, 38));
  Line(2, Side(3, 100 * kYen, 0, 255), Side(1, 100 * kYen));
  Line(3, Side(3, 100 * kYen), Side(1, 100 * kYen, 0, 31));  // credit side 31
  Line(4, Side(3, 100 * kYen, 0, 37), Side(1, 100 * kYen));  // debit side 37
  Open();

  AggregationContext context;
  Months(context.periodCondition, 1, 2);
  EXPECT_EQ(CheckUndeterminedImports(context), 0);
  Months(context.periodCondition, 3, 3);
  EXPECT_EQ(CheckUndeterminedImports(context), 1);
  Months(context.periodCondition, 4, 4);
  EXPECT_EQ(CheckUndeterminedImports(context), 1);
}

TEST_F(CheckBooks, EachNewRateBitAloneSetsTheFlag) {
  Line(1, Side(1, 1100 * kYen), Side(2, 1000 * kYen, 100 * kYen, 1, 1000));  // 10 %
  SideSpec reduced = Side(2, 1000 * kYen, 80 * kYen, 1, 800);
  reduced.reduced = true;
  Line(2, Side(1, 1080 * kYen), reduced);                                    // reduced 8 %
  Line(3, Side(1, 1080 * kYen), Side(2, 1000 * kYen, 80 * kYen, 1, 800));   // standard 8 %
  Open();

  AggregationContext context;
  for (auto [month, expected] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{3, 0}}) {
    Months(context.periodCondition, static_cast<int16_t>(month), static_cast<int16_t>(month));
    int32_t flag = 7;
    EXPECT_EQ(CheckNewRates(context, &flag, 0, 0), 0);
    EXPECT_EQ(flag, expected) << "month " << month;
  }
}

TEST_F(CheckBooks, SixthBusinessTypeCountsLinesWithinTheMonths) {
  SideSpec sixth = Side(2, 1000 * kYen, 80 * kYen, 1, 800);
  sixth.businessType = 6;
  Line(2, Side(1, 1080 * kYen), sixth);
  Open();

  AggregationContext context;
  Months(context.periodCondition, 1, 12);
  int32_t count = 0;
  EXPECT_EQ(CheckSixthBusinessType(context, 6, &count), 0);
  EXPECT_EQ(count, 1);
  Months(context.periodCondition, 3, 12);
  count = 0;
  EXPECT_EQ(CheckSixthBusinessType(context, 6, &count), 0);
  EXPECT_EQ(count, 0);
}

// The checks as the driver runs them, answered through the unattended backend.
class DriverChecks : public CheckBooks {
 protected:
  explicit DriverChecks(int32_t method) : CheckBooks(method), method_(method) {}

  // Runs the checks with `answers` as the script; the transcript's message boxes.
  int Run(int32_t firstDate, const std::string& answers, std::vector<std::string>* boxes) {
    std::ostringstream transcript;
    platform::ui::script::ScriptBackend backend(answers, transcript, "checks");
    platform::ui::InstallBackend(&backend);
    ProgressDialog progress;
    progress.Create();
    Months(progress.context().periodCondition, 1, 12);
    TaxSettings settings;
    settings.view().SetU8(TaxSettings::kTaxMethod, static_cast<uint8_t>(method_));
    const int result = RunPreAggregationChecks(progress.context(), &progress, {settings, 4, 3, firstDate, "Kestrel２０ Plus"});
    platform::ui::InstallBackend(nullptr);
    std::istringstream in(transcript.str());
    for (std::string l; std::getline(in, l);)
      if (l.rfind("messagebox", 0) == 0) boxes->push_back(l);
    return result;
  }
  int32_t method_;
};

class SimplifiedChecks : public DriverChecks {
 protected:
  SimplifiedChecks() : DriverChecks(1) {}
};

TEST_F(SimplifiedChecks, SixthTypeIsRefusedOnlyBeforeAprilFirst2015) {
  SideSpec sixth = Side(2, 1000 * kYen, 80 * kYen, 1, 800);
  sixth.businessType = 6;
  Line(2, Side(1, 1080 * kYen), sixth);
  Open();

  std::vector<std::string> boxes;
  EXPECT_EQ(Run(20150301, "answer OK\n", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(reinterpret_cast<const char*>(u8"icon=exclamation buttons=OK")), std::string::npos);
  EXPECT_NE(boxes[0].find(reinterpret_cast<const char*>(u8"\\n\\nKestrel２０ Plus の以下の機能")), std::string::npos);
  EXPECT_NE(boxes[0].find("owner=131"), std::string::npos);

  boxes.clear();
  EXPECT_EQ(Run(20150401, "", &boxes), 0);
  EXPECT_TRUE(boxes.empty());
}

class GeneralChecks : public DriverChecks {
 protected:
  GeneralChecks() : DriverChecks(2) {}
};

TEST_F(GeneralChecks, SixthTypeIsNotRefusedAndImportsOnlyNoticed) {
  SideSpec sixth = Side(2, 1000 * kYen, 80 * kYen, 1, 800);
  sixth.businessType = 6;
  Line(2, Side(1, 1080 * kYen), sixth);
  Line(3, Side(3, 100 * kYen, 0, 33), Side(1, 100 * kYen));
  Open();

  std::vector<std::string> boxes;
  EXPECT_EQ(Run(20140401, "answer OK\n", &boxes), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("icon=information"), std::string::npos);
  EXPECT_NE(boxes[0].find(reinterpret_cast<const char*>(u8"未確定の税区分(31,32,33,35,36,37)")), std::string::npos);
}

TEST_F(GeneralChecks, NewRatesAreRefusedBeforeTheImportNotice) {
  Line(1, Side(1, 1100 * kYen), Side(2, 1000 * kYen, 100 * kYen, 1, 1000));
  Line(3, Side(3, 100 * kYen, 0, 33), Side(1, 100 * kYen));
  Open();

  std::vector<std::string> boxes;
  EXPECT_EQ(Run(20230401, "answer OK\n", &boxes), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(reinterpret_cast<const char*>(u8"税率「10%」または「8%(軽減)」")), std::string::npos);
}

TEST_F(GeneralChecks, AFailedCheckIsRecordedAndFailsTheRun) {
  Open(0);  // nothing selected: the checks' rules cannot be bound to any data
  std::vector<std::string> boxes;
  EXPECT_EQ(Run(20230401, "answer OK\n", &boxes), 2);
  EXPECT_EQ(boxes.size(), 1u);  // the host's message
  EXPECT_NE(ClMsgMgr::Inst()->LastStatus(), 0);
  EXPECT_EQ(ClMsgMgr::Inst()->LastSourceFile(), "RunChecks.cpp");
  EXPECT_EQ(ClMsgMgr::Inst()->LastLine(), 3783);
  // Without a journal rule to ask, the import check answers 0.
  AggregationContext context;
  Months(context.periodCondition, 1, 12);
  EXPECT_EQ(CheckUndeterminedImports(context), 0);
}

TEST_F(SimplifiedChecks, ImportsAreNotNoticedUnderSimplifiedTaxation) {
  Line(3, Side(3, 100 * kYen, 0, 33), Side(1, 100 * kYen));
  Open();
  std::vector<std::string> boxes;
  EXPECT_EQ(Run(20230401, "", &boxes), 0);
  EXPECT_TRUE(boxes.empty());
}

// ---- the journal run --------------------------------------------------------

class JournalRunBooks : public TaxSummaryBooks {
 protected:
  // Runs the four blocks in a shown window; the captions the transcript got.
  AggregationStatus Run(TaxAggregate& agg, std::vector<std::string>* captions) {
    std::ostringstream transcript;
    platform::ui::script::ScriptBackend backend("", transcript, "journal-run");
    platform::ui::InstallBackend(&backend);
    AggregationStatus status;
    {
      ProgressDialog progress;
      progress.Create();
      Months(progress.context().periodCondition, 1, 12, 18);
      EXPECT_TRUE(PrepareRateTables(agg));
      StDATAINFO record;
      status = RunJournalAggregation(progress.context(), progress, agg, record, TaxSettings{});
      EXPECT_TRUE(progress.IsEnded());
      EXPECT_FALSE(progress.IsWindowVisible());
      // The wait cursor is left for the driver to end.
      EXPECT_TRUE(platform::ui::IsWaitCursorShown());
      platform::ui::EndWaitCursor();
    }
    platform::ui::InstallBackend(nullptr);
    std::istringstream in(transcript.str());
    for (std::string l; std::getline(in, l);)
      if (l.rfind("caption 131 ", 0) == 0) captions->push_back(l.substr(12));
    return status;
  }
};

TEST_F(JournalRunBooks, AllFourBlocksRunAndTheCaptionEndsAtAHundred) {
  Line(1, Side(1, 10500 * kYen), Side(2, 10000 * kYen, 500 * kYen, 1, 500));
  Open();
  TaxAggregate agg;
  std::vector<std::string> captions;
  EXPECT_EQ(Run(agg, &captions), AggregationStatus::kDone);
  EXPECT_EQ(agg.oldRateTaxSums[0], 500 * kYen);
  EXPECT_EQ(agg.RateRecord(1).U32(StTAXREPORTRATEINFO::kRate), 500u);
  ASSERT_FALSE(captions.empty());
  EXPECT_EQ(captions.back(), reinterpret_cast<const char*>(u8"\"集計中 100％\""));
}

TEST_F(JournalRunBooks, AmountsBeyondTheArithmeticBoundsEndTheRunAsAValue) {
  // Two rows of 6 * 10^17 ten-thousandths: their sum reaches 10^18.
  constexpr int64_t kHuge = 600000000000000000;
  Line(1, Side(1, 0), Side(2, 0, kHuge, 1, 500));
  Line(2, Side(3, 0, kHuge, 21, 500), Side(1, 0));
  Open();
  TaxAggregate agg;
  std::vector<std::string> captions;
  EXPECT_EQ(Run(agg, &captions), AggregationStatus::kAmountsTooLarge);
  EXPECT_EQ(captions.back(), reinterpret_cast<const char*>(u8"\"集計中 50％\""));
}

TEST_F(JournalRunBooks, BooksThatCannotBeReadEndTheRunInsteadOfGivingPartFigures) {
  Line(1, Side(1, 10500 * kYen), Side(2, 10000 * kYen, 500 * kYen, 1, 500));
  Open();
  // The journal goes away under the open connection: every pass that reads it fails.
  fx_.Exec("DROP TABLE journal_line");
  TaxAggregate agg;
  std::vector<std::string> captions;
  EXPECT_EQ(Run(agg, &captions), AggregationStatus::kLedgerFault);
}

}  // namespace
