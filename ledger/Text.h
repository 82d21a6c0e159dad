// Conversion between the store's UTF-8 and the system's Shift_JIS (code page
// 932). A text that has no exact counterpart in the other encoding is refused
// (nullopt), never approximated.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ledger {

std::optional<std::string> Utf8ToCp932(std::string_view utf8);
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// Cp932ToUtf8 for messages: bytes that do not convert become "?".
std::string Cp932ToUtf8Lossy(std::string_view cp932);

}  // namespace ledger
