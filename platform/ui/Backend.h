// The backend interface: how the framework meets a user. The core of
// platform/ui knows nothing of any backend; a backend (platform/ui/script/,
// platform/ui/tty/) implements this interface and is installed once at start.
//
// The backend supplies what the user does (the next action for a modal dialog,
// the pressed button of a message box, the answer of the save-file dialog)
// and shows what the program shows (the notices below). A backend that cannot
// get an action must end the run itself with a clear message; it never waits
// for input that cannot come.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ShowMessage.h"

namespace platform::ui {

// One call on a calling program's window, as it was made.
struct CallerEventNotice {
  enum class Kind { kEnable, kForeground, kPost } kind;
  bool enable = false;      // kEnable
  uint32_t message = 0;     // kPost
  int64_t wparam = 0;       // kPost
  int64_t lparam = 0;       // kPost
  bool delivered = false;   // whether the calling program's endpoint took it
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Gives one user action to the modal dialog (through Dialog::Click,
  // TypeText or PressKey). Returns only after an action was given.
  virtual void DeliverInput(Dialog& dialog) = 0;
  // Returns the pressed button, one of the box's own.
  virtual int ShowMessageBox(const MessageBoxRequest& box) = 0;
  // The chosen path as typed (before the default extension), or nothing.
  virtual std::optional<std::string> SaveFile(const SaveFileDialogOptions& options) = 0;

  // Notices of what the program shows.
  virtual void DialogShown(const Dialog&) {}
  virtual void DialogEnded(const Dialog&) {}
  virtual void CaptionChanged(const Dialog&) {}
  // The program asked a shown dialog to repaint (UpdateWindow): its controls
  // (progress bars, say) may have changed since it was last shown.
  virtual void WindowUpdated(const Dialog&) {}
  // The program asked a shown dialog to come to the top of the z-order
  // (BringWindowToTop), or to the foreground (SetForegroundWindow: the
  // answer is whether it came there).
  virtual void WindowRaised(const Dialog&) {}
  virtual bool ForegroundAsked(const Dialog&) { return true; }
  virtual void ToolTipAdded(const Control&) {}
  virtual void WaitCursorChanged(bool /*shown*/) {}
  virtual void CallerEvent(const CallerEventNotice&) {}
};

// Installs the backend for the rest of the process (null: none). Without one,
// any call that needs a user stops the program with exit status 2 and a
// message saying so.
void InstallBackend(Backend* backend);
Backend& CurrentBackend();

}  // namespace platform::ui
