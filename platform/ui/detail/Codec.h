// Shift_JIS <-> UTF-8 for the UI backends and the entry point, where the
// program meets Linux text (script, transcript, command line). Exact or nothing:
// a text that cannot be converted gives no result.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::ui::detail {

std::optional<std::string> Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

}  // namespace platform::ui::detail
