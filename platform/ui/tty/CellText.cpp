#include "platform/ui/tty/CellText.h"

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string_view>

#include "platform/Encoding.h"
#include "platform/ShiftJis.h"

namespace platform::ui::tty {
namespace {

bool LocaleIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// The code point at `i` of valid UTF-8 text, advancing `i`.
char32_t DecodeAt(std::string_view s, size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  if (i + n > s.size()) n = 1;
  char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += n;
  return cp;
}

Glyph MakeGlyph(std::string utf8, char32_t cp) {
  Glyph g;
  if (cp == U'\n') {
    g.utf8 = "\n";
    g.width = 0;
    return g;
  }
  if (cp < 0x20 || cp == 0x7F) {  // tabs and other controls show as a blank
    g.utf8 = " ";
    g.width = 1;
    return g;
  }
  const int w = ::wcwidth(static_cast<wchar_t>(cp));
  g.utf8 = std::move(utf8);
  g.width = w < 0 ? 1 : w;
  if (w < 0) g.utf8 = "?";
  return g;
}

void AppendUtf8Glyphs(std::string_view utf8, GlyphRun& out) {
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    const char32_t cp = DecodeAt(utf8, i);
    Glyph g = MakeGlyph(std::string(utf8.substr(start, i - start)), cp);
    if (g.width == 0 && g.utf8 != "\n") continue;  // combining marks are not drawn on their own
    out.push_back(std::move(g));
  }
}

}  // namespace

bool EnsureUtf8Locale() {
  if (std::setlocale(LC_CTYPE, "") && LocaleIsUtf8()) return true;
  if (std::setlocale(LC_CTYPE, "C.UTF-8") && LocaleIsUtf8()) return true;
  return std::setlocale(LC_CTYPE, "en_US.UTF-8") && LocaleIsUtf8();
}

GlyphRun ToGlyphs(std::string_view cp932, bool mnemonics) {
  // First the mnemonic marks, in Shift_JIS ("&" is below every trail byte, so
  // it is always a character of its own).
  std::vector<std::string_view> chars;
  int mnemonicAt = -1;
  for (size_t i = 0; i < cp932.size();) {
    const size_t n = sjis::CharLength(cp932, i);
    if (mnemonics && cp932[i] == '&' && i + 1 < cp932.size()) {
      const size_t m = sjis::CharLength(cp932, i + 1);
      if (cp932[i + 1] != '&' && mnemonicAt < 0) mnemonicAt = static_cast<int>(chars.size());
      chars.push_back(cp932.substr(i + 1, m));
      i += 1 + m;
      continue;
    }
    chars.push_back(cp932.substr(i, n));
    i += n;
  }
  GlyphRun out;
  for (size_t k = 0; k < chars.size(); ++k) {
    const std::string_view ch = chars[k];
    std::optional<std::string> utf8;
    if (static_cast<unsigned char>(ch[0]) < 0x80) {
      utf8 = std::string(ch);
    } else {
      utf8 = Cp932ToUtf8(ch);
    }
    if (!utf8 || utf8->empty()) {
      for (size_t b = 0; b < ch.size(); ++b) out.push_back(Glyph{"?", 1, false});
      continue;
    }
    size_t i = 0;
    const char32_t cp = DecodeAt(*utf8, i);
    Glyph g = MakeGlyph(*utf8, cp);
    g.mnemonic = static_cast<int>(k) == mnemonicAt;
    out.push_back(std::move(g));
  }
  return out;
}

GlyphRun Utf8Glyphs(std::string_view utf8) {
  GlyphRun out;
  AppendUtf8Glyphs(utf8, out);
  return out;
}

int Width(const GlyphRun& run) {
  int w = 0;
  for (const Glyph& g : run) w += g.width;
  return w;
}

GlyphRun FitTo(const GlyphRun& run, int columns) {
  GlyphRun out;
  int w = 0;
  for (const Glyph& g : run) {
    if (w + g.width > columns) break;
    w += g.width;
    out.push_back(g);
  }
  return out;
}

std::string ToUtf8(const GlyphRun& run) {
  std::string s;
  for (const Glyph& g : run) s += g.utf8;
  return s;
}

char MnemonicOf(std::string_view cp932) {
  for (size_t i = 0; i + 1 < cp932.size(); i += sjis::CharLength(cp932, i)) {
    if (cp932[i] != '&') continue;
    const char c = cp932[i + 1];
    if (c == '&') {
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(c) >= 0x80) return 0;
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return 0;
}

namespace {

// Closing punctuation that a Japanese line never starts with: where a line
// break would put one first on a line, the character before it moves down
// with it.
bool NeverStartsALine(const std::string& utf8) {
  static constexpr std::u8string_view kClosing[] = {u8"。", u8"、", u8"」", u8"』", u8"）", u8"】", u8"，", u8"．",
                                                    u8"！", u8"？", u8"｣", u8"､", u8"｡", u8")", u8".", u8","};
  const std::u8string_view text(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
  return std::find(std::begin(kClosing), std::end(kClosing), text) != std::end(kClosing);
}

}  // namespace

std::vector<GlyphRun> WrapLines(const GlyphRun& run, int columns) {
  std::vector<GlyphRun> lines(1);
  int w = 0;
  for (const Glyph& g : run) {
    if (g.utf8 == "\n") {
      lines.emplace_back();
      w = 0;
      continue;
    }
    if (w + g.width > columns && !lines.back().empty()) {
      GlyphRun next;
      GlyphRun& current = lines.back();
      if (NeverStartsALine(g.utf8) && current.size() > 1 && current.back().width + g.width <= columns) {
        next.push_back(current.back());
        current.pop_back();
      }
      w = next.empty() ? 0 : next.front().width;
      lines.push_back(std::move(next));
    }
    lines.back().push_back(g);
    w += g.width;
  }
  return lines;
}

}  // namespace platform::ui::tty
