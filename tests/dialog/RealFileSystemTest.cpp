// The settings file, folder creation and the drive check on the platform's
// real file system, over a drive map of the test's own.
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
    root = fsys::temp_directory_path() / ("taxbridge-dialog-" + std::to_string(::getpid()));
    fsys::remove_all(root);
    fsys::create_directories(root / "c");
    fsys::create_directories(root / "d");
    fsys::create_directories(root / "r" / "Prog");
    std::ofstream(root / "drives") << "C: " << (root / "c").string() << "\n"
                                   << "D: " << (root / "d").string() << " cdrom\n"
                                   << "R: " << (root / "r").string() << " fixed readonly\n"
                                   << "Z: none\n";
    ::setenv("TAXBRIDGE_DRIVES", (root / "drives").c_str(), 1);
  }
  static void TearDownTestSuite() { fsys::remove_all(root); }

  void SetUp() override {
    // The program's file system is built once per process; these tests must be the first to use it.
    const platform::HostPath c = platform::FileSystem::Default().ToHostPath("C:\\");
    ASSERT_TRUE(c.ok() && c.path == (root / "c").string()) << "drive map of the test not in force";
  }

  static fsys::path root;
  platform::FileSystem& fs = platform::FileSystem::Default();
};
fsys::path RealFileSystemTest::root;

TEST_F(RealFileSystemTest, SettingsAreWrittenInPlaceWithoutLeftovers) {
  dialog::SettingsFile file(fs, "C:\\Prog\\Env\\", "taxbridge_plus.env");
  ASSERT_TRUE(file.Write({"1001", 3, 12}, {0, 4, 9, "C:\\theirs.xml"}));
  ASSERT_TRUE(file.Write({"001", 3, 12}, {0, 4, 9, "C:\\a/b.xml"}));
  ASSERT_TRUE(file.Write({"001", 3, 12}, {1, 5, 6, "C:\\a/c.xml"}));
  const fsys::path env = root / "c" / "Prog" / "Env" / "taxbridge_plus.env";
  EXPECT_EQ(ReadLinux(env), "1001/3/12:0/4/9/C:\\theirs.xml\n001/3/12:1/5/6/C:\\a/c.xml\n");
  EXPECT_EQ(std::distance(fsys::directory_iterator(env.parent_path()), fsys::directory_iterator()), 1);
  EXPECT_EQ(file.Read({"001", 3, 12})->outputPath, "C:\\a/c.xml");
  EXPECT_FALSE(dialog::SettingsFile(fs, "C:\\Prog\\Other\\", "taxbridge_plus.env").Read({"001", 3, 12}));
}

TEST_F(RealFileSystemTest, SettingsOnAReadOnlyDriveStayAsTheyWere) {
  const std::string old = "001/3/12:0/4/9/C:\\a.xml\n";
  std::ofstream(root / "r" / "Prog" / "taxbridge_std.env", std::ios::binary) << old;
  dialog::SettingsFile file(fs, "R:\\Prog\\", "taxbridge_std.env");
  EXPECT_EQ(file.Read({"001", 3, 12})->startMonth, 4);
  EXPECT_FALSE(file.Write({"001", 3, 12}, {0, 5, 6, "C:\\b.xml"}));
  EXPECT_EQ(ReadLinux(root / "r" / "Prog" / "taxbridge_std.env"), old);
  EXPECT_EQ(std::distance(fsys::directory_iterator(root / "r" / "Prog"), fsys::directory_iterator()), 1);
}

TEST_F(RealFileSystemTest, FolderLevelsAreCreatedOrAllRemovedAgain) {
  fsys::create_directories(root / "c" / "out");
  EXPECT_TRUE(dialog::CreateFolderLevels(fs, "C:\\out\\new\\deeper"));
  EXPECT_TRUE(fsys::is_directory(root / "c" / "out" / "new" / "deeper"));

  EXPECT_FALSE(dialog::CreateFolderLevels(fs, "C:\\out\\half\\way\\bad|name\\"));
  EXPECT_FALSE(fsys::exists(root / "c" / "out" / "half"));
  EXPECT_TRUE(fsys::is_directory(root / "c" / "out" / "new"));
  EXPECT_FALSE(dialog::CreateFolderLevels(fs, "out\\relative\\"));
}

TEST_F(RealFileSystemTest, DriveCheckFollowsTheMappedDriveTypes) {
  Silent prompts;
  const std::string drive = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
  for (const char* refused : {"D:\\a.xml", "R:\\a.xml", "\\\\srv\\share\\a.xml"}) {
    prompts.refused.clear();
    EXPECT_EQ(dialog::ValidateOutputPath(refused, false, fs, prompts), dialog::FocusField::OutputPath) << refused;
    EXPECT_EQ(prompts.refused, drive) << refused;
  }
  EXPECT_EQ(dialog::ValidateOutputPath("C:\\made\\for\\it.xml", false, fs, prompts), dialog::FocusField::None);
  EXPECT_TRUE(fsys::is_directory(root / "c" / "made" / "for"));
}

}  // namespace
