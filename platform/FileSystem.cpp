#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/Encoding.h"
#include "platform/ShiftJis.h"

namespace platform {

namespace {

constexpr std::string_view kBadNameChars = "<>:\"|?*";

bool IsSep(std::string_view p, size_t k) { return k < p.size() && (p[k] == '\\' || p[k] == '/'); }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

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

// Splits `text` from `from` at single-byte "\" and "/" (never at a trail byte).
std::vector<std::string> SplitElements(std::string_view text, size_t from) {
  std::vector<std::string> out;
  std::string current;
  for (size_t i = from; i < text.size();) {
    const size_t len = sjis::CharLength(text, i);
    if (len == 1 && (text[i] == '\\' || text[i] == '/')) {
      out.push_back(std::move(current));
      current.clear();
    } else {
      current.append(text.substr(i, len));
    }
    i += len;
  }
  out.push_back(std::move(current));
  return out;
}

// A name Windows cannot hold: control characters, the reserved punctuation,
// or a double-byte character cut in two at its end.
bool IsBadName(std::string_view name) {
  for (size_t i = 0; i < name.size(); i += sjis::CharLength(name, i)) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (sjis::CharLength(name, i) == 2) continue;
    if (sjis::IsLeadByte(c)) return true;
    if (c < 0x20 || kBadNameChars.find(static_cast<char>(c)) != std::string_view::npos) return true;
  }
  return false;
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

// A root as DriveTypeOf takes it: "X:", "X:\", "\\server\share", "\\server\share\".
bool ParseRoot(std::string_view root, char* letter, std::string* server, std::string* share) {
  if (root.size() >= 2 && IsAsciiLetter(root[0]) && root[1] == ':') {
    if (root.size() == 2 || (root.size() == 3 && IsSep(root, 2))) {
      *letter = AsciiUpper(root[0]);
      return true;
    }
    return false;
  }
  if (!(IsSep(root, 0) && IsSep(root, 1))) return false;
  std::vector<std::string> parts = SplitElements(root, 2);
  if (parts.size() == 3 && parts[2].empty()) parts.pop_back();
  if (parts.size() != 2 || parts[0].empty() || parts[1].empty()) return false;
  *letter = 0;
  *server = parts[0];
  *share = parts[1];
  return true;
}

}  // namespace

const char* Describe(PathStatus status) {
  switch (status) {
    case PathStatus::kOk: return "done";
    case PathStatus::kFileNotFound: return "the file or folder does not exist";
    case PathStatus::kPathNotFound: return "a folder on the path does not exist";
    case PathStatus::kAlreadyExists: return "it already exists";
    case PathStatus::kAccessDenied: return "access is denied";
    case PathStatus::kNotEmpty: return "the folder is not empty";
    case PathStatus::kInvalidName: return "the path is not a usable Windows path";
    case PathStatus::kNoDrive: return "the drive or share is not in the drive map";
    case PathStatus::kFailed: return "the operation failed";
  }
  return "the operation failed";
}

struct FileSystem::Resolved {
  PathStatus status = PathStatus::kOk;
  std::string error;
  std::string host;
  const DriveMapping* mapping = nullptr;
  bool isRoot = false;
  bool ok() const { return status == PathStatus::kOk; }
};

FileSystem::FileSystem(DriveMap map) : map_(std::move(map)) {}

struct FileSystem::Faults {
  FileSystemFaultPlan plan;
  uint64_t counts[kFileSystemSteps] = {};
  bool happened = false;
};

const char* Describe(FileSystemStep step) {
  switch (step) {
    case FileSystemStep::kMakeFolder: return "make folder";
    case FileSystemStep::kCreate: return "create";
    case FileSystemStep::kWrite: return "write";
    case FileSystemStep::kFlush: return "flush";
    case FileSystemStep::kClose: return "close";
    case FileSystemStep::kRename: return "rename";
  }
  return "?";
}

FileSystem FileSystem::WithFaults(const FileSystemFaultPlan& faults) const {
  FileSystem copy(*this);
  copy.faults_ = std::make_shared<Faults>();
  copy.faults_->plan = faults;
  return copy;
}

uint64_t FileSystem::StepCount(FileSystemStep step) const {
  return faults_ ? faults_->counts[static_cast<int>(step)] : 0;
}

bool FileSystem::FaultHappened() const { return faults_ && faults_->happened; }

bool FileSystem::Injected(FileSystemStep step) const {
  if (!faults_) return false;
  const uint64_t number = ++faults_->counts[static_cast<int>(step)];
  if (!faults_->plan.fails(step, number)) return false;
  faults_->happened = true;
  return true;
}

FileSystem FileSystem::Unusable(std::string problem) {
  FileSystem fs{DriveMap()};
  fs.problem_ = problem.empty() ? std::string("the drive map is not usable") : std::move(problem);
  return fs;
}

FileSystem::Resolved FileSystem::Resolve(std::string_view p, bool for_writing) const {
  Resolved r;
  auto fail = [&](PathStatus status, std::string why) {
    r.status = status;
    r.error = "cannot use the path " + Shown(p) + ": " + std::move(why);
    return r;
  };
  if (!problem_.empty()) return fail(PathStatus::kNoDrive, problem_);
  if (p.empty()) return fail(PathStatus::kInvalidName, "the path is empty");
  if (p.find('\0') != std::string_view::npos) return fail(PathStatus::kInvalidName, "it holds a NUL byte");

  char letter = 0;
  std::string server, share;
  std::vector<std::string> elements;
  size_t from = 0;
  if (IsSep(p, 0) && IsSep(p, 1)) {
    std::vector<std::string> parts = SplitElements(p, 2);
    if (parts.size() < 2 || parts[0].empty() || parts[1].empty()) {
      return fail(PathStatus::kInvalidName, "a network path needs a server and a share (\\\\server\\share)");
    }
    server = parts[0];
    share = parts[1];
    elements.assign(parts.begin() + 2, parts.end());
    from = p.size();
  } else if (p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == ':') {
    letter = AsciiUpper(p[0]);
    from = 2;
    if (!IsSep(p, 2)) {
      // "C:name": relative to the current folder when that is on drive C:,
      // else to the drive's root.
      const WindowsPath cwd = CurrentFolder();
      if (cwd.ok() && AsciiUpper(cwd.path[0]) == letter && cwd.path.size() > 3) elements = SplitElements(cwd.path, 3);
    }
  } else {
    const WindowsPath cwd = CurrentFolder();
    if (!cwd.ok()) return fail(PathStatus::kNoDrive, "it is relative and " + cwd.error);
    if (IsSep(cwd.path, 0)) {
      std::vector<std::string> parts = SplitElements(cwd.path, 2);
      server = parts[0];
      share = parts[1];
      if (!IsSep(p, 0)) elements.assign(parts.begin() + 2, parts.end());
    } else {
      letter = AsciiUpper(cwd.path[0]);
      if (!IsSep(p, 0)) elements = SplitElements(cwd.path, 3);
    }
  }
  if (from < p.size()) {
    std::vector<std::string> more = SplitElements(p, from);
    elements.insert(elements.end(), more.begin(), more.end());
  }

  std::vector<std::string> names;
  for (std::string& e : elements) {
    if (e == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    while (!e.empty() && (e.back() == '.' || e.back() == ' ')) e.pop_back();
    if (e.empty()) continue;
    if (IsBadName(e)) {
      return fail(PathStatus::kInvalidName, "the name " + Shown(e) + " holds a character Windows does not allow");
    }
    names.push_back(std::move(e));
  }

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

HostPath FileSystem::ToHostPath(std::string_view windows_path, bool for_writing) const {
  Resolved r = Resolve(windows_path, for_writing);
  return HostPath{r.status, std::move(r.host), std::move(r.error)};
}

WindowsPath FileSystem::FromHostPath(std::string_view host_path) const {
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
    if (IsBadName(*cp932) || sjis::FindChar(*cp932, '\\') != std::string_view::npos) {
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

bool FileSystem::PathExists(std::string_view path) const {
  const Resolved r = Resolve(path, false);
  struct stat st;
  return r.ok() && StatOf(r.host, &st);
}

bool FileSystem::PathIsFolder(std::string_view path) const {
  const Resolved r = Resolve(path, false);
  struct stat st;
  return r.ok() && StatOf(r.host, &st) && S_ISDIR(st.st_mode);
}

uint32_t FileSystem::FileAttributesOf(std::string_view path) const {
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

PathStatus FileSystem::MakeFolder(std::string_view path) const {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  if (r.isRoot) return PathStatus::kAccessDenied;
  if (Injected(FileSystemStep::kMakeFolder)) return FromErrno(EACCES);
  return ::mkdir(r.host.c_str(), 0777) == 0 ? PathStatus::kOk : FromErrno(errno);
}

PathStatus FileSystem::RemoveFolder(std::string_view path) const {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  if (r.isRoot) return PathStatus::kAccessDenied;
  struct stat st;
  if (::lstat(r.host.c_str(), &st) != 0) return errno == ENOENT ? PathStatus::kFileNotFound : FromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return PathStatus::kInvalidName;
  return ::rmdir(r.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

PathStatus FileSystem::RemoveFile(std::string_view path) const {
  const Resolved r = Resolve(path, true);
  if (!r.ok()) return r.status;
  struct stat st;
  if (::lstat(r.host.c_str(), &st) != 0) return errno == ENOENT ? PathStatus::kFileNotFound : FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
  return ::unlink(r.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

PathStatus FileSystem::RenameFile(std::string_view from, std::string_view to) const {
  const Resolved a = Resolve(from, true);
  if (!a.ok()) return a.status;
  const Resolved b = Resolve(to, true);
  if (!b.ok()) return b.status;
  struct stat st;
  if (::lstat(a.host.c_str(), &st) != 0) return errno == ENOENT ? PathStatus::kFileNotFound : FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
  if (StatOf(b.host, &st) && S_ISDIR(st.st_mode)) return PathStatus::kAccessDenied;
  if (Injected(FileSystemStep::kRename)) return FromErrno(EIO);
  return ::rename(a.host.c_str(), b.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

DriveType FileSystem::DriveTypeOf(std::string_view root) const {
  if (!problem_.empty()) return DriveType::kNoRoot;
  std::string given(root);
  if (given.empty()) {
    const WindowsPath cwd = CurrentFolder();
    if (!cwd.ok()) return DriveType::kNoRoot;
    given = cwd.path;
    if (!IsSep(given, 0)) {
      given.resize(3);
    } else {
      const std::vector<std::string> parts = SplitElements(given, 2);
      given = "\\\\" + parts[0] + "\\" + parts[1];
    }
  }
  char letter = 0;
  std::string server, share;
  if (!ParseRoot(given, &letter, &server, &share)) return DriveType::kNoRoot;
  const DriveMapping* m = letter != 0 ? map_.Drive(letter) : map_.Share(server, share);
  struct stat st;
  if (m == nullptr || !StatOf(m->hostRoot, &st) || !S_ISDIR(st.st_mode)) return DriveType::kNoRoot;
  return m->type;
}

bool FileSystem::HasAccess(std::string_view path, AccessMode mode) const {
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

std::string FileSystem::TempFolder() const {
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

WindowsPath FileSystem::CurrentFolder() const {
  const std::string cwd = LinuxCurrentFolder();
  if (cwd.empty()) return WindowsPath{{}, "the current folder cannot be read: " + std::string(std::strerror(errno))};
  return FromHostPath(cwd);
}

PathStatus FileSystem::ChangeCurrentFolder(std::string_view path) const {
  const Resolved r = Resolve(path, false);
  if (!r.ok()) return r.status;
  return ::chdir(r.host.c_str()) == 0 ? PathStatus::kOk : FromErrno(errno);
}

WindowsPath FileSystem::ProgramFilePath() const {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return WindowsPath{{}, "the program's own file cannot be found: " + std::string(std::strerror(errno))};
    if (static_cast<size_t>(n) < buf.size()) return FromHostPath(std::string_view(buf.data(), static_cast<size_t>(n)));
    buf.resize(buf.size() * 2);
  }
}

WindowsPath FileSystem::ProgramFolder() const {
  WindowsPath file = ProgramFilePath();
  if (!file.ok()) return file;
  const size_t last = sjis::FindLastChar(file.path, '\\');
  file.path.resize(last + 1);  // a path from FromHostPath always holds the root's "\"
  return file;
}

FileBytes FileSystem::ReadWholeFile(std::string_view path, size_t max_bytes) const {
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

PathStatus FileSystem::WriteFileAtomically(std::string_view path, std::string_view bytes) const {
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
  if (Injected(FileSystemStep::kCreate)) return FromErrno(ENOSPC);
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return FromErrno(errno);
  int e = 0;
  if (Injected(FileSystemStep::kWrite)) e = ENOSPC;
  for (size_t done = 0; done < bytes.size() && e == 0;) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) e = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (e == 0 && ::fchmod(fd, mode) != 0) e = errno;
  if (e == 0 && Injected(FileSystemStep::kFlush)) e = EIO;
  if (e == 0 && ::fsync(fd) != 0) e = errno;
  if (::close(fd) != 0 && e == 0) e = errno;
  if (e == 0 && Injected(FileSystemStep::kClose)) e = EIO;
  if (e == 0 && Injected(FileSystemStep::kRename)) e = EIO;
  if (e == 0 && ::rename(temp.c_str(), r.host.c_str()) != 0) e = errno;
  if (e != 0) {
    ::unlink(temp.c_str());
    return FromErrno(e);
  }
  return PathStatus::kOk;
}

const FileSystem& ThisMachine() {
  static const FileSystem machine = [] {
    std::string error;
    if (auto map = DriveMap::FromEnvironment(&error)) return FileSystem(std::move(*map));
    // The program's entry shows the problem and stops before the run starts.
    return FileSystem::Unusable(error);
  }();
  return machine;
}

HostPath ToHostPath(std::string_view windows_path, bool for_writing) {
  return ThisMachine().ToHostPath(windows_path, for_writing);
}
bool PathExists(std::string_view path) { return ThisMachine().PathExists(path); }
bool PathIsFolder(std::string_view path) { return ThisMachine().PathIsFolder(path); }
uint32_t FileAttributesOf(std::string_view path) { return ThisMachine().FileAttributesOf(path); }
PathStatus MakeFolder(std::string_view path) { return ThisMachine().MakeFolder(path); }
PathStatus RemoveFolder(std::string_view path) { return ThisMachine().RemoveFolder(path); }
PathStatus RemoveFile(std::string_view path) { return ThisMachine().RemoveFile(path); }
PathStatus RenameFile(std::string_view from, std::string_view to) { return ThisMachine().RenameFile(from, to); }
DriveType DriveTypeOf(std::string_view root) { return ThisMachine().DriveTypeOf(root); }
bool HasAccess(std::string_view path, AccessMode mode) { return ThisMachine().HasAccess(path, mode); }
std::string TempFolder() { return ThisMachine().TempFolder(); }
std::string CurrentFolder() { return ThisMachine().CurrentFolder().path; }
bool ChangeCurrentFolder(std::string_view path) { return ThisMachine().ChangeCurrentFolder(path) == PathStatus::kOk; }
std::string ProgramFilePath() { return ThisMachine().ProgramFilePath().path; }
std::string ProgramFolder() { return ThisMachine().ProgramFolder().path; }
FileBytes ReadWholeFile(std::string_view path, size_t max_bytes) { return ThisMachine().ReadWholeFile(path, max_bytes); }
PathStatus WriteFileAtomically(std::string_view path, std::string_view bytes) {
  return ThisMachine().WriteFileAtomically(path, bytes);
}

}  // namespace platform
