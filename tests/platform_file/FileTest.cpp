// The output file object: paths, create/truncate, whole writes, close; and
// the faulty file that the fault tests use, which must fail exactly what it
// is told to and nothing else.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/File.h"
#include "tests/support/FaultyFile.h"

namespace {

namespace fs = std::filesystem;
using platform::File;
using platform::HostPathOf;
using test_support::FaultyFile;
using test_support::FileFaultPlan;

// The program's own file object.
std::unique_ptr<File> NewFile() { return platform::FileSystem::Default().NewFile(); }

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

TEST_F(FileTest, PathsGoThroughTheDriveMap) {
  // The suite runs in the build folder, which the drive map shows on Z: ("/").
  const std::string linuxDir = dir_.string();
  std::string winDir = "Z:" + linuxDir;
  for (char& c : winDir) c = c == '/' ? '\\' : c;
  EXPECT_EQ(HostPathOf(winDir + "\\out.xml").path, linuxDir + "/out.xml");
  EXPECT_EQ(HostPathOf("z:" + linuxDir + "/sub/../out.xml").path, linuxDir + "/out.xml");
  EXPECT_EQ(HostPathOf(linuxDir + "/out.xml").path, linuxDir + "/out.xml");  // the current drive
  EXPECT_EQ(HostPathOf(winDir + "\\" + "消費税.xml").path,
            linuxDir + "/" + reinterpret_cast<const char*>(u8"消費税.xml"));

  const std::unique_ptr<File> kanji = NewFile();
  ASSERT_TRUE(kanji->OpenForWrite(winDir + "\\" + "消費税.xml").ok());
  ASSERT_TRUE(kanji->Write("x").ok());
  ASSERT_TRUE(kanji->Close().ok());
  EXPECT_EQ(Slurp(linuxDir + "/" + reinterpret_cast<const char*>(u8"消費税.xml")), "x");

  for (const std::string& refused : {std::string(""), winDir + "\\a\nb.xml", winDir + "\\a*.xml",
                                     std::string("\\\\no-such-server\\share\\a.xml"),
                                     winDir + "\\a\x81"}) {
    const auto host = HostPathOf(refused);
    EXPECT_FALSE(host.ok()) << refused;
    EXPECT_FALSE(host.error.empty()) << refused;
    const std::unique_ptr<File> file = NewFile();
    EXPECT_FALSE(file->OpenForWrite(refused).ok()) << refused;
  }
}

TEST_F(FileTest, CreatesTruncatesAndWritesEveryByte) {
  const std::string path = PathOf("out.xml");
  {
    const std::unique_ptr<File> file = NewFile();
    ASSERT_TRUE(file->OpenForWrite(path).ok());
    ASSERT_TRUE(file->Write("a much longer first content\r\n").ok());
    ASSERT_TRUE(file->Close().ok());
  }
  const std::unique_ptr<File> file = NewFile();
  ASSERT_TRUE(file->OpenForWrite(path).ok());
  EXPECT_TRUE(file->isOpen());
  const std::string bytes("x\0\x81\x5C\xFF\r\n", 7);
  ASSERT_TRUE(file->Write(bytes).ok());
  ASSERT_TRUE(file->Write("").ok());
  ASSERT_TRUE(file->Close().ok());
  EXPECT_FALSE(file->isOpen());
  EXPECT_EQ(Slurp(path), bytes);
  EXPECT_EQ(file->writeCount(), 2u);
}

TEST_F(FileTest, RefusesWhatCannotBeDone) {
  const std::unique_ptr<File> missingFolder = NewFile();
  const auto opened = missingFolder->OpenForWrite(PathOf("no-such-folder/out.xml"));
  EXPECT_FALSE(opened.ok());
  EXPECT_NE(opened.message().find("no-such-folder"), std::string::npos);
  EXPECT_FALSE(missingFolder->isOpen());
  EXPECT_FALSE(missingFolder->Write("x").ok());
  EXPECT_TRUE(missingFolder->Close().ok());  // nothing to close

  const std::unique_ptr<File> unmapped = NewFile();
  EXPECT_FALSE(unmapped->OpenForWrite("\\\\no-such-server\\share\\out.xml").ok());
  EXPECT_FALSE(unmapped->isOpen());

  const std::unique_ptr<File> twice = NewFile();
  ASSERT_TRUE(twice->OpenForWrite(PathOf("a.xml")).ok());
  EXPECT_FALSE(twice->OpenForWrite(PathOf("b.xml")).ok());
  EXPECT_TRUE(twice->isOpen());
  EXPECT_FALSE(fs::exists(PathOf("b.xml")));

  // Only regular files are written: a pipe nobody reads, a pipe somebody
  // reads, a device and a folder are each refused at once, and none of them
  // is opened for writing (the pipe's reader sees no writer come and go).
  ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0600), 0);
  fs::create_directory(PathOf("folder"));
  const int reader = ::open(PathOf("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  for (const std::string& other : {PathOf("pipe"), std::string("/dev/null"), PathOf("folder")}) {
    const std::unique_ptr<File> file = NewFile();
    const auto result = file->OpenForWrite(other);
    EXPECT_FALSE(result.ok()) << other;
    EXPECT_NE(result.message().find(other), std::string::npos) << result.message();
    EXPECT_FALSE(file->isOpen()) << other;
  }
  ::close(reader);
  const std::unique_ptr<File> unread = NewFile();
  EXPECT_NE(unread->OpenForWrite(PathOf("pipe")).message().find("not a file"), std::string::npos);
}

TEST_F(FileTest, ArrangedFailuresHitOnlyTheirOwnFile) {
  const std::string path = PathOf("faults.xml");
  {
    FaultyFile failsOpen(FileFaultPlan().FailOpen());
    EXPECT_FALSE(failsOpen.OpenForWrite(path).ok());
    EXPECT_FALSE(failsOpen.isOpen());
    EXPECT_FALSE(fs::exists(path));
  }
  {
    FaultyFile failsSecondWrite(FileFaultPlan().FailWrite(2));
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
    FaultyFile failsClose(FileFaultPlan().FailClose());
    ASSERT_TRUE(failsClose.OpenForWrite(path).ok());
    ASSERT_TRUE(failsClose.Write("kept").ok());
    EXPECT_FALSE(failsClose.Close().ok());
    EXPECT_FALSE(failsClose.isOpen());
    EXPECT_TRUE(failsClose.Close().ok());
  }
  // A plain File made afterwards sees none of the plans above.
  const std::unique_ptr<File> plain = NewFile();
  ASSERT_TRUE(plain->OpenForWrite(path).ok());
  EXPECT_TRUE(plain->Write("1").ok());
  EXPECT_TRUE(plain->Write("2").ok());
  EXPECT_TRUE(plain->Close().ok());
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
    const std::unique_ptr<File> file = NewFile();
    ASSERT_TRUE(file->OpenForWrite(path).ok());
    ASSERT_TRUE(file->Write("done").ok());
    EXPECT_EQ(OpenDescriptors(), before + 1);
  }
  EXPECT_EQ(OpenDescriptors(), before);
  {
    FaultyFile failsClose(FileFaultPlan().FailClose());
    ASSERT_TRUE(failsClose.OpenForWrite(path).ok());
    EXPECT_FALSE(failsClose.Close().ok());
  }
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(Slurp(path), "");
}

}  // namespace
