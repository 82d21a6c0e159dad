// CP932 <-> UTF-8 conversion and the full-width mapping.
#include <gtest/gtest.h>

#include <iconv.h>

#include <random>
#include <string>

#include "platform/Encoding.h"
#include "platform/FullWidth.h"

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

// Texts of bytes below 0x80 are converted without the converter: the answer
// must be the converter's, for every such byte, both ways.
TEST(Encoding, AsciiTextsConvertAsTheConverterConvertsThem) {
  std::string all;
  for (int c = 0; c < 0x80; ++c) all += static_cast<char>(c);
  for (int c = 0; c < 0x80; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(Utf8ToCp932(one), ThroughIconv("CP932", "UTF-8", one)) << c;
    EXPECT_EQ(Cp932ToUtf8(one), ThroughIconv("UTF-8", "CP932", one)) << c;
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

TEST(FullWidth, EveryPrintableAsciiCharacterBecomesItsFullWidthForm) {
  for (int c = 0x20; c <= 0x7E; ++c) {
    SCOPED_TRACE(c);
    const std::string out = MapToFullWidth(std::string(1, static_cast<char>(c)));
    ASSERT_EQ(out.size(), 2u);
    const auto utf8 = Cp932ToUtf8(out);
    ASSERT_TRUE(utf8.has_value());
    const std::u32string cps = CodePoints(*utf8);
    ASSERT_EQ(cps.size(), 1u);
    EXPECT_EQ(cps[0], c == 0x20 ? U'\u3000' : static_cast<char32_t>(0xFF01 + c - 0x21));
  }
  // The codes the return product will see for the characters most often met.
  EXPECT_EQ(MapToFullWidth(" A0-\\~\""), "\x81\x40\x82\x60\x82\x4F\x81\x7C\x81\x5F\x81\x60\xFA\x57");
}

TEST(FullWidth, EveryHalfWidthKatakanaBecomesItsFullWidthForm) {
  const std::string full =
      "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
  ASSERT_EQ(full.size(), 63u * 2);
  for (int c = 0xA1; c <= 0xDF; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(MapToFullWidth(std::string(1, static_cast<char>(c))), full.substr((c - 0xA1) * 2, 2));
  }
}

TEST(FullWidth, VoicedAndSemiVoicedMarksCombineWithTheLetterBefore) {
  EXPECT_EQ(MapToFullWidth("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞ"),
            "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ");
  EXPECT_EQ(MapToFullWidth("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"), "パピプペポ");
  // A mark that has nothing to combine with stands as a mark of its own.
  EXPECT_EQ(MapToFullWidth("ｱﾞｶﾟﾜﾞﾝﾟ"), "ア゛カ゜ワ゛ン゜");
  EXPECT_EQ(MapToFullWidth("ﾞﾟﾞ"), "゛゜゛");
  EXPECT_EQ(MapToFullWidth("ｶﾞﾞ"), "ガ゛");
  EXPECT_EQ(MapToFullWidth("ABC商事ｶﾞｽ(株)"), "ＡＢＣ商事ガス（株）");
}

TEST(FullWidth, DoubleByteAndOtherBytesPassUnchanged) {
  // "ソ" and "表" end in 0x5C and "ア" in 0x41: their trail bytes stay as they are.
  EXPECT_EQ(MapToFullWidth("ソ表ア"), "ソ表ア");
  EXPECT_EQ(MapToFullWidth("a\tb\x7F\x80\xA0\xFD"), "ａ\tｂ\x7F\x80\xA0\xFD");
  EXPECT_EQ(MapToFullWidth("x\x81"), "ｘ\x81");  // a cut character at the end is kept, not dropped
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
