// The root rules of Windows paths, with double-byte names in the way.
#include <gtest/gtest.h>

#include <string>

#include "platform/WinPath.h"

namespace {

using platform::IsRoot;
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

}  // namespace
