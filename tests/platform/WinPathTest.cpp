// The root rules of Windows paths, with double-byte names in the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/WinPath.h"

namespace {

using platform::IsForbiddenName;
using platform::IsRoot;
using platform::ParseDriveRoot;
using platform::SplitWindowsPath;
using platform::UsesCurrentFolder;
using platform::WindowsPathParts;
using platform::WindowsPathProblem;
using Names = std::vector<std::string>;
using platform::SkipRoot;
using platform::StripToRoot;

constexpr size_t npos = std::string::npos;

TEST(SkipRoot, DrivesSharesAndPathsWithoutARoot) {
  EXPECT_EQ(SkipRoot("C:\\out\\tax.xml"), 3u);
  EXPECT_EQ(SkipRoot("c:\\"), 3u);
  EXPECT_EQ(SkipRoot("\\\\srv\\acc\\tax.xml"), 10u);
  EXPECT_EQ(SkipRoot("\\\\srv\\acc\\"), 10u);
  EXPECT_EQ(SkipRoot("\\\\srv\\acc"), npos);  // a share named without the "\" after it
  EXPECT_EQ(SkipRoot("\\\\srv"), npos);
  EXPECT_EQ(SkipRoot("C:out"), npos);
  EXPECT_EQ(SkipRoot("\\out"), npos);
  EXPECT_EQ(SkipRoot("out\\tax.xml"), npos);
  EXPECT_EQ(SkipRoot(""), npos);
  // "機" ends in 0x5C: that byte is no separator, so the server is "機能".
  EXPECT_EQ(SkipRoot("\\\\機能\\acc\\x"), 11u);
  EXPECT_EQ(SkipRoot("\\\\機\\x"), npos);
  EXPECT_EQ(SkipRoot("機:\\x"), npos);  // a double-byte character is no drive letter
}

TEST(StripToRoot, CutsDownToTheRootOrReportsThereIsNone) {
  struct Case {
    std::string in;
    std::string out;
    bool root;
  } cases[] = {
      {"C:\\out\\sub\\tax.xml", "C:\\", true},
      {"C:\\", "C:\\", true},
      {"C:\\機能\\表", "C:\\", true},
      {"\\\\srv\\acc\\x\\y.xml", "\\\\srv\\acc", true},
      {"\\\\srv\\機能\\x", "\\\\srv\\機能", true},
      {"\\\\srv\\acc", "\\\\srv\\acc", true},
      {"\\\\srv", "\\\\srv", true},
      {"\\out\\tax.xml", "\\", true},
      {"C:out", "C:", false},
      {"out\\tax.xml", "", false},
      {"表", "", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    std::string path = c.in;
    EXPECT_EQ(StripToRoot(path), c.root);
    EXPECT_EQ(path, c.out);
  }
}

TEST(IsRoot, OnlyWholeRoots) {
  EXPECT_TRUE(IsRoot("\\"));
  EXPECT_TRUE(IsRoot("D:\\"));
  EXPECT_TRUE(IsRoot("\\\\srv\\acc"));
  EXPECT_FALSE(IsRoot("\\\\srv\\acc\\"));
  EXPECT_FALSE(IsRoot("D:"));
  EXPECT_FALSE(IsRoot("D:\\x"));
  EXPECT_FALSE(IsRoot("C:\\機"));
  EXPECT_FALSE(IsRoot(""));
}

// The file system's rules: "/" like "\", "." and ".." in the text, trailing
// dots and blanks, and the current folder for paths without a root.
TEST(SplitWindowsPath, RootsAndNamesAsTheFileSystemTakesThem) {
  WindowsPathParts parts;
  ASSERT_EQ(SplitWindowsPath("c:/out//a. \\.\\b\\..\\tax.xml", "", &parts), WindowsPathProblem::kNone);
  EXPECT_EQ(parts.letter, 'C');
  EXPECT_EQ(parts.names, (Names{"out", "a", "tax.xml"}));
  ASSERT_EQ(SplitWindowsPath("C:\\..\\..\\x", "", &parts), WindowsPathProblem::kNone);  // never above the root
  EXPECT_EQ(parts.names, Names{"x"});
  ASSERT_EQ(SplitWindowsPath("//srv/acc/機能/x", "", &parts), WindowsPathProblem::kNone);
  EXPECT_EQ(parts.letter, 0);
  EXPECT_EQ(parts.server, "srv");
  EXPECT_EQ(parts.share, "acc");
  EXPECT_EQ(parts.names, (Names{"機能", "x"}));  // the 0x5C trail byte of "機" splits nothing
  EXPECT_EQ(SplitWindowsPath("\\\\srv", "", &parts), WindowsPathProblem::kNoShare);
  EXPECT_EQ(SplitWindowsPath("\\\\srv\\", "", &parts), WindowsPathProblem::kNoShare);

  // Without a root the current folder is the start; "\name" starts at its root.
  EXPECT_EQ(SplitWindowsPath("tax.xml", "", &parts), WindowsPathProblem::kNeedsCurrent);
  ASSERT_EQ(SplitWindowsPath("..\\tax.xml", "D:\\books\\2024", &parts), WindowsPathProblem::kNone);
  EXPECT_EQ(parts.letter, 'D');
  EXPECT_EQ(parts.names, (Names{"books", "tax.xml"}));
  ASSERT_EQ(SplitWindowsPath("\\tax.xml", "\\\\srv\\acc\\x", &parts), WindowsPathProblem::kNone);
  EXPECT_EQ(parts.share, "acc");
  EXPECT_EQ(parts.names, Names{"tax.xml"});
  // "C:name" is in the current folder only when that is on C:.
  ASSERT_EQ(SplitWindowsPath("c:tax.xml", "C:\\out", &parts), WindowsPathProblem::kNone);
  EXPECT_EQ(parts.names, (Names{"out", "tax.xml"}));
  ASSERT_EQ(SplitWindowsPath("C:tax.xml", "D:\\out", &parts), WindowsPathProblem::kNone);
  EXPECT_EQ(parts.names, Names{"tax.xml"});

  std::string forbidden;
  EXPECT_EQ(SplitWindowsPath("C:\\ok\\a*b\\c", "", &parts, &forbidden), WindowsPathProblem::kForbiddenName);
  EXPECT_EQ(forbidden, "a*b");
  EXPECT_EQ(UsesCurrentFolder("tax.xml"), true);
  EXPECT_EQ(UsesCurrentFolder("\\tax.xml"), true);
  EXPECT_EQ(UsesCurrentFolder("C:tax.xml"), true);
  EXPECT_EQ(UsesCurrentFolder("C:\\tax.xml"), false);
  EXPECT_EQ(UsesCurrentFolder("\\\\srv\\acc"), false);
}

TEST(SplitWindowsPath, DriveRootsAndForbiddenNames) {
  WindowsPathParts parts;
  for (const char* root : {"c:", "C:\\", "C:/"}) {
    ASSERT_TRUE(ParseDriveRoot(root, &parts)) << root;
    EXPECT_EQ(parts.letter, 'C') << root;
  }
  ASSERT_TRUE(ParseDriveRoot("\\\\srv\\acc\\", &parts));
  EXPECT_EQ(parts.server + "|" + parts.share, "srv|acc");
  for (const char* notRoot : {"", "C:\\out", "C:\\\\", "1:\\", "\\\\srv", "\\\\srv\\acc\\x", "\\x"}) {
    EXPECT_FALSE(ParseDriveRoot(notRoot, &parts)) << notRoot;
  }

  EXPECT_FALSE(IsForbiddenName("消費税.xml"));  // "費" holds no forbidden byte as a character
  EXPECT_FALSE(IsForbiddenName("表"));          // a 0x5C trail byte is no "\"
  for (const std::string& name : {std::string("a<b"), std::string("a:b"), std::string("a\"b"), std::string("a|b"),
                                  std::string("a?"), std::string("a\\b"), std::string("a/b"), std::string("a\tb"),
                                  std::string("a\x81")}) {
    EXPECT_TRUE(IsForbiddenName(name)) << name;
  }
}

}  // namespace
