// The path rules on Shift_JIS Windows paths, trail bytes of "機能" (8B 40 94 5C) included.
#include <gtest/gtest.h>

#include <string>

#include "dialog/PathRules.h"

namespace path = dialog::path;

namespace {

const std::string kKinou = "機能";  // its last byte is 0x5C

TEST(PathRules, SeparatorIsAppendedOnceAndNeverAfterATrailByte) {
  std::string folder = "C:\\out";
  EXPECT_TRUE(path::AppendSeparator(folder));
  EXPECT_EQ(folder, "C:\\out\\");
  EXPECT_TRUE(path::AppendSeparator(folder));
  EXPECT_EQ(folder, "C:\\out\\");

  std::string japanese = "C:\\" + kKinou;
  EXPECT_TRUE(path::AppendSeparator(japanese));
  EXPECT_EQ(japanese, "C:\\" + kKinou + "\\");

  std::string longest(258, 'a');
  EXPECT_TRUE(path::AppendSeparator(longest));
  EXPECT_EQ(longest.size(), 259u);
  std::string tooLong(259, 'a');
  EXPECT_FALSE(path::AppendSeparator(tooLong));
  EXPECT_EQ(tooLong, std::string(259, 'a'));
}

TEST(PathRules, FolderAndFileNameSplitAtTheLastRealBackslash) {
  const std::string p = "C:\\" + kKinou + "\\tax.xml";
  EXPECT_EQ(path::FolderPart(p), "C:\\" + kKinou + "\\");
  EXPECT_EQ(path::FileNamePart(p), "tax.xml");
  const std::string noName = "C:\\out\\" + kKinou;  // ends in the trail byte 0x5C
  EXPECT_EQ(path::FolderPart(noName), "C:\\out\\");
  EXPECT_EQ(path::FileNamePart(noName), kKinou);
  EXPECT_EQ(path::FolderPart("tax.xml"), "");
  EXPECT_EQ(path::FileNamePart("C:\\out\\"), "");
}

TEST(PathRules, BrowseSplitFallsBackToTheColon) {
  EXPECT_EQ(path::SplitForBrowse("C:\\out\\a.xml").folder, "C:\\out\\");
  EXPECT_EQ(path::SplitForBrowse("C:\\out\\a.xml").fileName, "a.xml");
  EXPECT_EQ(path::SplitForBrowse("C:a.xml").folder, "C:");
  EXPECT_EQ(path::SplitForBrowse("C:a.xml").fileName, "a.xml");
  EXPECT_EQ(path::SplitForBrowse("a.xml").folder, "");
  EXPECT_EQ(path::SplitForBrowse("a.xml").fileName, "a.xml");
  const std::string p = "C:" + kKinou + ".xml";  // the trail byte is no folder separator
  EXPECT_EQ(path::SplitForBrowse(p).folder, "C:");
  EXPECT_EQ(path::SplitForBrowse(p).fileName, kKinou + ".xml");
}

TEST(PathRules, ShareRootOfTheDriveCheck) {
  EXPECT_EQ(path::UncShareRootLength("\\\\srv\\share\\a.xml"), 12u);
  EXPECT_FALSE(path::UncShareRootLength("\\\\srv\\share"));  // server and share only
  EXPECT_FALSE(path::UncShareRootLength("\\\\srv\\"));
  EXPECT_FALSE(path::UncShareRootLength("\\\\\\share\\a"));
  EXPECT_FALSE(path::UncShareRootLength("C:\\a"));
  const std::string share = "\\\\srv\\" + kKinou + "\\a.xml";  // share name ends in 0x5C
  EXPECT_EQ(path::UncShareRootLength(share), 6 + kKinou.size() + 1);
}

TEST(PathRules, CharactersAnOutputPathMayNotHold) {
  EXPECT_FALSE(path::HasInvalidCharacters("C:\\out\\tax.xml"));
  EXPECT_FALSE(path::HasInvalidCharacters("\\\\srv\\share\\tax.xml"));
  EXPECT_FALSE(path::HasInvalidCharacters("C:\\" + kKinou + "\\" + kKinou + ".xml"));
  EXPECT_FALSE(path::HasInvalidCharacters("C:"));
  for (const char* bad : {"C:\\out\\a;b.xml", "C:\\out\\*.xml", "C:\\out\\a?.xml", "C:\\out\\a\"b.xml",
                          "C:\\out\\a<b.xml", "C:\\out\\a>b.xml", "C:\\out\\a|b.xml", "C:\\out\\a,b.xml",
                          "C:\\out/a.xml", "C:\\out\\a:b.xml", "C:\\out\\\\a.xml", "\\\\srv\\\\share\\a.xml",
                          "\\\\srv\\share\\a;b.xml", "out\\a*.xml"}) {
    EXPECT_TRUE(path::HasInvalidCharacters(bad)) << bad;
  }
  // The first character of the examined text is not examined.
  EXPECT_FALSE(path::HasInvalidCharacters("C:/out\\a.xml"));
  EXPECT_FALSE(path::HasInvalidCharacters("C:\\\\out\\a.xml"));
  EXPECT_FALSE(path::HasInvalidCharacters("\\\\\\srv\\a.xml"));
  // A trail byte 0x5C followed by "\" is no "\\".
  EXPECT_FALSE(path::HasInvalidCharacters("C:\\" + kKinou + "\\a.xml"));
  // "|" is 0x7C, a possible trail byte: "ポ" is 83 7C.
  EXPECT_FALSE(path::HasInvalidCharacters("C:\\ポ\\a.xml"));
}

TEST(PathRules, FolderOfKeepsTheDriveAndAddsTheSeparator) {
  EXPECT_EQ(path::FolderOf("C:\\out\\a.xml"), "C:\\out\\");
  EXPECT_EQ(path::FolderOf("C:a.xml"), "C:\\");
  EXPECT_EQ(path::FolderOf("a.xml"), "");
  EXPECT_EQ(path::FolderOf("C:\\" + kKinou + "\\a.xml"), "C:\\" + kKinou + "\\");
  EXPECT_EQ(path::DriveLetter("c:\\x"), 'C');
  EXPECT_FALSE(path::DriveLetter("1:\\x"));
}

}  // namespace
