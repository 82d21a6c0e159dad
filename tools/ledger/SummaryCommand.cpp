// ledger summary DATA_NO FIRST LAST: the consumption-tax summary of a data set
// for the calendar months FIRST to LAST (ledger/rules/Summary.h).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ledger/Installation.h"
#include "ledger/rules/Summary.h"

int Summary(const std::vector<std::string>& args);

namespace {

bool ParseNumber(const std::string& text, int32_t low, int32_t high, int32_t* value) {
  if (text.empty() || text.size() > 10) return false;
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || parsed < low || parsed > high) return false;
  *value = static_cast<int32_t>(parsed);
  return true;
}

}  // namespace

int Summary(const std::vector<std::string>& args) {
  int32_t dataNo = 0, first = 0, last = 0;
  if (args.size() != 3 || !ParseNumber(args[0], 1, 2147483647, &dataNo) || !ParseNumber(args[1], 1, 12, &first) ||
      !ParseNumber(args[2], 1, 12, &last)) {
    std::fprintf(stderr,
                 "usage: ledger summary DATA_NO FIRST LAST\n"
                 "  DATA_NO a data number; FIRST and LAST calendar months 1 to 12 (4 3: April to March)\n");
    return 2;
  }
  std::string error;
  if (!ledger::Session::Open(ledger::Installation::HomeFolder(), &error)) {
    std::fprintf(stderr, "ledger: %s\n", error.c_str());
    return 1;
  }
  const bool printed = ledger::rules::PrintSummary(dataNo, first, last, stdout, &error);
  ledger::Session::Close();
  if (!printed) {
    std::fprintf(stderr, "ledger: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
