// JournalCondition: the clause chain by which the refund passes select journal
// lines: a line within the chosen months (the period condition) with at least
// one side in a non-qualifying tax category (below 21, equal to 24, or at
// least 30).
//
//   main chain:  group(side chain) and group(period condition)
//   side chain:  group(debit chain) or group(credit chain)
//   debit chain: category < 21 or category = 24 or category >= 30 (side 1);
//                the credit chain the same with side 2.
//
// The chain refers to its own clauses and to the period condition, so the
// object is neither copied nor moved, and the period condition must outlive
// it.
#pragma once

#include <array>

#include "aggregate/PeriodCondition.h"
#include "host/FindInfo.h"

namespace aggregate {

class JournalCondition {
 public:
  explicit JournalCondition(const PeriodCondition& period);
  JournalCondition(const JournalCondition&) = delete;
  JournalCondition& operator=(const JournalCondition&) = delete;

  // The first clause of the main chain, as the journal rule takes it.
  const StFINDINFO* chain() const { return main_.data(); }

 private:
  // Zero-filled areas of five and fifteen clauses: the main chain in the
  // first; the side chain, the debit chain and the credit chain in the second.
  std::array<StFINDINFO, 5> main_{};
  std::array<StFINDINFO, 15> sides_{};
};

}  // namespace aggregate
