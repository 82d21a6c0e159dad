// The refund-statement passes: the corporate pass fills the corporate rows of
// TaxAggregate (corporate data only) and the per-department pass the
// individual rows (individual data only). Each returns 1 when the data is not
// of its kind or the pass completed, 0 when it stopped early.
//
// Until the passes are built into this installation each answers
// kRefundPassNotBuilt, which no built pass ever returns; the journal run
// (RunJournalAggregation) turns it into a failed run.
#pragma once

#include <cstdint>

#include "aggregate/ProgressDialog.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSettings.h"
#include "host/Records.h"

inline constexpr int32_t kRefundPassNotBuilt = -1;

int32_t SumCorporateRefund(ProgressDialog& progress, TaxAggregate& aggregate, const StDATAINFO& record,
                           const TaxSettings& settings);
int32_t SumIndividualRefund(ProgressDialog& progress, TaxAggregate& aggregate, const StDATAINFO& record,
                            const TaxSettings& settings);
