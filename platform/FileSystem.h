// The Windows file system as the system sees it, over the Linux one.
//
// Every path taken or given is a Windows path in CP932: "C:\out\tax.xml",
// "\\server\share\tax.xml", "\out\tax.xml" (the current drive), or a relative
// path (the current folder). The drive map (platform/DriveMap.h) says which
// Linux folder a drive or share stands for; file names are converted between
// CP932 and UTF-8 on the way, and a name that cannot be converted is an error,
// never a mangled name. As on Windows, "/" separates like "\", names match
// without regard to ASCII case (an existing "halverndef.ini" answers for
// "HalvernDef.ini"), "." and ".." are resolved in the text and never climb
// above the root, trailing dots and blanks of a name are dropped, and names
// holding < > : " | ? * or control characters are refused.
//
// A FileSystem holds one drive map and is otherwise stateless; the current
// folder is the process's. ThisMachine() is the one the program uses, built
// from the environment on first use; the free functions below call it, named
// after the home platform's calls they stand for. Tests build their own
// FileSystem over a map of their own, or set TAXBRIDGE_DRIVES before the
// first call so that ThisMachine() loads their map.
//
// Error texts (HostPath::error and the like) are UTF-8 sentences for the
// Linux side: logs, the terminal, test output. The system shows its own
// messages, never these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/DriveMap.h"

namespace platform {

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
  kFailed,         // any other failure of the Linux call
};
// A short English description ("the folder is not empty").
const char* Describe(PathStatus status);

// A Windows path mapped to Linux, or why it could not be.
struct HostPath {
  PathStatus status = PathStatus::kOk;
  std::string path;   // the Linux path (UTF-8) when status is kOk
  std::string error;  // a sentence naming the path and the reason otherwise
  bool ok() const { return status == PathStatus::kOk; }
};

// A Linux path given as a Windows path, or why it could not be.
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

// Failures a test arranges for the calls of one FileSystem that change the
// disk: the k-th call (counting from 1 over the FileSystem's life) of one
// step fails as the Linux call would. Steps: making a folder (MakeFolder);
// and, inside WriteFileAtomically, creating the new file, writing it, flushing
// it to disk and closing it; renaming (WriteFileAtomically's last step and
// RenameFile count together). Removals never fail by plan: they are how a
// failed operation cleans up after itself.
enum class FileSystemStep { kMakeFolder, kCreate, kWrite, kFlush, kClose, kRename };
inline constexpr int kFileSystemSteps = 6;
const char* Describe(FileSystemStep step);

class FileSystemFaultPlan {
 public:
  FileSystemFaultPlan& Fail(FileSystemStep step, uint64_t number) {
    failing_[static_cast<int>(step)] = number;
    return *this;
  }
  bool fails(FileSystemStep step, uint64_t number) const {
    const uint64_t n = failing_[static_cast<int>(step)];
    return n != 0 && n == number;
  }

 private:
  uint64_t failing_[kFileSystemSteps] = {};
};

class FileSystem {
 public:
  explicit FileSystem(DriveMap map);
  // A file system whose drive map could not be had: every path fails with
  // `problem` in its error.
  static FileSystem Unusable(std::string problem);

  // Why this file system cannot map paths; empty when it can.
  const std::string& problem() const { return problem_; }
  const DriveMap& map() const { return map_; }

  // Test seam: a file system over the same drive map whose calls meet the
  // failures of `faults`. The program's own file system never has any.
  FileSystem WithFaults(const FileSystemFaultPlan& faults) const;
  // Calls of `step` made so far on this file system (failed ones included);
  // 0 for a file system without a fault plan.
  uint64_t StepCount(FileSystemStep step) const;
  // True once a planned failure has happened.
  bool FaultHappened() const;

  // The Linux path for a Windows path. `for_writing`: the caller means to
  // create, change or remove what it names, which a read-only drive refuses.
  HostPath ToHostPath(std::string_view windows_path, bool for_writing = false) const;
  // The Windows path for a Linux path (relative to the current folder when
  // not absolute), through the drive whose folder holds it most closely.
  WindowsPath FromHostPath(std::string_view host_path) const;

  bool PathExists(std::string_view path) const;                  // PathFileExistsA
  bool PathIsFolder(std::string_view path) const;                // PathIsDirectoryA
  uint32_t FileAttributesOf(std::string_view path) const;        // GetFileAttributesA
  PathStatus MakeFolder(std::string_view path) const;            // CreateDirectoryA: one level
  PathStatus RemoveFolder(std::string_view path) const;          // RemoveDirectoryA: an empty folder
  PathStatus RemoveFile(std::string_view path) const;            // DeleteFileA
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING: renames `from` to `to`,
  // replacing a file `to` in one step (a reader sees the old file or the new).
  PathStatus RenameFile(std::string_view from, std::string_view to) const;
  // GetDriveTypeA of a root "X:\" (or "X:"), "\\server\share\" (or without
  // the last "\"), or "" for the current folder's drive. A letter that is not
  // mapped, a mapped folder that does not exist, and a path that is no root
  // all give kNoRoot; a mapped drive gives the type the map declares (fixed
  // unless it says otherwise; a share is remote unless it says otherwise).
  DriveType DriveTypeOf(std::string_view root) const;
  // _access: whether `path` exists and allows `mode`. As on the home
  // platform, an existing folder allows reading and writing whatever its
  // permissions (a file that cannot be made in it fails when it is created),
  // and a file refuses writing when it is read-only (its owner may not write
  // it). Writing is never allowed on a read-only drive.
  bool HasAccess(std::string_view path, AccessMode mode) const;

  // GetTempPathA: the Linux temporary folder (TMPDIR, else /tmp) as a Windows
  // path ending in "\"; empty when no drive covers it.
  std::string TempFolder() const;
  // _getcwd: the current folder as a Windows path; empty when no drive
  // covers it (error says why).
  WindowsPath CurrentFolder() const;
  // _chdir / SetCurrentDirectoryA.
  PathStatus ChangeCurrentFolder(std::string_view path) const;
  // GetModuleFileNameA(NULL): the running program's file as a Windows path.
  WindowsPath ProgramFilePath() const;
  // The program's folder: ProgramFilePath() up to and including its last "\".
  WindowsPath ProgramFolder() const;

  // The bytes of a file, at most `max_bytes` of them (`truncated` tells that
  // there were more).
  FileBytes ReadWholeFile(std::string_view path, size_t max_bytes = 64u << 20) const;
  // Replaces the file's contents as one step: the bytes go to a new file in
  // the same folder, which is flushed to disk and renamed over `path`. On any
  // failure the old file is left as it was and the new one removed.
  PathStatus WriteFileAtomically(std::string_view path, std::string_view bytes) const;

 private:
  struct Resolved;
  Resolved Resolve(std::string_view windows_path, bool for_writing) const;

  // Counts `step` and tells whether the plan fails this call.
  bool Injected(FileSystemStep step) const;

  DriveMap map_;
  std::string problem_;
  struct Faults;
  std::shared_ptr<Faults> faults_;  // null: no fault plan
};

// The file system the program uses: the drive map of the environment, loaded
// on first use and kept for the life of the process.
const FileSystem& ThisMachine();

// The calls of the system, on ThisMachine().
HostPath ToHostPath(std::string_view windows_path, bool for_writing = false);
bool PathExists(std::string_view path);
bool PathIsFolder(std::string_view path);
uint32_t FileAttributesOf(std::string_view path);
PathStatus MakeFolder(std::string_view path);
PathStatus RemoveFolder(std::string_view path);
PathStatus RemoveFile(std::string_view path);
PathStatus RenameFile(std::string_view from, std::string_view to);
DriveType DriveTypeOf(std::string_view root);
bool HasAccess(std::string_view path, AccessMode mode);
std::string TempFolder();
std::string CurrentFolder();  // empty when it has no Windows path
bool ChangeCurrentFolder(std::string_view path);
std::string ProgramFilePath();  // empty when it has no Windows path
std::string ProgramFolder();    // with its final "\"; empty when it has no Windows path
FileBytes ReadWholeFile(std::string_view path, size_t max_bytes = 64u << 20);
PathStatus WriteFileAtomically(std::string_view path, std::string_view bytes);

}  // namespace platform
