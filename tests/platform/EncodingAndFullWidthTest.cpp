// CP932 <-> UTF-8 conversion and the full-width mapping.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/Encoding.h"
#include "platform/FullWidth.h"

// The converter's own answers are the system's: iconv on Linux, the code page
// tables of MultiByteToWideChar / WideCharToMultiByte on Windows.
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

using platform::Cp932ToUtf8;
using platform::MapToFullWidth;
using platform::Utf8ToCp932;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// The code points of a UTF-8 text (well-formed input assumed).
std::u32string CodePoints(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += cp;
    i += len;
  }
  return out;
}

TEST(Encoding, ConvertsBothWaysExactly) {
  const std::string samples[] = {"消費税", "C:\\機能\\表.xml", "ｶﾞｽ", "～①Ⅰ㈱", "", "plain ASCII ~\\"};
  const std::string utf8[] = {U8(u8"消費税"), U8(u8"C:\\機能\\表.xml"), U8(u8"ｶﾞｽ"), U8(u8"～①Ⅰ㈱"), "",
                              "plain ASCII ~\\"};
  for (size_t i = 0; i < std::size(samples); ++i) {
    SCOPED_TRACE(utf8[i]);
    EXPECT_EQ(Cp932ToUtf8(samples[i]), utf8[i]);
    EXPECT_EQ(Utf8ToCp932(utf8[i]), samples[i]);
  }
  // 0x5C and 0x7E are the ASCII characters, not the yen sign and overline.
  EXPECT_EQ(Cp932ToUtf8("\\~"), "\\~");
}

// The converter's own answer for `text`, without any shortcut.
#ifdef _WIN32
std::string RawToCp932(const std::string& utf8) {
  wchar_t wide[16];
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide, 16);
  EXPECT_GT(n, 0);
  char out[32];
  BOOL used = FALSE;
  const int m = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, n, out, 32, nullptr, &used);
  EXPECT_FALSE(used);
  return std::string(out, m > 0 ? m : 0);
}
std::string RawToUtf8(const std::string& cp932) {
  wchar_t wide[16];
  const int n = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(), static_cast<int>(cp932.size()), wide, 16);
  EXPECT_GT(n, 0);
  char out[32];
  const int m = ::WideCharToMultiByte(CP_UTF8, 0, wide, n, out, 32, nullptr, nullptr);
  return std::string(out, m > 0 ? m : 0);
}
#else
std::string ThroughIconv(const char* to, const char* from, std::string text) {
  iconv_t cd = ::iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(text.size() * 4 + 16, '\0');
  char* in = text.data();
  size_t inLeft = text.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  EXPECT_EQ(::iconv(cd, &in, &inLeft, &outPtr, &outLeft), 0u);
  ::iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}
std::string RawToCp932(const std::string& utf8) { return ThroughIconv("CP932", "UTF-8", utf8); }
std::string RawToUtf8(const std::string& cp932) { return ThroughIconv("UTF-8", "CP932", cp932); }
#endif

// Texts of bytes below 0x80 are converted without the converter: the answer
// must be the converter's, for every such byte, both ways.
TEST(Encoding, AsciiTextsConvertAsTheConverterConvertsThem) {
  std::string all;
  for (int c = 0; c < 0x80; ++c) all += static_cast<char>(c);
  for (int c = 0; c < 0x80; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(Utf8ToCp932(one), RawToCp932(one)) << c;
    EXPECT_EQ(Cp932ToUtf8(one), RawToUtf8(one)) << c;
  }
  EXPECT_EQ(Utf8ToCp932(all), all);
  EXPECT_EQ(Cp932ToUtf8(all), all);
  // One byte above 0x7F still goes through the whole conversion.
  EXPECT_EQ(Utf8ToCp932(all + U8(u8"表")), all + "表");
  EXPECT_FALSE(Utf8ToCp932(all + "\xC3").has_value());
  EXPECT_FALSE(Cp932ToUtf8(all + "\x80").has_value());
}

TEST(Encoding, RefusesWhatDoesNotConvertInsteadOfMangling) {
  // CP932 side: a lead byte cut off at the end, an undefined single byte, a
  // lead byte followed by a byte that cannot be its trail.
  for (const std::string& bad : {std::string("abc\x81"), std::string("\x80"), std::string("\xA0"),
                                std::string("\xFD"), std::string("\x81\x20")}) {
    EXPECT_FALSE(Cp932ToUtf8(bad).has_value()) << static_cast<int>(static_cast<unsigned char>(bad.back()));
  }
  // UTF-8 side: a cut sequence, a character CP932 lacks, the yen sign (which
  // would otherwise become the path separator 0x5C).
  EXPECT_FALSE(Utf8ToCp932("abc\xC3").has_value());
  EXPECT_FALSE(Utf8ToCp932(U8(u8"report\U0001F600.xml")).has_value());
  EXPECT_FALSE(Utf8ToCp932(U8(u8"M\u00FCller")).has_value());
  EXPECT_FALSE(Utf8ToCp932(U8(u8"\u00A5")).has_value());
}

// Where the two systems' tables are not the same, the conversion still gives
// one answer. The raw converters differ: glibc's CP932 takes U+00A5 to 0x5C,
// U+203E to 0x7E and U+2016, U+301C, U+2212, U+00A2, U+00AC, U+2014 to the
// codes of their look-alikes, one way only; Windows' code page 932 has no code
// for any of them. Windows gives the bytes 0x80, 0xA0, 0xFD-0xFF characters of
// their own (U+0080 and private-use codes; Wine 0x80 only), glibc none. Both
// read the NEC and IBM duplicates as the same characters and write each
// character with one code.
TEST(Encoding, BothPlatformsGiveOneAnswerWhereTheirTablesDiffer) {
  // Characters with a code one way only, or none: refused on both.
  for (const char8_t* one : {u8"\u00A5", u8"\u203E", u8"\u2016", u8"\u301C", u8"\u2212", u8"\u00A2",
                              u8"\u00AC", u8"\u2014", u8"\u00A6", u8"\u0080", u8"\uF8F0", u8"\uF8F3"}) {
    SCOPED_TRACE(U8(one));
    EXPECT_FALSE(Utf8ToCp932(U8(one)).has_value());
    EXPECT_FALSE(Utf8ToCp932("a" + U8(one) + "b").has_value());
  }
  // 0x5C and 0x7E are the backslash and the tilde, with or without other text.
  EXPECT_EQ(Cp932ToUtf8("\\表~"), "\\" + U8(u8"表") + "~");
  EXPECT_EQ(Utf8ToCp932("\\" + U8(u8"表") + "~"), "\\表~");
  // Single bytes that are no character: refused inside a longer text too.
  for (const char* bad : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"}) {
    EXPECT_FALSE(Cp932ToUtf8(std::string("表") + bad).has_value()) << static_cast<int>(static_cast<unsigned char>(*bad));
  }
  // Duplicates: NEC row 13 and the IBM extensions read as the JIS characters
  // and are written with one code (JIS first, then NEC row 13, then IBM).
  struct Duplicate {
    const char* code;
    const char8_t* character;
    const char* written;
  };
  for (const Duplicate& d : {Duplicate{"\x87\x90", u8"\u2252", "\x81\xE0"}, Duplicate{"\x87\x9A", u8"\u2235", "\x81\xE6"},
                             Duplicate{"\xFA\x5B", u8"\u2235", "\x81\xE6"}, Duplicate{"\xFA\x54", u8"\uFFE2", "\x81\xCA"},
                             Duplicate{"\xFA\x58", u8"\u3231", "\x87\x8A"}, Duplicate{"\xFA\x4A", u8"\u2160", "\x87\x54"},
                             Duplicate{"\xED\x40", u8"\u7E8A", "\xFA\x5C"}, Duplicate{"\xFA\x40", u8"\u2170", "\xFA\x40"},
                             Duplicate{"\xF0\x40", u8"\uE000", "\xF0\x40"}}) {
    SCOPED_TRACE(U8(d.character));
    EXPECT_EQ(Cp932ToUtf8(d.code), U8(d.character));
    EXPECT_EQ(Utf8ToCp932(U8(d.character)), d.written);
  }
  // The yen sign a person types is the path separator, on both.
  EXPECT_EQ(platform::TypedTextToCp932(U8(u8"C:\u00A5表")), "C:\\表");
  EXPECT_FALSE(platform::TypedTextToCp932(U8(u8"\u203E")).has_value());
}

// On Windows the mapping is the system's LCMapStringA. Wine's differs from
// the home platform's in three places, where these tests accept either answer
// and say which is which (Wine is not the reference):
//   - "\" (0x5C): Windows gives "＼"; Wine leaves it as it is;
//   - a voiced or semi-voiced mark that cannot combine: Windows gives "゛" or
//     "゜"; Wine gives "?" (and combines "ﾜﾞ" into U+30F7, which CP932
//     cannot hold: one "?" for both);
//   - a lead byte cut off at the end: kept as it is by the stand-in; Wine
//     gives "・" (81 45), its default character.
#ifdef _WIN32
constexpr bool kSystemMapping = true;
#else
constexpr bool kSystemMapping = false;
#endif

// The stand-in's answer, or on Windows also what Wine gives instead.
::testing::AssertionResult MapsTo(const std::string& in, const std::string& expected, const std::string& wine) {
  const std::string out = MapToFullWidth(in);
  if (out == expected || (kSystemMapping && out == wine)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "mapped to [" << out << "], not [" << expected << "]";
}

TEST(FullWidth, EveryPrintableAsciiCharacterBecomesItsFullWidthForm) {
  for (int c = 0x20; c <= 0x7E; ++c) {
    SCOPED_TRACE(c);
    if (c == '\\') {
      EXPECT_TRUE(MapsTo("\\", "\x81\x5F", "\\"));
      continue;
    }
    const std::string out = MapToFullWidth(std::string(1, static_cast<char>(c)));
    ASSERT_EQ(out.size(), 2u);
    const auto utf8 = Cp932ToUtf8(out);
    ASSERT_TRUE(utf8.has_value());
    const std::u32string cps = CodePoints(*utf8);
    ASSERT_EQ(cps.size(), 1u);
    EXPECT_EQ(cps[0], c == 0x20 ? U'\u3000' : static_cast<char32_t>(0xFF01 + c - 0x21));
  }
  // The codes the return product will see for the characters most often met.
  EXPECT_EQ(MapToFullWidth(" A0-~\""), "\x81\x40\x82\x60\x82\x4F\x81\x7C\x81\x60\xFA\x57");
  EXPECT_TRUE(MapsTo("A\\0", "\x82\x60\x81\x5F\x82\x4F", "\x82\x60\\\x82\x4F"));
}

TEST(FullWidth, EveryHalfWidthKatakanaBecomesItsFullWidthForm) {
  const std::string full =
      "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
  ASSERT_EQ(full.size(), 63u * 2);
  for (int c = 0xA1; c <= 0xDF; ++c) {
    SCOPED_TRACE(c);
    // The marks alone (0xDE, 0xDF) are marks that cannot combine.
    EXPECT_TRUE(MapsTo(std::string(1, static_cast<char>(c)), full.substr((c - 0xA1) * 2, 2), c >= 0xDE ? "?" : ""));
  }
}

TEST(FullWidth, VoicedAndSemiVoicedMarksCombineWithTheLetterBefore) {
  EXPECT_EQ(MapToFullWidth("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞ"),
            "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ");
  EXPECT_EQ(MapToFullWidth("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"), "パピプペポ");
  // A mark that has nothing to combine with stands as a mark of its own.
  EXPECT_TRUE(MapsTo("ｱﾞｶﾟﾜﾞﾝﾟ", "ア゛カ゜ワ゛ン゜", "ア?カ??ン?"));
  EXPECT_TRUE(MapsTo("ﾞﾟﾞ", "゛゜゛", "???"));
  EXPECT_TRUE(MapsTo("ｶﾞﾞ", "ガ゛", "ガ?"));
  EXPECT_EQ(MapToFullWidth("ABC商事ｶﾞｽ(株)"), "ＡＢＣ商事ガス（株）");
}

TEST(FullWidth, DoubleByteAndOtherBytesPassUnchanged) {
  // "ソ" and "表" end in 0x5C and "ア" in 0x41: their trail bytes stay as they are.
  EXPECT_EQ(MapToFullWidth("ソ表ア"), "ソ表ア");
  EXPECT_EQ(MapToFullWidth("a\tb\x7F\x80\xA0\xFD"), "ａ\tｂ\x7F\x80\xA0\xFD");
  EXPECT_TRUE(MapsTo("x\x81", "ｘ\x81", "ｘ・"));  // a cut character at the end is kept, not dropped
  EXPECT_EQ(MapToFullWidth(""), "");
}

TEST(FullWidth, NeverMoreThanTwiceTheInputAndNeverSplitsACharacter) {
  std::mt19937 rng(20150401);
  for (int round = 0; round < 2000; ++round) {
    std::string in(rng() % 24, '\0');
    for (char& c : in) c = static_cast<char>(rng() % 256);
    const std::string out = MapToFullWidth(in);
    ASSERT_LE(out.size(), in.size() * 2);
    // Whatever was a whole text of CP932 stays one.
    if (Cp932ToUtf8(in)) {
      EXPECT_TRUE(Cp932ToUtf8(out).has_value());
    }
  }
}

}  // namespace
