#include "platform/CallerWindow.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <cstring>

#include "platform/WindowLink.h"

namespace platform {
namespace {

// Binds a datagram socket at `path`; a stale endpoint left by a caller that
// died is removed and the bind tried again once.
int BindEndpoint(const std::string& path, bool* inUse) {
  *inUse = false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) {
    errno = ENAMETOOLONG;  // an endpoint's path holds at most 107 bytes
    return -1;
  }
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    // The endpoint is made 0600 from the start (the process is
    // single-threaded, so the mask is changed for this one call only).
    const mode_t mask = umask(077);
    const int bound = bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    const int err = errno;
    umask(mask);
    if (bound == 0) {
      if (chmod(path.c_str(), 0600) != 0) {
        close(fd);
        unlink(path.c_str());
        return -1;
      }
      return fd;
    }
    close(fd);
    if (err != EADDRINUSE) return -1;
    // Someone's endpoint is there: alive when it still takes a connection.
    const int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const bool alive = probe >= 0 && connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (probe >= 0) close(probe);
    if (alive || attempt == 1) {
      *inUse = true;
      return -1;
    }
    unlink(path.c_str());
  }
  return -1;
}

// Milliseconds of the monotonic clock (<chrono> does not build with the
// program's Shift_JIS literals).
long long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

}  // namespace

struct CallerWindow::Native {
  int fd;
};

CallerWindow::CallerWindow(std::unique_ptr<Native> native, long handle, std::string path)
    : native_(std::move(native)), handle_(handle), path_(std::move(path)) {}

std::unique_ptr<CallerWindow> CallerWindow::Create(std::string* error) {
  const std::string folder = LinkRuntimeFolder(true, error);
  if (folder.empty()) return nullptr;
  static long serial = 0;
  const long base = static_cast<long>(getpid() % 1000000) * 100;
  for (int tries = 0; tries < 100; ++tries) {
    const long handle = base + (serial++ % 100) + 1;
    const std::string path = LinkEndpointPath(folder, handle);
    bool inUse = false;
    const int fd = BindEndpoint(path, &inUse);
    if (fd >= 0) return std::unique_ptr<CallerWindow>(new CallerWindow(std::make_unique<Native>(Native{fd}), handle, path));
    if (!inUse) {
      *error = "cannot create the window endpoint " + path + ": " + std::strerror(errno);
      return nullptr;
    }
  }
  *error = "no free window handle in " + folder;
  return nullptr;
}

CallerWindow::~CallerWindow() {
  close(native_->fd);
  unlink(path_.c_str());
}

std::optional<CallerWindowEvent> CallerWindow::Receive(int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  for (;;) {
    const long long left = deadline - NowMs();
    pollfd p{native_->fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left > 0 ? left : 0));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char buffer[512];
    const ssize_t n = recv(native_->fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return std::nullopt;
    }
    if (auto e = DecodeCallerWindowEvent(std::string(buffer, static_cast<size_t>(n)))) {
      if (e->kind == CallerWindowEvent::Kind::kEnable) enabled_ = e->enable;
      return e;
    }
  }
}

}  // namespace platform
