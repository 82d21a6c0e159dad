// The settings file under a failure at every step of its write, on the real
// file system: each call of each step (folder creation, creating the new file,
// writing, flushing, closing, renaming) is failed in turn until a write goes
// through without meeting its fault. After every failure the old file is
// byte for byte what it was, no new file lies in the folder, and no folder
// that the attempt made is left.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "dialog/SettingsFile.h"
#include "platform/FileSystem.h"
#include "tests/faults/FaultTally.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempFolder.h"
#ifndef _WIN32
#include "platform/DriveMap.h"
#endif

namespace {

namespace fsys = std::filesystem;
using test_support::FileSystemFaultPlan;
using test_support::FileSystemStep;

constexpr FileSystemStep kFileSteps[] = {FileSystemStep::kCreate, FileSystemStep::kWrite, FileSystemStep::kFlush,
                                         FileSystemStep::kClose, FileSystemStep::kRename};

std::string ReadLinux(const fsys::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every name below `folder`, files and folders, relative to it.
std::set<std::string> Tree(const fsys::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fsys::recursive_directory_iterator(folder))
    names.insert(fsys::relative(e.path(), folder).generic_string());
  return names;
}

class SettingsFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = test_support::NewTempFolder("tb-settings-faults");
    ASSERT_FALSE(root_.empty());
    fsys::create_directories(root_ / "c" / "Prog" / "Env");
#ifdef _WIN32
    // Windows has no drive map: the test's folder is named by its own path,
    // on the machine's file system.
    machine_ = &platform::FileSystem::Default();
    drive_ = test_support::WindowsPathOf(root_ / "c");
#else
    // On Linux the test's folder is drive C: of a file system of its own.
    std::string error;
    auto map = platform::DriveMap::Parse("C: " + (root_ / "c").string() + "\n", platform::DriveMap::Defaults(root_.string()),
                                         &error);
    ASSERT_TRUE(map) << error;
    mapped_ = platform::NewMappedFileSystem(std::move(*map));
    machine_ = mapped_.get();
    drive_ = "C:";
#endif
  }
  void TearDown() override { fsys::remove_all(root_); }

  // Writes one entry through a file system that fails the `number`-th call of
  // `step`; tells whether that fault happened and what Write answered.
  struct Attempt {
    bool faultHappened;
    bool written;
  };
  Attempt WriteWith(FileSystemStep step, uint64_t number, const std::string& folder) {
    test_support::FaultyFileSystem faulty(*machine_, FileSystemFaultPlan().Fail(step, number));
    dialog::SettingsFile file(faulty, folder, "taxbridge_plus.env");
    const bool written = file.Write({"001", 0, 1}, {1, 4, 9, "C:\\out\\新しい/tax.xml"});
    return {faulty.FaultHappened(), written};
  }

  // The Windows path of the test's folder "c" ("C:" on Linux).
  std::string Folder(const std::string& below) const { return drive_ + below; }

  fsys::path root_;
  std::string drive_;
  std::unique_ptr<platform::FileSystem> mapped_;
  platform::FileSystem* machine_ = nullptr;
};

TEST_F(SettingsFaults, AFailedStepLeavesTheOldFileAndNothingElse) {
  const fsys::path env = root_ / "c" / "Prog" / "Env" / "taxbridge_plus.env";
  const std::string old = "1001/0/1:0/4/3/C:\\theirs.xml\n001/0/1:0/5/6/C:\\old.xml\n002/0/2:1/4/3/C:\\x.xml";
  FaultTally tally("settings-file");
  for (FileSystemStep step : kFileSteps) {
    uint64_t number = 1;
    for (;; ++number) {
      std::ofstream(env, std::ios::binary | std::ios::trunc) << old;
      const Attempt a = WriteWith(step, number, Folder("\\Prog\\Env\\"));
      if (!a.faultHappened) {
        // The step has no call of this number: the write went through whole.
        ASSERT_TRUE(a.written) << Describe(step) << " " << number;
        EXPECT_EQ(ReadLinux(env), "1001/0/1:0/4/3/C:\\theirs.xml\n002/0/2:1/4/3/C:\\x.xml\n"
                                  "001/0/1:1/4/9/C:\\out\\新しい/tax.xml\n");
        break;
      }
      const bool survived = !a.written && ReadLinux(env) == old && Tree(env.parent_path()) == std::set<std::string>{"taxbridge_plus.env"};
      tally.Tried(survived);
      EXPECT_FALSE(a.written) << Describe(step) << " " << number;
      EXPECT_EQ(ReadLinux(env), old) << Describe(step) << " " << number;
      EXPECT_EQ(Tree(env.parent_path()), std::set<std::string>{"taxbridge_plus.env"}) << Describe(step) << " " << number;
    }
    // Every step is met at least once on the way (rename twice: the new file
    // is written beside the settings and then put in their place).
    EXPECT_GE(number, step == FileSystemStep::kRename ? 3u : 2u) << Describe(step);
  }
  EXPECT_GE(tally.tried(), 6u);
}

TEST_F(SettingsFaults, AFailureInAFolderOfItsOwnRemovesEveryFolderItMade) {
  // The settings folder is three levels below an existing one; each of its
  // levels and then each step of the file is failed in turn.
  const fsys::path prog = root_ / "c" / "Prog";
  FaultTally tally("settings-folder");
  for (FileSystemStep step : {FileSystemStep::kMakeFolder, FileSystemStep::kCreate, FileSystemStep::kWrite,
                              FileSystemStep::kFlush, FileSystemStep::kClose, FileSystemStep::kRename}) {
    for (uint64_t number = 1;; ++number) {
      const Attempt a = WriteWith(step, number, Folder("\\Prog\\A\\B\\C\\"));
      if (!a.faultHappened) {
        ASSERT_TRUE(a.written);
        EXPECT_EQ(ReadLinux(prog / "A" / "B" / "C" / "taxbridge_plus.env"), "001/0/1:1/4/9/C:\\out\\新しい/tax.xml\n");
        if (step == FileSystemStep::kMakeFolder) {
          EXPECT_EQ(number, 4u);  // three levels made
        }
        fsys::remove_all(prog / "A");
        break;
      }
      const bool survived = !a.written && Tree(prog) == std::set<std::string>{"Env"};
      tally.Tried(survived);
      EXPECT_FALSE(a.written) << Describe(step) << " " << number;
      EXPECT_EQ(Tree(prog), std::set<std::string>{"Env"}) << Describe(step) << " " << number;
    }
  }
  // A level that already exists stays, with what it holds.
  fsys::create_directories(prog / "A");
  std::ofstream(prog / "A" / "keep.txt") << "x";
  const Attempt a = WriteWith(FileSystemStep::kMakeFolder, 2, Folder("\\Prog\\A\\B\\C\\"));
  EXPECT_TRUE(a.faultHappened);
  EXPECT_FALSE(a.written);
  EXPECT_EQ(Tree(prog), (std::set<std::string>{"Env", "A", "A/keep.txt"}));
}

}  // namespace
