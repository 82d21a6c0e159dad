// The pieces of the per-department refund pass (SumIndividualRefund, declared
// in RefundPasses.h) for sole-proprietor data: where an amount goes, and the
// three sub-passes over account sums, journal lines and assets.
//
// Routing: the income layout L of the company (byte 947) and the department
// an amount belongs to decide its rows. With A = a department of class 1 and
// reference 0, B = a department of class 1 and reference non-zero:
//   business     L = 1; or L = 3 and (no department, or income type 1, or A)
//   real estate  L = 2; or L = 3, a department and income type 3
//   other        L = 3, a department, not A, and (B, or income type neither
//                1 nor 3)
// Purchase-group accounts feed the business and other purchase rows (there is
// no real-estate purchase row); individual-expense-group accounts feed the
// business, real-estate and other expense rows. An amount feeds every row
// whose condition holds.
//
// Sub-passes answer 0 when they ran to the end, else the host's status
// (kRuleNotCreated when a rule object cannot be created; kNotConnected when
// the host hands out no settings object; kNotFound when the accounting
// period cannot be had). Amounts already added stay added.
#pragma once

#include <cstdint>

#include "aggregate/Activity.h"
#include "aggregate/AggregationContext.h"
#include "aggregate/RefundRules.h"
#include "aggregate/TaxAggregate.h"
#include "aggregate/TaxSettings.h"
#include "host/Records.h"

namespace aggregate {

struct IncomeRoute {
  bool business = false;
  bool realEstate = false;
  bool other = false;
};
// `department` is the department's record when `hasDepartment`, else ignored.
IncomeRoute RouteIncome(uint8_t incomeLayout, bool hasDepartment, const StBUMONINFO* department);

// The net amount of an account's sums over the chosen slots: D - K when the
// record's balance side is 1, else K - D.
int64_t AccountNetAmount(const StKAMOKUSUMINFO& sums, const MonthSlots& slots, bool taxInclusive);

// Book amounts of one department (or of the whole data when `department` is
// null) from a private account sums rule. Records with exclusion mark 126
// non-zero or mark 128 equal to 1 are skipped, and so are the heading rows
// (row kind 1) of the purchase and individual expense groups.
int32_t SumDepartmentAccounts(AggregationContext& context, TaxAggregate& aggregate, const StDATAINFO& record,
                              const TaxSettings& settings, const StBUMONINFO* department);

// Non-qualifying parts from the journal lines on listed accounts (list kind
// 3) of the purchase and individual expense groups, routed by the department
// of each side. A rule that cannot be created answers 0: the assets still run.
int32_t SumIndividualJournals(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                              const StDATAINFO& record, const TaxSettings& settings);

// Assets acquired from the first date of the first month number to the last
// date of the last one: business income (L = 1, or L = 3 with asset income
// type 1) to businessFixedAssets, real-estate income (L = 2, or L = 3 with
// asset income type 2) to realEstateFixedAssets. One activity tick per asset.
int32_t SumIndividualAssets(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                            const StDATAINFO& record);

}  // namespace aggregate
