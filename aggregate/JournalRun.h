// The journal method's aggregation as the run driver drives it, between the
// conditions dialog and the output document. The driver's order:
//
//   ProgressDialog progress;  progress.Create();         // hidden
//   if (!PrepareRateTables(aggregate)) -> result 2, stop (no message)
//   progress.context().taxMethod = ...; .mainBusinessType = ...;
//   progress.context().periodCondition.Clear(); ... AppendMonthClause ...
//   (the context lives with the window; the passes are handed both)
//   (read TaxSettings)
//   if (int r = RunPreAggregationChecks(progress.context(), &progress, {...}))
//     -> result r, stop
//   switch (RunJournalAggregation(progress.context(), progress, aggregate,
//                                 record, settings)) ...
//
// PrepareRateTables takes the data's consumption-tax settings object and
// allocates the aggregate's rate tables for its rate count; false when the
// data has no such object.
//
// AggregationProgress: what the journal run asks of the window that shows it
// (ProgressDialog): the passes' Activity, and the window's own steps around
// them. The run knows the window only through it.
//
// RunJournalAggregation is the one place where the passes run: it catches the
// arithmetic's error for all of them. It shows the window, begins the wait
// cursor and runs the
// four blocks: overall bar reset; 0-250, return figures; 250-500, tax summary;
// 500-750, corporate then per-department refund passes; 750-1000; then closes
// the window (result 1) and restores the wait cursor. The wait cursor stays
// begun for the driver to end once the document is written (or on its stop).
// It answers:
//   kDone            the aggregate is complete;
//   kAmountsTooLarge an amount left the bounds of FixedDecimal (the driver
//                    tells the user and fails the run; the aggregate is partial);
//   kLedgerFault     the host could not read the company data during a pass
//                    (the context's ledgerFault holds its status); the
//                    aggregate is incomplete and must not be written.
#pragma once

#include <cstdint>

#include "aggregate/Activity.h"
#include "aggregate/AggregationContext.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSettings.h"
#include "host/Records.h"

namespace aggregate {

class AggregationProgress : public Activity {
 public:
  // Makes the window visible.
  virtual void Show() = 0;
  // The overall bar back to its start (0 of 1000).
  virtual void ResetOverallBar() = 0;
  // The overall bar from `start` to `end` of 1000, inclusive.
  virtual void AdvanceOverall(int16_t start, int16_t end) = 0;
  // Ends the window (result 1).
  virtual void Close() = 0;
};

enum class AggregationStatus { kDone, kAmountsTooLarge, kLedgerFault };

bool PrepareRateTables(TaxAggregate& aggregate);

AggregationStatus RunJournalAggregation(AggregationContext& context, AggregationProgress& progress,
                                        TaxAggregate& aggregate, const StDATAINFO& record,
                                        const TaxSettings& settings);

}  // namespace aggregate
