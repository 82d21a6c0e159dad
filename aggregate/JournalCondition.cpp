#include "aggregate/JournalCondition.h"

namespace aggregate {

namespace {

constexpr size_t kSideChain = 0;
constexpr size_t kDebitChain = 2;
constexpr size_t kCreditChain = 5;

// Fills three clauses at `first`: category < 21, = 24, >= 30, joined by "or".
void FillCategoryChain(StFINDINFO* first, uint16_t side) {
  first[0] = StFINDINFO::Compare(StFINDINFO::kItemTaxCategory, side, StFINDINFO::kCompareLessThan,
                                 StFINDINFO::kValueNumber, 21, StFINDINFO::kJoinOr);
  first[1] = StFINDINFO::Compare(StFINDINFO::kItemTaxCategory, side, StFINDINFO::kCompareEqual,
                                 StFINDINFO::kValueNumber, 24, StFINDINFO::kJoinOr);
  first[2] = StFINDINFO::Compare(StFINDINFO::kItemTaxCategory, side, StFINDINFO::kCompareAtLeast,
                                 StFINDINFO::kValueNumber, 30, StFINDINFO::kJoinLast);
}

}  // namespace

JournalCondition::JournalCondition(const PeriodCondition& period) {
  FillCategoryChain(&sides_[kDebitChain], StFINDINFO::kSideDebit);
  FillCategoryChain(&sides_[kCreditChain], StFINDINFO::kSideCredit);
  sides_[kSideChain] = StFINDINFO::Group(&sides_[kDebitChain], StFINDINFO::kJoinOr);
  sides_[kSideChain + 1] = StFINDINFO::Group(&sides_[kCreditChain], StFINDINFO::kJoinLast);
  main_[0] = StFINDINFO::Group(&sides_[kSideChain], StFINDINFO::kJoinAnd);
  main_[1] = StFINDINFO::Group(period.chain(), StFINDINFO::kJoinLast);
}

}  // namespace aggregate
