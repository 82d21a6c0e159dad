#include "report/AdvisorName.h"

#include "platform/FullWidth.h"
#include "platform/ShiftJis.h"

namespace report {

std::string CutAdvisorName(std::string_view fullWidthName) {
  return std::string(platform::sjis::CutToWholeChars(fullWidthName, kAdvisorNameBytes));
}

std::string ToAdvisorName(std::string_view companyName) {
  return CutAdvisorName(platform::MapToFullWidth(companyName));
}

}  // namespace report
