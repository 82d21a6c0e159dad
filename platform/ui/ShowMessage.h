// Message boxes: an owner window (or none), a caption, a text, an icon and a
// set of buttons; ShowMessage returns the button the user pressed. Texts are
// Shift_JIS. Style and result values are the home platform's. (The home
// platform's call is MessageBox, which <windows.h> defines as a macro; the
// project's own function therefore has a name of its own.)
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ui/Window.h"

namespace platform::ui {

// Buttons.
inline constexpr uint32_t kMbOk = 0x0u;
inline constexpr uint32_t kMbOkCancel = 0x1u;
inline constexpr uint32_t kMbYesNoCancel = 0x3u;
inline constexpr uint32_t kMbYesNo = 0x4u;
// Icons.
inline constexpr uint32_t kMbIconError = 0x10u;
inline constexpr uint32_t kMbIconQuestion = 0x20u;
inline constexpr uint32_t kMbIconExclamation = 0x30u;
inline constexpr uint32_t kMbIconInformation = 0x40u;

// Pressed buttons.
inline constexpr int kIdBoxOk = 1;
inline constexpr int kIdBoxCancel = 2;
inline constexpr int kIdBoxYes = 6;
inline constexpr int kIdBoxNo = 7;

struct MessageBoxRequest {
  Window* owner;  // may be null
  std::string_view text;
  std::string_view caption;
  uint32_t style;
};

// Shows the box and returns the pressed button (one of the box's own).
int ShowMessage(Window* owner, std::string_view text, std::string_view caption, uint32_t style);

}  // namespace platform::ui
