#include "aggregate/JournalRun.h"

#include "aggregate/FixedDecimal.h"
#include "aggregate/RefundPasses.h"
#include "aggregate/ReturnFiguresPass.h"
#include "aggregate/TaxSummaryPass.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "platform/ui/Cursor.h"

bool PrepareRateTables(TaxAggregate& aggregate) {
  auto* taxSettings = dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindShohizei, 1));
  if (taxSettings == nullptr) return false;
  aggregate.AllocateRateTables(static_cast<int16_t>(taxSettings->GetTaxRateCount()));
  return true;
}

namespace {

AggregationStatus RunBlocks(ProgressDialog& progress, TaxAggregate& aggregate, const StDATAINFO& record,
                            const TaxSettings& settings) {
  progress.ResetOverallBar();
  progress.AdvanceOverall(0, 250);
  SumReturnFigures(progress, aggregate);
  progress.AdvanceOverall(250, 500);
  SumOldRateTax(progress, aggregate.oldRateTaxSums, settings);
  progress.AdvanceOverall(500, 750);
  // Neither refund pass stops the run; what they summed stays in the aggregate.
  SumCorporateRefund(progress, aggregate, record, settings);
  SumIndividualRefund(progress, aggregate, record, settings);
  progress.AdvanceOverall(750, 1000);
  return AggregationStatus::kDone;
}

}  // namespace

AggregationStatus RunJournalAggregation(ProgressDialog& progress, TaxAggregate& aggregate, const StDATAINFO& record,
                                        const TaxSettings& settings) {
  progress.ShowWindow(true);
  platform::ui::BeginWaitCursor();
  AggregationStatus status;
  try {
    status = RunBlocks(progress, aggregate, record, settings);
  } catch (const ArithmeticError&) {
    status = AggregationStatus::kAmountsTooLarge;
  }
  if (status == AggregationStatus::kDone && progress.context().ledgerFault != 0) status = AggregationStatus::kLedgerFault;
  progress.Close();
  platform::ui::RestoreWaitCursor();
  return status;
}
