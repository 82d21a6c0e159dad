// The tax summary pass and the account list builder.
//
// LoadAccountList(kind) empties the context's AccountList and fills it, in the
// host's order, with the accounts whose class code is in the kind's set:
//   1: the tax summary pass (0x40888000, 0x40848000);
//   2: the corporate refund pass (17 codes of the refund class table);
//   3: the per-department refund pass (all 18 codes of that table).
// Any other kind asks the host with an empty chain. Accounts whose exclusion
// byte is set never enter the list. One activity Tick per account walked;
// the activity is finished at the end.
//
// SumOldRateTax adds, for 5 % and then 3 %, the host's consumption-tax summary
// rows of the listed accounts over the chosen months into oldRateTaxSums[0]
// (5 %) and oldRateTaxSums[1] (3 %). Returns 1 when the pass ran, 0 when the
// tax summary rule cannot be created (nothing is summed). A sum beyond the
// bounds of FixedDecimal throws ArithmeticError.
#pragma once

#include <cstdint>
#include <span>

#include "aggregate/Activity.h"
#include "aggregate/AggregationContext.h"
#include "aggregate/TaxSettings.h"

namespace aggregate {

// The list kinds.
inline constexpr int16_t kTaxSummaryAccountList = 1;
inline constexpr int16_t kCorporateAccountList = 2;
inline constexpr int16_t kDepartmentAccountList = 3;

// The class codes of a list kind, in chain order (empty for an unknown kind).
// Those of the refund lists come from the class table (RefundRules.h).
std::span<const uint32_t> AccountClassCodes(int16_t kind);

void LoadAccountList(AggregationContext& context, Activity& activity, int16_t kind);

int32_t SumOldRateTax(AggregationContext& context, Activity& activity, int64_t oldRateTaxSums[2],
                      const TaxSettings& settings);

}  // namespace aggregate
