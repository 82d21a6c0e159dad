#include "dialog/MonthRange.h"

#include <limits>

namespace dialog {

namespace {

bool InPeriod(int32_t month, const PeriodMonths& p) {
  return p.CrossesYearEnd() ? (month >= p.first || month <= p.last) : (month >= p.first && month <= p.last);
}

int32_t FiscalPosition(int32_t month, const PeriodMonths& p) {
  return month >= p.first ? month - p.first : month + 12 - p.first;
}

}  // namespace

MonthField CheckMonthRange(int32_t start, int32_t end, const PeriodMonths& period) {
  if (start < 1 || start > 12) return MonthField::Start;
  if (end < 1 || end > 12) return MonthField::End;
  const bool startIn = InPeriod(start, period);
  const bool endIn = InPeriod(end, period);
  const bool ordered = FiscalPosition(start, period) <= FiscalPosition(end, period);
  if (startIn && endIn && ordered) return MonthField::None;
  if (period.CrossesYearEnd()) {
    if (startIn && endIn) return MonthField::End;             // reversed
    if (start <= period.last && !endIn) return MonthField::End;  // start in the second year
  }
  return MonthField::Start;
}

int32_t DecimalValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

}  // namespace dialog
