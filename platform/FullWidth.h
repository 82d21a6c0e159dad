// The full-width mapping of the home platform's locale service (the
// LCMAP_FULLWIDTH mapping of LCMapStringA under code page 932).
//
// Single-byte characters become their full-width Shift_JIS forms:
//   - ASCII 0x20-0x7E: the blank becomes the ideographic space, every other
//     character its full-width form ("A" -> "Ａ", "\" -> "＼", "~" -> "～");
//   - half-width katakana 0xA1-0xDF: their full-width katakana and marks
//     ("ｱ" -> "ア", "ｰ" -> "ー", "｢" -> "「"); a voiced mark (0xDE) or
//     semi-voiced mark (0xDF) right after a letter that has a voiced or
//     semi-voiced form is combined with it ("ｶﾞ" -> "ガ", "ﾊﾟ" -> "パ",
//     "ｳﾞ" -> "ヴ"); a mark that cannot combine stands alone ("゛", "゜").
// Double-byte characters, control characters and bytes that are no character
// of their own pass unchanged. The result is at most twice as long as the text.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string MapToFullWidth(std::string_view cp932);

}  // namespace platform
