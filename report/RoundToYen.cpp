#include "report/RoundToYen.h"

#include "host/Records.h"

namespace report {

namespace {

// Rounds a magnitude given as whole yen and four decimals (0 to 9999).
int64_t RoundMagnitude(int64_t yen, int64_t decimals, int roundingKind) {
  switch (roundingKind) {
    case host::StSHOHIZEIINFO::kRoundHalfUp: {
      int64_t d1 = decimals / 1000;
      int64_t d2 = (decimals / 100) % 10;
      int64_t d3 = (decimals % 100) / 10;
      const int64_t d4 = decimals % 10;
      if (d4 >= 5) ++d3;
      if (d3 >= 5) ++d2;
      if (d2 >= 5) ++d1;
      return d1 >= 5 ? yen + 1 : yen;
    }
    case host::StSHOHIZEIINFO::kRoundUp:
      return decimals != 0 ? yen + 1 : yen;
    default:
      return yen;
  }
}

}  // namespace

int64_t RoundToYen(int64_t amount, int roundingKind) {
  // Truncating division gives quotient and remainder of the amount's sign;
  // both negate safely even for the most negative amount.
  const int64_t q = amount / 10000;
  const int64_t r = amount % 10000;
  if (amount >= 0) return RoundMagnitude(q, r, roundingKind);
  return -RoundMagnitude(-q, -r, roundingKind);
}

std::string AmountText(int64_t amount, int roundingKind) {
  const int64_t yen = RoundToYen(amount, roundingKind);
  if (yen == 0) return std::string();
  return std::to_string(yen);
}

}  // namespace report
