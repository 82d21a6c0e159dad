// The calling program's side of the calling-window link: a window of the
// caller that a started program can disable, enable, bring to the foreground
// and post its result to.
//
// Create makes a fresh handle and its endpoint. Pass Handle() on the started
// program's command line. Receive returns the calls that arrived, in order;
// the endpoint goes when the object goes. IsEnabled follows the enable calls
// received so far (true at the start).
//
// On Linux the endpoint is a Unix datagram socket of mode 0600 in the per-user
// runtime folder of platform/WindowLink.h, and EndpointPath() is its path.
//
// On Windows it is a real window of this thread, a message-only window (no
// display needed), and Handle() is its HWND as a number; EndpointPath() is
// empty. Its window procedure records WM_ENABLE (EnableWindow) and every
// message from WM_USER up that is posted to it (kPost, with wParam and lParam
// as the window got them: 32 bits each for a 32-bit program). Receive pumps
// this thread's messages, so the started program's EnableWindow, which waits
// until the window has taken WM_ENABLE, returns only while the caller is in
// Receive. A WM_ACTIVATE that activates the window is recorded as kForeground.
// Under Wine, SetForegroundWindow on the message-only window returns TRUE and
// sends it WM_ACTIVATE (measured with caller and sender in one process). What
// Windows itself does is not settled here: a message-only window cannot be the
// foreground window, so there the caller may see no kForeground at all, and
// only the sender's return value tells of the call.
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
  struct Native;  // the platform's endpoint: a socket, or a window and its recorded events
  CallerWindow(std::unique_ptr<Native> native, long handle, std::string path);
  std::unique_ptr<Native> native_;
  long handle_;
  std::string path_;
  bool enabled_ = true;
};

// Wire form of one event (one datagram); exposed for the sender and for tests.
std::string EncodeCallerWindowEvent(const CallerWindowEvent& event);
std::optional<CallerWindowEvent> DecodeCallerWindowEvent(const std::string& datagram);

}  // namespace platform
