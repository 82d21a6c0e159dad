// Calendar arithmetic on yyyymmdd dates (proleptic Gregorian).
#pragma once

#include <cstdint>

namespace ledger::dates {

constexpr int32_t Year(int32_t date) { return date / 10000; }
constexpr int32_t Month(int32_t date) { return date / 100 % 100; }
constexpr int32_t Day(int32_t date) { return date % 100; }
constexpr int32_t Make(int32_t year, int32_t month, int32_t day) { return year * 10000 + month * 100 + day; }

constexpr bool IsLeap(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
constexpr int32_t DaysInMonth(int32_t year, int32_t month) {
  constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}
// A real calendar date between 1900-01-01 and 2999-12-31.
constexpr bool IsValid(int32_t date) {
  const int32_t y = Year(date), m = Month(date), d = Day(date);
  return y >= 1900 && y <= 2999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}
constexpr int32_t NextDay(int32_t date) {
  int32_t y = Year(date), m = Month(date), d = Day(date) + 1;
  if (d > DaysInMonth(y, m)) {
    d = 1;
    if (++m > 12) { m = 1; ++y; }
  }
  return Make(y, m, d);
}

}  // namespace ledger::dates
