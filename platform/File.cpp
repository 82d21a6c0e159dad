#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

std::string FailureText(const char* what, const std::string& path, int err) {
  return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

}  // namespace

HostPath HostPathOf(std::string_view systemPath) {
  if (systemPath.empty()) return HostPath{PathStatus::kInvalidName, {}, "no output path was given"};
  return ToHostPath(systemPath, /*for_writing=*/true);
}

File::~File() {
  if (isOpen()) Close();
}

FileResult File::OpenForWrite(std::string_view path) {
  if (isOpen()) return FileResult::Fail("cannot open \"" + std::string(path) + "\": the file object is already open");
  HostPath host = HostPathOf(path);
  if (!host.ok()) return FileResult::Fail(host.error);
  hostPath_ = host.path;
  if (faults_.failsOpen()) return FileResult::Fail(FailureText("cannot create", hostPath_, EACCES));
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
