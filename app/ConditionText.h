// The five information lines of the conditions dialog: company name,
// accounting period, filing category, deduction label and deduction value.
//
// Kind 0 " <company name>"; kind 1 " yyyy/mm/dd～yyyy/mm/dd"; kind 2 " <filing
// category>"; kind 3 the deduction label (no leading blank; empty for exempt
// data); kind 4 " <deduction value>" (main business type under simplified
// taxation, deduction method under general taxation; empty for exempt data).
// The texts of kinds 2 to 4 are the display strings 0 to 13 of the element
// name table, picked by index arithmetic on the consumption-tax settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// The consumption-tax settings bytes the lines are made of.
struct TaxSettingsFacts {
  uint8_t taxMethod = 0;         // byte 0: 0 exempt, 1 simplified, 2 general
  uint8_t deductionMethod = 0;   // byte 3: 0 individual attribution, 1 lump-sum
  uint8_t mainBusinessType = 0;  // byte 4: 0 none, 1 to 6
};

// The kinds of line.
inline constexpr int kCompanyLine = 0;
inline constexpr int kPeriodLine = 1;
inline constexpr int kFilingCategoryLine = 2;
inline constexpr int kDeductionLabelLine = 3;
inline constexpr int kDeductionValueLine = 4;

// Display string `index` (0 to 13); empty for an index outside the table.
using DisplayTextFn = const char* (*)(int index);

std::string ConditionText(int kind, std::string_view companyName, int32_t periodStart, int32_t periodEnd,
                          const TaxSettingsFacts& tax, DisplayTextFn displayText);

}  // namespace app
