// The interactive backend of the Windows programs: the program's dialogs as
// real windows, built by the dialog manager from the templates compiled into
// the program (its resource script, written from resources/).
//
// The framework's dialog (platform/ui/Dialog.h) stays the one account of
// every control's state; this backend keeps a real window for each shown
// dialog and brings that window to the account after every change (texts,
// enabled and visible states, checks, text limits, selections, the focus,
// the progress bars, the caption). What the user does in the real window
// comes back as the framework's actions: a text edited in an edit box as
// Dialog::TypeText, a clicked button as Dialog::Click (a disabled control's
// click is the framework's to ignore), and the keys Enter, Escape, Tab,
// Shift+Tab and F12 as Dialog::PressKey, taken from the message before the
// dialog manager sees it, so that the dialog's own key rules come first and
// Enter never ends a dialog through IDOK on its own. Every other key goes to
// the dialog manager and the controls (typing, arrows in a radio group,
// Space on a button, Alt+letter mnemonics). The close box is Escape.
//
// Message boxes are MessageBoxA, the save-file dialog GetSaveFileNameA, both
// owned by the real window of their owner (a calling program's window is a
// real window here too). A tooltip is a tooltip control on its control's
// window; the wait cursor is the system's; a dialog asked to come forward or
// to the top is brought there. A repaint asked for while the program works
// (the progress window, with no message loop running) paints the window and
// its controls at once.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Backend.h"

namespace platform::ui::win32 {

class Win32Backend : public Backend {
 public:
  // Registers the common controls; null with *error set when they cannot be had.
  static std::unique_ptr<Win32Backend> Open(std::string* error);
  ~Win32Backend() override;

  void DeliverInput(Dialog& dialog) override;
  int ShowMessageBox(const MessageBoxRequest& box) override;
  std::optional<std::string> SaveFile(const SaveFileDialogOptions& options) override;
  void DialogShown(const Dialog& dialog) override;
  void DialogEnded(const Dialog& dialog) override;
  void CaptionChanged(const Dialog& dialog) override;
  void WindowUpdated(const Dialog& dialog) override;
  void WindowRaised(const Dialog& dialog) override;
  bool ForegroundAsked(const Dialog& dialog) override;
  void ToolTipAdded(const Control& control) override;
  void WaitCursorChanged(bool shown) override;

  struct Impl;

 private:
  Win32Backend();
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::ui::win32
