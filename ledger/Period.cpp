// ClAccPeriod: months of an accounting period under a closing day.
#include <algorithm>

#include "host/LedgerCore.h"
#include "ledger/Dates.h"

namespace {

using namespace ledger::dates;

// An accounting month: the calendar month (year, month) in which it closes.
struct AMonth {
  int32_t year;
  int32_t month;
  AMonth Next() const { return month == 12 ? AMonth{year + 1, 1} : AMonth{year, month + 1}; }
  AMonth Prev() const { return month == 1 ? AMonth{year - 1, 12} : AMonth{year, month - 1}; }
};

int32_t ClosingDate(AMonth m, int32_t closingDay) {
  return Make(m.year, m.month, std::min(closingDay, DaysInMonth(m.year, m.month)));
}
int32_t OpeningDate(AMonth m, int32_t closingDay) { return NextDay(ClosingDate(m.Prev(), closingDay)); }

AMonth AMonthOf(int32_t date, int32_t closingDay) {
  const AMonth calendar{Year(date), Month(date)};
  return date <= ClosingDate(calendar, closingDay) ? calendar : calendar.Next();
}

constexpr int32_t kMaxMonths = 12;

}  // namespace

int32_t ClAccPeriod::SetPeriod(int32_t startDate, int32_t endDate) {
  if (!IsValid(startDate) || !IsValid(endDate) || endDate < startDate) return host::kBadArgument;
  startDate_ = startDate;
  endDate_ = endDate;
  return host::kOk;
}

int32_t ClAccPeriod::GetClosingDayByEndDate(int32_t endDate, int16_t* closingDay) const {
  if (closingDay == nullptr || !IsValid(endDate)) return host::kBadArgument;
  const bool monthEnd = Day(endDate) == DaysInMonth(Year(endDate), Month(endDate));
  *closingDay = static_cast<int16_t>(monthEnd ? 31 : Day(endDate));
  return host::kOk;
}

int32_t ClAccPeriod::SetClosingDay(int16_t closingDay) {
  if (closingDay < 1 || closingDay > 31) return host::kBadArgument;
  closingDay_ = closingDay;
  return host::kOk;
}

int32_t ClAccPeriod::GetAMonthByDate(int32_t date, int16_t* month) const {
  if (month == nullptr || !IsValid(date)) return host::kBadArgument;
  *month = static_cast<int16_t>(AMonthOf(date, closingDay_).month);
  return host::kOk;
}

int32_t ClAccPeriod::GetPeriod(int32_t* startDate, int32_t* endDate) const {
  if (startDate == nullptr || endDate == nullptr) return host::kBadArgument;
  if (startDate_ == 0) return host::kNotFound;
  *startDate = startDate_;
  *endDate = endDate_;
  return host::kOk;
}

int32_t ClAccPeriod::MonthCount() const {
  if (startDate_ == 0) return 0;
  const AMonth first = AMonthOf(startDate_, closingDay_);
  const AMonth last = AMonthOf(endDate_, closingDay_);
  return (last.year - first.year) * 12 + (last.month - first.month) + 1;
}

bool ClAccPeriod::MonthRange(int32_t index, int32_t* fromDate, int32_t* toDate) const {
  if (startDate_ == 0 || index < 0 || index >= std::min(MonthCount(), kMaxMonths)) return false;
  AMonth m = AMonthOf(startDate_, closingDay_);
  for (int32_t i = 0; i < index; ++i) m = m.Next();
  *fromDate = std::max(startDate_, OpeningDate(m, closingDay_));
  *toDate = std::min(endDate_, ClosingDate(m, closingDay_));
  return true;
}

int32_t ClAccPeriod::GetPeriodByAMonth(int16_t month, int32_t* fromDate, int32_t* toDate, int32_t) const {
  if (fromDate == nullptr || toDate == nullptr || month < 1 || month > 12) return host::kBadArgument;
  const int32_t count = std::min(MonthCount(), kMaxMonths);
  AMonth m = AMonthOf(startDate_, closingDay_);
  for (int32_t i = 0; i < count; ++i, m = m.Next()) {
    if (m.month == month) return MonthRange(i, fromDate, toDate) ? host::kOk : host::kNotFound;
  }
  return host::kNotFound;
}

int32_t ClAccPeriod::GetPeriodByMonthKind(int16_t monthNumber, int32_t* fromDate, int32_t* toDate, int32_t) const {
  if (fromDate == nullptr || toDate == nullptr) return host::kBadArgument;
  int32_t from = 0;
  int32_t to = 0;
  if (monthNumber == 15) {
    // The interim closing closes the sixth month.
    if (!MonthRange(5, &from, &to)) return host::kNotFound;
    from = to;
  } else if (monthNumber == 18) {
    if (startDate_ == 0) return host::kNotFound;
    from = to = endDate_;
  } else if (!MonthRange(monthNumber - 1, &from, &to)) {
    return host::kNotFound;
  }
  *fromDate = from;
  *toDate = to;
  return host::kOk;
}
