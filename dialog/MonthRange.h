// The month range rules of the conditions dialog. Months are calendar months
// 1 to 12; an accounting period runs from its first to its last month and
// crosses a calendar year end when the last month is smaller than the first
// (April to March, say).
#pragma once

#include <cstdint>
#include <string_view>

namespace dialog {

struct PeriodMonths {
  int32_t first = 0;
  int32_t last = 0;
  bool CrossesYearEnd() const { return last < first; }
};

// Which month edit a refused range sends the user back to.
enum class MonthField { None, Start, End };

// Checks the chosen months against the period. None when the range is
// accepted; otherwise the field that gets the focus:
// - a start outside 1 to 12 refuses the start, then an end outside 1 to 12 the end;
// - both months must lie within the period and the start must not come after
//   the end in the period's order; such a range refuses the start, except in a
//   period that crosses a year end when both months lie within the period in
//   reversed order, or the start lies in the period's second calendar year and
//   the end outside the period: then the end.
MonthField CheckMonthRange(int32_t start, int32_t end, const PeriodMonths& period);

// The decimal value of a text as the C library's atoi reads it: leading blanks,
// an optional sign, then digits up to the first other character; 0 when no
// digit follows, clamped to the 32-bit range.
int32_t DecimalValue(std::string_view text);

}  // namespace dialog
