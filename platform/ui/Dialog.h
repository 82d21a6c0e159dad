// Dialogs built from a template (platform/ui/DialogTemplate.h).
//
// Modal: DoModal builds the window and its controls, runs OnInitDialog, shows
// the dialog and feeds it the user's actions from the backend until a handler
// calls EndDialog; it returns the code given to EndDialog. A dialog ended
// during OnInitDialog is never shown (the rest of OnInitDialog still runs).
//
// Modeless: Create builds the window hidden (OnInitDialog runs); ShowWindow,
// SetText, BringWindowToTop, SetForegroundWindow, UpdateWindow and the
// progress bars then act on it directly; EndDialog hides it; DestroyWindow
// removes it. The object may outlive its window.
//
// User actions reach the dialog as the home platform delivers them:
//  - a key goes first to PreTranslateKeyDown; when that returns false the
//    default handling follows: Escape calls OnCancel; Tab and Shift+Tab move the
//    focus between enabled tab stops (an edit gets all its text selected);
//    Enter and Space on a focused push button click it, Enter elsewhere clicks
//    the template's default push button when it has one and else does nothing;
//  - a click on a push button focuses it and calls OnCommand with its ID; on an
//    automatic radio button it checks it, clears the rest of its group, focuses
//    it and calls OnCommand; on a check box it toggles it and calls OnCommand;
//  - typed text replaces an edit's text, cut to the edit's limit, and focuses it.
// Actions on disabled or hidden controls change nothing.
//
// Data exchange moves values between the dialog's fields and its controls
// (UpdateData(false): fields to controls; UpdateData(true): controls to fields).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Window.h"

namespace platform::ui {

// End codes that the framework itself uses.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
// DoModal's result when the window cannot be built (no template).
inline constexpr int kDialogFailed = -1;

enum class Key { Enter, Escape, Tab, Space, F12 };

struct KeyEvent {
  Key key;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool AnyModifier() const { return shift || ctrl || alt; }
};

class Dialog;

// One direction of data exchange, handed to DoDataExchange.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
  // True when control values go into the fields.
  bool saving() const { return saving_; }

  // Text of a control <-> a string field.
  void Text(int id, std::string& value);
  // Limits an edit to `maxBytes` when the fields go to the controls.
  void MaxChars(int id, size_t maxBytes);
  // Radio group starting at `firstId` <-> the index of its checked button
  // (-1 when none is checked; an index out of the group checks none).
  void Radio(int firstId, int& index);
  // Check box or radio button <-> 0 / 1.
  void Check(int id, int& state);
  // Binds a progress-bar wrapper to a control (both directions).
  void Control(int id, ProgressBar& bar);

 private:
  Dialog& dialog_;
  bool saving_;
};

// What became of one user action given to a dialog.
enum class InputResult {
  kDone,
  kIgnored,        // the control is disabled or hidden: nothing happened
  kNoSuchControl,  // the dialog has no control with that ID
  kWrongKind,      // text typed into a control that is not an edit
};

class Dialog : public Window {
 public:
  // `tmpl` null: the window cannot be built (DoModal returns kDialogFailed).
  Dialog(const DialogTemplate* tmpl, Window* owner = nullptr);
  ~Dialog() override;

  int DoModal();
  bool Create();
  void EndDialog(int result);
  void DestroyWindow();

  // Runs DoDataExchange; false when the window does not exist.
  bool UpdateData(bool saveAndValidate = true);

  // The control with `id`; a missing ID is a programming error and aborts
  // with a message. FindItem returns null instead.
  Control& Item(int id);
  Control* FindItem(int id);
  // The control that has the keyboard focus, or null.
  Control* GetFocus() const { return focus_; }

  const DialogTemplate* Template() const { return tmpl_; }
  int TemplateId() const { return tmpl_ ? tmpl_->id : 0; }
  Window* Owner() const { return owner_; }
  bool IsCreated() const { return created_; }
  bool IsModal() const { return modal_; }
  bool IsEnded() const { return ended_; }
  int Result() const { return result_; }
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  void SetText(std::string_view text) override;
  void ShowWindow(bool show) override;
  void BringWindowToTop() override;
  bool SetForegroundWindow() override;
  void UpdateWindow() override;
  std::string Describe() const override;

  // User actions, called by backends only.
  InputResult Click(int id);
  InputResult TypeText(int id, std::string_view text);
  InputResult PressKey(const KeyEvent& key);

 protected:
  // Default: UpdateData(false), then true (the framework focuses the first tab
  // stop). Return false after setting the focus yourself.
  virtual bool OnInitDialog();
  virtual void DoDataExchange(DataExchange&) {}
  // Command from a control. Default: kIdOk calls OnOK, kIdCancel calls OnCancel.
  virtual void OnCommand(int id);
  // True when the key was handled and the default handling must not run.
  virtual bool PreTranslateKeyDown(const KeyEvent&) { return false; }
  // Default: UpdateData(true), then EndDialog(kIdOk).
  virtual void OnOK();
  // Default: EndDialog(kIdCancel).
  virtual void OnCancel();
  // Called when the window goes away, before its controls do.
  virtual void OnDestroy() {}

 private:
  friend class Control;
  bool Build();
  void FocusFirstTabStop();
  void MoveFocus(bool forward);
  void SetFocusTo(Control* control);
  bool IsLive(const Control& c) const { return created_ && c.IsWindowEnabled() && c.IsWindowVisible(); }
  void ClearRadioGroup(const Control& checked);

  const DialogTemplate* tmpl_;
  Window* owner_;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focus_ = nullptr;
  bool created_ = false;
  bool modal_ = false;
  bool ended_ = false;
  bool shownOnce_ = false;
  int result_ = 0;
};

}  // namespace platform::ui
