// The calling window on Windows: a message-only window of this thread whose
// window procedure records what the started program does to it.
#include "platform/CallerWindow.h"

#include <cstdint>
#include <deque>
#include <string>

#include <windows.h>

namespace platform {

struct CallerWindow::Native {
  HWND hwnd = nullptr;
  std::deque<CallerWindowEvent> events;
};

namespace {

constexpr char kClassName[] = "TaxBridgeCallerWindow";

LRESULT CALLBACK CallerWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* events = reinterpret_cast<std::deque<CallerWindowEvent>*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (events != nullptr) {
    if (message == WM_ENABLE) {
      CallerWindowEvent e{CallerWindowEvent::Kind::kEnable};
      e.enable = wparam != FALSE;
      events->push_back(e);
      return 0;
    }
    if (message == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE) {
      events->push_back(CallerWindowEvent{CallerWindowEvent::Kind::kForeground});
    }
    if (message >= WM_USER && message <= 0xFFFF) {
      CallerWindowEvent e{CallerWindowEvent::Kind::kPost};
      e.message = message;
      // As the window got them: LPARAM is signed, WPARAM unsigned.
      e.wparam = static_cast<int64_t>(static_cast<intptr_t>(wparam));
      e.lparam = static_cast<int64_t>(lparam);
      events->push_back(e);
      return 0;
    }
  }
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

bool RegisterOnce(std::string* error) {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CallerWindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) *error = "cannot register the caller's window class (error " + std::to_string(::GetLastError()) + ")";
  return registered;
}

// Hands every message waiting for this thread to its window procedure (sent
// ones, such as WM_ENABLE from another process, are taken by PeekMessageA).
void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace

CallerWindow::CallerWindow(std::unique_ptr<Native> native, long handle, std::string path)
    : native_(std::move(native)), handle_(handle), path_(std::move(path)) {}

std::unique_ptr<CallerWindow> CallerWindow::Create(std::string* error) {
  if (!RegisterOnce(error)) return nullptr;
  auto native = std::make_unique<Native>();
  HWND hwnd = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleA(nullptr),
                                nullptr);
  if (hwnd == nullptr) {
    *error = "cannot create the caller's window (error " + std::to_string(::GetLastError()) + ")";
    return nullptr;
  }
  ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&native->events));
  native->hwnd = hwnd;
  const long handle = static_cast<long>(reinterpret_cast<intptr_t>(hwnd));
  return std::unique_ptr<CallerWindow>(new CallerWindow(std::move(native), handle, std::string()));
}

CallerWindow::~CallerWindow() {
  ::SetWindowLongPtrA(native_->hwnd, GWLP_USERDATA, 0);
  ::DestroyWindow(native_->hwnd);
}

std::optional<CallerWindowEvent> CallerWindow::Receive(int timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs > 0 ? timeoutMs : 0);
  for (;;) {
    Pump();
    if (!native_->events.empty()) {
      const CallerWindowEvent e = native_->events.front();
      native_->events.pop_front();
      if (e.kind == CallerWindowEvent::Kind::kEnable) enabled_ = e.enable;
      return e;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return std::nullopt;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

}  // namespace platform
