#include "platform/Profile.h"

#include "platform/AsciiCase.h"
#include "platform/Encoding.h"
#include "platform/ShiftJis.h"

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Equal but for the case of single-byte letters; the bytes of double-byte
// characters compare exactly (their trail bytes may look like letters).
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t len = sjis::CharLength(a, i);
    if (len != sjis::CharLength(b, i)) return false;
    if (len == 1 ? AsciiUpper(a[i]) != AsciiUpper(b[i]) : a.substr(i, 2) != b.substr(i, 2)) return false;
    i += len;
  }
  return true;
}

// UTF-16LE text (after its byte-order mark) as UTF-8; nullopt when it is not
// well formed.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    char32_t cp = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (cp >= 0xDC00 && cp <= 0xDFFF) return std::nullopt;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return std::nullopt;
      const char32_t low = static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// The profile's text in CP932, whatever its byte-order mark says.
std::optional<std::string> AsCp932(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return Utf8ToCp932(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE")) {
    auto utf8 = Utf16LeToUtf8(bytes.substr(2));
    if (!utf8) return std::nullopt;
    return Utf8ToCp932(*utf8);
  }
  return std::string(bytes);
}

std::optional<std::string> ValueIn(std::string_view text, std::string_view section, std::string_view key) {
  const std::string_view want_section = Trim(section);
  const std::string_view want_key = Trim(key);
  bool in_section = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    const std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = sjis::FindChar(line, ']', 1);
      const std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      in_section = SameName(name, want_section);
      continue;
    }
    if (!in_section) continue;
    const size_t eq = sjis::FindChar(line, '=');
    if (!SameName(Trim(line.substr(0, eq)), want_key)) continue;
    std::string_view value = eq == std::string_view::npos ? std::string_view() : Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  const auto cp932 = AsCp932(text);
  if (!cp932) return std::nullopt;
  return ValueIn(*cp932, section, key);
}

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view default_value,
                              size_t size, std::string_view file) {
  if (size == 0) return {};
  std::string value;
  if (auto found = ReadProfileValue(section, key, file)) {
    value = std::move(*found);
  } else {
    std::string_view d = default_value;
    while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
    value = std::string(d);
  }
  return std::string(sjis::CutToWholeChars(value, size - 1));
}

}  // namespace platform
