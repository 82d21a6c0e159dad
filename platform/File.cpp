#include "platform/File.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

std::string FailureText(const char* what, const std::string& path, int err) {
  return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

bool IsDriveLetterPath(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

}  // namespace

HostPath HostPathOf(std::string_view systemPath) {
  HostPath result;
  const std::string shown(systemPath);
  auto refuse = [&](PathStatus status, const std::string& why) {
    result.status = status;
    result.error = why;
    return result;
  };
  if (systemPath.empty()) return refuse(PathStatus::kInvalidName, "no output path was given");
  for (unsigned char c : systemPath) {
    if (c >= 0x80) {
      return refuse(PathStatus::kInvalidName,
                    "the path \"" + shown + "\" holds double-byte characters, which this build cannot yet map to a file name");
    }
    if (c < 0x20) return refuse(PathStatus::kInvalidName, "the path \"" + shown + "\" holds a control character");
  }
  if (IsDriveLetterPath(systemPath) || systemPath.find('\\') != std::string_view::npos) {
    return refuse(PathStatus::kNoDrive,
                  "the path \"" + shown + "\" is a Windows path, which this build cannot yet map through a drive map");
  }
  result.path = shown;
  return result;
}

File::~File() {
  if (isOpen()) Close();
}

FileResult File::OpenForWrite(std::string_view path) {
  if (isOpen()) return FileResult::Fail("cannot open \"" + std::string(path) + "\": the file object is already open");
  HostPath host = HostPathOf(path);
  if (!host.ok()) return FileResult::Fail("cannot create " + host.error);
  hostPath_ = host.path;
  if (faults_.failsOpen()) return FileResult::Fail(FailureText("cannot create", hostPath_, EACCES));
  int fd;
  do {
    fd = ::open(hostPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return FileResult::Fail(FailureText("cannot create", hostPath_, errno));
  fd_ = fd;
  return FileResult::Ok();
}

FileResult File::Write(std::string_view bytes) {
  ++writes_;
  if (!isOpen()) return FileResult::Fail("cannot write: the file is not open");
  if (faults_.failsWrite(writes_)) return FileResult::Fail(FailureText("cannot write", hostPath_, ENOSPC));
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

FileResult File::Close() {
  if (!isOpen()) return FileResult::Ok();
  const int fd = fd_;
  fd_ = -1;
  // A close interrupted by a signal has still released the descriptor on
  // Linux, so it is never retried.
  const int rc = ::close(fd);
  if (faults_.failsClose()) return FileResult::Fail(FailureText("cannot close", hostPath_, EIO));
  if (rc != 0) return FileResult::Fail(FailureText("cannot close", hostPath_, errno));
  return FileResult::Ok();
}

}  // namespace platform
