// Profile (INI) reading: files on disk through the drive map, and the text rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "tests/support/TempFolder.h"

namespace {

using platform::FindProfileValue;
using platform::ReadProfileString;
using platform::ReadProfileValue;

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test_support::NewTempFolder("tb-profile");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes `bytes` to a file and gives its Windows path.
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    const platform::WindowsPath win = platform::FileSystem::Default().FromHostPath((dir_ / name).string());
    EXPECT_TRUE(win.ok()) << win.error;
    return win.path;
  }
  std::string Missing() { return platform::FileSystem::Default().FromHostPath((dir_ / "none.ini").string()).path; }

  std::filesystem::path dir_;
};

TEST_F(ProfileFile, DefaultWhenTheFileSectionOrKeyIsMissing) {
  EXPECT_EQ(ReadProfileString("ProgramLevel", "SY26", "1", 16, Missing()), "1");
  EXPECT_FALSE(ReadProfileValue("ProgramLevel", "SY26", Missing()).has_value());
  const std::string file = Write("a.ini", "[Other]\r\nSY26=2\r\n[ProgramLevel]\r\nSY27=2\r\n");
  EXPECT_EQ(ReadProfileString("ProgramLevel", "SY26", "1", 16, file), "1");
  EXPECT_EQ(ReadProfileString("Missing", "SY26", "1", 16, file), "1");
  EXPECT_EQ(ReadProfileString("Other", "SY26", "1", 16, file), "2");
}

TEST_F(ProfileFile, EmptyValueIsToldApartFromAnAbsentKey) {
  const std::string file = Write("a.ini", "[ProgramLevel]\r\nSY26=\r\nSY27\r\n");
  EXPECT_EQ(ReadProfileString("ProgramLevel", "SY26", "1", 16, file), "");
  EXPECT_EQ(ReadProfileValue("ProgramLevel", "SY26", file), "");
  // A key without "=" has an empty value where the system reads the file
  // itself. The Windows build asks GetPrivateProfileStringA, and Wine's takes
  // such a line for no key at all; what Windows answers is not measured here,
  // so on Windows either answer is the platform's own.
#ifdef _WIN32
  const std::optional<std::string> bare = ReadProfileValue("ProgramLevel", "SY27", file);
  EXPECT_TRUE(bare == std::nullopt || bare == "") << *bare;
#else
  EXPECT_EQ(ReadProfileValue("ProgramLevel", "SY27", file), "");
#endif
  EXPECT_EQ(ReadProfileValue("ProgramLevel", "SY28", file), std::nullopt);
}

TEST_F(ProfileFile, ValueIsCutToTheCallersSizeOnWholeCharacters) {
  const std::string file = Write("a.ini", "[s]\nlong=0123456789abcdefghij\nkana=ああああああああ\n");
  EXPECT_EQ(ReadProfileString("s", "long", "", 16, file), "0123456789abcde");
  EXPECT_EQ(ReadProfileValue("s", "long", file), "0123456789abcdefghij");
  EXPECT_EQ(ReadProfileString("s", "kana", "", 16, file), "あああああああ");  // 14 bytes, not 15
  EXPECT_EQ(ReadProfileString("s", "long", "", 1, file), "");
  EXPECT_EQ(ReadProfileString("s", "long", "", 0, file), "");
  EXPECT_EQ(ReadProfileString("s", "none", "default   ", 5, file), "defa");
  EXPECT_EQ(ReadProfileString("s", "none", "x  ", 16, file), "x");  // the default loses its trailing blanks
}

TEST_F(ProfileFile, ByteOrderMarkedFilesAreReadAsCp932) {
  const std::string utf8 = Write("u8.ini", "\xEF\xBB\xBF[s]\nname=" + std::string(reinterpret_cast<const char*>(u8"消費税")) + "\n");
  EXPECT_EQ(ReadProfileValue("s", "name", utf8), "消費税");
  // "[s]\nk=税" in UTF-16LE with its mark.
  const std::string utf16("\xFF\xFE[\0s\0]\0\n\0k\0=\0\x0E\x7A", 16);
  EXPECT_EQ(ReadProfileValue("s", "k", Write("u16.ini", utf16)), "税");
}

TEST_F(ProfileFile, AFolderOrAnUnmappedDriveReadsAsMissing) {
  EXPECT_EQ(ReadProfileString("s", "k", "d", 16, platform::FileSystem::Default().FromHostPath(dir_.string()).path), "d");
  EXPECT_EQ(ReadProfileString("s", "k", "d", 16, "\\\\nosuchserver\\nosuchshare\\a.ini"), "d");
}

TEST(ProfileText, NamesMatchWithoutRegardToCaseAndBlanks) {
  const std::string text = "  [ programlevel ]  \r\n  sy26  =  2  \r\n";
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "SY26"), "2");
  EXPECT_EQ(FindProfileValue(text, "PROGRAMLEVEL", "Sy26"), "2");
  // Only single-byte letters fold: "ア" (83 41) must not match "ヂ" (83 61).
  EXPECT_EQ(FindProfileValue("[s]\nア=1\n", "s", "ア"), "1");
  EXPECT_EQ(FindProfileValue("[s]\nア=1\n", "s", "ヂ"), std::nullopt);
}

TEST(ProfileText, LineEndsOfEveryKind) {
  for (const std::string eol : {"\r\n", "\n", "\r"}) {
    const std::string text = "[a]" + eol + "k=1" + eol + "[b]" + eol + "k=2" + eol + "j=3";
    EXPECT_EQ(FindProfileValue(text, "a", "k"), "1");
    EXPECT_EQ(FindProfileValue(text, "b", "k"), "2");
    EXPECT_EQ(FindProfileValue(text, "b", "j"), "3");  // the last line has no end
  }
  EXPECT_EQ(FindProfileValue("[a]\r\n\r\nk=1\n\rj=2", "a", "j"), "2");
}

TEST(ProfileText, CommentsQuotesAndTheFirstKeyWin) {
  const std::string text =
      "; [ProgramLevel]\n"
      "[ProgramLevel]\n"
      ";SY26=9\n"
      "   ; SY26=8\n"
      "SY26=2 ; not a comment\n"
      "SY26=3\n"
      "q1=\"3\"\n"
      "q2='x y'\n"
      "q3=\"\n"
      "q4=\"a'\n"
      "eq=a=b\n";
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "SY26"), "2 ; not a comment");
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "q1"), "3");
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "q2"), "x y");
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "q3"), "\"");
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "q4"), "\"a'");
  EXPECT_EQ(FindProfileValue(text, "ProgramLevel", "eq"), "a=b");
}

TEST(ProfileText, DoubleByteSectionNamesWithBracketTrailBytes) {
  // "ゾ" is 83 5D: its trail byte is the "]" code and does not end the name.
  EXPECT_EQ(FindProfileValue("[ゾーン]\nk=1\n", "ゾーン", "k"), "1");
  EXPECT_EQ(FindProfileValue("[ゾーン]\nk=1\n", "\x83", "k"), std::nullopt);
}

}  // namespace
