// The output file object: paths, create/truncate, whole writes, close, and
// the failures a test can arrange.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/File.h"

namespace {

namespace fs = std::filesystem;
using platform::File;
using platform::FileFaultPlan;
using platform::HostPathOf;

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "taxbridge-file-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
};

TEST(HostPathOf, PlainPathsPassAndOthersAreRefusedWithAReason) {
  for (const char* plain : {"/tmp/out.xml", "out.xml", "./a/b.xml", "/"}) {
    const auto host = HostPathOf(plain);
    EXPECT_TRUE(host.ok()) << plain;
    EXPECT_EQ(host.path, plain);
  }
  const std::string withKanji = std::string("/tmp/") + "消費税.xml";
  for (const std::string& refused :
       {std::string("C:\\out.xml"), std::string("c:out.xml"), std::string("\\\\server\\share\\a.xml"),
        std::string("dir\\out.xml"), withKanji, std::string(""), std::string("/tmp/a\nb")}) {
    const auto host = HostPathOf(refused);
    EXPECT_FALSE(host.ok()) << refused;
    EXPECT_FALSE(host.error.empty()) << refused;
  }
}

TEST_F(FileTest, CreatesTruncatesAndWritesEveryByte) {
  const std::string path = PathOf("out.xml");
  {
    File file;
    ASSERT_TRUE(file.OpenForWrite(path).ok());
    ASSERT_TRUE(file.Write("a much longer first content\r\n").ok());
    ASSERT_TRUE(file.Close().ok());
  }
  File file;
  ASSERT_TRUE(file.OpenForWrite(path).ok());
  EXPECT_TRUE(file.isOpen());
  const std::string bytes("x\0\x81\x5C\xFF\r\n", 7);
  ASSERT_TRUE(file.Write(bytes).ok());
  ASSERT_TRUE(file.Write("").ok());
  ASSERT_TRUE(file.Close().ok());
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(Slurp(path), bytes);
  EXPECT_EQ(file.writeCount(), 2u);
}

TEST_F(FileTest, RefusesWhatCannotBeDone) {
  File missingFolder;
  const auto opened = missingFolder.OpenForWrite(PathOf("no-such-folder/out.xml"));
  EXPECT_FALSE(opened.ok());
  EXPECT_NE(opened.message().find("no-such-folder"), std::string::npos);
  EXPECT_FALSE(missingFolder.isOpen());
  EXPECT_FALSE(missingFolder.Write("x").ok());
  EXPECT_TRUE(missingFolder.Close().ok());  // nothing to close

  File windowsPath;
  EXPECT_FALSE(windowsPath.OpenForWrite("C:\\out.xml").ok());
  EXPECT_FALSE(windowsPath.isOpen());

  File twice;
  ASSERT_TRUE(twice.OpenForWrite(PathOf("a.xml")).ok());
  EXPECT_FALSE(twice.OpenForWrite(PathOf("b.xml")).ok());
  EXPECT_TRUE(twice.isOpen());
  EXPECT_FALSE(fs::exists(PathOf("b.xml")));
}

TEST_F(FileTest, ArrangedFailuresHitOnlyTheirOwnFile) {
  const std::string path = PathOf("faults.xml");
  {
    File failsOpen(FileFaultPlan().FailOpen());
    EXPECT_FALSE(failsOpen.OpenForWrite(path).ok());
    EXPECT_FALSE(failsOpen.isOpen());
    EXPECT_FALSE(fs::exists(path));
  }
  {
    File failsSecondWrite(FileFaultPlan().FailWrite(2));
    ASSERT_TRUE(failsSecondWrite.OpenForWrite(path).ok());
    EXPECT_TRUE(failsSecondWrite.Write("one").ok());
    const auto second = failsSecondWrite.Write("two");
    EXPECT_FALSE(second.ok());
    EXPECT_FALSE(second.message().empty());
    EXPECT_TRUE(failsSecondWrite.isOpen());
    EXPECT_TRUE(failsSecondWrite.Write("three").ok());
    EXPECT_TRUE(failsSecondWrite.Close().ok());
    EXPECT_EQ(Slurp(path), "onethree");
  }
  {
    File failsClose(FileFaultPlan().FailClose());
    ASSERT_TRUE(failsClose.OpenForWrite(path).ok());
    ASSERT_TRUE(failsClose.Write("kept").ok());
    EXPECT_FALSE(failsClose.Close().ok());
    EXPECT_FALSE(failsClose.isOpen());
    EXPECT_TRUE(failsClose.Close().ok());
  }
  // A plain File made afterwards sees none of the plans above.
  File plain;
  ASSERT_TRUE(plain.OpenForWrite(path).ok());
  EXPECT_TRUE(plain.Write("1").ok());
  EXPECT_TRUE(plain.Write("2").ok());
  EXPECT_TRUE(plain.Close().ok());
  EXPECT_EQ(Slurp(path), "12");
}

size_t OpenDescriptors() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST_F(FileTest, NoDescriptorOutlivesItsFile) {
  const std::string path = PathOf("closed.xml");
  const size_t before = OpenDescriptors();
  {
    File file;
    ASSERT_TRUE(file.OpenForWrite(path).ok());
    ASSERT_TRUE(file.Write("done").ok());
    EXPECT_EQ(OpenDescriptors(), before + 1);
  }
  EXPECT_EQ(OpenDescriptors(), before);
  {
    File failsClose(FileFaultPlan().FailClose());
    ASSERT_TRUE(failsClose.OpenForWrite(path).ok());
    EXPECT_FALSE(failsClose.Close().ok());
  }
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(Slurp(path), "");
}

}  // namespace
