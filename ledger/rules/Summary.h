// The consumption-tax summary of a data set: what the rules compute for a
// range of months, printed readably (UTF-8) for a user to hold against the
// output document. It is the accounting product's own summary screen, as the
// `ledger summary` command shows it.
//
// The months are calendar months as the user chooses them (4 and 3 for April
// to March). They become month numbers as the component builds its period
// condition: months first..last, with the interim closing (15) when the data
// has an interim closing and the last month is the sixth, and the year-end
// closing (18) when the last month is the period's last.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace ledger::rules {

// Prints the summary of data number `dataNo` to `out`. Needs an open
// connection. False with `error` (UTF-8) when the data set or the months
// cannot be used or a rule fails; nothing is printed then (the summary is
// printed whole or not at all).
bool PrintSummary(int32_t dataNo, int32_t firstMonth, int32_t lastMonth, std::FILE* out, std::string* error);

// An amount (yen x 10 000) as yen with thousands separators and the
// fraction, if any, without trailing zeros: "-1,234.5".
std::string FormatYen(int64_t amount);

}  // namespace ledger::rules
