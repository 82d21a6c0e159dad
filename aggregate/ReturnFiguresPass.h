// The return figures pass: the host's return rule sums the chosen months into
// one record per tax rate (rateTotals) and six per rate, one per business type
// (businessTotals).
//
// SumReturnFigures stamps records 0, 1 and 2 of rateTotals with 800, 500 and
// 300 (hundredths of a percent), stamps every business-type record of the N
// rates with its rate and type (one activity Sweep per rate), hands both tables
// to ClRuleShohizeiShinkoku::SumTax with the context's tax method and period
// condition, and then multiplies the securities amount (byte 33) of rate
// records 0 .. N-3 by 20: the host reports it as 5 % of the transfers.
//
// N is the rate count of the data's consumption-tax settings. Returns 1 when
// done; 0 when there is no consumption-tax settings object, the return rule
// cannot be created, or the tables hold fewer records than N (the host would
// write past them). The tables keep what was set before a failure. A scaled
// amount beyond the bounds of FixedDecimal throws ArithmeticError.
#pragma once

#include <cstdint>

#include "aggregate/Activity.h"
#include "aggregate/AggregationContext.h"
#include "aggregate/TaxAggregate.h"

namespace aggregate {

int32_t SumReturnFigures(AggregationContext& context, Activity& activity, TaxAggregate& aggregate);

}  // namespace aggregate
