#include "app/HostCommandLine.h"

#include <limits>

namespace app {

long DecimalToLong(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate negatively so that the most negative long is reachable.
  const long lowest = std::numeric_limits<long>::min();
  long value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value < (lowest + digit) / 10) {
      saturated = true;
      break;
    }
    value = value * 10 - digit;
  }
  if (saturated) return negative ? lowest : std::numeric_limits<long>::max();
  if (!negative) return value == lowest ? std::numeric_limits<long>::max() : -value;
  return value;
}

int ParseHostCommandLine(std::string_view text, HostCommandLine& line) {
  // The three numeric fields hold no double-byte characters before their
  // commas, and a comma (0x2C) is never the second byte of one.
  const size_t first = text.find(',');
  if (first == std::string_view::npos) return 0;
  line.window = DecimalToLong(text.substr(0, first));

  const size_t second = text.find(',', first + 1);
  if (second == std::string_view::npos) return 0;
  line.message = static_cast<uint32_t>(DecimalToLong(text.substr(first + 1, second - first - 1)));

  const size_t third = text.find(',', second + 1);
  if (third == std::string_view::npos) return 0;
  line.functionId = static_cast<int16_t>(DecimalToLong(text.substr(second + 1, third - second - 1)));

  line.fixedOutputPath.assign(text.substr(third + 1));
  return 1;
}

}  // namespace app
