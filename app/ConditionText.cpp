#include "app/ConditionText.h"

#include <cstdio>

namespace app {
namespace {

constexpr int kDisplayTexts = 14;

std::string Display(DisplayTextFn displayText, int index) {
  if (index < 0 || index >= kDisplayTexts) return std::string();
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
      return Blank(Display(displayText, tax.taxMethod));
    case 3:
      if (tax.taxMethod == 1 || tax.taxMethod == 2) return Display(displayText, tax.taxMethod + 2);
      return std::string();
    case 4:
      if (tax.taxMethod == 1) return Blank(Display(displayText, tax.mainBusinessType + 7));
      if (tax.taxMethod == 2) return Blank(Display(displayText, tax.deductionMethod + 5));
      return std::string();
    default:
      return std::string();
  }
}

}  // namespace app
