// The host plumbing that the corporate and the per-department refund passes
// share: the journal walk, the settings objects they ask for, the accounting
// period that gives the chosen months their dates, the clause chain that
// selects assets by acquisition date, and the test on how a walk of the
// host's records ended.
// The rules that decide where an amount goes are in RefundRules.h.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "aggregate/AggregationContext.h"
#include "aggregate/JournalCondition.h"
#include "aggregate/RefundRules.h"
#include "aggregate/TaxSettings.h"
#include "host/FindInfo.h"
#include "host/LedgerCore.h"
#include "host/LedgerRules.h"
#include "host/Records.h"

namespace aggregate {

// The journal rule's cursor mode that walks every line the chain selects.
inline constexpr int32_t kJournalCursorAllLines = 4;

// The account sums rule's arguments: the base sum type both passes ask for,
// and the department sum types (one department alone, or with its members).
inline constexpr int16_t kAccountSumsBase = 1;
inline constexpr int16_t kDepartmentSumSingle = 0;
inline constexpr int16_t kDepartmentSumWithMembers = 4;

// Readies `rule` to walk every line that `condition` selects and answers how
// many lines the host counts for it (0 when it cannot count them).
uint32_t ReadyJournalWalk(ClRuleShiwake& rule, const JournalCondition& condition);

// A walk of the host's records ran to its end: it stopped with kOk (the
// counted records were read) or with kEndOfWalk.
bool WalkEndedCleanly(int32_t status);

// The data's settings objects (null when the host hands out none).
ClSetData* DataSettings();
ClSetBumon* DepartmentSettings();

// The data's accounting period, owned by the caller. kOk with the period;
// kNotConnected when there is no data settings object; kNotFound when the
// host hands out no period (`period` is then null).
int32_t OpenAccountingPeriod(std::unique_ptr<ClAccPeriod>* period);

// "acquisition date at least `from` and at most `to`", as the depreciation
// rule takes it.
std::array<StFINDINFO, 2> AcquisitionDateChain(int32_t from, int32_t to);

// The month slots of the context's period condition under the company
// record's closing pattern.
MonthSlots ChosenSlots(const AggregationContext& context, const StDATAINFO& record);

// True when the settings keep amounts with tax (the tax-inclusive byte non-zero).
bool IsTaxInclusive(const TaxSettings& settings);

}  // namespace aggregate
