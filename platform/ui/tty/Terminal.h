// The terminal session of the interactive backend (ncursesw).
//
// Open() takes the terminal: a UTF-8 character locale, the alternate screen,
// keys one at a time without echo, function keys and the mouse decoded. From
// then on the terminal is given back as it was on every way out: Close() or
// the destructor, a normal exit (atexit), and the signals that end a process
// (SIGINT from Ctrl-C, SIGTERM, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV, SIGBUS,
// SIGFPE), after which the signal takes its default course. Only one
// session exists at a time.
//
// Show() puts a whole canvas on the screen (only the cells that changed
// reach the terminal) with the cursor at a cell, or hidden. Cells equal to
// those of the canvas shown last are not written again, unless the size of
// the terminal or of the canvas changed since. ReadKey() waits
// for the next key (or up to `timeoutMs`); a change of the terminal's size
// arrives as a kResize key. Keys that arrive while the program is busy wait
// in order for the next ReadKey, except size changes, which Poll() takes.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/tty/Canvas.h"
#include "platform/ui/tty/KeyInput.h"

namespace platform::ui::tty {

class Terminal {
 public:
  // Null with *error set when the terminal cannot be taken.
  static std::unique_ptr<Terminal> Open(std::string* error);
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  void Close();

  int rows() const;
  int cols() const;

  void Show(const Canvas& canvas, int cursorRow, int cursorCol);
  // -1: wait as long as it takes.
  std::optional<KeyPress> ReadKey(int timeoutMs = -1);
  // True when the terminal's size changed since the last call (keys read
  // meanwhile are kept for ReadKey).
  bool Poll();
  // Where the last kMouse key clicked (screen cell); false when it was no click.
  bool LastClick(int* row, int* col) const;
  void Beep();

 private:
  Terminal() = default;
  std::optional<KeyPress> ReadRaw(int timeoutMs);

  bool open_ = false;
  std::optional<Canvas> shown_;  // what the screen holds; none: unknown
  int shownLines_ = 0, shownCols_ = 0;
  std::deque<KeyPress> pending_;
  int clickRow_ = -1, clickCol_ = -1;
};

}  // namespace platform::ui::tty
