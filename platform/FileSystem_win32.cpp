// The file system over Windows: the paths are the machine's own, so each
// call hands its CP932 path straight to the ...A function it is named after
// (the ANSI code page of a Japanese Windows is 932), after the name checks of
// platform/WinPath.h that the Linux file system makes too. There is no drive
// map: drives, shares, case and the current folder are Windows's.
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/File.h"
#include "platform/ShiftJis.h"
#include "platform/WinPath.h"

#include <windows.h>

namespace platform {

namespace {

// CP932 text as UTF-8 through UTF-16; nothing when it is not valid CP932.
bool Cp932ToUtf8(std::string_view cp932, std::string* utf8) {
  utf8->clear();
  if (cp932.empty()) return true;
  const int wide_len = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(), static_cast<int>(cp932.size()),
                                           nullptr, 0);
  if (wide_len <= 0) return false;
  std::wstring wide(static_cast<size_t>(wide_len), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(), static_cast<int>(cp932.size()), wide.data(), wide_len);
  const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_len, nullptr, 0, nullptr, nullptr);
  if (len <= 0) return false;
  utf8->resize(static_cast<size_t>(len));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_len, utf8->data(), len, nullptr, nullptr);
  return true;
}

// A CP932 text shown in a UTF-8 message: converted when it converts, else
// with its bytes in hex.
std::string Shown(std::string_view cp932) {
  std::string utf8;
  if (Cp932ToUtf8(cp932, &utf8)) return "\"" + utf8 + "\"";
  std::string out = "<";
  char buf[4];
  for (unsigned char c : cp932) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    out += buf;
  }
  return out + ">";
}

PathStatus FromWindowsError(DWORD e) {
  switch (e) {
    case ERROR_SUCCESS:
      return PathStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
      return PathStatus::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
      return PathStatus::kPathNotFound;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return PathStatus::kAlreadyExists;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:  // open elsewhere without sharing: Windows keeps it in place
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:  // a folder that is some process's current folder
      return PathStatus::kAccessDenied;
    case ERROR_DIR_NOT_EMPTY:
      return PathStatus::kNotEmpty;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:  // a file where a folder was meant
      return PathStatus::kInvalidName;
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return PathStatus::kNoDrive;
    default:
      return PathStatus::kFailed;
  }
}

PathStatus LastStatus() { return FromWindowsError(GetLastError()); }

// "access is denied (Windows error 5)": the reason of a failed call, in the
// words of Describe, with the machine's own number for the log.
std::string Reason(DWORD e) {
  return std::string(Describe(FromWindowsError(e))) + " (Windows error " + std::to_string(e) + ")";
}

// A path checked by the file system's name rules, with what the rules tell
// about it.
struct Checked {
  PathStatus status = PathStatus::kOk;
  std::string error;
  bool isRoot = false;  // a drive's or share's root: nothing to create, remove or replace
  bool ok() const { return status == PathStatus::kOk; }
};

Checked Check(std::string_view p) {
  Checked c;
  auto fail = [&](std::string why) {
    c.status = PathStatus::kInvalidName;
    c.error = "cannot use the path " + Shown(p) + ": " + std::move(why);
    return c;
  };
  if (p.empty()) return fail("the path is empty");
  if (p.find('\0') != std::string_view::npos) return fail("it holds a NUL byte");
  std::string utf8;
  if (!Cp932ToUtf8(p, &utf8)) return fail("it is not valid Shift_JIS text");
  WindowsPathParts parts;
  std::string forbidden;
  // The current folder only places a relative path; the rules of its names
  // do not depend on it, so any root stands in for it here.
  switch (SplitWindowsPath(p, "C:\\", &parts, &forbidden)) {
    case WindowsPathProblem::kNone:
    case WindowsPathProblem::kNeedsCurrent:
      break;
    case WindowsPathProblem::kNoShare:
      return fail("a network path needs a server and a share (\\\\server\\share)");
    case WindowsPathProblem::kForbiddenName:
      return fail("the name " + Shown(forbidden) + " holds a character Windows does not allow");
  }
  c.isRoot = parts.names.empty();
  return c;
}

uint32_t AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool IsFolder(uint32_t attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A file with the read-only attribute is neither written, replaced nor
// removed. Windows refuses those calls itself; the file system refuses them
// before the call too, so that the answer is the same where the attribute
// is not enforced (Wine run by the superuser, whose writing no permission
// bit stops).
bool IsReadOnlyFile(uint32_t attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ==
                                                      FILE_ATTRIBUTE_READONLY;
}

// Whether the volume holding `path` (as far as it exists) takes no writing:
// a CD, or a volume mounted read-only.
bool OnReadOnlyVolume(const std::string& path) {
  char volume[MAX_PATH + 1];
  if (!GetVolumePathNameA(path.c_str(), volume, sizeof volume)) return false;
  DWORD flags = 0;
  if (!GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
  return (flags & FILE_READ_ONLY_VOLUME) != 0;
}

// Cuts a path to the folder that holds its last name, with the separator:
// "C:\out\tax.xml" -> "C:\out\", "C:tax.xml" -> "C:", "tax.xml" -> "".
std::string FolderPart(std::string_view path) {
  const size_t cut = sjis::FindLastOf(path, "\\/");
  if (cut != std::string_view::npos) return std::string(path.substr(0, cut + 1));
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  return {};
}

// Grows a buffer until the call that fills it fits: `call(buffer, size)`
// answers as GetCurrentDirectoryA and GetTempPathA do (0 on failure, the
// length without the NUL when it fitted, else the size needed).
template <typename Call>
std::string Filled(Call call) {
  std::string buffer(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(n + 1);
  }
}

class Win32FileSystem final : public FileSystem {
 public:
  std::string Problem() const override { return {}; }
  using FileSystem::ToHostPath;
  HostPath ToHostPath(std::string_view windows_path, bool for_writing) override;
  WindowsPath FromHostPath(std::string_view host_path) override;
  bool PathExists(std::string_view path) override;
  bool PathIsFolder(std::string_view path) override;
  uint32_t FileAttributesOf(std::string_view path) override;
  PathStatus MakeFolder(std::string_view path) override;
  PathStatus RemoveFolder(std::string_view path) override;
  PathStatus RemoveFile(std::string_view path) override;
  PathStatus RenameFile(std::string_view from, std::string_view to) override;
  DriveType DriveTypeOf(std::string_view root) override;
  bool HasAccess(std::string_view path, AccessMode mode) override;
  std::string TempFolder() override;
  WindowsPath CurrentFolder() override;
  PathStatus ChangeCurrentFolder(std::string_view path) override;
  WindowsPath ProgramFilePath() override;
  using FileSystem::ReadWholeFile;
  FileBytes ReadWholeFile(std::string_view path, size_t max_bytes) override;
  PathStatus BeginReplacing(std::string_view path, std::unique_ptr<Replacement>* replacement) override;
  std::unique_ptr<File> NewFile() override;
};

HostPath Win32FileSystem::ToHostPath(std::string_view windows_path, bool /*for_writing*/) {
  // A read-only drive refuses writing when the writing is tried: Windows
  // knows it, and no map here says it beforehand.
  Checked c = Check(windows_path);
  if (!c.ok()) return HostPath{c.status, {}, std::move(c.error)};
  return HostPath{PathStatus::kOk, std::string(windows_path), {}};
}

WindowsPath Win32FileSystem::FromHostPath(std::string_view host_path) {
  if (host_path.empty()) return WindowsPath{{}, "an empty path has no Windows path"};
  Checked c = Check(host_path);
  if (!c.ok()) return WindowsPath{{}, std::move(c.error)};
  return WindowsPath{std::string(host_path), {}};
}

bool Win32FileSystem::PathExists(std::string_view path) {
  return Check(path).ok() && AttributesOf(std::string(path)) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::PathIsFolder(std::string_view path) {
  return Check(path).ok() && IsFolder(AttributesOf(std::string(path)));
}

uint32_t Win32FileSystem::FileAttributesOf(std::string_view path) {
  if (!Check(path).ok()) return kInvalidFileAttributes;
  return AttributesOf(std::string(path));
}

PathStatus Win32FileSystem::MakeFolder(std::string_view path) {
  const Checked c = Check(path);
  if (!c.ok()) return c.status;
  if (c.isRoot) return PathStatus::kAccessDenied;
  return CreateDirectoryA(std::string(path).c_str(), nullptr) ? PathStatus::kOk : LastStatus();
}

PathStatus Win32FileSystem::RemoveFolder(std::string_view path) {
  const Checked c = Check(path);
  if (!c.ok()) return c.status;
  if (c.isRoot) return PathStatus::kAccessDenied;
  const std::string p(path);
  const uint32_t attributes = AttributesOf(p);
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastStatus();
  if (!IsFolder(attributes)) return PathStatus::kInvalidName;
  return RemoveDirectoryA(p.c_str()) ? PathStatus::kOk : LastStatus();
}

PathStatus Win32FileSystem::RemoveFile(std::string_view path) {
  const Checked c = Check(path);
  if (!c.ok()) return c.status;
  const std::string p(path);
  const uint32_t attributes = AttributesOf(p);
  if (IsFolder(attributes) || IsReadOnlyFile(attributes)) return PathStatus::kAccessDenied;
  return DeleteFileA(p.c_str()) ? PathStatus::kOk : LastStatus();
}

PathStatus Win32FileSystem::RenameFile(std::string_view from, std::string_view to) {
  const Checked a = Check(from);
  if (!a.ok()) return a.status;
  const Checked b = Check(to);
  if (!b.ok()) return b.status;
  const std::string source(from);
  const std::string target(to);
  const uint32_t attributes = AttributesOf(source);
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastStatus();
  // MoveFileExA would move a whole folder; only files are renamed here.
  const uint32_t replaced = AttributesOf(target);
  if (IsFolder(attributes) || IsFolder(replaced) || IsReadOnlyFile(replaced)) return PathStatus::kAccessDenied;
  return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? PathStatus::kOk
             : LastStatus();
}

DriveType Win32FileSystem::DriveTypeOf(std::string_view root) {
  UINT type;
  if (root.empty()) {
    type = GetDriveTypeA(nullptr);
  } else {
    WindowsPathParts parts;
    if (!ParseDriveRoot(root, &parts)) return DriveType::kNoRoot;
    const std::string with_separator =
        parts.letter != 0 ? std::string(1, parts.letter) + ":\\" : "\\\\" + parts.server + "\\" + parts.share + "\\";
    type = GetDriveTypeA(with_separator.c_str());
  }
  return type <= DRIVE_RAMDISK ? static_cast<DriveType>(type) : DriveType::kUnknown;
}

bool Win32FileSystem::HasAccess(std::string_view path, AccessMode mode) {
  if (!Check(path).ok()) return false;
  const std::string p(path);
  const uint32_t attributes = AttributesOf(p);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool writing = (static_cast<int>(mode) & 2) != 0;
  if (writing && OnReadOnlyVolume(p)) return false;
  // _access: a folder allows reading and writing whatever its permissions; a
  // file refuses writing when it carries the read-only attribute.
  if (IsFolder(attributes)) return true;
  return !(writing && (attributes & FILE_ATTRIBUTE_READONLY));
}

std::string Win32FileSystem::TempFolder() {
  std::string temp = Filled([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
  if (!temp.empty() && !sjis::EndsWithChar(temp, '\\')) temp += '\\';
  return temp;
}

WindowsPath Win32FileSystem::CurrentFolder() {
  std::string cwd = Filled([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
  if (cwd.empty()) return WindowsPath{{}, "the current folder cannot be read: " + Reason(GetLastError())};
  return WindowsPath{std::move(cwd), {}};
}

PathStatus Win32FileSystem::ChangeCurrentFolder(std::string_view path) {
  const Checked c = Check(path);
  if (!c.ok()) return c.status;
  return SetCurrentDirectoryA(std::string(path).c_str()) ? PathStatus::kOk : LastStatus();
}

WindowsPath Win32FileSystem::ProgramFilePath() {
  std::string buffer(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return WindowsPath{{}, "the program's own file cannot be found: " + Reason(GetLastError())};
    // A name that filled the buffer was cut short: try again with more room.
    if (n < buffer.size()) {
      buffer.resize(n);
      return WindowsPath{std::move(buffer), {}};
    }
    buffer.resize(buffer.size() * 2);
  }
}

FileBytes Win32FileSystem::ReadWholeFile(std::string_view path, size_t max_bytes) {
  Checked c = Check(path);
  if (!c.ok()) return FileBytes{c.status, {}, false, std::move(c.error)};
  const std::string p(path);
  if (IsFolder(AttributesOf(p))) return FileBytes{PathStatus::kAccessDenied, {}, false, Shown(path) + " is a folder, not a file"};
  const HANDLE h = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    return FileBytes{FromWindowsError(e), {}, false, "cannot open " + Shown(path) + ": " + Reason(e)};
  }
  // A device name ("CON", "COM1") opens too: only a file on a disk is read,
  // so nothing can wait for input that never comes.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return FileBytes{PathStatus::kAccessDenied, {}, false, Shown(path) + " is not a file (a device or a pipe)"};
  }
  FileBytes out;
  char buf[65536];
  while (out.bytes.size() <= max_bytes) {
    DWORD n = 0;
    if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
      const DWORD e = GetLastError();
      CloseHandle(h);
      return FileBytes{FromWindowsError(e), {}, false, "cannot read " + Shown(path) + ": " + Reason(e)};
    }
    if (n == 0) break;
    out.bytes.append(buf, n);
  }
  CloseHandle(h);
  if (out.bytes.size() > max_bytes) {
    out.bytes.resize(max_bytes);
    out.truncated = true;
  }
  return out;
}

// Writes all of `bytes` to `h`, in pieces a DWORD can count.
bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), piece, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The new file of a replacement: "<folder>\.taxbridge-<number>.tmp" beside
// the file it replaces, removed again unless it was committed.
class Win32Replacement final : public FileSystem::Replacement {
 public:
  Win32Replacement(HANDLE h, std::string temp, std::string target, uint32_t attributes)
      : h_(h), temp_(std::move(temp)), target_(std::move(target)), attributes_(attributes) {}
  ~Win32Replacement() override {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    if (!committed_) DeleteFileA(temp_.c_str());
  }

  PathStatus Write(std::string_view bytes) override { return WriteAll(h_, bytes) ? PathStatus::kOk : LastStatus(); }
  PathStatus Flush() override {
    // The new file takes the hidden and system marks of the one it
    // replaces; a read-only one is not replaced at all (Commit is refused).
    if (attributes_ != 0) {
      FILE_BASIC_INFO info{};
      info.FileAttributes = attributes_;
      if (!SetFileInformationByHandle(h_, FileBasicInfo, &info, sizeof info)) return LastStatus();
    }
    return FlushFileBuffers(h_) ? PathStatus::kOk : LastStatus();
  }
  PathStatus Close() override {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) ? PathStatus::kOk : LastStatus();
  }
  PathStatus Commit() override {
    if (!MoveFileExA(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return LastStatus();
    }
    committed_ = true;
    return PathStatus::kOk;
  }

 private:
  HANDLE h_;
  const std::string temp_;
  const std::string target_;
  const uint32_t attributes_;  // FILE_ATTRIBUTE_HIDDEN / SYSTEM of the replaced file, or 0
  bool committed_ = false;
};

PathStatus Win32FileSystem::BeginReplacing(std::string_view path, std::unique_ptr<Replacement>* replacement) {
  const Checked c = Check(path);
  if (!c.ok()) return c.status;
  if (c.isRoot) return PathStatus::kAccessDenied;
  const std::string target(path);
  const uint32_t old = AttributesOf(target);
  if (IsFolder(old)) return PathStatus::kAccessDenied;
  if (IsReadOnlyFile(old)) return PathStatus::kAccessDenied;
  const uint32_t kept =
      old == INVALID_FILE_ATTRIBUTES ? 0 : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  // A name no other replacement uses: the process and a count, tried again
  // when a file of that name is left from an earlier run.
  static unsigned counter = 0;
  const std::string folder = FolderPart(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = folder + ".taxbridge-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++counter) + ".tmp";
    const HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *replacement = std::make_unique<Win32Replacement>(h, temp, target, kept);
      return PathStatus::kOk;
    }
    const DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) return FromWindowsError(e);
  }
  return PathStatus::kFailed;
}

// The output file over a Windows handle; its paths go through `fs`. Bytes go
// to the file as they are: there is no text mode, so "\r\n" stays "\r\n".
class Win32File final : public File {
 public:
  explicit Win32File(FileSystem& fs) : fs_(fs) {}
  ~Win32File() override {
    if (isOpen()) Close();
  }

  FileResult OpenForWrite(std::string_view path) override;
  FileResult Write(std::string_view bytes) override;
  FileResult Close() override;
  bool isOpen() const override { return h_ != INVALID_HANDLE_VALUE; }
  const std::string& hostPath() const override { return hostPath_; }
  uint64_t writeCount() const override { return writes_; }

 private:
  std::string Failure(const char* what, DWORD e) const { return std::string(what) + " " + Shown(hostPath_) + ": " + Reason(e); }

  FileSystem& fs_;
  HANDLE h_ = INVALID_HANDLE_VALUE;
  std::string hostPath_;
  uint64_t writes_ = 0;
};

FileResult Win32File::OpenForWrite(std::string_view path) {
  if (isOpen()) return FileResult::Fail("cannot open " + Shown(path) + ": the file object is already open");
  HostPath host = path.empty() ? HostPath{PathStatus::kInvalidName, {}, "no output path was given"}
                               : fs_.ToHostPath(path, /*for_writing=*/true);
  if (!host.ok()) return FileResult::Fail(host.error);
  hostPath_ = host.path;
  const std::string notAFile = "cannot create " + Shown(hostPath_) + ": it is not a file (a device or a pipe)";
  const uint32_t attributes = AttributesOf(hostPath_);
  if (IsFolder(attributes)) return FileResult::Fail("cannot create " + Shown(hostPath_) + ": it is a folder");
  if (IsReadOnlyFile(attributes)) return FileResult::Fail("cannot create " + Shown(hostPath_) + ": the file is read-only");
  // Opened without truncating, and emptied only once the opened object is
  // known to be a file on a disk: a device name such as "NUL" or "COM1" is
  // refused before anything is written to it.
  const HANDLE h = CreateFileA(hostPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FileResult::Fail(Failure("cannot create", GetLastError()));
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return FileResult::Fail(notAFile);
  }
  if (!SetEndOfFile(h)) {
    const DWORD e = GetLastError();
    CloseHandle(h);
    return FileResult::Fail(Failure("cannot create", e));
  }
  h_ = h;
  return FileResult::Ok();
}

FileResult Win32File::Write(std::string_view bytes) {
  ++writes_;
  if (!isOpen()) return FileResult::Fail("cannot write: the file is not open");
  if (!WriteAll(h_, bytes)) return FileResult::Fail(Failure("cannot write", GetLastError()));
  return FileResult::Ok();
}

FileResult Win32File::Close() {
  if (!isOpen()) return FileResult::Ok();
  const HANDLE h = h_;
  h_ = INVALID_HANDLE_VALUE;
  if (!CloseHandle(h)) return FileResult::Fail(Failure("cannot close", GetLastError()));
  return FileResult::Ok();
}

std::unique_ptr<File> Win32FileSystem::NewFile() { return std::make_unique<Win32File>(*this); }

}  // namespace

FileSystem& FileSystem::Default() {
  // Never destroyed, so that it outlives every other static object that
  // might still use it at exit.
  static FileSystem* const machine = new Win32FileSystem();
  return *machine;
}

}  // namespace platform
