// The calling program's side of the calling-window link: a window of the
// caller that a started program can disable, enable, bring to the foreground
// and post its result to.
//
// Create makes a fresh handle and its endpoint (a Unix datagram socket of mode
// 0600 in the per-user runtime folder of platform/WindowLink.h). Pass Handle()
// on the started program's command line. Receive returns the calls that
// arrived, in order; the endpoint is removed when the object goes.
// IsEnabled follows the enable calls received so far (true at the start).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

struct CallerWindowEvent {
  enum class Kind { kEnable, kForeground, kPost } kind;
  bool enable = false;   // kEnable
  uint32_t message = 0;  // kPost
  int64_t wparam = 0;    // kPost
  int64_t lparam = 0;    // kPost
};

class CallerWindow {
 public:
  // Null with *error set when the endpoint cannot be made.
  static std::unique_ptr<CallerWindow> Create(std::string* error);
  ~CallerWindow();
  CallerWindow(const CallerWindow&) = delete;
  CallerWindow& operator=(const CallerWindow&) = delete;

  long Handle() const { return handle_; }
  const std::string& EndpointPath() const { return path_; }

  // The next call that arrived, waiting at most `timeoutMs` milliseconds
  // (0: do not wait); nothing when none came. Malformed datagrams are skipped.
  std::optional<CallerWindowEvent> Receive(int timeoutMs);
  bool IsEnabled() const { return enabled_; }

 private:
  CallerWindow(int fd, long handle, std::string path) : fd_(fd), handle_(handle), path_(std::move(path)) {}
  int fd_;
  long handle_;
  std::string path_;
  bool enabled_ = true;
};

// Wire form of one event (one datagram); exposed for the sender and for tests.
std::string EncodeCallerWindowEvent(const CallerWindowEvent& event);
std::optional<CallerWindowEvent> DecodeCallerWindowEvent(const std::string& datagram);

}  // namespace platform
