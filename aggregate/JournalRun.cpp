#include "aggregate/JournalRun.h"

#include "aggregate/FixedDecimal.h"
#include "aggregate/RefundPasses.h"
#include "aggregate/ReturnFiguresPass.h"
#include "aggregate/TaxSummaryPass.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "platform/ui/Cursor.h"

namespace aggregate {

bool PrepareRateTables(TaxAggregate& aggregate) {
  auto* taxSettings = dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindShohizei, 1));
  if (taxSettings == nullptr) return false;
  aggregate.AllocateRateTables(static_cast<int16_t>(taxSettings->GetTaxRateCount()));
  return true;
}

namespace {

AggregationStatus RunBlocks(AggregationContext& context, AggregationProgress& progress,
                            TaxAggregate& aggregate, const StDATAINFO& record, const TaxSettings& settings) {
  progress.ResetOverallBar();
  progress.AdvanceOverall(0, 250);
  SumReturnFigures(context, progress, aggregate);
  progress.AdvanceOverall(250, 500);
  SumOldRateTax(context, progress, aggregate.oldRateTaxSums, settings);
  progress.AdvanceOverall(500, 750);
  // Neither refund pass stops the run; what they summed stays in the aggregate.
  SumCorporateRefund(context, progress, aggregate, record, settings);
  SumIndividualRefund(context, progress, aggregate, record, settings);
  progress.AdvanceOverall(750, 1000);
  return AggregationStatus::kDone;
}

}  // namespace

AggregationStatus RunJournalAggregation(AggregationContext& context, AggregationProgress& progress,
                                        TaxAggregate& aggregate, const StDATAINFO& record,
                                        const TaxSettings& settings) {
  progress.Show();
  platform::ui::BeginWaitCursor();
  AggregationStatus status;
  try {
    status = RunBlocks(context, progress, aggregate, record, settings);
  } catch (const ArithmeticError&) {
    status = AggregationStatus::kAmountsTooLarge;
  }
  if (status == AggregationStatus::kDone && context.ledgerFault != 0) status = AggregationStatus::kLedgerFault;
  progress.Close();
  platform::ui::RestoreWaitCursor();
  return status;
}

}  // namespace aggregate
