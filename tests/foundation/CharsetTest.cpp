// The build compiles narrow literals to Shift_JIS; everything else relies on it.
#include <gtest/gtest.h>

#include <string>

#include "app/EditionProfile.h"
#include "platform/ShiftJis.h"

namespace {

std::string Bytes(const char* s) { return std::string(s); }

TEST(Charset, NarrowLiteralsAreShiftJis) {
  EXPECT_EQ(Bytes("消費税"), std::string("\x8F\xC1\x94\xEF\x90\xC5"));
  EXPECT_EQ(Bytes("～"), std::string("\x81\x60"));
  const std::string kinou = "機能";
  ASSERT_EQ(kinou.size(), 4u);
  EXPECT_EQ(static_cast<unsigned char>(kinou[3]), 0x5C);
}

TEST(ShiftJisScan, TrailByteIsNotABackslash) {
  const std::string path = std::string("C:\\") + "機能";  // ends with trail byte 0x5C
  EXPECT_EQ(platform::sjis::FindLastChar(path, '\\'), 2u);
  EXPECT_FALSE(platform::sjis::EndsWithChar(path, '\\'));
  EXPECT_TRUE(platform::sjis::EndsWithChar(path + "\\", '\\'));
  EXPECT_EQ(platform::sjis::FindChar("機能\\x", '\\'), 4u);
  EXPECT_EQ(platform::sjis::FindFirstOf("機能:a\\", "\\:"), 4u);
}

TEST(ShiftJisScan, TruncatedLeadByteAtEveryEnd) {
  const std::string text = "a機";
  for (size_t n = 0; n <= text.size(); ++n) {
    std::string_view cut(text.data(), n);
    EXPECT_EQ(platform::sjis::FindChar(cut, '\\'), std::string_view::npos);
    EXPECT_LE(platform::sjis::CutToWholeChars(cut, n).size(), n);
  }
  EXPECT_EQ(platform::sjis::CutToWholeChars(text, 2), "a");
  EXPECT_EQ(platform::sjis::CutToWholeChars(text, 3), text);
}

}  // namespace
