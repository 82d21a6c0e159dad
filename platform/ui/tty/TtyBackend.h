// The interactive backend: the program's windows on a character terminal.
//
// Every shown dialog is drawn as DialogView.h paints it, the newest on top;
// the modal dialog takes the user's keys (KeyInput.h), which reach it as the
// home platform delivers them: Tab, Shift+Tab, Enter, Space, Escape and F12
// through Dialog::PressKey (so the dialog's own key rules see them first,
// with the Shift, Ctrl and Alt state the terminal reports); arrows move
// through a radio group and check the button reached; typing, Backspace,
// Delete, Home, End, Left, Right and Ctrl+A edit the focused edit box (a
// numeric edit takes digits only, every edit its text limit); Alt+letter,
// or the letter alone where no edit has the focus, acts on the control whose
// text marks that mnemonic; a mouse click clicks a control.
//
// Message boxes are centred modal boxes with caption, icon mark, text and
// buttons (OK; Yes and No, also on Y and N). The save-file dialog is a path
// field over a listing of the current folder and honours its flags (the path
// or file must exist, overwrite prompt; it never changes the current
// folder). A tooltip shows while its control has the focus, or on F1 (or a
// click on the control) until the next key. The wait cursor shows as a busy
// mark in the top right corner. A character typed into an edit or the file
// name that Shift_JIS cannot hold ("¥" is taken as "\") is refused with a
// beep and a note naming it on the bottom line, shown until the next key. Repaints asked for by a busy window (the
// progress window) reach the terminal at most about thirty times a second;
// everything else shows at once.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Backend.h"
#include "platform/ui/tty/DialogView.h"
#include "platform/ui/tty/Terminal.h"

namespace platform::ui::tty {

class TtyBackend : public Backend {
 public:
  // Takes the terminal; null with *error set when it cannot.
  static std::unique_ptr<TtyBackend> Open(std::string* error);
  ~TtyBackend() override;

  void DeliverInput(Dialog& dialog) override;
  int ShowMessageBox(const MessageBoxRequest& box) override;
  std::optional<std::string> SaveFile(const SaveFileDialogOptions& options) override;
  void DialogShown(const Dialog& dialog) override;
  void DialogEnded(const Dialog& dialog) override;
  void CaptionChanged(const Dialog& dialog) override;
  void WindowUpdated(const Dialog& dialog) override;
  void ToolTipAdded(const Control& control) override;
  void WaitCursorChanged(bool shown) override;

  // How many times the screen was painted so far.
  long PaintCount() const { return paints_; }

 private:
  struct Cursor {
    int row = -1, col = -1;
  };
  // Something drawn over the windows (a message box, the save-file dialog).
  using Overlay = std::function<void(Canvas&, Cursor&)>;

  explicit TtyBackend(std::unique_ptr<Terminal> terminal);
  void Paint();
  void PaintThrottled();
  void PaintToolTip(Canvas& canvas, const Dialog& dialog, const PaintedDialog& painted);
  bool HandleKey(Dialog& dialog, const KeyPress& key);
  const Control* ShownTip(const Dialog& dialog) const;
  KeyPress NextKey();
  void RefuseUnwritable(const KeyPress& key);

  std::unique_ptr<Terminal> term_;
  std::vector<const Dialog*> windows_;  // shown dialogs, bottom to top
  std::vector<const Control*> tips_;
  std::vector<Overlay> overlays_;
  EditLines edits_;
  PaintedDialog top_;                   // the last paint of the topmost dialog
  GlyphRun note_;                       // shown on the bottom line until the next key
  bool tipByKey_ = false;
  bool busy_ = false;
  int busyFrame_ = 0;
  long long lastPaintMs_ = 0;  // coarse monotonic clock
  int requestsSinceClock_ = 0;  // throttled repaint requests since the clock was last read
  long paints_ = 0;
};

}  // namespace platform::ui::tty
