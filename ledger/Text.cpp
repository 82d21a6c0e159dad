#include "ledger/Text.h"

#include "platform/Encoding.h"
#include "platform/ShiftJis.h"

namespace ledger {

std::optional<std::string> Utf8ToCp932(std::string_view utf8) { return platform::Utf8ToCp932(utf8); }
std::optional<std::string> Cp932ToUtf8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  if (auto whole = Cp932ToUtf8(cp932)) return *whole;
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    const size_t len = platform::sjis::CharLength(cp932, i);
    auto piece = Cp932ToUtf8(cp932.substr(i, len));
    out += piece ? *piece : "?";
    i += len;
  }
  return out;
}

}  // namespace ledger
