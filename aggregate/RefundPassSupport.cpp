#include "aggregate/RefundPassSupport.h"

#include "host/LedgerCommon.h"

namespace aggregate {

uint32_t ReadyJournalWalk(ClRuleShiwake& rule, const JournalCondition& condition) {
  uint32_t count = 0;
  // As the host does: neither answer is examined; the walk's own steps are.
  rule.GetSwkCount(condition.chain(), nullptr, &count);
  rule.MoveReady(condition.chain(), nullptr, nullptr, kJournalCursorAllLines);
  return count;
}

bool WalkEndedCleanly(int32_t status) { return status == host::kOk || status == host::kEndOfWalk; }

ClSetData* DataSettings() { return dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1)); }

ClSetBumon* DepartmentSettings() {
  return dynamic_cast<ClSetBumon*>(ClDataMgr::Inst()->GetSetObject(kSetKindBumon, 1));
}

int32_t OpenAccountingPeriod(std::unique_ptr<ClAccPeriod>* period) {
  period->reset();
  ClSetData* data = DataSettings();
  if (data == nullptr) return host::kNotConnected;
  ClAccPeriod* raw = nullptr;
  data->GetAccPeriod(&raw);
  period->reset(raw);
  return *period ? host::kOk : host::kNotFound;
}

std::array<StFINDINFO, 2> AcquisitionDateChain(int32_t from, int32_t to) {
  return {StFINDINFO::Compare(StFINDINFO::kItemAcquisitionDate, StFINDINFO::kSideNone, StFINDINFO::kCompareAtLeast,
                              StFINDINFO::kValueNumber, from, StFINDINFO::kJoinAnd),
          StFINDINFO::Compare(StFINDINFO::kItemAcquisitionDate, StFINDINFO::kSideNone, StFINDINFO::kCompareAtMost,
                              StFINDINFO::kValueNumber, to, StFINDINFO::kJoinLast)};
}

MonthSlots ChosenSlots(const AggregationContext& context, const StDATAINFO& record) {
  return SelectMonthSlots(context.periodCondition, record.view().I32(StDATAINFO::kClosingPattern));
}

bool IsTaxInclusive(const TaxSettings& settings) { return settings.taxInclusive() != 0; }

}  // namespace aggregate
