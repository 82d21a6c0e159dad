// The settings file, folder creation and the drive check on the platform's
// real file system: on Linux over a drive map of the test's own (C:, a CD on
// D:, a read-only R:); on Windows, which has no drive map, in a folder of the
// machine's temporary folder, with a read-only file for the read-only drive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dialog/ConditionValidator.h"
#include "dialog/FolderMaker.h"
#include "dialog/SettingsFile.h"
#include "platform/FileSystem.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fsys = std::filesystem;

std::string ReadLinux(const fsys::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Silent : dialog::ValidationPrompts {
  void Refuse(std::string_view text) override { refused = std::string(text); }
  bool Ask(std::string_view) override { return true; }
  std::string refused;
};

class RealFileSystemTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
#ifdef _WIN32
    // The machine's temporary folder, from the platform's call, as the
    // system's own path; it is plain ASCII, so std::filesystem takes it as is.
    drive_c = platform::FileSystem::Default().TempFolder() + "taxbridge-dialog-" + std::to_string(::_getpid()) + "\\c\\";
    root = fsys::path(drive_c).parent_path().parent_path();
#else
    root = fsys::temp_directory_path() / ("taxbridge-dialog-" + std::to_string(::getpid()));
    drive_c = "C:\\";
#endif
    fsys::remove_all(root);
    fsys::create_directories(root / "c");
    fsys::create_directories(root / "d");
    fsys::create_directories(root / "r" / "Prog");
#ifndef _WIN32
    std::ofstream(root / "drives") << "C: " << (root / "c").string() << "\n"
                                   << "D: " << (root / "d").string() << " cdrom\n"
                                   << "R: " << (root / "r").string() << " fixed readonly\n"
                                   << "Z: none\n";
    ::setenv("TAXBRIDGE_DRIVES", (root / "drives").c_str(), 1);
#endif
  }
  static void TearDownTestSuite() { fsys::remove_all(root); }

  void SetUp() override {
#ifndef _WIN32
    // The program's file system is built once per process; these tests must be the first to use it.
    const platform::HostPath c = platform::FileSystem::Default().ToHostPath("C:\\");
    ASSERT_TRUE(c.ok() && c.path == (root / "c").string()) << "drive map of the test not in force";
#endif
  }

  // The system's path of `rest` on the test's drive C: ("C:\\" + rest on
  // Linux, the scratch folder's "c\\" on Windows).
  static std::string OnC(const std::string& rest) { return drive_c + rest; }

  static fsys::path root;
  static std::string drive_c;
  platform::FileSystem& fs = platform::FileSystem::Default();
};
fsys::path RealFileSystemTest::root;
std::string RealFileSystemTest::drive_c;

TEST_F(RealFileSystemTest, SettingsAreWrittenInPlaceWithoutLeftovers) {
  dialog::SettingsFile file(fs, OnC("Prog\\Env\\"), "taxbridge_plus.env");
  ASSERT_TRUE(file.Write({"1001", 3, 12}, {0, 4, 9, "C:\\theirs.xml"}));
  ASSERT_TRUE(file.Write({"001", 3, 12}, {0, 4, 9, "C:\\a/b.xml"}));
  ASSERT_TRUE(file.Write({"001", 3, 12}, {1, 5, 6, "C:\\a/c.xml"}));
  const fsys::path env = root / "c" / "Prog" / "Env" / "taxbridge_plus.env";
  EXPECT_EQ(ReadLinux(env), "1001/3/12:0/4/9/C:\\theirs.xml\n001/3/12:1/5/6/C:\\a/c.xml\n");
  EXPECT_EQ(std::distance(fsys::directory_iterator(env.parent_path()), fsys::directory_iterator()), 1);
  EXPECT_EQ(file.Read({"001", 3, 12})->outputPath, "C:\\a/c.xml");
  EXPECT_FALSE(dialog::SettingsFile(fs, OnC("Prog\\Other\\"), "taxbridge_plus.env").Read({"001", 3, 12}));
}

TEST_F(RealFileSystemTest, SettingsOnAReadOnlyDriveStayAsTheyWere) {
  const std::string old = "001/3/12:0/4/9/C:\\a.xml\n";
  std::ofstream(root / "r" / "Prog" / "taxbridge_std.env", std::ios::binary) << old;
#ifdef _WIN32
  // No test can make a read-only drive on Windows; a read-only file is kept
  // as it was the same way.
  fsys::permissions(root / "r" / "Prog" / "taxbridge_std.env", fsys::perms::owner_write, fsys::perm_options::remove);
  dialog::SettingsFile file(fs, root.string() + "\\r\\Prog\\", "taxbridge_std.env");
#else
  dialog::SettingsFile file(fs, "R:\\Prog\\", "taxbridge_std.env");
#endif
  EXPECT_EQ(file.Read({"001", 3, 12})->startMonth, 4);
  EXPECT_FALSE(file.Write({"001", 3, 12}, {0, 5, 6, "C:\\b.xml"}));
  EXPECT_EQ(ReadLinux(root / "r" / "Prog" / "taxbridge_std.env"), old);
  EXPECT_EQ(std::distance(fsys::directory_iterator(root / "r" / "Prog"), fsys::directory_iterator()), 1);
#ifdef _WIN32
  fsys::permissions(root / "r" / "Prog" / "taxbridge_std.env", fsys::perms::owner_write, fsys::perm_options::add);
#endif
}

TEST_F(RealFileSystemTest, FolderLevelsAreCreatedOrAllRemovedAgain) {
  fsys::create_directories(root / "c" / "out");
  EXPECT_TRUE(dialog::CreateFolderLevels(fs, OnC("out\\new\\deeper")));
  EXPECT_TRUE(fsys::is_directory(root / "c" / "out" / "new" / "deeper"));

  EXPECT_FALSE(dialog::CreateFolderLevels(fs, OnC("out\\half\\way\\bad|name\\")));
  EXPECT_FALSE(fsys::exists(root / "c" / "out" / "half"));
  EXPECT_TRUE(fsys::is_directory(root / "c" / "out" / "new"));
  EXPECT_FALSE(dialog::CreateFolderLevels(fs, "out\\relative\\"));
}

TEST_F(RealFileSystemTest, DriveCheckFollowsTheMappedDriveTypes) {
  Silent prompts;
  const std::string drive = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
#ifdef _WIN32
  // The machine's drives are what they are: only a share that does not exist
  // can be refused here for sure (a CD or a read-only drive cannot be
  // arranged by a test).
  for (const char* refused : {"\\\\srv\\share\\a.xml"}) {
#else
  for (const char* refused : {"D:\\a.xml", "R:\\a.xml", "\\\\srv\\share\\a.xml"}) {
#endif
    prompts.refused.clear();
    EXPECT_EQ(dialog::ValidateOutputPath(refused, false, fs, prompts), dialog::FocusField::OutputPath) << refused;
    EXPECT_EQ(prompts.refused, drive) << refused;
  }
  EXPECT_EQ(dialog::ValidateOutputPath(OnC("made\\for\\it.xml"), false, fs, prompts), dialog::FocusField::None);
  EXPECT_TRUE(fsys::is_directory(root / "c" / "made" / "for"));
}

}  // namespace
