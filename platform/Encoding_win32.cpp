// The conversion on Windows: through the system's own code page 932 and UTF-8
// tables (MultiByteToWideChar / WideCharToMultiByte), never with a default
// character or a best-fit look-alike.
#include "platform/Encoding.h"

#include <algorithm>

#include <windows.h>

namespace platform {

namespace {

constexpr UINT kShiftJis = 932;

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Single bytes that are no character of CP932 (0x80, 0xA0, 0xFD-0xFF). The
// system's table gives them code points of their own (U+0080, private-use
// codes) instead of refusing them; the header's contract, and the Linux
// converter, refuse them.
bool HasUndefinedSingleByte(std::string_view cp932) {
  for (size_t i = 0; i < cp932.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(cp932[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      ++i;  // a lead byte: its trail byte is checked by the system
      continue;
    }
    if (c == 0x80 || c == 0xA0 || c >= 0xFD) return true;
  }
  return false;
}

// `text` in code page `page` as UTF-16; nullopt when a byte sequence is not
// valid in that code page.
std::optional<std::wstring> ToWide(UINT page, std::string_view text) {
  if (text.empty()) return std::wstring();
  const int in = static_cast<int>(text.size());
  const int n = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), in, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), in, wide.data(), n) != n) return std::nullopt;
  return wide;
}

// UTF-16 text as UTF-8; nullopt for an unpaired surrogate.
std::optional<std::string> WideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int in = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), in, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  if (::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), in, out.data(), n, nullptr, nullptr) != n) {
    return std::nullopt;
  }
  return out;
}

// UTF-16 text as CP932; nullopt when any character had to be replaced by the
// default character (it has no code) or would have been by a best fit.
std::optional<std::string> WideToCp932(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int in = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int n = ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), in, nullptr, 0, nullptr,
                                      &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  usedDefault = FALSE;
  if (::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), in, out.data(), n, nullptr,
                            &usedDefault) != n ||
      usedDefault) {
    return std::nullopt;
  }
  return out;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  if (HasUndefinedSingleByte(cp932)) return std::nullopt;
  const auto wide = ToWide(kShiftJis, cp932);
  if (!wide) return std::nullopt;
  return WideToUtf8(*wide);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  const auto wide = ToWide(CP_UTF8, utf8);
  if (!wide) return std::nullopt;
  auto cp932 = WideToCp932(*wide);
  if (!cp932 || HasUndefinedSingleByte(*cp932)) return std::nullopt;
  // Some characters have two codes (the NEC and IBM duplicates) and are taken
  // to one of them; a text that does not read back as itself is refused, as
  // on Linux, so that a conversion is exact both ways.
  const auto back = ToWide(kShiftJis, *cp932);
  if (!back || *back != *wide) return std::nullopt;
  return cp932;
}

}  // namespace platform
