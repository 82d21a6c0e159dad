// The file system over Windows, in a scratch folder of the machine's
// temporary folder: folders and files by their Windows calls, replacing in
// one step, read-only files, Shift_JIS names whose trail byte is 0x5C, files
// still open elsewhere (which Windows keeps in place), the process's folders
// and the path variables anchored to the start folder.
//
// Windows only: on Linux the same interface maps paths through a drive map,
// which tests/platform/FileSystemTest.cpp covers.
#include <gtest/gtest.h>

#ifdef _WIN32

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/Environment.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

#include <windows.h>

namespace {

using platform::AccessMode;
using platform::DriveType;
using platform::FileSystem;
using platform::PathStatus;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// The names of a folder's entries, "." and ".." left out.
std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

void RemoveTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    for (const std::string& name : EntriesOf(path)) RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

// Bytes written and read with the plain Windows calls, past the file system
// under test.
void Put(const std::string& path, const std::string& bytes) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}
std::string Got(const std::string& path) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(1 << 16, '\0');
  DWORD n = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(h);
  bytes.resize(n);
  return bytes;
}

class WindowsFileSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    static int count = 0;
    root_ = std::string(temp) + "tb-fs-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    RemoveTree(root_);
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << root_;
    char cwd[MAX_PATH + 1];
    ASSERT_GT(GetCurrentDirectoryA(sizeof cwd, cwd), 0u);
    saved_cwd_ = cwd;
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved_cwd_.c_str());
    RemoveTree(root_);
  }
  std::string At(const std::string& name) const { return root_ + "\\" + name; }

  FileSystem& fs_ = FileSystem::Default();
  std::string root_;
  std::string saved_cwd_;
};

TEST_F(WindowsFileSystem, PathsAreTheMachinesOwnAfterTheNameChecks) {
  EXPECT_TRUE(fs_.Problem().empty());
  for (const std::string& own : {At("out\\tax.xml"), std::string("tax.xml"), std::string("\\\\srv\\acc\\x.xml"),
                                 At("表\\ソフト.xml")}) {
    const platform::HostPath host = fs_.ToHostPath(own, true);
    EXPECT_TRUE(host.ok()) << host.error;
    EXPECT_EQ(host.path, own);
    EXPECT_EQ(fs_.FromHostPath(own).path, own);
  }
  const std::string refused[] = {"", At("a*b.xml"), At("a?.xml"), At("a|b"), At("a:b"), At("a<b>"), At("a\tb"),
                                 At("a\x81"), std::string("C:\\a\0b", 6), "\\\\srv"};
  for (const std::string& path : refused) {
    SCOPED_TRACE(path);
    const platform::HostPath host = fs_.ToHostPath(path);
    EXPECT_EQ(host.status, PathStatus::kInvalidName);
    EXPECT_TRUE(host.path.empty());
    EXPECT_FALSE(host.error.empty());
    EXPECT_FALSE(fs_.FromHostPath(path).ok());
    EXPECT_NE(fs_.MakeFolder(path), PathStatus::kOk);
  }
  // Windows's code page 932 gives the single bytes 0x80, 0xA0 and 0xFD-0xFF
  // characters of their own (the Linux file system, converting through
  // iconv's CP932, refuses them): such a name is the machine's to take.
  EXPECT_TRUE(fs_.ToHostPath(At("a\x80.xml")).ok());
  // The error names the path in UTF-8, Japanese names included.
  const platform::HostPath japanese = fs_.ToHostPath(At("表*.xml"));
  EXPECT_NE(japanese.error.find(U8(u8"表*.xml")), std::string::npos) << japanese.error;
  EXPECT_EQ(platform::HostPathOf(At("out.xml")).path, At("out.xml"));
  EXPECT_FALSE(platform::HostPathOf("").ok());
}

TEST_F(WindowsFileSystem, FoldersAndFilesByTheirWindowsCalls) {
  EXPECT_FALSE(fs_.PathIsFolder(At("a")));
  EXPECT_EQ(fs_.MakeFolder(At("a")), PathStatus::kOk);
  EXPECT_TRUE(fs_.PathIsFolder(At("a")));
  EXPECT_TRUE(fs_.PathIsFolder(At("A\\")));
  EXPECT_EQ(fs_.MakeFolder(At("A")), PathStatus::kAlreadyExists);
  EXPECT_EQ(fs_.MakeFolder(At("x\\y")), PathStatus::kPathNotFound);
  EXPECT_EQ(fs_.MakeFolder("C:\\"), PathStatus::kAccessDenied);
  Put(At("file"), "");
  EXPECT_TRUE(fs_.PathExists(At("FILE")));
  EXPECT_FALSE(fs_.PathIsFolder(At("file")));
  EXPECT_EQ(fs_.FileAttributesOf(At("a")) & FILE_ATTRIBUTE_DIRECTORY, static_cast<uint32_t>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(fs_.FileAttributesOf(At("missing")), platform::kInvalidFileAttributes);

  EXPECT_EQ(fs_.MakeFolder(At("a\\b")), PathStatus::kOk);
  EXPECT_EQ(fs_.RemoveFolder(At("a")), PathStatus::kNotEmpty);
  EXPECT_EQ(fs_.RemoveFolder(At("file")), PathStatus::kInvalidName);
  EXPECT_EQ(fs_.RemoveFolder(At("nothing")), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_.RemoveFolder("C:\\"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_.RemoveFolder(At("a\\b")), PathStatus::kOk);
  EXPECT_EQ(fs_.RemoveFolder(At("a")), PathStatus::kOk);
  EXPECT_FALSE(fs_.PathExists(At("a")));

  Put(At("new.tmp"), "new");
  Put(At("old.env"), "old");
  ASSERT_EQ(fs_.MakeFolder(At("dir")), PathStatus::kOk);
  EXPECT_EQ(fs_.RenameFile(At("new.tmp"), At("dir")), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_.RenameFile(At("dir"), At("moved")), PathStatus::kAccessDenied);  // folders are not renamed here
  EXPECT_TRUE(fs_.PathIsFolder(At("dir")));
  EXPECT_EQ(fs_.RenameFile(At("none.tmp"), At("old.env")), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_.RenameFile(At("new.tmp"), At("OLD.ENV")), PathStatus::kOk);
  EXPECT_EQ(Got(At("old.env")), "new");
  EXPECT_FALSE(fs_.PathExists(At("new.tmp")));
  EXPECT_EQ(fs_.RemoveFile(At("dir")), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_.RemoveFile(At("none")), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_.RemoveFile(At("nowhere\\none")), PathStatus::kPathNotFound);
  EXPECT_EQ(fs_.RemoveFile(At("old.env")), PathStatus::kOk);
  EXPECT_EQ(EntriesOf(root_), (std::vector<std::string>{"dir", "file"}));
}

TEST_F(WindowsFileSystem, FilesAreReplacedInOneStepOrNotAtAll) {
  const std::string target = At("taxbridge_plus.env");
  EXPECT_EQ(fs_.WriteFileAtomically(target, "first\r\n"), PathStatus::kOk);
  EXPECT_EQ(Got(target), "first\r\n");  // binary: no "\r\r\n"
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(fs_.WriteFileAtomically(target, "second\n"), PathStatus::kOk);
  EXPECT_EQ(Got(target), "second\n");
  EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);  // the file keeps its mark

  ASSERT_EQ(fs_.MakeFolder(At("dir")), PathStatus::kOk);
  EXPECT_EQ(fs_.WriteFileAtomically(At("dir"), "x"), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_.WriteFileAtomically(At("nowhere\\a.env"), "x"), PathStatus::kPathNotFound);
  EXPECT_EQ(fs_.WriteFileAtomically(At("a*.env"), "x"), PathStatus::kInvalidName);
  EXPECT_EQ(fs_.WriteFileAtomically("C:\\", "x"), PathStatus::kAccessDenied);
  {
    // A replacement dropped before its commit leaves the old file as it was.
    std::unique_ptr<FileSystem::Replacement> dropped;
    ASSERT_EQ(fs_.BeginReplacing(target, &dropped), PathStatus::kOk);
    ASSERT_EQ(dropped->Write("third\n"), PathStatus::kOk);
    ASSERT_EQ(dropped->Flush(), PathStatus::kOk);
    EXPECT_EQ(EntriesOf(root_).size(), 3u);  // the new file is beside the old one
  }
  EXPECT_EQ(Got(target), "second\n");
  std::vector<std::string> entries = EntriesOf(root_);
  EXPECT_EQ(entries, (std::vector<std::string>{"dir", "taxbridge_plus.env"}));
}

TEST_F(WindowsFileSystem, AReadOnlyFileRefusesWritingButAFolderNever) {
  const std::string fixed = At("fixed.xml");
  Put(fixed, "old");
  ASSERT_TRUE(SetFileAttributesA(fixed.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(fs_.HasAccess(fixed, AccessMode::kExists));
  EXPECT_TRUE(fs_.HasAccess(fixed, AccessMode::kRead));
  EXPECT_FALSE(fs_.HasAccess(fixed, AccessMode::kWrite));
  EXPECT_FALSE(fs_.HasAccess(fixed, AccessMode::kReadWrite));
  EXPECT_NE(fs_.FileAttributesOf(fixed) & platform::kAttributeReadOnly, 0u);
  EXPECT_EQ(fs_.WriteFileAtomically(fixed, "new"), PathStatus::kAccessDenied);
  Put(At("other.xml"), "other");
  EXPECT_EQ(fs_.RenameFile(At("other.xml"), fixed), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_.RemoveFile(fixed), PathStatus::kAccessDenied);
  const std::unique_ptr<platform::File> file = fs_.NewFile();
  EXPECT_FALSE(file->OpenForWrite(fixed).ok());
  EXPECT_EQ(Got(fixed), "old");
  EXPECT_EQ(EntriesOf(root_), (std::vector<std::string>{"fixed.xml", "other.xml"}));

  ASSERT_EQ(fs_.MakeFolder(At("locked")), PathStatus::kOk);
  ASSERT_TRUE(SetFileAttributesA(At("locked").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(fs_.HasAccess(At("locked"), AccessMode::kReadWrite));
  EXPECT_TRUE(fs_.HasAccess(root_, AccessMode::kReadWrite));
  EXPECT_FALSE(fs_.HasAccess(At("missing"), AccessMode::kExists));
}

TEST_F(WindowsFileSystem, ShiftJisNamesWithTheTrailByte5C) {
  // "表" is 95 5C, "ソ" 83 5C, "機能" ends in 94 5C: none of those 0x5C is a "\".
  const std::string folder = At("表");
  const std::string file = folder + "\\ソフト機能.xml";
  ASSERT_EQ(folder.back(), '\x5C');
  EXPECT_EQ(fs_.MakeFolder(folder), PathStatus::kOk);
  EXPECT_TRUE(fs_.PathIsFolder(folder));
  EXPECT_TRUE(fs_.PathIsFolder(folder + "\\"));
  ASSERT_EQ(fs_.WriteFileAtomically(file, "<x/>"), PathStatus::kOk);
  const platform::FileBytes read = fs_.ReadWholeFile(file);
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.bytes, "<x/>");
  // On disk the names are the characters, not their bytes cut at 0x5C.
  wchar_t temp[MAX_PATH + 1];
  ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
  const std::wstring wide = std::wstring(temp) + std::wstring(root_.begin() + root_.rfind('\\') + 1, root_.end()) +
                            L"\\\u8868\\\u30bd\u30d5\u30c8\u6a5f\u80fd.xml";
  EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(EntriesOf(folder), std::vector<std::string>{"ソフト機能.xml"});

  EXPECT_EQ(fs_.RemoveFolder(folder), PathStatus::kNotEmpty);
  EXPECT_EQ(fs_.RemoveFile(file), PathStatus::kOk);
  EXPECT_EQ(fs_.RemoveFolder(folder), PathStatus::kOk);
  EXPECT_FALSE(fs_.PathExists(folder));
  const platform::FileBytes missing = fs_.ReadWholeFile(file);
  EXPECT_NE(missing.status, PathStatus::kOk);
  EXPECT_NE(missing.error.find(U8(u8"ソフト機能.xml")), std::string::npos) << missing.error;
}

TEST_F(WindowsFileSystem, AFileOpenElsewhereIsNeitherReplacedNorRemoved) {
  const std::string target = At("open.env");
  Put(target, "old");
  // Opened as a reader usually opens a file: sharing reading only.
  const HANDLE reader = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(fs_.RemoveFile(target), PathStatus::kAccessDenied);
  EXPECT_EQ(fs_.WriteFileAtomically(target, "new"), PathStatus::kAccessDenied);
  Put(At("other.env"), "other");
  EXPECT_EQ(fs_.RenameFile(At("other.env"), target), PathStatus::kAccessDenied);
  const std::unique_ptr<platform::File> file = fs_.NewFile();
  EXPECT_FALSE(file->OpenForWrite(target).ok());
  // Reading alongside is allowed.
  EXPECT_EQ(fs_.ReadWholeFile(target).bytes, "old");
  EXPECT_EQ(EntriesOf(root_), (std::vector<std::string>{"open.env", "other.env"}));
  CloseHandle(reader);
  EXPECT_EQ(Got(target), "old");
  EXPECT_EQ(fs_.WriteFileAtomically(target, "new"), PathStatus::kOk);
  EXPECT_EQ(Got(target), "new");
  EXPECT_EQ(fs_.RemoveFile(target), PathStatus::kOk);
}

TEST_F(WindowsFileSystem, WholeFilesAreReadWithALimit) {
  Put(At("SUPPORT.INF"), "0123456789");
  const platform::FileBytes whole = fs_.ReadWholeFile(At("support.inf"));
  ASSERT_TRUE(whole.ok()) << whole.error;
  EXPECT_EQ(whole.bytes, "0123456789");
  EXPECT_FALSE(whole.truncated);
  const platform::FileBytes cut = fs_.ReadWholeFile(At("SUPPORT.INF"), 4);
  EXPECT_EQ(cut.bytes, "0123");
  EXPECT_TRUE(cut.truncated);
  EXPECT_FALSE(fs_.ReadWholeFile(At("SUPPORT.INF"), 10).truncated);
  EXPECT_EQ(fs_.ReadWholeFile(At("none.inf")).status, PathStatus::kFileNotFound);
  EXPECT_EQ(fs_.ReadWholeFile(root_).status, PathStatus::kAccessDenied);
  // A device is not a file: it is refused, not read until it ends.
  EXPECT_FALSE(fs_.ReadWholeFile("NUL").ok());
}

TEST_F(WindowsFileSystem, TheProcessFoldersAndDrives) {
  const std::string temp = fs_.TempFolder();
  char expected[MAX_PATH + 1];
  ASSERT_GT(GetTempPathA(sizeof expected, expected), 0u);
  EXPECT_EQ(temp, expected);
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(fs_.PathIsFolder(temp));

  ASSERT_EQ(fs_.MakeFolder(At("表")), PathStatus::kOk);
  ASSERT_EQ(fs_.ChangeCurrentFolder(At("表")), PathStatus::kOk);
  EXPECT_EQ(fs_.CurrentFolder().path, At("表"));
  EXPECT_EQ(fs_.WriteFileAtomically("here.txt", "relative"), PathStatus::kOk);
  EXPECT_EQ(Got(At("表\\here.txt")), "relative");
  EXPECT_EQ(fs_.WriteFileAtomically("..\\up.txt", "up"), PathStatus::kOk);
  EXPECT_EQ(Got(At("up.txt")), "up");
  EXPECT_EQ(fs_.ChangeCurrentFolder(At("nowhere")), PathStatus::kFileNotFound);
  EXPECT_EQ(fs_.CurrentFolder().path, At("表"));

  const platform::WindowsPath program = fs_.ProgramFilePath();
  ASSERT_TRUE(program.ok()) << program.error;
  EXPECT_TRUE(program.path.ends_with("\\test_platform.exe")) << program.path;
  EXPECT_TRUE(fs_.PathExists(program.path));
  EXPECT_EQ(fs_.ProgramFolder().path, program.path.substr(0, program.path.size() - std::string("test_platform.exe").size()));

  EXPECT_EQ(fs_.DriveTypeOf("C:\\"), DriveType::kFixed);
  EXPECT_EQ(fs_.DriveTypeOf("c:"), DriveType::kFixed);
  EXPECT_EQ(fs_.DriveTypeOf(""), static_cast<DriveType>(GetDriveTypeA(nullptr)));
  EXPECT_EQ(fs_.DriveTypeOf("C:\\windows\\"), DriveType::kNoRoot);
  EXPECT_EQ(fs_.DriveTypeOf("1:\\"), DriveType::kNoRoot);
  EXPECT_EQ(fs_.DriveTypeOf("\\\\srv"), DriveType::kNoRoot);
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Z'; letter > 'C'; --letter) {
    if (drives & (1u << (letter - 'A'))) continue;
    EXPECT_EQ(fs_.DriveTypeOf(std::string(1, letter) + ":\\"), DriveType::kNoRoot) << letter;
    EXPECT_FALSE(fs_.PathExists(std::string(1, letter) + ":\\x"));
    break;
  }
}

// The path variables are anchored to the start folder, whose last name may
// end in a 0x5C trail byte.
TEST_F(WindowsFileSystem, PathVariablesAreAnchoredToTheStartFolder) {
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  };
  std::vector<Saved> saved;
  for (const char* name : platform::kPathVariables) {
    const char* value = std::getenv(name);
    saved.push_back({name, value ? value : "", value != nullptr});
  }
  ASSERT_EQ(fs_.MakeFolder(At("表")), PathStatus::kOk);
  ASSERT_EQ(fs_.ChangeCurrentFolder(At("表")), PathStatus::kOk);
  const std::string drive = root_.substr(0, 2);
  _putenv_s("LEDGER_HOME", "books");
  _putenv_s("TAXBRIDGE_DRIVES", "C:\\absolute\\drives");
  _putenv_s("TAXBRIDGE_SCRIPT", "\\scripts\\run.txt");
  _putenv_s("TAXBRIDGE_TRANSCRIPT", "\\\\srv\\acc\\t.txt");
  _putenv_s("TAXBRIDGE_RUNTIME_DIR", (drive + "run").c_str());
  std::string error;
  EXPECT_TRUE(platform::AnchorPathVariables(&error)) << error;
  EXPECT_EQ(std::string(std::getenv("LEDGER_HOME")), At("表\\books"));
  EXPECT_EQ(std::string(std::getenv("TAXBRIDGE_DRIVES")), "C:\\absolute\\drives");
  EXPECT_EQ(std::string(std::getenv("TAXBRIDGE_SCRIPT")), drive + "\\scripts\\run.txt");
  EXPECT_EQ(std::string(std::getenv("TAXBRIDGE_TRANSCRIPT")), "\\\\srv\\acc\\t.txt");
  EXPECT_EQ(std::string(std::getenv("TAXBRIDGE_RUNTIME_DIR")), At("表\\run"));
  for (const Saved& s : saved) _putenv_s(s.name, s.set ? s.value.c_str() : "");
}

}  // namespace

#else

TEST(WindowsFileSystem, RunsOnWindowsOnly) {
  GTEST_SKIP() << "the Windows file system is built for Windows only; on Linux the drive map stands "
                  "between Windows paths and the disk (FileSystemTest.cpp)";
}

#endif
