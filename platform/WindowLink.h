// The calling-window link, the program's side: what the home platform does to
// a foreign window named by a handle (enable it, bring it to the foreground,
// post a message to it). On Windows the handle is the caller's HWND and the
// calls are EnableWindow, SetForegroundWindow and PostMessageA; a handle that
// names no window gives false. On Linux they go over the endpoint that the
// calling program owns for that handle (platform/CallerWindow.h).
//
// On Linux each call sends one datagram and returns whether the endpoint took it. A
// handle with no endpoint (the caller is gone, or never was) fails quietly:
// false, nothing else, as posting to a dead window does. So does a handle
// whose endpoint is not a socket of this user closed to others (mode 0600):
// nothing is sent to another user's endpoint or through a link.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

bool SendEnableWindow(long handle, bool enable);
bool SendSetForegroundWindow(long handle);
bool SendPostMessage(long handle, uint32_t message, int64_t wparam, int64_t lparam);

// The endpoint folder and paths exist on Linux only (WindowLink_posix.cpp).
// The per-user folder that holds the endpoints: TAXBRIDGE_RUNTIME_DIR when set,
// else "$XDG_RUNTIME_DIR/taxbridge", else "/tmp/taxbridge-<uid>". Created with
// mode 0700 when absent; refused (empty result, *error set) when it is not a
// directory of this user closed to everyone else.
std::string LinkRuntimeFolder(bool create, std::string* error);
// The endpoint path of `handle` in `folder`.
std::string LinkEndpointPath(const std::string& folder, long handle);

}  // namespace platform
