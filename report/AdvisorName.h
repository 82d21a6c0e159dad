// The advisor name of the BASIC section: the company name in full-width
// characters, at most 32 bytes, never ending in half a character.
#pragma once

#include <string>
#include <string_view>

namespace report {

inline constexpr size_t kAdvisorNameBytes = 32;

// The company name converted to full-width characters by the platform's
// locale mapping (half-width letters, digits, symbols, blanks and katakana
// become their full-width forms), cut to 32 bytes.
std::string ToAdvisorName(std::string_view companyName);

// The cut alone, for a name already converted: the first 32 bytes, less the
// first byte of a double-byte character that the cut would split.
std::string CutAdvisorName(std::string_view fullWidthName);

}  // namespace report
