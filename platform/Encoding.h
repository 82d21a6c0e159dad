// Conversion between the system's Shift_JIS text (code page 932) and the UTF-8
// text of Linux: file names, the terminal, script files, the ledger's store.
// Only platform/ and ledger/ call it; the system's own folders never convert.
//
// The conversion is exact or it fails: a byte sequence that has no
// counterpart in the other encoding (a lone lead byte, an undefined code, a
// character CP932 cannot hold) gives no result at all, never a text with
// replacement marks or dropped characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// CP932 bytes -> UTF-8, or nullopt when `cp932` is not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// UTF-8 -> CP932 bytes, or nullopt when `utf8` is not valid UTF-8 or holds a
// character that CP932 has no code for.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Text a person typed (at the terminal or in a script) -> CP932 bytes. As
// Utf8ToCp932, except that U+00A5 YEN SIGN becomes 0x5C, the path separator:
// Japanese keyboards write it with that key and Japanese systems show 0x5C as
// a yen sign. nullopt when any other character has no CP932 code.
std::optional<std::string> TypedTextToCp932(std::string_view utf8);

}  // namespace platform
