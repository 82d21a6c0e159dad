// Windows as the system sees them: its own dialogs and their controls, and the
// window of a calling program named by a handle.
//
// Window is the common part: caption text, enabled, visible, and the calls that
// bring a window forward, repaint it or post a message to it. Every text is
// Shift_JIS. Own windows keep their state in memory and show it through the
// installed backend (platform/ui/Backend.h); a calling program's window is
// reached over the calling-window link (platform/WindowLink.h), and each call
// on it is also shown as a calling-window event.
//
// Control is one child control of a dialog, built from its template: text,
// enabled, checked, focus, selection, text limit, visibility, progress-bar
// state and tooltip. A control belongs to its dialog and lives as long as the
// dialog object; after the dialog's window is destroyed its calls change
// nothing (they go "to no window").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/DialogTemplate.h"

namespace platform::ui {

class Dialog;

// A window handle as a calling program writes it on the command line.
using WindowHandle = long;

class Window {
 public:
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  virtual void SetText(std::string_view text);
  const std::string& GetText() const { return text_; }
  virtual void EnableWindow(bool enable);
  bool IsWindowEnabled() const { return enabled_; }
  virtual void ShowWindow(bool show);
  bool IsWindowVisible() const { return visible_; }

  // Z-order, foreground and repaint. Own windows record the state; a calling
  // program's window is told over the link. The results follow the home
  // platform and are not meant to be examined.
  virtual void BringWindowToTop() {}
  virtual bool SetForegroundWindow() { return true; }
  virtual void UpdateWindow() {}
  // Posts a message to the window's message queue. Only a calling program's
  // window has one: own windows return false. Posting to a window that is gone
  // returns false and nothing else happens.
  virtual bool PostToWindow(uint32_t message, int64_t wparam, int64_t lparam);

  // The calling program's window for `handle`: one object per handle for the
  // life of the process. Null for handle 0.
  static Window* FromHandle(WindowHandle handle);
  // The handle of a calling program's window; 0 for own windows.
  virtual WindowHandle Handle() const { return 0; }

  // Short name used when a backend shows what owns a box: "130", "caller", "none".
  virtual std::string Describe() const = 0;

 protected:
  Window() = default;
  std::string text_;
  bool enabled_ = true;
  bool visible_ = false;
};

class Control : public Window {
 public:
  Control(Dialog& parent, const ControlTemplate& tmpl);

  int id() const { return id_; }
  ControlKind kind() const { return kind_; }
  uint32_t style() const { return style_; }
  Dialog& parent() const { return parent_; }
  bool IsTabStop() const { return (style_ & kWsTabStop) != 0; }
  bool StartsGroup() const { return (style_ & kWsGroup) != 0; }

  void SetText(std::string_view text) override;
  void EnableWindow(bool enable) override;
  void ShowWindow(bool show) override;

  // Gives this control the keyboard focus of its dialog (a disabled or hidden
  // control does not take it; the call then changes nothing).
  void SetFocus();
  bool HasFocus() const;

  // Edit selection in bytes. SetSel(0, -1) selects all the text; a start of -1
  // removes the selection. Selecting also scrolls the caret into view (there is
  // nothing more to do for that here).
  void SetSel(int start, int end);
  int SelStart() const { return selStart_; }
  int SelEnd() const { return selEnd_; }
  // Most bytes the user may type into an edit; 0 means the platform's default.
  void LimitText(size_t maxBytes) { limit_ = maxBytes; }
  size_t TextLimit() const { return limit_; }

  // Check state of radio buttons and check boxes: 0 clear, 1 checked.
  void SetCheck(int state) { if (alive()) checked_ = state != 0; }
  int GetCheck() const { return checked_ ? 1 : 0; }

  // Progress bars (no effect on other controls). StepIt past the maximum
  // starts over from the beginning of the range, as the home platform does.
  void SetRange(int minimum, int maximum);
  void SetStep(int step) { if (alive()) step_ = step; }
  int SetPos(int pos);  // returns the previous position
  int StepIt();         // returns the previous position
  int GetPos() const { return pos_; }
  int RangeMin() const { return rangeMin_; }
  int RangeMax() const { return rangeMax_; }
  int Step() const { return step_; }

  // A tooltip shown while the pointer rests on the control.
  void SetToolTip(std::string_view text);
  const std::string& ToolTip() const { return toolTip_; }

  std::string Describe() const override;

 private:
  friend class Dialog;
  void ResetFromTemplate(const ControlTemplate& tmpl);
  bool alive() const;

  Dialog& parent_;
  int id_;
  ControlKind kind_;
  uint32_t style_;
  bool checked_ = false;
  int selStart_ = -1, selEnd_ = -1;
  size_t limit_ = 0;
  int rangeMin_ = 0, rangeMax_ = 100, step_ = 10, pos_ = 0;
  std::string toolTip_;
};

// A progress-bar wrapper bound to a dialog's control by data exchange. Before
// it is bound, and after its dialog's window is gone, its calls go to no window.
class ProgressBar {
 public:
  void Attach(Control* control) { control_ = control; }
  Control* control() const { return control_; }

  void SetRange(int minimum, int maximum) { if (control_) control_->SetRange(minimum, maximum); }
  void SetStep(int step) { if (control_) control_->SetStep(step); }
  int SetPos(int pos) { return control_ ? control_->SetPos(pos) : 0; }
  int StepIt() { return control_ ? control_->StepIt() : 0; }
  int GetPos() const { return control_ ? control_->GetPos() : 0; }

 private:
  Control* control_ = nullptr;
};

}  // namespace platform::ui
