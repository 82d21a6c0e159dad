#include "report/AdvisorName.h"

#include "platform/ShiftJis.h"

namespace report {

std::string CutAdvisorName(std::string_view fullWidthName) {
  return std::string(platform::sjis::CutToWholeChars(fullWidthName, kAdvisorNameBytes));
}

}  // namespace report
