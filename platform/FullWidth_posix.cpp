#include "platform/FullWidth.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "platform/Encoding.h"
#include "platform/ShiftJis.h"

namespace platform {

namespace {

// Full-width katakana and marks for the half-width codes 0xA1-0xDF, in order.
constexpr std::array<char32_t, 63> kKana = {
    U'\u3002', U'\u300C', U'\u300D', U'\u3001', U'\u30FB', U'\u30F2',             // ｡ ｢ ｣ ､ ･ ｦ
    U'\u30A1', U'\u30A3', U'\u30A5', U'\u30A7', U'\u30A9',                       // ｧ ｨ ｩ ｪ ｫ
    U'\u30E3', U'\u30E5', U'\u30E7', U'\u30C3', U'\u30FC',                       // ｬ ｭ ｮ ｯ ｰ
    U'\u30A2', U'\u30A4', U'\u30A6', U'\u30A8', U'\u30AA',                       // ｱ ｲ ｳ ｴ ｵ
    U'\u30AB', U'\u30AD', U'\u30AF', U'\u30B1', U'\u30B3',                       // ｶ ｷ ｸ ｹ ｺ
    U'\u30B5', U'\u30B7', U'\u30B9', U'\u30BB', U'\u30BD',                       // ｻ ｼ ｽ ｾ ｿ
    U'\u30BF', U'\u30C1', U'\u30C4', U'\u30C6', U'\u30C8',                       // ﾀ ﾁ ﾂ ﾃ ﾄ
    U'\u30CA', U'\u30CB', U'\u30CC', U'\u30CD', U'\u30CE',                       // ﾅ ﾆ ﾇ ﾈ ﾉ
    U'\u30CF', U'\u30D2', U'\u30D5', U'\u30D8', U'\u30DB',                       // ﾊ ﾋ ﾌ ﾍ ﾎ
    U'\u30DE', U'\u30DF', U'\u30E0', U'\u30E1', U'\u30E2',                       // ﾏ ﾐ ﾑ ﾒ ﾓ
    U'\u30E4', U'\u30E6', U'\u30E8',                                             // ﾔ ﾕ ﾖ
    U'\u30E9', U'\u30EA', U'\u30EB', U'\u30EC', U'\u30ED',                       // ﾗ ﾘ ﾙ ﾚ ﾛ
    U'\u30EF', U'\u30F3', U'\u309B', U'\u309C',                                  // ﾜ ﾝ ﾞ ﾟ
};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// The letter with a voiced (or semi-voiced) mark, or 0 when it has none.
char32_t Voiced(char32_t letter) {
  if (letter == U'\u30A6') return U'\u30F4';                                     // ウ -> ヴ
  if (letter >= U'\u30AB' && letter <= U'\u30C2' && (letter - U'\u30AB') % 2 == 0) return letter + 1;  // カ..チ
  if (letter == U'\u30C4' || letter == U'\u30C6' || letter == U'\u30C8') return letter + 1;           // ツ テ ト
  if (letter >= U'\u30CF' && letter <= U'\u30DB' && (letter - U'\u30CF') % 3 == 0) return letter + 1;  // ハ..ホ
  return 0;
}
char32_t SemiVoiced(char32_t letter) {
  if (letter >= U'\u30CF' && letter <= U'\u30DB' && (letter - U'\u30CF') % 3 == 0) return letter + 2;  // ハ..ホ
  return 0;
}

std::string Utf8Of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

// The CP932 code of a character; empty when `optional` and CP932 has none.
std::string Cp932Of(char32_t cp, bool optional) {
  if (cp == 0) return {};
  if (auto bytes = Utf8ToCp932(Utf8Of(cp))) return *bytes;
  if (optional) return {};
  std::fprintf(stderr, "taxbridge: the CP932 conversion of this system cannot encode U+%04X\n",
               static_cast<unsigned>(cp));
  std::abort();
}

struct Table {
  std::array<std::string, 95> ascii;   // 0x20-0x7E
  std::array<std::string, 63> kana;    // 0xA1-0xDF
  std::array<std::string, 63> voiced;  // with 0xDE after it; empty when it does not combine
  std::array<std::string, 63> semi;    // with 0xDF after it; empty when it does not combine
};

const Table& FullWidthTable() {
  static const Table table = [] {
    Table t;
    t.ascii[0] = Cp932Of(U'\u3000', false);
    for (char32_t c = 0x21; c <= 0x7E; ++c) t.ascii[c - 0x20] = Cp932Of(U'\uFF01' + (c - 0x21), false);
    for (size_t k = 0; k < kKana.size(); ++k) {
      t.kana[k] = Cp932Of(kKana[k], false);
      t.voiced[k] = Cp932Of(Voiced(kKana[k]), true);
      t.semi[k] = Cp932Of(SemiVoiced(kKana[k]), true);
    }
    return t;
  }();
  return table;
}

}  // namespace

std::string MapToFullWidth(std::string_view text) {
  const Table& t = FullWidthTable();
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t len = sjis::CharLength(text, i);
    if (len == 2) {
      out.append(text.substr(i, 2));
    } else if (c >= 0x20 && c <= 0x7E) {
      out += t.ascii[c - 0x20];
    } else if (c >= 0xA1 && c <= 0xDF) {
      const size_t k = c - 0xA1;
      const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      if (next == kVoicedMark && !t.voiced[k].empty()) {
        out += t.voiced[k];
        i += 2;
        continue;
      }
      if (next == kSemiVoicedMark && !t.semi[k].empty()) {
        out += t.semi[k];
        i += 2;
        continue;
      }
      out += t.kana[k];
    } else {
      out += static_cast<char>(c);
    }
    i += len;
  }
  return out;
}

}  // namespace platform
