// The calling-window link on Windows: the handle is the caller's HWND, and the
// calls are the system's own. A number that names no window fails quietly.
#include "platform/WindowLink.h"

#include <cstdint>

#include <windows.h>

namespace platform {
namespace {

// The window `handle` names, or null. Window handles have 32 significant
// bits on 64-bit Windows too, so the command line's `long` holds every one.
HWND WindowOf(long handle) {
  if (handle <= 0) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
  return ::IsWindow(hwnd) ? hwnd : nullptr;
}

}  // namespace

bool SendEnableWindow(long handle, bool enable) {
  HWND hwnd = WindowOf(handle);
  if (hwnd == nullptr) return false;
  // EnableWindow answers whether the window was disabled before, not whether
  // the call reached it: a window that exists took it.
  ::EnableWindow(hwnd, enable ? TRUE : FALSE);
  return true;
}

bool SendSetForegroundWindow(long handle) {
  HWND hwnd = WindowOf(handle);
  return hwnd != nullptr && ::SetForegroundWindow(hwnd) != FALSE;
}

bool SendPostMessage(long handle, uint32_t message, int64_t wparam, int64_t lparam) {
  HWND hwnd = WindowOf(handle);
  return hwnd != nullptr && ::PostMessageA(hwnd, message, static_cast<WPARAM>(wparam),
                                           static_cast<LPARAM>(lparam)) != FALSE;
}

}  // namespace platform
