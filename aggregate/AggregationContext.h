// aggregate/: the figures of the journal method. The run driver builds the
// period condition, runs the checks (RunChecks.h) and then the passes
// (JournalRun.h) into a TaxAggregate, which the report writers read.
//
// Results in this folder, everywhere the same:
//  - a pass (SumReturnFigures, SumOldRateTax, SumCorporateRefund,
//    SumIndividualRefund) answers kPassDone (1) when it ran to its end or had
//    nothing to do for the data's kind, and kPassStopped (0) when it stopped
//    early; what it added before stopping stays added. These are the values
//    the system has always carried; the journal run goes on whatever a pass
//    answers, and a failed read of the company data is carried in the
//    context's ledgerFault instead;
//  - the per-department sub-passes, the run checks' host queries and the
//    host plumbing answer the host's status (host::kOk when done);
//  - RunPreAggregationChecks answers a run result (0 go on, 1 stopped,
//    2 failed), RunJournalAggregation an AggregationStatus;
//  - the arithmetic's one error, ArithmeticError, never leaves the folder
//    (FixedDecimal.h says where it is caught).
//
// AggregationContext: the state the aggregation passes share within one run.
// It lives in the progress window (ProgressDialog) and ends with it; the
// passes are handed it, with the window as their Activity (Activity.h), and
// never see the window itself.
//
//  - periodCondition: the chosen months, built by the run driver;
//  - taxMethod, mainBusinessType: copies of the data's settings, set by the
//    run driver (the return figures pass hands taxMethod to the host);
//  - five rule objects, each created and bound (CreateBoundRule) the first
//    time a pass asks for it and reused by later passes; an accessor answers
//    null when its rule cannot be created;
//  - accounts: the AccountList that LoadAccountList fills;
//  - tickCounter: the activity counter of the progress window, 0..10;
//  - ledgerFault: the first status with which the host said the company data
//    could not be read during a pass (0 while every read succeeded). Figures
//    summed under such a status are incomplete, so the run must not write them.
//
// Release() (also run by the destructor) frees the account list and then
// deletes the rules in this order: depreciation, account sums, journal, tax
// summary, return.
#pragma once

#include <cstdint>
#include <memory>

#include "aggregate/AccountList.h"
#include "aggregate/PeriodCondition.h"
#include "host/LedgerRules.h"

namespace aggregate {

// What a pass answers (see the folder's results above).
inline constexpr int32_t kPassDone = 1;
inline constexpr int32_t kPassStopped = 0;

class AggregationContext {
 public:
  AggregationContext() = default;
  ~AggregationContext();
  AggregationContext(const AggregationContext&) = delete;
  AggregationContext& operator=(const AggregationContext&) = delete;

  ClRuleShohizeiShinkoku* ReturnRule();
  ClRuleShohizei* TaxSummaryRule();
  ClRuleShiwake* JournalRule();
  ClRuleKamoku* AccountSumsRule();
  ClRuleGenkashokyaku* DepreciationRule();

  void Release();

  PeriodCondition periodCondition;
  uint8_t taxMethod = 0;
  uint8_t mainBusinessType = 0;
  AccountList accounts;
  int32_t tickCounter = 0;
  int32_t ledgerFault = 0;

  // Keeps `status` as the ledger fault when it is the first failure seen.
  void NoteLedgerFault(int32_t status) {
    if (ledgerFault == 0) ledgerFault = status;
  }
  // The status a walk of the host's records ended with: a walk cut short by
  // a failed read of the company data is a ledger fault; any other end
  // (records exhausted, nothing to walk) is the pass's own affair.
  void NoteWalkEnd(int32_t status);

 private:
  std::unique_ptr<ClRuleShohizeiShinkoku> returnRule_;
  std::unique_ptr<ClRuleShohizei> taxSummaryRule_;
  std::unique_ptr<ClRuleShiwake> journalRule_;
  std::unique_ptr<ClRuleKamoku> accountSumsRule_;
  std::unique_ptr<ClRuleGenkashokyaku> depreciationRule_;
};

}  // namespace aggregate
