// Shift_JIS (code page 932) aware byte scanning: the one helper every part of
// the system uses when it looks for a single-byte character ("\", ":", "/", a
// quote) in a text. A lead byte (0x81-0x9F, 0xE0-0xFC) and the byte after it
// form one character, so the trail byte is never taken for the single-byte
// character it happens to equal ("機能" holds the byte 0x5C, the "\" code).
//
// A lead byte at the very end of a text (a truncated character) counts as one
// character of its own; no scan reads past the text.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform::sjis {

constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length in bytes (1 or 2) of the character that starts at `pos`.
size_t CharLength(std::string_view text, size_t pos);

// Position of the first / last single-byte character `c` that stands as a
// character of its own, or npos.
size_t FindChar(std::string_view text, char c, size_t from = 0);
size_t FindLastChar(std::string_view text, char c);
// Position of the last character that is any of `chars` (all single-byte), or npos.
size_t FindLastOf(std::string_view text, std::string_view chars);
// Position of the first character that is any of `chars`, or npos.
size_t FindFirstOf(std::string_view text, std::string_view chars, size_t from = 0);

// True when the last character of `text` is the single-byte `c`.
bool EndsWithChar(std::string_view text, char c);

// The longest prefix of `text` of at most `max_bytes` bytes that does not cut
// a double-byte character in two.
std::string_view CutToWholeChars(std::string_view text, size_t max_bytes);

}  // namespace platform::sjis
