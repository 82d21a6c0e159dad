// FileSystem: the Windows file system as the system sees it.
//
// Every path taken or given is a Windows path in CP932: "C:\out\tax.xml",
// "\\server\share\tax.xml", "\out\tax.xml" (the current drive), or a relative
// path (the current folder). As on Windows, "/" separates like "\", names
// match without regard to ASCII case (an existing "halverndef.ini" answers
// for "HalvernDef.ini"), "." and ".." are resolved in the text and never climb
// above the root, trailing dots and blanks of a name are dropped, and names
// holding < > : " | ? * or control characters are refused. The text rules of
// such paths, with no disk behind them, are platform/WinPath.h.
//
// FileSystem is an interface with one implementation per platform, as
// LevelDB keeps its Env: platform/FileSystem_posix.cpp maps each path onto
// the Linux file system through a drive map (platform/DriveMap.h) and
// converts names between CP932 and UTF-8 on the way (a name that cannot be
// converted is an error, never a mangled name); platform/FileSystem_win32.cpp
// is the same interface over the Windows calls that its methods are named
// after. Default() is the one the program uses. Tests build their own over
// a drive map of their own (NewMappedFileSystem), or wrap one to make its
// calls fail (tests/support/FaultyFileSystem.h).
//
// Results are values; nothing is thrown. Error texts (HostPath::error and
// the like) are UTF-8 sentences for the machine's side: logs, the terminal,
// test output. The system shows its own messages, never these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The answers of GetDriveTypeA, with their values.
enum class DriveType : uint32_t {
  kUnknown = 0,    // DRIVE_UNKNOWN
  kNoRoot = 1,     // DRIVE_NO_ROOT_DIR: no such drive, or its folder is missing
  kRemovable = 2,  // DRIVE_REMOVABLE
  kFixed = 3,      // DRIVE_FIXED
  kRemote = 4,     // DRIVE_REMOTE
  kCdRom = 5,      // DRIVE_CDROM
  kRamDisk = 6,    // DRIVE_RAMDISK
};

// File attribute bits as GetFileAttributesA gives them.
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
// Neither a file nor a folder: a device, a FIFO (named pipe) or a socket.
constexpr uint32_t kAttributeDevice = 0x40;

// _access modes.
enum class AccessMode : int { kExists = 0, kWrite = 2, kRead = 4, kReadWrite = 6 };

// Outcome of an operation that changes the file system.
enum class PathStatus {
  kOk,
  kFileNotFound,   // the file or folder itself does not exist
  kPathNotFound,   // a folder on the way does not exist
  kAlreadyExists,
  kAccessDenied,   // no permission, a read-only drive, a drive root, a folder where a file was meant
  kNotEmpty,       // a folder to remove still holds something
  kInvalidName,    // not a usable Windows path, or a name that cannot be converted
  kNoDrive,        // the drive or share is not in the drive map
  kFailed,         // any other failure of the machine's call
};
// A short English description ("the folder is not empty").
const char* Describe(PathStatus status);

// A Windows path as the machine spells it, or why it could not be.
struct HostPath {
  PathStatus status = PathStatus::kOk;
  std::string path;   // the machine's path (on Linux: UTF-8) when status is kOk
  std::string error;  // a sentence naming the path and the reason otherwise
  bool ok() const { return status == PathStatus::kOk; }
};

// A path of the machine given as a Windows path, or why it could not be.
struct WindowsPath {
  std::string path;   // CP932
  std::string error;  // set when no drive covers the path or a name does not convert
  bool ok() const { return error.empty(); }
};

// A file read whole, or why it was not.
struct FileBytes {
  PathStatus status = PathStatus::kOk;
  std::string bytes;
  bool truncated = false;  // the file is longer than the limit asked for
  std::string error;
  bool ok() const { return status == PathStatus::kOk; }
};

class File;

// The file system as the system calls it: an abstract interface with one
// implementation per platform (see the top of this header). A relative path
// is taken on the process's current folder, which every file system shares.
class FileSystem {
 public:
  FileSystem() = default;
  virtual ~FileSystem() = default;

  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;

  // The file system of the machine the program runs on. It lives as long as
  // the process and is never deleted.
  static FileSystem& Default();

  // Why this file system cannot map paths; empty when it can. The program's
  // entry shows it and stops before the run starts.
  virtual std::string Problem() const = 0;

  // The machine's own path for a Windows path. `for_writing`: the caller
  // means to create, change or remove what it names, which a read-only drive
  // refuses.
  virtual HostPath ToHostPath(std::string_view windows_path, bool for_writing) = 0;
  HostPath ToHostPath(std::string_view windows_path) { return ToHostPath(windows_path, false); }
  // The Windows path for a path of the machine (relative to the current
  // folder when not absolute).
  virtual WindowsPath FromHostPath(std::string_view host_path) = 0;

  virtual bool PathExists(std::string_view path) = 0;                  // PathFileExistsA
  virtual bool PathIsFolder(std::string_view path) = 0;                // PathIsDirectoryA
  virtual uint32_t FileAttributesOf(std::string_view path) = 0;        // GetFileAttributesA
  virtual PathStatus MakeFolder(std::string_view path) = 0;            // CreateDirectoryA: one level
  virtual PathStatus RemoveFolder(std::string_view path) = 0;          // RemoveDirectoryA: an empty folder
  virtual PathStatus RemoveFile(std::string_view path) = 0;            // DeleteFileA
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING: renames `from` to `to`,
  // replacing a file `to` in one step (a reader sees the old file or the new).
  virtual PathStatus RenameFile(std::string_view from, std::string_view to) = 0;
  // GetDriveTypeA of a root "X:\" (or "X:"), "\\server\share\" (or without
  // the last "\"), or "" for the current folder's drive. A letter that is not
  // known, a drive whose folder does not exist, and a path that is no root
  // all give kNoRoot.
  virtual DriveType DriveTypeOf(std::string_view root) = 0;
  // _access: whether `path` exists and allows `mode`. As on the home
  // platform, an existing folder allows reading and writing whatever its
  // permissions (a file that cannot be made in it fails when it is created),
  // and a file refuses writing when it is read-only. Writing is never
  // allowed on a read-only drive.
  virtual bool HasAccess(std::string_view path, AccessMode mode) = 0;

  // GetTempPathA: the temporary folder as a Windows path ending in "\";
  // empty when it has none.
  virtual std::string TempFolder() = 0;
  // _getcwd: the current folder as a Windows path; empty when it has none
  // (error says why).
  virtual WindowsPath CurrentFolder() = 0;
  // _chdir / SetCurrentDirectoryA.
  virtual PathStatus ChangeCurrentFolder(std::string_view path) = 0;
  // GetModuleFileNameA(NULL): the running program's file as a Windows path.
  virtual WindowsPath ProgramFilePath() = 0;
  // The program's folder: ProgramFilePath() up to and including its last "\".
  WindowsPath ProgramFolder();

  // The bytes of a file, at most `max_bytes` of them (`truncated` tells that
  // there were more).
  virtual FileBytes ReadWholeFile(std::string_view path, size_t max_bytes) = 0;
  FileBytes ReadWholeFile(std::string_view path) { return ReadWholeFile(path, kWholeFileLimit); }
  static constexpr size_t kWholeFileLimit = 64u << 20;

  // Replaces the file's contents as one step, through BeginReplacing: the
  // bytes go to a new file in the same folder, which is flushed to disk and
  // renamed over `path`. On any failure the old file is left as it was and
  // the new one removed.
  PathStatus WriteFileAtomically(std::string_view path, std::string_view bytes);

  // The steps of WriteFileAtomically, each of which can fail on its own. A
  // Replacement is a new, empty file beside the one it replaces; Write,
  // Flush (to disk, with the permissions of the file it replaces), Close and
  // Commit (the rename over the old file) are called once each, in that
  // order, and the first failure ends the replacement. Destroying a
  // Replacement that was not committed closes and removes the new file.
  class Replacement {
   public:
    virtual ~Replacement() = default;
    virtual PathStatus Write(std::string_view bytes) = 0;
    virtual PathStatus Flush() = 0;
    virtual PathStatus Close() = 0;
    virtual PathStatus Commit() = 0;
  };
  // Creates the new file for replacing `path` (which need not exist yet), or
  // says why it cannot be: a root or a folder is refused with kAccessDenied.
  virtual PathStatus BeginReplacing(std::string_view path, std::unique_ptr<Replacement>* replacement) = 0;

  // A file object for writing the output document (platform/File.h), whose
  // paths go through this file system, which must outlive it.
  virtual std::unique_ptr<File> NewFile() = 0;
};

}  // namespace platform
