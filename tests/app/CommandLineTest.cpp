// The calling program's command line: which lines start a host run, and what
// each field becomes.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/HostCommandLine.h"

namespace {

using app::DecimalToLong;
using app::HostCommandLine;
using app::ParseHostCommandLine;

TEST(HostCommandLine, EmptyOrNoCommaIsNotHostStarted) {
  for (const char* text : {"", "12345", " 7 "}) {
    HostCommandLine line;
    EXPECT_EQ(ParseHostCommandLine(text, line), 0) << text;
    EXPECT_EQ(line.window, 0);
    EXPECT_EQ(line.functionId, 1);
    EXPECT_TRUE(line.fixedOutputPath.empty());
  }
}

TEST(HostCommandLine, FieldsBeforeAMissingCommaStaySet) {
  HostCommandLine line;
  EXPECT_EQ(ParseHostCommandLine("4660,1025", line), 0);
  EXPECT_EQ(line.window, 4660);
  EXPECT_EQ(line.message, 0u);  // no comma after the message: not read
  EXPECT_EQ(line.functionId, 1);

  HostCommandLine two;
  EXPECT_EQ(ParseHostCommandLine("4660,1025,7", two), 0);
  EXPECT_EQ(two.window, 4660);
  EXPECT_EQ(two.message, 1025u);
  EXPECT_EQ(two.functionId, 1);
}

TEST(HostCommandLine, ThreeCommasWithAndWithoutPath) {
  HostCommandLine line;
  EXPECT_EQ(ParseHostCommandLine("4660,1025,7,", line), 1);
  EXPECT_EQ(line.window, 4660);
  EXPECT_EQ(line.message, 1025u);
  EXPECT_EQ(line.functionId, 7);
  EXPECT_EQ(line.fixedOutputPath, "");

  HostCommandLine withPath;
  EXPECT_EQ(ParseHostCommandLine("1,2,3,C:\\out,put\\a,b.xml", withPath), 1);
  EXPECT_EQ(withPath.fixedOutputPath, "C:\\out,put\\a,b.xml");
}

TEST(HostCommandLine, DoubleByteAndLongPathsAreKeptWhole) {
  // "機能" ends in the byte 0x5C; a path far beyond the old 259-byte line.
  std::string path = "C:\\" + std::string("機能") + "\\";
  while (path.size() < 600) path += "データ,";
  path += "x.xml";
  HostCommandLine line;
  ASSERT_EQ(ParseHostCommandLine("10,20,30," + path, line), 1);
  EXPECT_EQ(line.fixedOutputPath, path);
}

TEST(HostCommandLine, NumbersAsTheRuntimeReadsThem) {
  HostCommandLine line;
  ASSERT_EQ(ParseHostCommandLine(" 12x,+34,-2,", line), 1);
  EXPECT_EQ(line.window, 12);
  EXPECT_EQ(line.message, 34u);
  EXPECT_EQ(line.functionId, -2);

  HostCommandLine wrap;
  ASSERT_EQ(ParseHostCommandLine("abc,,65537,", wrap), 1);
  EXPECT_EQ(wrap.window, 0);
  EXPECT_EQ(wrap.functionId, 1);  // taken as 16-bit: 65537 -> 1
  ASSERT_EQ(ParseHostCommandLine("0,0,32768,", wrap), 1);
  EXPECT_EQ(wrap.functionId, -32768);

  EXPECT_EQ(DecimalToLong("99999999999999999999999"), LONG_MAX);
  EXPECT_EQ(DecimalToLong("-99999999999999999999999"), LONG_MIN);
  EXPECT_EQ(DecimalToLong(std::to_string(LONG_MIN)), LONG_MIN);
  EXPECT_EQ(DecimalToLong("\t-0042z"), -42);
  EXPECT_EQ(DecimalToLong("- 5"), 0);
  // A handle past 2^31: long is 32 bits on Windows, where atol saturates at
  // 2147483647, and 64 bits on Linux, where it is taken whole.
  if (sizeof(long) == 4) {
    EXPECT_EQ(DecimalToLong("2147483648"), 2147483647L);
    EXPECT_EQ(DecimalToLong("-2147483649"), -2147483647L - 1);
  } else {
    EXPECT_EQ(DecimalToLong("2147483648"), static_cast<long>(2147483648LL));
  }
}

}  // namespace
