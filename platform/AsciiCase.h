// AsciiCase: case folding of the 26 ASCII letters only, for names that match
// without regard to case (drive letters, share and file names, INI sections
// and keys, file-name patterns). Bytes outside A-Z and a-z are compared as
// they are, so UTF-8 text is safe to fold; Shift_JIS text is not (a trail
// byte may be a letter) and must be folded a whole character at a time.
#pragma once

#include <algorithm>
#include <string_view>

namespace platform {

constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

}  // namespace platform
