#include "aggregate/PeriodCondition.h"

namespace aggregate {

void PeriodCondition::Clear() {
  for (StFINDINFO& c : clauses_) c.Clear();
  used_ = 0;
}

bool PeriodCondition::AppendMonthClause(uint16_t comparison, int16_t month, uint16_t joiner) {
  if (used_ == kMaxClauses) return false;
  clauses_[used_++] = StFINDINFO::Compare(StFINDINFO::kItemMonthNumber, StFINDINFO::kSideNone, comparison,
                                          StFINDINFO::kValueMonth, month, joiner);
  return true;
}

void PeriodCondition::SetLastJoiner(uint16_t joiner) {
  if (used_ > 0) clauses_[used_ - 1].SetJoiner(joiner);
}

int16_t PeriodCondition::FirstMonthNumber() const { return clauses_[0].view().I16(StFINDINFO::kValue); }

int16_t PeriodCondition::LastMonthNumber() const {
  const size_t last = clauses_[1].Joiner() != StFINDINFO::kJoinLast ? 2 : 1;
  return clauses_[last].view().I16(StFINDINFO::kValue);
}

}  // namespace aggregate
