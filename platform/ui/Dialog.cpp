#include "platform/ui/Dialog.h"

#include <cstdio>
#include <cstdlib>

#include "platform/ShiftJis.h"
#include "platform/ui/Backend.h"

namespace platform::ui {
namespace {

// What an edit holds when its limit is not set.
constexpr size_t kDefaultEditLimit = 30000;

std::string FilterTyped(const Control& edit, std::string_view typed) {
  std::string text;
  if (edit.style() & kEsNumber) {
    for (char c : typed) {  // a numeric edit refuses everything but digits
      if (c >= '0' && c <= '9') text += c;
    }
  } else {
    text = std::string(typed);
  }
  const size_t limit = edit.TextLimit() ? edit.TextLimit() : kDefaultEditLimit;
  return std::string(sjis::CutToWholeChars(text, limit));
}

}  // namespace

void DataExchange::Text(int id, std::string& value) {
  platform::ui::Control& c = dialog_.Item(id);
  if (saving_) {
    value = c.GetText();
  } else {
    c.SetText(value);
  }
}

void DataExchange::MaxChars(int id, size_t maxBytes) {
  if (!saving_) dialog_.Item(id).LimitText(maxBytes);
}

void DataExchange::Radio(int firstId, int& index) {
  const auto& controls = dialog_.Controls();
  size_t first = controls.size();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i]->id() == firstId) first = i;
  }
  if (first == controls.size() || controls[first]->kind() != ControlKind::RadioButton) {
    std::fprintf(stderr, "dialog %d has no radio group at control %d\n", dialog_.TemplateId(), firstId);
    std::abort();
  }
  if (saving_) index = -1;
  int n = 0;
  for (size_t i = first; i < controls.size(); ++i, ++n) {
    platform::ui::Control& c = *controls[i];
    if (c.kind() != ControlKind::RadioButton || (i != first && c.StartsGroup())) break;
    if (saving_) {
      if (c.GetCheck() && index < 0) index = n;
    } else {
      c.SetCheck(n == index ? 1 : 0);
    }
  }
}

void DataExchange::Check(int id, int& state) {
  platform::ui::Control& c = dialog_.Item(id);
  if (saving_) {
    state = c.GetCheck();
  } else {
    c.SetCheck(state);
  }
}

void DataExchange::Control(int id, ProgressBar& bar) { bar.Attach(&dialog_.Item(id)); }

Dialog::Dialog(const DialogTemplate* tmpl, Window* owner) : tmpl_(tmpl), owner_(owner) {
  if (tmpl_) {
    text_ = tmpl_->caption ? tmpl_->caption : "";
    for (const ControlTemplate& ct : tmpl_->controls) controls_.push_back(std::make_unique<platform::ui::Control>(*this, ct));
  }
}

Dialog::~Dialog() { DestroyWindow(); }

bool Dialog::Build() {
  if (!tmpl_ || created_) return false;
  for (size_t i = 0; i < controls_.size(); ++i) controls_[i]->ResetFromTemplate(tmpl_->controls[i]);
  text_ = tmpl_->caption ? tmpl_->caption : "";
  enabled_ = true;
  visible_ = false;
  focus_ = nullptr;
  created_ = true;
  ended_ = false;
  shownOnce_ = false;
  result_ = 0;
  return true;
}

int Dialog::DoModal() {
  if (!Build()) return kDialogFailed;
  modal_ = true;
  // The owner is disabled while the dialog runs, and enabled again afterwards
  // only when this dialog was the one that disabled it.
  const bool disableOwner = owner_ && owner_->IsWindowEnabled();
  if (disableOwner) owner_->EnableWindow(false);

  if (OnInitDialog()) FocusFirstTabStop();
  Backend& backend = CurrentBackend();
  if (!ended_) {
    visible_ = true;
    shownOnce_ = true;
    backend.DialogShown(*this);
    while (!ended_) backend.DeliverInput(*this);
  }
  backend.DialogEnded(*this);
  OnDestroy();
  created_ = false;
  visible_ = false;
  focus_ = nullptr;
  modal_ = false;
  if (disableOwner) owner_->EnableWindow(true);
  return result_;
}

bool Dialog::Create() {
  if (!Build()) return false;
  modal_ = false;
  if (OnInitDialog()) FocusFirstTabStop();
  if (tmpl_->style & kWsVisible) ShowWindow(true);
  return true;
}

void Dialog::EndDialog(int result) {
  if (!created_) return;
  result_ = result;
  if (ended_ && !modal_) return;
  ended_ = true;
  if (!modal_) {  // a modeless dialog is hidden; its window stays until destroyed
    if (shownOnce_) CurrentBackend().DialogEnded(*this);
    visible_ = false;
  }
}

void Dialog::DestroyWindow() {
  if (!created_) return;
  if (!modal_ && visible_ && !ended_) {
    ended_ = true;
    CurrentBackend().DialogEnded(*this);
  }
  OnDestroy();
  created_ = false;
  visible_ = false;
  focus_ = nullptr;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  if (!created_) return false;
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

platform::ui::Control* Dialog::FindItem(int id) {
  if (id == kIdStatic) return nullptr;
  for (auto& c : controls_) {
    if (c->id() == id) return c.get();
  }
  return nullptr;
}

platform::ui::Control& Dialog::Item(int id) {
  platform::ui::Control* c = FindItem(id);
  if (!c) {
    std::fprintf(stderr, "dialog %d has no control %d\n", TemplateId(), id);
    std::abort();
  }
  return *c;
}

void Dialog::SetText(std::string_view text) {
  if (!created_ || text == text_) return;
  text_ = std::string(text);
  if (visible_) CurrentBackend().CaptionChanged(*this);
}

void Dialog::ShowWindow(bool show) {
  if (!created_ || show == visible_) return;
  visible_ = show;
  if (show && !shownOnce_) {
    shownOnce_ = true;
    CurrentBackend().DialogShown(*this);
  }
}

// Z-order and foreground are the backend's to show; a repaint lets it show
// what the window now holds.
void Dialog::BringWindowToTop() {
  if (created_ && visible_) CurrentBackend().WindowRaised(*this);
}
bool Dialog::SetForegroundWindow() {
  if (!created_) return false;
  return !visible_ || CurrentBackend().ForegroundAsked(*this);
}
void Dialog::UpdateWindow() {
  if (created_ && visible_) CurrentBackend().WindowUpdated(*this);
}

std::string Dialog::Describe() const { return std::to_string(TemplateId()); }

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnCommand(int id) {
  if (id == kIdOk) OnOK();
  if (id == kIdCancel) OnCancel();
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::SetFocusTo(platform::ui::Control* control) { focus_ = control; }

void Dialog::FocusFirstTabStop() {
  for (auto& c : controls_) {
    if (!c->IsTabStop() || !IsLive(*c)) continue;
    SetFocusTo(c.get());
    return;
  }
}

void Dialog::MoveFocus(bool forward) {
  std::vector<platform::ui::Control*> stops;
  for (auto& c : controls_) {
    if (c->IsTabStop() && IsLive(*c)) stops.push_back(c.get());
  }
  if (stops.empty()) return;
  size_t at = stops.size();
  for (size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == focus_) at = i;
  }
  size_t next;
  if (at == stops.size()) {
    next = forward ? 0 : stops.size() - 1;
  } else {
    next = forward ? (at + 1) % stops.size() : (at + stops.size() - 1) % stops.size();
  }
  platform::ui::Control* target = stops[next];
  SetFocusTo(target);
  if (target->kind() == ControlKind::Edit) target->SetSel(0, -1);
}

void Dialog::ClearRadioGroup(const platform::ui::Control& checked) {
  size_t at = 0;
  while (at < controls_.size() && controls_[at].get() != &checked) ++at;
  if (at == controls_.size()) return;
  size_t first = at;
  while (first > 0 && !controls_[first]->StartsGroup()) --first;
  for (size_t i = first; i < controls_.size(); ++i) {
    if (i != first && controls_[i]->StartsGroup()) break;
    if (i != at && controls_[i]->kind() == ControlKind::RadioButton) controls_[i]->SetCheck(0);
  }
}

InputResult Dialog::Click(int id) {
  platform::ui::Control* c = FindItem(id);
  if (!c) return InputResult::kNoSuchControl;
  if (!IsLive(*c)) return InputResult::kIgnored;
  switch (c->kind()) {
    case ControlKind::PushButton:
      SetFocusTo(c);
      OnCommand(id);
      break;
    case ControlKind::RadioButton:
      c->SetCheck(1);
      ClearRadioGroup(*c);
      SetFocusTo(c);
      OnCommand(id);
      break;
    case ControlKind::CheckBox:
      c->SetCheck(c->GetCheck() ? 0 : 1);
      SetFocusTo(c);
      OnCommand(id);
      break;
    case ControlKind::Edit:
      SetFocusTo(c);
      c->SetSel(-1, 0);
      break;
    default:  // labels, pictures, group boxes and bars take no clicks
      break;
  }
  return InputResult::kDone;
}

InputResult Dialog::TypeText(int id, std::string_view text) {
  platform::ui::Control* c = FindItem(id);
  if (!c) return InputResult::kNoSuchControl;
  if (c->kind() != ControlKind::Edit) return InputResult::kWrongKind;
  if (!IsLive(*c)) return InputResult::kIgnored;
  SetFocusTo(c);
  c->SetText(FilterTyped(*c, text));
  return InputResult::kDone;
}

InputResult Dialog::PressKey(const KeyEvent& key) {
  if (!created_) return InputResult::kIgnored;
  if (PreTranslateKeyDown(key)) return InputResult::kDone;
  switch (key.key) {
    case Key::Escape:
      OnCancel();
      break;
    case Key::Tab:
      MoveFocus(!key.shift);
      break;
    case Key::Space:
      if (focus_ && (focus_->kind() == ControlKind::PushButton || focus_->kind() == ControlKind::RadioButton ||
                     focus_->kind() == ControlKind::CheckBox)) {
        return Click(focus_->id());
      }
      break;
    case Key::Enter:
      if (focus_ && focus_->kind() == ControlKind::PushButton) return Click(focus_->id());
      // Otherwise the default push button, when the template names one. A
      // template without one lets Enter do nothing, so that Enter can never
      // end a dialog past its own handlers.
      for (auto& c : controls_) {
        if (c->kind() == ControlKind::PushButton && (c->style() & 0xF) == kBsDefPushButton && IsLive(*c)) {
          OnCommand(c->id());
          break;
        }
      }
      break;
    case Key::F12:
      break;
  }
  return InputResult::kDone;
}

}  // namespace platform::ui
