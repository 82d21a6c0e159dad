// Dialog templates as data: caption, font, size and style of a dialog, and the
// kind, ID, text, position and style of each of its controls (dialog units).
// The templates themselves live in resources/; the dialog framework builds a
// window from one (Dialog in platform/ui/Dialog.h).
//
// Style values are the home platform's bit values, so a template reads as the
// resource script it stands for.
#pragma once

#include <cstdint>
#include <span>

namespace platform::ui {

enum class ControlKind {
  Static,       // label or read-only text
  Edit,         // single-line edit box
  PushButton,
  RadioButton,  // automatic radio button: a click checks it and clears its group
  CheckBox,     // automatic check box
  GroupBox,
  Bitmap,       // picture static
  ProgressBar,
};

// Window styles.
inline constexpr uint32_t kWsPopup = 0x80000000u;
inline constexpr uint32_t kWsVisible = 0x10000000u;
inline constexpr uint32_t kWsDisabled = 0x08000000u;
inline constexpr uint32_t kWsCaption = 0x00C00000u;
inline constexpr uint32_t kWsBorder = 0x00800000u;
inline constexpr uint32_t kWsSysMenu = 0x00080000u;
inline constexpr uint32_t kWsGroup = 0x00020000u;
inline constexpr uint32_t kWsTabStop = 0x00010000u;
// Dialog styles.
inline constexpr uint32_t kDsSysModal = 0x0002u;
inline constexpr uint32_t kDsModalFrame = 0x0080u;
inline constexpr uint32_t kDsSetFont = 0x0040u;
// Static styles.
inline constexpr uint32_t kSsCenter = 0x0001u;
inline constexpr uint32_t kSsRight = 0x0002u;
inline constexpr uint32_t kSsBitmap = 0x000Eu;
inline constexpr uint32_t kSsNotify = 0x0100u;
// Edit styles.
inline constexpr uint32_t kEsAutoHScroll = 0x0080u;
inline constexpr uint32_t kEsNumber = 0x2000u;
// Button styles.
inline constexpr uint32_t kBsDefPushButton = 0x0001u;
inline constexpr uint32_t kBsAutoRadioButton = 0x0009u;
inline constexpr uint32_t kBsGroupBox = 0x0007u;
// Progress bar styles.
inline constexpr uint32_t kPbsSmooth = 0x01u;

// Control ID of labels that the program never addresses.
inline constexpr int kIdStatic = -1;

struct ControlTemplate {
  ControlKind kind;
  int id;
  const char* text;  // Shift_JIS
  int x, y, cx, cy;  // dialog units
  uint32_t style;
};

struct DialogTemplate {
  int id;
  const char* caption;  // Shift_JIS
  int pointSize;
  const char* fontName;  // Shift_JIS
  int cx, cy;            // dialog units
  uint32_t style;
  std::span<const ControlTemplate> controls;
};

}  // namespace platform::ui
