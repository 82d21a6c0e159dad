#include "platform/ui/tty/KeyInput.h"

#include <ncursesw/curses.h>

namespace platform::ui::tty {
namespace {

std::string EncodeUtf8(uint32_t cp) {
  char b[4];
  size_t n;
  if (cp < 0x80) {
    b[0] = static_cast<char>(cp);
    n = 1;
  } else if (cp < 0x800) {
    b[0] = static_cast<char>(0xC0 | (cp >> 6));
    b[1] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 2;
  } else if (cp < 0x10000) {
    b[0] = static_cast<char>(0xE0 | (cp >> 12));
    b[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[2] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 3;
  } else {
    b[0] = static_cast<char>(0xF0 | (cp >> 18));
    b[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    b[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[3] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 4;
  }
  return std::string(b, n);
}

}  // namespace

KeyPress TranslateKey(uint32_t code, bool isKeyCode, bool afterEscape) {
  using K = KeyPress::Kind;
  KeyPress k;
  k.alt = afterEscape;
  if (isKeyCode) {
    const int c = static_cast<int>(code);
    if (c == KEY_ENTER) k.kind = K::kEnter;
    else if (c == KEY_BTAB) { k.kind = K::kTab; k.shift = true; }
    else if (c == KEY_BACKSPACE) k.kind = K::kBackspace;
    else if (c == KEY_DC) k.kind = K::kDelete;
    else if (c == KEY_HOME) k.kind = K::kHome;
    else if (c == KEY_END) k.kind = K::kEnd;
    else if (c == KEY_LEFT) k.kind = K::kLeft;
    else if (c == KEY_RIGHT) k.kind = K::kRight;
    else if (c == KEY_UP) k.kind = K::kUp;
    else if (c == KEY_DOWN) k.kind = K::kDown;
    else if (c == KEY_RESIZE) k.kind = K::kResize;
    else if (c == KEY_MOUSE) k.kind = K::kMouse;
    else if (c == KEY_F(1)) k.kind = K::kF1;
    else if (c == KEY_F(12)) k.kind = K::kF12;
    else if (c == KEY_F(24)) { k.kind = K::kF12; k.shift = true; }
    else if (c == KEY_F(36)) { k.kind = K::kF12; k.ctrl = true; }
    else if (c == KEY_F(48)) { k.kind = K::kF12; k.ctrl = k.shift = true; }
    else if (c == KEY_F(60)) { k.kind = K::kF12; k.alt = true; }
    return k;
  }
  switch (code) {
    case '\r':
    case '\n': k.kind = K::kEnter; return k;
    case '\t': k.kind = K::kTab; return k;
    case 27: k.kind = K::kEscape; return k;
    case ' ': k.kind = K::kSpace; k.text = EncodeUtf8(' '); return k;
    case 127:
    case 8: k.kind = K::kBackspace; return k;
    case 1: k.kind = K::kSelectAll; k.ctrl = true; return k;
    default: break;
  }
  if (code < 0x20 || (code >= 0x80 && code < 0xA0) || code > 0x10FFFF) return k;  // other control keys: nothing
  k.kind = K::kChar;
  k.text = EncodeUtf8(code);
  return k;
}

}  // namespace platform::ui::tty
