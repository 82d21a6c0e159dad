#include "app/ConditionText.h"

#include <cstdio>

#include "host/Records.h"
#include "report/ElementNameTable.h"

namespace app {
namespace {

using Texts = report::ElementNameTable;

std::string Display(DisplayTextFn displayText, int index) {
  if (index < 0 || index >= Texts::kDisplayTextCount) return std::string();
  const char* text = displayText(index);
  return text ? std::string(text) : std::string();
}

std::string Blank(const std::string& text) { return " " + text; }

std::string PeriodText(int32_t start, int32_t end) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, " %04d/%02d/%02d～%04d/%02d/%02d", start / 10000, start / 100 % 100,
                start % 100, end / 10000, end / 100 % 100, end % 100);
  return buffer;
}

}  // namespace

std::string ConditionText(int kind, std::string_view companyName, int32_t periodStart, int32_t periodEnd,
                          const TaxSettingsFacts& tax, DisplayTextFn displayText) {
  switch (kind) {
    case 0:
      return Blank(std::string(companyName));
    case 1:
      return PeriodText(periodStart, periodEnd);
    case 2:
      return Blank(Display(displayText, Texts::kTaxMethodNames + tax.taxMethod));
    case 3:
      if (tax.taxMethod == StSHOHIZEIINFO::kSimplified || tax.taxMethod == StSHOHIZEIINFO::kGeneral)
        return Display(displayText, Texts::kTaxMethodHeadings + tax.taxMethod);
      return std::string();
    case 4:
      if (tax.taxMethod == StSHOHIZEIINFO::kSimplified)
        return Blank(Display(displayText, Texts::kBusinessTypeNames + tax.mainBusinessType));
      if (tax.taxMethod == StSHOHIZEIINFO::kGeneral)
        return Blank(Display(displayText, Texts::kDeductionMethodNames + tax.deductionMethod));
      return std::string();
    default:
      return std::string();
  }
}

}  // namespace app
