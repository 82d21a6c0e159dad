// The refund-statement passes, run after the tax summary pass, in this order,
// inside the progress window.
//
// SumCorporateRefund fills the corporate rows of TaxAggregate for corporate
// data (company kind 0 or 1): the book amounts of goodsPurchases,
// sellingAdminExpenses, nonOperatingExpenses and otherProfitLoss from the
// account sums over the chosen months, their non-qualifying and undetermined
// import parts from the journal lines (JournalCondition) on the accounts of
// list kind 2, and fixedAssetAcquisitions / deferredAssetAcquisitions (asset
// kind 9) from the assets acquired within the months. It works through the
// context's account sums, journal and depreciation rules.
//
// SumIndividualRefund fills the individual rows for sole-proprietor data
// (kind 3 or 4): book amounts department by department (or once for the whole
// data when it has no departments), the journal parts, and the business and
// real-estate fixed assets, routed by the income layout and the departments
// (IndividualRefundPass.h).
//
// Each answers kPassDone (1) when the data is not of its kind or the pass
// completed, and kPassStopped (0) when it stopped early (a rule that cannot be
// created, a host error in a walk, no accounting period for the asset step, a
// failed department); what was added before stays in TaxAggregate. One activity tick per account-sum
// record, journal line, list node compared and asset in the corporate pass,
// per asset in the individual pass. A sum beyond the bounds of FixedDecimal
// throws ArithmeticError (caught where the passes are run).
#pragma once

#include <cstdint>

#include "aggregate/Activity.h"
#include "aggregate/AggregationContext.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSettings.h"
#include "host/Records.h"

namespace aggregate {

int32_t SumCorporateRefund(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                           const StDATAINFO& record, const TaxSettings& settings);
int32_t SumIndividualRefund(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                            const StDATAINFO& record, const TaxSettings& settings);

}  // namespace aggregate
