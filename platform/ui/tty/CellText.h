// Texts of the system (Shift_JIS) as terminal cells.
//
// A Glyph is one character as the terminal shows it: its UTF-8 bytes, the
// columns it takes (wcwidth under the UTF-8 locale the terminal session sets,
// so that a full-width character takes two columns exactly as the terminal
// draws it) and whether it is a control's mnemonic (the character after "&").
// A byte sequence that is not Shift_JIS is shown as "?" per byte; display
// never fails and never changes the text it shows.
//
// EnsureUtf8Locale() makes the character-type locale one with UTF-8 (the
// user's when it already is, else C.UTF-8); widths are only meaningful after it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::ui::tty {

struct Glyph {
  std::string utf8;
  int width = 1;
  bool mnemonic = false;
};

using GlyphRun = std::vector<Glyph>;

bool EnsureUtf8Locale();

// `cp932` as glyphs. With `mnemonics`, "&x" marks x as the mnemonic and
// "&&" shows one "&". Control characters (tab, line end) show as one blank.
GlyphRun ToGlyphs(std::string_view cp932, bool mnemonics = false);
// A UTF-8 text (the backend's own words) as glyphs.
GlyphRun Utf8Glyphs(std::string_view utf8);

int Width(const GlyphRun& run);
// The leading glyphs that fit in `columns`.
GlyphRun FitTo(const GlyphRun& run, int columns);
std::string ToUtf8(const GlyphRun& run);

// The mnemonic character of a control text ("参照(&D)..." -> 'D'), upper-cased;
// 0 when it has none.
char MnemonicOf(std::string_view cp932);

// A text cut into lines at its line ends, each line then wrapped to at most
// `columns` columns (never splitting a character).
std::vector<GlyphRun> WrapLines(const GlyphRun& run, int columns);

}  // namespace platform::ui::tty
