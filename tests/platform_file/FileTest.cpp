// The output file object: paths, create/truncate, whole writes, close; and
// the faulty file that the fault tests use, which must fail exactly what it
// is told to and nothing else. The Linux file goes through the drive map
// and is refused for pipes and devices; the Windows file takes the
// machine's own paths and is refused for device names. Each of those cases
// is built on its own platform only.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/File.h"
#include "tests/support/FaultyFile.h"

#ifdef _WIN32
#include <windows.h>
#endif

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
#ifdef _WIN32
    // No mkdtemp on Windows: a name of the process's own, made with the
    // platform's call (its temporary folder is a path of the ANSI code page).
    char temp[MAX_PATH + 1];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    static int count = 0;
    const std::string name = std::string(temp) + "taxbridge-file-" + std::to_string(_getpid()) + "-" + std::to_string(++count);
    ASSERT_TRUE(CreateDirectoryA(name.c_str(), nullptr)) << name;
    dir_ = name;
#else
    std::string pattern = (fs::temp_directory_path() / "taxbridge-file-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
#endif
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
};

#ifdef _WIN32

TEST_F(FileTest, PathsGoThroughTheDriveMap) {
  GTEST_SKIP() << "no drive map on Windows: its paths are the machine's own (PathsAreTheMachinesOwn)";
}

TEST_F(FileTest, PathsAreTheMachinesOwn) {
  const std::string winDir = dir_.string();
  EXPECT_EQ(HostPathOf(winDir + "\\out.xml").path, winDir + "\\out.xml");
  const std::string kanji = winDir + "\\" + "消費税表.xml";  // "表" ends in the byte 0x5C
  EXPECT_EQ(HostPathOf(kanji).path, kanji);
  const std::unique_ptr<File> file = NewFile();
  ASSERT_TRUE(file->OpenForWrite(kanji).ok());
  ASSERT_TRUE(file->Write("x").ok());
  ASSERT_TRUE(file->Close().ok());
  EXPECT_EQ(Slurp(kanji), "x");
  EXPECT_NE(GetFileAttributesW((dir_ / L"\u6d88\u8cbb\u7a0e\u8868.xml").c_str()), INVALID_FILE_ATTRIBUTES);

  for (const std::string& refused : {std::string(""), winDir + "\\a\nb.xml", winDir + "\\a*.xml", winDir + "\\a\x81"}) {
    const auto host = HostPathOf(refused);
    EXPECT_FALSE(host.ok()) << refused;
    EXPECT_FALSE(host.error.empty()) << refused;
    const std::unique_ptr<File> other = NewFile();
    EXPECT_FALSE(other->OpenForWrite(refused).ok()) << refused;
  }
}

#else

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

#endif

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

#ifdef _WIN32
  // Only files on a disk are written: a device name and a folder are each
  // refused at once.
  fs::create_directory(PathOf("folder"));
  for (const std::string& other : {std::string("NUL"), PathOf("folder")}) {
    const std::unique_ptr<File> file = NewFile();
    const auto result = file->OpenForWrite(other);
    EXPECT_FALSE(result.ok()) << other;
    EXPECT_NE(result.message().find(other), std::string::npos) << result.message();
    EXPECT_FALSE(file->isOpen()) << other;
  }
  EXPECT_NE(NewFile()->OpenForWrite("NUL").message().find("not a file"), std::string::npos);
#else
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
#endif
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

#ifdef _WIN32

// Whether anything in the process still holds `path` open: a handle that
// shares no access keeps an exclusive open from succeeding. (Counting the
// process's handles, as Linux counts its descriptors, is no test under Wine:
// its GetProcessHandleCount answers 0.)
bool HeldOpen(const std::string& path) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return false;
}

TEST_F(FileTest, NoHandleOutlivesItsFile) {
  const std::string path = PathOf("closed.xml");
  {
    const std::unique_ptr<File> file = NewFile();
    ASSERT_TRUE(file->OpenForWrite(path).ok());
    ASSERT_TRUE(file->Write("done").ok());
    EXPECT_TRUE(HeldOpen(path));
  }
  EXPECT_FALSE(HeldOpen(path));
  {
    FaultyFile failsClose(FileFaultPlan().FailClose());
    ASSERT_TRUE(failsClose.OpenForWrite(path).ok());
    EXPECT_TRUE(HeldOpen(path));
    EXPECT_FALSE(failsClose.Close().ok());
    EXPECT_FALSE(HeldOpen(path));
  }
  EXPECT_FALSE(HeldOpen(path));
  EXPECT_EQ(Slurp(path), "");
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

#else

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

#endif

}  // namespace
