// Windows paths over the Linux file system: mapping both ways, drive types,
// folders, files and the process's folders, over a drive map of the test's own.
//
// Linux only: the drive map and the Linux folders behind it do not exist on
// Windows, where paths are the machine's own (WindowsFileSystemTest.cpp).
#include <gtest/gtest.h>

#ifndef _WIN32
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/DriveMap.h"
#include "platform/Encoding.h"
#include "platform/FileSystem.h"

namespace {

using platform::AccessMode;
using platform::DriveMap;
using platform::DriveType;
using platform::FileSystem;
using platform::PathStatus;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

bool HostExists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}
std::string HostRead(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
void HostWrite(const std::string& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// A scratch folder with one Linux folder per drive and share:
//   C: fixed, D: cdrom read-only, R: removable, N: remote, M: ramdisk,
//   U: unknown, Q: a folder that does not exist, \\srv\acc a share.
class Drives : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tb-drives-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    for (const char* d : {"c", "d", "r", "n", "m", "u", "share"}) ::mkdir((root_ + "/" + d).c_str(), 0755);
    const std::string text = "# test drives\n"
                             "C: " + root_ + "/c\n"
                             "D: " + root_ + "/d cdrom readonly\n"
                             "R: " + root_ + "/r removable\n"
                             "N: " + root_ + "/n remote\n"
                             "M: " + root_ + "/m ramdisk\n"
                             "U: " + root_ + "/u unknown\n"
                             "Q: " + root_ + "/missing\n"
                             "\\\\srv\\acc " + root_ + "/share\n";
    std::string error;
    auto map = DriveMap::Parse(text, DriveMap(), &error);
    ASSERT_TRUE(map.has_value()) << error;
    fs_ = platform::NewMappedFileSystem(std::move(*map));
    char cwd[PATH_MAX];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    saved_cwd_ = cwd;
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(saved_cwd_.c_str()), 0);
    std::filesystem::remove_all(root_);
  }

  std::string Host(const std::string& windows, bool for_writing = false) {
    const platform::HostPath h = fs_->ToHostPath(windows, for_writing);
    EXPECT_TRUE(h.ok()) << h.error;
    return h.path;
  }
  std::string Win(const std::string& host) {
    const platform::WindowsPath w = fs_->FromHostPath(host);
    EXPECT_TRUE(w.ok()) << w.error;
    return w.path;
  }

  std::string root_;
  std::string saved_cwd_;
  std::unique_ptr<FileSystem> fs_;
};

TEST_F(Drives, DriveLettersMapBothWays) {
  EXPECT_EQ(Host("C:\\out\\tax.xml"), root_ + "/c/out/tax.xml");
  EXPECT_EQ(Host("c:/out//tax.xml"), root_ + "/c/out/tax.xml");
  EXPECT_EQ(Host("C:\\"), root_ + "/c");
  EXPECT_EQ(Host("C:\\a\\.\\b. \\..\\..\\..\\..\\x"), root_ + "/c/x");  // ".." never climbs above the root
  EXPECT_EQ(Host("C:\\out\\tax.xml. "), root_ + "/c/out/tax.xml");     // trailing dots and blanks drop
  EXPECT_EQ(Win(root_ + "/c/out/tax.xml"), "C:\\out\\tax.xml");
  EXPECT_EQ(Win(root_ + "/c"), "C:\\");
  EXPECT_EQ(Win(root_ + "/c/./out/../out/"), "C:\\out");
  EXPECT_EQ(Win(root_ + "/d/x"), "D:\\x");
}

TEST_F(Drives, SharesMapBothWays) {
  EXPECT_EQ(Host("\\\\srv\\acc\\x\\y.xml"), root_ + "/share/x/y.xml");
  EXPECT_EQ(Host("\\\\SRV\\Acc\\x"), root_ + "/share/x");
  EXPECT_EQ(Host("//srv/acc/x"), root_ + "/share/x");
  EXPECT_EQ(Win(root_ + "/share/x/y.xml"), "\\\\srv\\acc\\x\\y.xml");
  EXPECT_EQ(fs_->ToHostPath("\\\\srv\\other\\x").status, PathStatus::kNoDrive);
  EXPECT_EQ(fs_->ToHostPath("\\\\srv").status, PathStatus::kInvalidName);
  EXPECT_EQ(fs_->ToHostPath("\\\\srv\\").status, PathStatus::kInvalidName);
}

TEST_F(Drives, JapaneseNamesAreUtf8OnDiskAndCp932InThePath) {
  // "機能" and "表" end in the byte 0x5C, which must not split the name.
  const std::string win = "C:\\機能\\表.xml";
  const std::string host = root_ + "/c/" + U8(u8"機能") + "/" + U8(u8"表.xml");
  EXPECT_EQ(Host(win), host);
  EXPECT_EQ(Win(host), win);
  ASSERT_EQ(fs_->MakeFolder("C:\\機能"), PathStatus::kOk);
  EXPECT_TRUE(HostExists(root_ + "/c/" + U8(u8"機能")));
  ASSERT_EQ(fs_->WriteFileAtomically(win, "<x/>"), PathStatus::kOk);
  EXPECT_EQ(HostRead(host), "<x/>");
  EXPECT_TRUE(fs_->PathExists("c:\\機能\\表.XML"));
}

TEST_F(Drives, PathsThatCannotBeMappedSayWhy) {
  struct Case {
    std::string path;
    PathStatus status;
  } cases[] = {
      {"", PathStatus::kInvalidName},
      {"X:\\a", PathStatus::kNoDrive},
      {"C:\\a*b.xml", PathStatus::kInvalidName},
      {"C:\\a\\b?.xml", PathStatus::kInvalidName},
      {"C:\\a|b", PathStatus::kInvalidName},
      {"C:\\a:b", PathStatus::kInvalidName},
      {"C:\\a<b>", PathStatus::kInvalidName},
      {"C:\\a\tb", PathStatus::kInvalidName},
      {"C:\\a\x81", PathStatus::kInvalidName},      // a double-byte character cut in two
      {"C:\\a\x80.xml", PathStatus::kInvalidName},  // a byte CP932 does not define
      {std::string("C:\\a\0b", 6), PathStatus::kInvalidName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const platform::HostPath h = fs_->ToHostPath(c.path);
    EXPECT_EQ(h.status, c.status);
    EXPECT_FALSE(h.error.empty());
    EXPECT_TRUE(h.path.empty());
  }
  EXPECT_FALSE(fs_->FromHostPath("/etc/passwd").ok());                       // no drive holds it
  EXPECT_FALSE(fs_->FromHostPath(root_ + "/c/" + U8(u8"\U0001F600")).ok());  // no CP932 form
  EXPECT_FALSE(fs_->FromHostPath(root_ + "/c/a\\b").ok());                    // "\" inside a Linux name
  EXPECT_FALSE(fs_->FromHostPath(root_ + "/c/" + U8(u8"\u00A5")).ok());       // the yen sign is no "\"
  EXPECT_FALSE(fs_->FromHostPath(root_ + "/c/a:b").ok());
}

TEST_F(Drives, NamesMatchWithoutRegardToCase) {
  HostWrite(root_ + "/c/halverndef.ini", "[x]\n");
  ::mkdir((root_ + "/c/Out").c_str(), 0755);
  EXPECT_TRUE(fs_->PathExists("C:\\HalvernDef.ini"));
  EXPECT_EQ(Host("C:\\HALVERNDEF.INI"), root_ + "/c/halverndef.ini");
  EXPECT_EQ(Host("C:\\OUT\\New.xml"), root_ + "/c/Out/New.xml");  // existing folder, new file as typed
  EXPECT_EQ(fs_->MakeFolder("C:\\out"), PathStatus::kAlreadyExists);
}

TEST_F(Drives, RelativeAndCurrentDrivePathsFollowTheCurrentFolder) {
  ::mkdir((root_ + "/c/out").c_str(), 0755);
  ASSERT_EQ(fs_->ChangeCurrentFolder("C:\\OUT"), PathStatus::kOk);
  EXPECT_EQ(fs_->CurrentFolder().path, "C:\\out");
  EXPECT_EQ(Host("tax.xml"), root_ + "/c/out/tax.xml");
  EXPECT_EQ(Host("..\\tax.xml"), root_ + "/c/tax.xml");
  EXPECT_EQ(Host("\\tax.xml"), root_ + "/c/tax.xml");
  EXPECT_EQ(Host("C:tax.xml"), root_ + "/c/out/tax.xml");
  EXPECT_EQ(Host("D:tax.xml"), root_ + "/d/tax.xml");
  EXPECT_EQ(fs_->DriveTypeOf(""), DriveType::kFixed);
  ASSERT_EQ(fs_->ChangeCurrentFolder("\\\\srv\\acc"), PathStatus::kOk);
  EXPECT_EQ(Host("x.xml"), root_ + "/share/x.xml");
  EXPECT_EQ(Host("\\x.xml"), root_ + "/share/x.xml");
  EXPECT_EQ(fs_->DriveTypeOf(""), DriveType::kRemote);
  EXPECT_NE(fs_->ChangeCurrentFolder("C:\\nowhere"), PathStatus::kOk);
  ASSERT_EQ(::chdir("/"), 0);
  EXPECT_FALSE(fs_->CurrentFolder().ok());  // no drive of this map holds "/"
  EXPECT_EQ(fs_->ToHostPath("tax.xml").status, PathStatus::kNoDrive);
}

TEST_F(Drives, EveryDriveType) {
  EXPECT_EQ(fs_->DriveTypeOf("C:\\"), DriveType::kFixed);
  EXPECT_EQ(fs_->DriveTypeOf("c:"), DriveType::kFixed);
  EXPECT_EQ(fs_->DriveTypeOf("D:\\"), DriveType::kCdRom);
  EXPECT_EQ(fs_->DriveTypeOf("R:\\"), DriveType::kRemovable);
  EXPECT_EQ(fs_->DriveTypeOf("N:\\"), DriveType::kRemote);
  EXPECT_EQ(fs_->DriveTypeOf("M:\\"), DriveType::kRamDisk);
  EXPECT_EQ(fs_->DriveTypeOf("U:\\"), DriveType::kUnknown);
  EXPECT_EQ(fs_->DriveTypeOf("Q:\\"), DriveType::kNoRoot);  // mapped, but its folder is missing
  EXPECT_EQ(fs_->DriveTypeOf("X:\\"), DriveType::kNoRoot);  // not mapped
  EXPECT_EQ(fs_->DriveTypeOf("C:\\out\\"), DriveType::kNoRoot);
  EXPECT_EQ(fs_->DriveTypeOf("1:\\"), DriveType::kNoRoot);
  EXPECT_EQ(fs_->DriveTypeOf("\\\\srv\\acc\\"), DriveType::kRemote);
  EXPECT_EQ(fs_->DriveTypeOf("\\\\srv\\acc"), DriveType::kRemote);
  EXPECT_EQ(fs_->DriveTypeOf("\\\\srv\\other\\"), DriveType::kNoRoot);
  EXPECT_EQ(fs_->DriveTypeOf("\\\\srv"), DriveType::kNoRoot);
}

TEST_F(Drives, AccessToRootsAndReadOnlyDrives) {
  EXPECT_TRUE(fs_->HasAccess("C:\\", AccessMode::kReadWrite));
  EXPECT_TRUE(fs_->HasAccess("\\\\srv\\acc\\", AccessMode::kReadWrite));
  EXPECT_TRUE(fs_->HasAccess("D:\\", AccessMode::kRead));
  EXPECT_FALSE(fs_->HasAccess("D:\\", AccessMode::kReadWrite));
  EXPECT_FALSE(fs_->HasAccess("D:\\", AccessMode::kWrite));
  EXPECT_FALSE(fs_->HasAccess("Q:\\", AccessMode::kRead));
  EXPECT_FALSE(fs_->HasAccess("X:\\", AccessMode::kExists));
  EXPECT_FALSE(fs_->HasAccess("C:\\missing", AccessMode::kExists));
  // A folder counts as readable and writable whatever its permissions, so an
  // ordinary user's check of a drive whose root is the system's "/" passes; a
  // file whose owner may not write it is read-only.
  ::mkdir((root_ + "/c/locked").c_str(), 0555);
  EXPECT_TRUE(fs_->HasAccess("C:\\locked", AccessMode::kReadWrite));
  HostWrite(root_ + "/c/fixed.xml", "x");
  ::chmod((root_ + "/c/fixed.xml").c_str(), 0444);
  EXPECT_TRUE(fs_->HasAccess("C:\\fixed.xml", AccessMode::kRead));
  EXPECT_FALSE(fs_->HasAccess("C:\\fixed.xml", AccessMode::kReadWrite));
  ::chmod((root_ + "/c/locked").c_str(), 0755);
  // Neither a file nor a folder: a named pipe shows the device attribute, and
  // reading it as a file fails at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo((root_ + "/c/pipe").c_str(), 0600), 0);
  EXPECT_EQ(fs_->FileAttributesOf("C:\\pipe") & (platform::kAttributeDevice | platform::kAttributeArchive),
            platform::kAttributeDevice);
  EXPECT_EQ(fs_->FileAttributesOf("C:\\fixed.xml") & platform::kAttributeDevice, 0u);
  EXPECT_FALSE(fs_->ReadWholeFile("C:\\pipe").ok());
  // Nothing on a read-only drive is created, replaced or removed.
  HostWrite(root_ + "/d/old.xml", "old");
  EXPECT_EQ(fs_->MakeFolder("D:\\new"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->WriteFileAtomically("D:\\old.xml", "new"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->RemoveFile("D:\\old.xml"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->RenameFile("D:\\old.xml", "C:\\x.xml"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->ToHostPath("D:\\old.xml", true).status, PathStatus::kAccessDenied);
  EXPECT_EQ(HostRead(root_ + "/d/old.xml"), "old");
  EXPECT_FALSE(HostExists(root_ + "/d/new"));
}

TEST_F(Drives, FoldersAreCreatedAndRemovedOneLevelAtATime) {
  EXPECT_FALSE(fs_->PathIsFolder("C:\\a"));
  EXPECT_EQ(fs_->MakeFolder("C:\\a"), PathStatus::kOk);
  EXPECT_TRUE(fs_->PathIsFolder("C:\\a"));
  EXPECT_TRUE(fs_->PathIsFolder("C:\\a\\"));
  EXPECT_EQ(fs_->MakeFolder("C:\\a"), PathStatus::kAlreadyExists);
  EXPECT_EQ(fs_->MakeFolder("C:\\x\\y"), PathStatus::kPathNotFound);
  EXPECT_FALSE(HostExists(root_ + "/c/x"));
  EXPECT_EQ(fs_->MakeFolder("C:\\"), PathStatus::kAccessDenied);
  HostWrite(root_ + "/c/file", "");
  EXPECT_EQ(fs_->MakeFolder("C:\\file\\sub"), PathStatus::kPathNotFound);
  EXPECT_FALSE(fs_->PathIsFolder("C:\\file"));
  EXPECT_TRUE(fs_->PathExists("C:\\file"));

  EXPECT_EQ(fs_->MakeFolder("C:\\a\\b"), PathStatus::kOk);
  EXPECT_EQ(fs_->RemoveFolder("C:\\a"), PathStatus::kNotEmpty);
  EXPECT_EQ(fs_->RemoveFolder("C:\\file"), PathStatus::kInvalidName);
  EXPECT_EQ(fs_->RemoveFolder("C:\\nothing"), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_->RemoveFolder("C:\\"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->RemoveFolder("C:\\a\\b"), PathStatus::kOk);
  EXPECT_EQ(fs_->RemoveFolder("C:\\a"), PathStatus::kOk);
  EXPECT_FALSE(HostExists(root_ + "/c/a"));
  EXPECT_TRUE(HostExists(root_ + "/c/file"));
}

TEST_F(Drives, FileAttributes) {
  HostWrite(root_ + "/c/plain.xml", "x");
  HostWrite(root_ + "/c/locked.xml", "x");
  ::chmod((root_ + "/c/locked.xml").c_str(), 0444);
  HostWrite(root_ + "/c/.hidden", "x");
  HostWrite(root_ + "/d/cd.xml", "x");
  EXPECT_EQ(fs_->FileAttributesOf("C:\\missing"), platform::kInvalidFileAttributes);
  EXPECT_EQ(fs_->FileAttributesOf("X:\\"), platform::kInvalidFileAttributes);
  EXPECT_EQ(fs_->FileAttributesOf("C:\\"), platform::kAttributeDirectory);
  EXPECT_EQ(fs_->FileAttributesOf("C:\\plain.xml"), platform::kAttributeArchive);
  EXPECT_EQ(fs_->FileAttributesOf("C:\\locked.xml"), platform::kAttributeArchive | platform::kAttributeReadOnly);
  EXPECT_EQ(fs_->FileAttributesOf("C:\\.hidden"), platform::kAttributeArchive | platform::kAttributeHidden);
  EXPECT_EQ(fs_->FileAttributesOf("D:\\cd.xml"), platform::kAttributeArchive | platform::kAttributeReadOnly);
}

TEST_F(Drives, FilesAreReplacedWholeOrNotAtAll) {
  ::mkdir((root_ + "/c/out").c_str(), 0755);
  const std::string target = root_ + "/c/out/taxbridge_plus.env";
  EXPECT_EQ(fs_->WriteFileAtomically("C:\\out\\taxbridge_plus.env", "first\n"), PathStatus::kOk);
  EXPECT_EQ(HostRead(target), "first\n");
  ::chmod(target.c_str(), 0640);
  EXPECT_EQ(fs_->WriteFileAtomically("C:\\out\\taxbridge_plus.env", "second\n"), PathStatus::kOk);
  EXPECT_EQ(HostRead(target), "second\n");
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the file keeps its permissions

  // Failures leave nothing behind and the old file as it was.
  ::mkdir((root_ + "/c/out/dir").c_str(), 0755);
  EXPECT_EQ(fs_->WriteFileAtomically("C:\\out\\dir", "x"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->WriteFileAtomically("C:\\nowhere\\a.env", "x"), PathStatus::kPathNotFound);
  EXPECT_EQ(fs_->WriteFileAtomically("C:\\out\\a*.env", "x"), PathStatus::kInvalidName);
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(root_ + "/c/out")) ++entries;
  EXPECT_EQ(entries, 2u);
  EXPECT_EQ(HostRead(target), "second\n");
}

TEST_F(Drives, RenameReplacesAndRemoveDeletes) {
  HostWrite(root_ + "/c/new.tmp", "new");
  HostWrite(root_ + "/c/old.env", "old");
  ::mkdir((root_ + "/c/dir").c_str(), 0755);
  EXPECT_EQ(fs_->RenameFile("C:\\new.tmp", "C:\\dir"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->RenameFile("C:\\none.tmp", "C:\\old.env"), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_->RenameFile("C:\\new.tmp", "C:\\OLD.ENV"), PathStatus::kOk);
  EXPECT_EQ(HostRead(root_ + "/c/old.env"), "new");
  EXPECT_FALSE(HostExists(root_ + "/c/new.tmp"));
  EXPECT_EQ(fs_->RenameFile("C:\\old.env", "\\\\srv\\acc\\moved.env"), PathStatus::kOk);
  EXPECT_EQ(HostRead(root_ + "/share/moved.env"), "new");

  EXPECT_EQ(fs_->RemoveFile("C:\\dir"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->RemoveFile("C:\\none"), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_->RemoveFile("\\\\srv\\acc\\moved.env"), PathStatus::kOk);
  EXPECT_FALSE(HostExists(root_ + "/share/moved.env"));
}

TEST_F(Drives, WholeFilesAreReadWithALimit) {
  HostWrite(root_ + "/c/SUPPORT.INF", "0123456789");
  platform::FileBytes whole = fs_->ReadWholeFile("C:\\support.inf");
  ASSERT_TRUE(whole.ok()) << whole.error;
  EXPECT_EQ(whole.bytes, "0123456789");
  EXPECT_FALSE(whole.truncated);
  platform::FileBytes cut = fs_->ReadWholeFile("C:\\SUPPORT.INF", 4);
  EXPECT_EQ(cut.bytes, "0123");
  EXPECT_TRUE(cut.truncated);
  EXPECT_FALSE(fs_->ReadWholeFile("C:\\SUPPORT.INF", 10).truncated);
  EXPECT_EQ(fs_->ReadWholeFile("C:\\none.inf").status, PathStatus::kFileNotFound);
  EXPECT_EQ(fs_->ReadWholeFile("C:\\").status, PathStatus::kAccessDenied);
  EXPECT_EQ(fs_->ReadWholeFile("X:\\a").status, PathStatus::kNoDrive);
}

TEST_F(Drives, TemporaryFolderEndsInASeparator) {
  ::mkdir((root_ + "/c/Temp").c_str(), 0755);
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", (root_ + "/c/Temp").c_str(), 1);
  EXPECT_EQ(fs_->TempFolder(), "C:\\Temp\\");
  ::setenv("TMPDIR", (root_ + "/c").c_str(), 1);
  EXPECT_EQ(fs_->TempFolder(), "C:\\");
  ::setenv("TMPDIR", "/tmp", 1);
  EXPECT_EQ(fs_->TempFolder(), "");  // no drive of this map holds /tmp
  if (old) ::setenv("TMPDIR", saved.c_str(), 1); else ::unsetenv("TMPDIR");
}

TEST(ProgramFile, TheProgramsOwnPathAndFolder) {
  const std::unique_ptr<FileSystem> z = platform::NewMappedFileSystem(DriveMap::Defaults(""));  // Z: only
  FileSystem& fs = *z;
  const platform::WindowsPath file = fs.ProgramFilePath();
  ASSERT_TRUE(file.ok()) << file.error;
  EXPECT_EQ(file.path.rfind("Z:\\", 0), 0u);
  EXPECT_TRUE(file.path.ends_with("\\test_platform"));
  char exe[PATH_MAX];
  ASSERT_NE(::realpath("/proc/self/exe", exe), nullptr);
  EXPECT_EQ(fs.ToHostPath(file.path).path, exe);
  const platform::WindowsPath folder = fs.ProgramFolder();
  EXPECT_EQ(folder.path, file.path.substr(0, file.path.size() - std::string("test_platform").size()));
  EXPECT_TRUE(fs.PathIsFolder(folder.path));
}

TEST(DriveMapFile, DefaultsAndChanges) {
  const DriveMap defaults = DriveMap::Defaults("/home/kaori");
  ASSERT_NE(defaults.Drive('c'), nullptr);
  EXPECT_EQ(defaults.Drive('C')->hostRoot, "/home/kaori/.taxbridge/drive_c");
  EXPECT_EQ(defaults.Drive('Z')->hostRoot, "/");
  EXPECT_EQ(defaults.Drive('Z')->type, DriveType::kFixed);
  EXPECT_EQ(defaults.Drive('D'), nullptr);
  std::string rest;
  EXPECT_EQ(defaults.Covering("/home/kaori/.taxbridge/drive_c/out", &rest), defaults.Drive('C'));
  EXPECT_EQ(rest, "out");
  EXPECT_EQ(defaults.Covering("/home/kaori/.taxbridge/drive_cx", &rest), defaults.Drive('Z'));
  EXPECT_EQ(rest, "home/kaori/.taxbridge/drive_cx");

  std::string error;
  const auto map = DriveMap::Parse(
      "\xEF\xBB\xBF; changed\r\n"
      "Z: none\r\n"
      "e: \"/srv/my books\" removable readonly\r\n"
      "\\\\" + U8(u8"経理") + "\\data /srv/data ramdisk\r\n"
      "\r\n   # done\r\n",
      defaults, &error);
  ASSERT_TRUE(map.has_value()) << error;
  EXPECT_EQ(map->Drive('Z'), nullptr);
  ASSERT_NE(map->Drive('E'), nullptr);
  EXPECT_EQ(map->Drive('E')->hostRoot, "/srv/my books");
  EXPECT_EQ(map->Drive('E')->type, DriveType::kRemovable);
  EXPECT_TRUE(map->Drive('E')->readOnly);
  const platform::DriveMapping* share = map->Share("経理", "DATA");
  ASSERT_NE(share, nullptr);
  EXPECT_EQ(share->type, DriveType::kRamDisk);
  EXPECT_EQ(share->WindowsRoot(), "\\\\経理\\data");
  EXPECT_EQ(map->Covering("/etc", &rest), nullptr);
}

TEST(DriveMapFile, BadLinesAreNamedNotSkipped) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"C: relative/path\n", "line 1: the Linux folder must be an absolute path"},
      {"# ok\nC: /x floppy\n", "line 2: unknown word \"floppy\""},
      {"C:\n", "line 1: the Linux folder for C: is missing"},
      {"CC: /x\n", "line 1: the first word must be a drive"},
      {"\\\\server /x\n", "line 1: a share is written"},
      {"C: \"/x\n", "line 1: a quote is not closed"},
      {"C: none fixed\n", "line 1: nothing may follow \"none\""},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(DriveMap::Parse(c.text, DriveMap(), &error).has_value()) << c.text;
    EXPECT_EQ(error.rfind(c.says, 0), 0u) << error;
  }
}

TEST(DriveMapFile, ANamedFileThatCannotBeReadIsAnError) {
  const char* old = std::getenv("TAXBRIDGE_DRIVES");
  const std::string saved = old ? old : "";
  ::setenv("TAXBRIDGE_DRIVES", "/nonexistent/taxbridge-drives", 1);
  std::string error;
  EXPECT_FALSE(DriveMap::FromEnvironment(&error).has_value());
  EXPECT_NE(error.find("/nonexistent/taxbridge-drives"), std::string::npos) << error;
  if (old) ::setenv("TAXBRIDGE_DRIVES", saved.c_str(), 1); else ::unsetenv("TAXBRIDGE_DRIVES");

  const std::unique_ptr<FileSystem> unusable = platform::NewUnusableFileSystem("drive map /x, line 3: unknown word");
  FileSystem& broken = *unusable;
  const platform::HostPath h = broken.ToHostPath("C:\\a");
  EXPECT_EQ(h.status, PathStatus::kNoDrive);
  EXPECT_NE(h.error.find("line 3"), std::string::npos);
  EXPECT_FALSE(broken.PathExists("C:\\"));
  EXPECT_EQ(broken.DriveTypeOf("C:\\"), DriveType::kNoRoot);
}

// Without an absolute HOME there is no per-user C: and no per-user map; no
// folder is made relative to wherever the program runs.
TEST(DriveMapFile, OnlyAnAbsoluteHomeGivesTheUsersDrive) {
  const char* oldHome = std::getenv("HOME");
  const std::string savedHome = oldHome ? oldHome : "";
  const char* oldMap = std::getenv("TAXBRIDGE_DRIVES");
  const std::string savedMap = oldMap ? oldMap : "";
  ::unsetenv("TAXBRIDGE_DRIVES");
  char tmpl[] = "/tmp/tb-home-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  const std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(tmpl);
  for (const char* home : {static_cast<const char*>(nullptr), "", "relative-home"}) {
    if (home) ::setenv("HOME", home, 1); else ::unsetenv("HOME");
    std::string error;
    const auto map = DriveMap::FromEnvironment(&error);
    ASSERT_TRUE(map.has_value()) << error;
    EXPECT_EQ(map->Drive('C'), nullptr) << (home ? home : "(unset)");
    ASSERT_NE(map->Drive('Z'), nullptr);
  }
  EXPECT_TRUE(std::filesystem::is_empty(tmpl));
  std::filesystem::current_path(cwd);
  std::filesystem::remove_all(tmpl);
  if (oldHome) ::setenv("HOME", savedHome.c_str(), 1); else ::unsetenv("HOME");
  if (oldMap) ::setenv("TAXBRIDGE_DRIVES", savedMap.c_str(), 1);
}

}  // namespace

#else

TEST(Drives, MapLinuxFoldersOnLinuxOnly) {
  GTEST_SKIP() << "the drive map is how Linux gives Windows paths a disk; on Windows the paths are the "
                  "machine's own (WindowsFileSystemTest.cpp)";
}

#endif
