#include "platform/ui/Window.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/ShiftJis.h"
#include "platform/WindowLink.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Dialog.h"

namespace platform::ui {
namespace {

// A window of the calling program. Each call goes over the link and is shown
// as a calling-window event; the enabled state is the last one requested.
class CallerProgramWindow : public Window {
 public:
  explicit CallerProgramWindow(WindowHandle handle) : handle_(handle) { visible_ = true; }

  void EnableWindow(bool enable) override {
    enabled_ = enable;
    CallerEventNotice e{CallerEventNotice::Kind::kEnable};
    e.enable = enable;
    e.delivered = SendEnableWindow(handle_, enable);
    CurrentBackend().CallerEvent(e);
  }
  bool SetForegroundWindow() override {
    CallerEventNotice e{CallerEventNotice::Kind::kForeground};
    e.delivered = SendSetForegroundWindow(handle_);
    CurrentBackend().CallerEvent(e);
    return e.delivered;
  }
  bool PostToWindow(uint32_t message, int64_t wparam, int64_t lparam) override {
    CallerEventNotice e{CallerEventNotice::Kind::kPost};
    e.message = message;
    e.wparam = wparam;
    e.lparam = lparam;
    e.delivered = SendPostMessage(handle_, message, wparam, lparam);
    CurrentBackend().CallerEvent(e);
    return e.delivered;
  }
  WindowHandle Handle() const override { return handle_; }
  std::string Describe() const override { return "caller"; }

 private:
  WindowHandle handle_;
};

}  // namespace

void Window::SetText(std::string_view text) { text_ = std::string(text); }
void Window::EnableWindow(bool enable) { enabled_ = enable; }
void Window::ShowWindow(bool show) { visible_ = show; }
bool Window::PostToWindow(uint32_t, int64_t, int64_t) { return false; }

Window* Window::FromHandle(WindowHandle handle) {
  if (handle == 0) return nullptr;
  // The framework's map of foreign windows: one object per handle, kept to the end.
  static std::map<WindowHandle, std::unique_ptr<CallerProgramWindow>> windows;
  auto& slot = windows[handle];
  if (!slot) slot = std::make_unique<CallerProgramWindow>(handle);
  return slot.get();
}

Control::Control(Dialog& parent, const ControlTemplate& tmpl)
    : parent_(parent), id_(tmpl.id), kind_(tmpl.kind), style_(tmpl.style) {
  ResetFromTemplate(tmpl);
}

void Control::ResetFromTemplate(const ControlTemplate& tmpl) {
  text_ = tmpl.text ? tmpl.text : "";
  enabled_ = (tmpl.style & kWsDisabled) == 0;
  visible_ = true;
  checked_ = false;
  selStart_ = selEnd_ = -1;
  limit_ = 0;
  rangeMin_ = 0, rangeMax_ = 100, step_ = 10, pos_ = 0;
  toolTip_.clear();
}

bool Control::alive() const { return parent_.IsCreated(); }

void Control::SetText(std::string_view text) {
  if (!alive()) return;
  text_ = std::string(text);
  selStart_ = selEnd_ = -1;
}

void Control::EnableWindow(bool enable) {
  if (!alive()) return;
  enabled_ = enable;
  if (!enable && HasFocus()) parent_.SetFocusTo(nullptr);
}

void Control::ShowWindow(bool show) {
  if (!alive()) return;
  visible_ = show;
  if (!show && HasFocus()) parent_.SetFocusTo(nullptr);
}

void Control::SetFocus() {
  if (!alive() || !enabled_ || !visible_) return;
  parent_.SetFocusTo(this);
}

bool Control::HasFocus() const { return parent_.GetFocus() == this; }

void Control::SetSel(int start, int end) {
  if (!alive()) return;
  if (start < 0) {
    selStart_ = selEnd_ = -1;
    return;
  }
  const int len = static_cast<int>(text_.size());
  selStart_ = std::min(start, len);
  selEnd_ = end < 0 ? len : std::min(end, len);
  if (selEnd_ < selStart_) std::swap(selStart_, selEnd_);
}

void Control::SetRange(int minimum, int maximum) {
  if (!alive()) return;
  rangeMin_ = minimum;
  rangeMax_ = maximum;
  pos_ = std::clamp(pos_, std::min(minimum, maximum), std::max(minimum, maximum));
}

int Control::SetPos(int pos) {
  const int old = pos_;
  if (alive()) pos_ = std::clamp(pos, std::min(rangeMin_, rangeMax_), std::max(rangeMin_, rangeMax_));
  return old;
}

int Control::StepIt() {
  const int old = pos_;
  if (!alive()) return old;
  const int span = rangeMax_ - rangeMin_;
  int pos = pos_ + step_;
  if (span <= 0) {
    pos = rangeMin_;
  } else if (pos > rangeMax_) {
    pos = (pos - rangeMin_) % span + rangeMin_;  // starts over from the beginning
  } else if (pos < rangeMin_) {
    pos = rangeMax_ - (rangeMin_ - pos) % span;
  }
  pos_ = pos;
  return old;
}

void Control::SetToolTip(std::string_view text) {
  if (!alive()) return;
  toolTip_ = std::string(text);
  CurrentBackend().ToolTipAdded(*this);
}

std::string Control::Describe() const { return std::to_string(parent_.TemplateId()) + "/" + std::to_string(id_); }

}  // namespace platform::ui
