// Keys as the terminal reports them, turned into what the user pressed.
//
// The terminal gives ncurses key codes and characters; an Alt chord arrives
// as Escape followed at once by the key. Shift, Ctrl and Alt are reported
// only where the terminal tells them: Shift+Tab (back tab), function keys
// F13-F60 in the xterm layout (F12 with Shift is F24, with Ctrl F36, with
// Ctrl+Shift F48, with Alt F60), and Alt for anything after Escape.
#pragma once

#include <cstdint>
#include <string>

namespace platform::ui::tty {

struct KeyPress {
  enum class Kind {
    kNone,
    kChar,  // `text` holds the typed character (UTF-8)
    kEnter,
    kEscape,
    kTab,
    kSpace,
    kBackspace,
    kDelete,
    kHome,
    kEnd,
    kLeft,
    kRight,
    kUp,
    kDown,
    kF1,
    kF12,
    kSelectAll,  // Ctrl+A
    kResize,
    kMouse,
  } kind = Kind::kNone;
  std::string text;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// One key: `code` as get_wch gave it, `isKeyCode` when it was a KEY_ code,
// `afterEscape` when an Escape came just before it (an Alt chord).
KeyPress TranslateKey(uint32_t code, bool isKeyCode, bool afterEscape);

}  // namespace platform::ui::tty
