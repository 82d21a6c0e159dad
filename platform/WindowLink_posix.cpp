#include "platform/WindowLink.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/CallerWindow.h"

namespace platform {
namespace {

// Only a socket of this user, closed to everyone else, is a calling window:
// a link, another user's endpoint or anything else under that name is not.
bool IsOwnEndpoint(const std::string& path) {
  struct stat st{};
  if (lstat(path.c_str(), &st) != 0) return false;
  return S_ISSOCK(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

bool SendEvent(long handle, const CallerWindowEvent& event) {
  if (handle <= 0) return false;
  std::string error;
  const std::string folder = LinkRuntimeFolder(false, &error);
  if (folder.empty()) return false;
  const std::string path = LinkEndpointPath(folder, handle);
  if (!IsOwnEndpoint(path)) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);

  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const std::string datagram = EncodeCallerWindowEvent(event);
  // Never wait: a caller that does not read its endpoint loses the event, as
  // a hung window would.
  const ssize_t n = sendto(fd, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                           reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
  close(fd);
  return n == static_cast<ssize_t>(datagram.size());
}

}  // namespace

std::string LinkRuntimeFolder(bool create, std::string* error) {
  std::string folder;
  if (const char* dir = std::getenv("TAXBRIDGE_RUNTIME_DIR"); dir && *dir) {
    folder = dir;
  } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) {
    folder = std::string(xdg) + "/taxbridge";
  } else {
    folder = "/tmp/taxbridge-" + std::to_string(geteuid());
  }
  if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = "cannot create the runtime folder " + folder + ": " + std::strerror(errno);
    return "";
  }
  struct stat st{};
  if (lstat(folder.c_str(), &st) != 0) {
    *error = "no runtime folder " + folder + ": " + std::strerror(errno);
    return "";
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & 077) != 0) {
    *error = "the runtime folder " + folder + " is not a folder of this user closed to others (mode 0700)";
    return "";
  }
  return folder;
}

std::string LinkEndpointPath(const std::string& folder, long handle) {
  return folder + "/window-" + std::to_string(handle);
}

bool SendEnableWindow(long handle, bool enable) {
  CallerWindowEvent e{CallerWindowEvent::Kind::kEnable};
  e.enable = enable;
  return SendEvent(handle, e);
}

bool SendSetForegroundWindow(long handle) { return SendEvent(handle, CallerWindowEvent{CallerWindowEvent::Kind::kForeground}); }

bool SendPostMessage(long handle, uint32_t message, int64_t wparam, int64_t lparam) {
  CallerWindowEvent e{CallerWindowEvent::Kind::kPost};
  e.message = message;
  e.wparam = wparam;
  e.lparam = lparam;
  return SendEvent(handle, e);
}

}  // namespace platform
