// PeriodCondition: the search-clause chain that restricts every pass to the
// months the user chose, in the host's period-relative month numbers.
//
// It holds room for four clauses (the host's 136 bytes), zero at first. The
// run driver builds it clause by clause: "month number at least s" and "at
// most t", optionally followed by "equal to 15" and/or "equal to 18" joined
// by "or". The passes read the first month number (clause 1) and the last
// one: clause 3's when clause 2 is followed by a third clause (the closing
// month 15 or 18), else clause 2's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/FindInfo.h"

namespace aggregate {

// The closing months' numbers in the host's period-relative numbering.
inline constexpr int16_t kInterimMonthNumber = 15;
inline constexpr int16_t kYearEndMonthNumber = 18;

class PeriodCondition {
 public:
  static constexpr size_t kMaxClauses = 4;

  // Zero-fills every clause.
  void Clear();
  // Appends the clause "month number <comparison> month" with `joiner` to the
  // next one. False, changing nothing, when the four clauses are used.
  bool AppendMonthClause(uint16_t comparison, int16_t month, uint16_t joiner);
  // Sets the joiner of the last clause appended (nothing when there is none).
  void SetLastJoiner(uint16_t joiner);
  size_t size() const { return used_; }

  // The chain as the host takes it (the first clause).
  const StFINDINFO* chain() const { return clauses_.data(); }
  const StFINDINFO& clause(size_t index) const { return clauses_.at(index); }

  // Clause 1's month number.
  int16_t FirstMonthNumber() const;
  // Clause 3's month number when clause 2's joiner is non-zero, else clause 2's.
  int16_t LastMonthNumber() const;

 private:
  std::array<StFINDINFO, kMaxClauses> clauses_{};
  size_t used_ = 0;
};

}  // namespace aggregate
