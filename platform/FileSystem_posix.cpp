// The file system over Linux: Windows paths are mapped onto Linux folders
// through a drive map (platform/DriveMap.h), names converted between CP932
// and UTF-8; the text rules of the paths are platform/WinPath's.
#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/DriveMap.h"
#include "platform/Encoding.h"
#include "platform/File.h"
#include "platform/ShiftJis.h"
#include "platform/WinPath.h"

namespace platform {

namespace {

// A CP932 text shown in a UTF-8 message: converted when it converts, else
// with its bytes in hex.
std::string Shown(std::string_view cp932) {
  if (auto utf8 = Cp932ToUtf8(cp932)) return "\"" + *utf8 + "\"";
  std::string out = "<";
  char buf[4];
  for (unsigned char c : cp932) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    out += buf;
  }
  return out + ">";
}

PathStatus FromErrno(int e) {
  switch (e) {
    case 0:
      return PathStatus::kOk;
    case EEXIST:
      return PathStatus::kAlreadyExists;
    case ENOTEMPTY:
      return PathStatus::kNotEmpty;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY:
      return PathStatus::kAccessDenied;
    case ENOENT:
    case ENOTDIR:
      return PathStatus::kPathNotFound;
    case ENAMETOOLONG:
    case EILSEQ:
      return PathStatus::kInvalidName;
    default:
      return PathStatus::kFailed;
  }
}

bool StatOf(const std::string& host, struct stat* st) { return ::stat(host.c_str(), st) == 0; }

std::string LinuxCurrentFolder() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

// The entry of folder `dir` whose name equals `name` but for ASCII case (the
// smallest such name, so the answer does not depend on directory order).
std::string FindIgnoringCase(const std::string& dir, const std::string& name) {
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
  if (!d) return {};
  std::string best;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string_view entry(e->d_name);
    if (EqualsIgnoringAsciiCase(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  return best;
}

std::string JoinHost(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

// A Windows path found on the Linux file system.
struct Resolved {
  PathStatus status = PathStatus::kOk;
  std::string error;
  std::string host;
  const DriveMapping* mapping = nullptr;
  bool isRoot = false;
  bool ok() const { return status == PathStatus::kOk; }
};

class PosixFileSystem final : public FileSystem {
 public:
  explicit PosixFileSystem(DriveMap map, std::string problem = {}) : map_(std::move(map)), problem_(std::move(problem)) {}

  std::string Problem() const override { return problem_; }
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

 private:
  Resolved Resolve(std::string_view windows_path, bool for_writing);

  const DriveMap map_;
  const std::string problem_;  // empty: the map is usable
};

Resolved PosixFileSystem::Resolve(std::string_view p, bool for_writing) {
  Resolved r;
  auto fail = [&](PathStatus status, std::string why) {
    r.status = status;
    r.error = "cannot use the path " + Shown(p) + ": " + std::move(why);
    return r;
  };
  if (!problem_.empty()) return fail(PathStatus::kNoDrive, problem_);
  if (p.empty()) return fail(PathStatus::kInvalidName, "the path is empty");
  if (p.find('\0') != std::string_view::npos) return fail(PathStatus::kInvalidName, "it holds a NUL byte");

  WindowsPath cwd;
  if (UsesCurrentFolder(p)) cwd = CurrentFolder();
  WindowsPathParts parts;
  std::string forbidden;
  switch (SplitWindowsPath(p, cwd.ok() ? std::string_view(cwd.path) : std::string_view(), &parts, &forbidden)) {
    case WindowsPathProblem::kNone:
      break;
    case WindowsPathProblem::kNoShare:
      return fail(PathStatus::kInvalidName, "a network path needs a server and a share (\\\\server\\share)");
    case WindowsPathProblem::kNeedsCurrent:
      return fail(PathStatus::kNoDrive, "it is relative and " + cwd.error);
    case WindowsPathProblem::kForbiddenName:
      return fail(PathStatus::kInvalidName, "the name " + Shown(forbidden) + " holds a character Windows does not allow");
  }
  const char letter = parts.letter;
  const std::string& server = parts.server;
  const std::string& share = parts.share;
  const std::vector<std::string>& names = parts.names;

  r.mapping = letter != 0 ? map_.Drive(letter) : map_.Share(server, share);
  if (r.mapping == nullptr) {
    return fail(PathStatus::kNoDrive, (letter != 0 ? "drive " + std::string(1, letter) + ":"
                                                   : "share " + Shown("\\\\" + server + "\\" + share)) +
                                          " is not in the drive map (see docs/drive-map.md)");
  }
  if (for_writing && r.mapping->readOnly) {
    return fail(PathStatus::kAccessDenied, "drive " + Shown(r.mapping->WindowsRoot()) + " is read-only");
  }

  std::string host = r.mapping->hostRoot;
  bool exists_so_far = true;
  for (const std::string& name : names) {
    auto utf8 = Cp932ToUtf8(name);
    if (!utf8) return fail(PathStatus::kInvalidName, "the name " + Shown(name) + " is not valid Shift_JIS text");
    std::string next = JoinHost(host, *utf8);
    if (exists_so_far) {
      struct stat st;
      if (::lstat(next.c_str(), &st) != 0) {
        const std::string other = FindIgnoringCase(host, *utf8);
        if (other.empty()) {
          exists_so_far = false;
        } else {
          next = JoinHost(host, other);
        }
      }
    }
    host = std::move(next);
  }
  r.host = std::move(host);
  r.isRoot = names.empty();
  return r;
}

HostPath PosixFileSystem::ToHostPath(std::string_view windows_path, bool for_writing) {
  Resolved r = Resolve(windows_path, for_writing);
  return HostPath{r.status, std::move(r.host), std::move(r.error)};
}

WindowsPath PosixFileSystem::FromHostPath(std::string_view host_path) {
  WindowsPath out;
  if (!problem_.empty()) {
    out.error = problem_;
    return out;
  }
  if (host_path.empty()) {
    out.error = "an empty Linux path has no Windows path";
    return out;
  }
  std::string abs(host_path);
  if (abs[0] != '/') {
    const std::string cwd = LinuxCurrentFolder();
    if (cwd.empty()) {
      out.error = "the current folder cannot be read: " + std::string(std::strerror(errno));
      return out;
    }
    abs = cwd + "/" + abs;
  }
  abs = NormaliseHostPath(abs);
  std::string rest;
  const DriveMapping* m = map_.Covering(abs, &rest);
  if (m == nullptr) {
    out.error = "no drive in the drive map holds " + abs + " (see docs/drive-map.md)";
    return out;
  }
  std::string win = m->WindowsRoot() + "\\";
  size_t i = 0;
  bool first = true;
  while (i < rest.size()) {
    size_t j = rest.find('/', i);
    if (j == std::string::npos) j = rest.size();
    const std::string_view name(rest.data() + i, j - i);
    auto cp932 = Utf8ToCp932(name);
    if (!cp932) {
      out.error = "the Linux name \"" + std::string(name) + "\" has characters that code page 932 cannot hold";
      return out;
    }
    if (IsForbiddenName(*cp932)) {
      out.error = "the Linux name \"" + std::string(name) + "\" holds a character Windows does not allow";
      return out;
    }
    if (!first) win += '\\';
    win += *cp932;
    first = false;
    i = j + 1;
  }
  out.path = std::move(win);
  return out;
}

bool PosixFileSystem::PathExists(std::string_view path) {
  const Resolved r = Resolve(path, false);
  struct stat st;
  return r.ok() && StatOf(r.host, &st);
}

bool PosixFileSystem::PathIsFolder(std::string_view path) {
  const Resolved r = Resolve(path, false);
  struct stat st;
  return r.ok() && StatOf(r.host, &st) && S_ISDIR(st.st_mode);
}

uint32_t PosixFileSystem::FileAttributesOf(std::string_view path) {
  const Resolved r = Resolve(path, false);
  struct stat st;
  if (!r.ok() || !StatOf(r.host, &st)) return kInvalidFileAttributes;
  uint32_t attributes = S_ISDIR(st.st_mode)   ? kAttributeDirectory
                        : S_ISREG(st.st_mode) ? kAttributeArchive
                                              : kAttributeDevice;
  if (!(st.st_mode & S_IWUSR) || r.mapping->readOnly) attributes |= kAttributeReadOnly;
  const size_t slash = r.host.rfind('/');
  if (!r.isRoot && slash != std::string::npos && r.host.compare(slash + 1, 1, ".") == 0) {
    attributes |= kAttributeHidden;
  }
  return attributes;
}

PathStatus PosixFileSystem::MakeFolder(std::string_view path) {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  if (r.isRoot) return PathStatus::kAccessDenied;
  return ::mkdir(r.host.c_str(), 0777) == 0 ? PathStatus::kOk : FromErrno(errno);
}

PathStatus PosixFileSystem::RemoveFolder(std::string_view path) {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  if (r.isRoot) return PathStatus::kAccessDenied;
  struct stat st;
  if (::lstat(r.host.c_str(), &st) != 0) return errno == ENOENT ? PathStatus::kFileNotFound : FromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return PathStatus::kInvalidName;
  return ::rmdir(r.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

PathStatus PosixFileSystem::RemoveFile(std::string_view path) {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  struct stat st;
  if (::lstat(r.host.c_str(), &st) != 0) return errno == ENOENT ? PathStatus::kFileNotFound : FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
  return ::unlink(r.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

PathStatus PosixFileSystem::RenameFile(std::string_view from, std::string_view to) {
  const Resolved a = Resolve(from, true);
  if (!a.ok()) return a.status;
  const Resolved b = Resolve(to, true);
  if (!b.ok()) return b.status;
  struct stat st;
  if (::lstat(a.host.c_str(), &st) != 0) return errno == ENOENT ? PathStatus::kFileNotFound : FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
  if (StatOf(b.host, &st) && S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
  return ::rename(a.host.c_str(), b.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

DriveType PosixFileSystem::DriveTypeOf(std::string_view root) {
  if (!problem_.empty()) return DriveType::kNoRoot;
  WindowsPathParts parts;
  if (root.empty()) {
    // The current folder's drive or share.
    const WindowsPath cwd = CurrentFolder();
    if (!cwd.ok() || SplitWindowsPath(cwd.path, {}, &parts) != WindowsPathProblem::kNone) return DriveType::kNoRoot;
  } else if (!ParseDriveRoot(root, &parts)) {
    return DriveType::kNoRoot;
  }
  const DriveMapping* m = parts.letter != 0 ? map_.Drive(parts.letter) : map_.Share(parts.server, parts.share);
  struct stat st;
  if (m == nullptr || !StatOf(m->hostRoot, &st) || !S_ISDIR(st.st_mode)) return DriveType::kNoRoot;
  return m->type;
}

bool PosixFileSystem::HasAccess(std::string_view path, AccessMode mode) {
  const int bits = static_cast<int>(mode);
  const Resolved r = Resolve(path, false);
  if (!r.ok()) return false;
  if ((bits & 2) && r.mapping->readOnly) return false;
  struct stat st;
  if (!StatOf(r.host, &st)) return false;
  // As the home platform does: a folder that exists may always be read and
  // written (whether a file can really be made in it shows only when one is
  // created), and a file may be written unless it carries the read-only
  // attribute (here: its owner may not write it).
  if (S_ISDIR(st.st_mode)) return true;
  if ((bits & 2) && !(st.st_mode & S_IWUSR)) return false;
  return true;
}

std::string PosixFileSystem::TempFolder() {
  std::string linux_temp = "/tmp";
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir != nullptr && tmpdir[0] == '/') {
    struct stat st;
    if (StatOf(tmpdir, &st) && S_ISDIR(st.st_mode)) linux_temp = tmpdir;
  }
  WindowsPath win = FromHostPath(linux_temp);
  if (!win.ok()) return {};
  if (!sjis::EndsWithChar(win.path, '\\')) win.path += '\\';
  return win.path;
}

WindowsPath PosixFileSystem::CurrentFolder() {
  const std::string cwd = LinuxCurrentFolder();
  if (cwd.empty()) return WindowsPath{{}, "the current folder cannot be read: " + std::string(std::strerror(errno))};
  return FromHostPath(cwd);
}

PathStatus PosixFileSystem::ChangeCurrentFolder(std::string_view path) {
  const Resolved r = Resolve(path, false);
  if (!r.ok()) return r.status;
  return ::chdir(r.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

WindowsPath PosixFileSystem::ProgramFilePath() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return WindowsPath{{}, "the program's own file cannot be found: " + std::string(std::strerror(errno))};
    if (static_cast<size_t>(n) < buf.size()) return FromHostPath(std::string_view(buf.data(), static_cast<size_t>(n)));
    buf.resize(buf.size() * 2);
  }
}

FileBytes PosixFileSystem::ReadWholeFile(std::string_view path, size_t max_bytes) {
  FileBytes out;
  const Resolved r = Resolve(path, false);
  if (!r.ok()) return FileBytes{r.status, {}, false, r.error};
  // O_NONBLOCK: a named pipe of that name is refused below rather than
  // waited on for ever.
  const int fd = ::open(r.host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
    out.status = e == ENOENT ? PathStatus::kFileNotFound : FromErrno(e);
    out.error = "cannot open " + Shown(path) + ": " + std::strerror(e);
    return out;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    const bool folder = S_ISDIR(st.st_mode);
    return FileBytes{PathStatus::kAccessDenied, {}, false,
                     Shown(path) + (folder ? " is a folder, not a file" : " is not a file (a device, a pipe or a socket)")};
  }
  char buf[65536];
  while (out.bytes.size() <= max_bytes) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      return FileBytes{FromErrno(e), {}, false, "cannot read " + Shown(path) + ": " + std::strerror(e)};
    }
    if (n == 0) break;
    out.bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  if (out.bytes.size() > max_bytes) {
    out.bytes.resize(max_bytes);
    out.truncated = true;
  }
  return out;
}

// The new file of a replacement: "<folder>/.taxbridge-XXXXXX" beside the
// file it replaces, removed again unless it was committed.
class PosixReplacement final : public FileSystem::Replacement {
 public:
  PosixReplacement(int fd, std::string temp, std::string target, mode_t mode)
      : fd_(fd), temp_(std::move(temp)), target_(std::move(target)), mode_(mode) {}
  ~PosixReplacement() override {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
  }

  PathStatus Write(std::string_view bytes) override {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno != EINTR) return FromErrno(errno);
      if (n > 0) done += static_cast<size_t>(n);
    }
    return PathStatus::kOk;
  }
  PathStatus Flush() override {
    if (::fchmod(fd_, mode_) != 0 || ::fsync(fd_) != 0) return FromErrno(errno);
    return PathStatus::kOk;
  }
  PathStatus Close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? PathStatus::kOk : FromErrno(errno);
  }
  PathStatus Commit() override {
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return FromErrno(errno);
    committed_ = true;
    return PathStatus::kOk;
  }

 private:
  int fd_;
  const std::string temp_;
  const std::string target_;
  const mode_t mode_;  // the replaced file's permissions, or the umask's for a new one
  bool committed_ = false;
};

PathStatus PosixFileSystem::BeginReplacing(std::string_view path, std::unique_ptr<Replacement>* replacement) {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  if (r.isRoot) return PathStatus::kAccessDenied;
  struct stat st;
  mode_t mode = 0;
  if (StatOf(r.host, &st)) {
    if (S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  const std::string folder = r.host.substr(0, std::max<size_t>(r.host.rfind('/'), 1));
  std::string temp = JoinHost(folder, ".taxbridge-XXXXXX");
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return FromErrno(errno);
  *replacement = std::make_unique<PosixReplacement>(fd, std::move(temp), r.host, mode);
  return PathStatus::kOk;
}

std::string FailureText(const char* what, const std::string& path, int err) {
  return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

// The output file over a descriptor; its paths go through `fs`.
class PosixFile final : public File {
 public:
  explicit PosixFile(FileSystem& fs) : fs_(fs) {}
  ~PosixFile() override {
    if (isOpen()) Close();
  }

  FileResult OpenForWrite(std::string_view path) override;
  FileResult Write(std::string_view bytes) override;
  FileResult Close() override;
  bool isOpen() const override { return fd_ >= 0; }
  const std::string& hostPath() const override { return hostPath_; }
  uint64_t writeCount() const override { return writes_; }

 private:
  FileSystem& fs_;
  int fd_ = -1;
  std::string hostPath_;
  uint64_t writes_ = 0;
};

FileResult PosixFile::OpenForWrite(std::string_view path) {
  if (isOpen()) return FileResult::Fail("cannot open \"" + std::string(path) + "\": the file object is already open");
  HostPath host = path.empty() ? HostPath{PathStatus::kInvalidName, {}, "no output path was given"}
                               : fs_.ToHostPath(path, /*for_writing=*/true);
  if (!host.ok()) return FileResult::Fail(host.error);
  hostPath_ = host.path;
  // Only a regular file is written. Something else of that name (a device,
  // a named pipe, a socket) is refused before it is opened; the open itself
  // does not wait for a pipe's reader and truncates only once the opened
  // object is known to be a file, so no name can hold the run or empty a
  // device.
  const std::string notAFile = "cannot create \"" + hostPath_ + "\": it is not a file (a device, a pipe or a socket)";
  struct stat st;
  if (::stat(hostPath_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    return FileResult::Fail(S_ISDIR(st.st_mode) ? FailureText("cannot create", hostPath_, EISDIR) : notAFile);
  }
  int fd;
  do {
    fd = ::open(hostPath_.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ENXIO) return FileResult::Fail(notAFile);  // a pipe that nobody reads
    return FileResult::Fail(FailureText("cannot create", hostPath_, errno));
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return FileResult::Fail(notAFile);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || ::ftruncate(fd, 0) != 0) {
    const int err = errno;
    ::close(fd);
    return FileResult::Fail(FailureText("cannot create", hostPath_, err));
  }
  fd_ = fd;
  return FileResult::Ok();
}

FileResult PosixFile::Write(std::string_view bytes) {
  ++writes_;
  if (!isOpen()) return FileResult::Fail("cannot write: the file is not open");
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FileResult::Fail(FailureText("cannot write", hostPath_, errno));
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return FileResult::Ok();
}

FileResult PosixFile::Close() {
  if (!isOpen()) return FileResult::Ok();
  const int fd = fd_;
  fd_ = -1;
  // A close interrupted by a signal has still released the descriptor on
  // Linux, so it is never retried.
  if (::close(fd) != 0) return FileResult::Fail(FailureText("cannot close", hostPath_, errno));
  return FileResult::Ok();
}

std::unique_ptr<File> PosixFileSystem::NewFile() { return std::make_unique<PosixFile>(*this); }

}  // namespace

std::unique_ptr<FileSystem> NewMappedFileSystem(DriveMap map) { return std::make_unique<PosixFileSystem>(std::move(map)); }

std::unique_ptr<FileSystem> NewUnusableFileSystem(std::string problem) {
  return std::make_unique<PosixFileSystem>(DriveMap(),
                                           problem.empty() ? std::string("the drive map is not usable") : std::move(problem));
}

FileSystem& FileSystem::Default() {
  // Built on first use and never destroyed, so that it outlives every other
  // static object that might still use it at exit.
  static FileSystem* const machine = [] {
    std::string error;
    if (auto map = DriveMap::FromEnvironment(&error)) return NewMappedFileSystem(std::move(*map)).release();
    // The program's entry shows the problem and stops before the run starts.
    return NewUnusableFileSystem(error).release();
  }();
  return *machine;
}

}  // namespace platform
