#include "platform/ui/tty/DialogInput.h"

#include <optional>
#include <string>

#include "platform/Encoding.h"

namespace platform::ui::tty {
namespace {

using K = KeyPress::Kind;

bool IsRadio(const Control* c) { return c && c->kind() == ControlKind::RadioButton; }

bool Focusable(const Control& c) {
  return c.IsWindowEnabled() && c.IsWindowVisible() &&
         (c.kind() == ControlKind::Edit || c.kind() == ControlKind::PushButton ||
          c.kind() == ControlKind::RadioButton || c.kind() == ControlKind::CheckBox);
}

KeyOutcome Done(InputResult r) { return r == InputResult::kDone ? KeyOutcome::kAction : KeyOutcome::kShown; }

KeyOutcome EditKey(Dialog& dialog, EditLines& edits, Control& edit, const KeyPress& key) {
  EditLine& line = EditLineOf(edits, edit);
  const std::string before = line.text();
  switch (key.kind) {
    case K::kChar:
    case K::kSpace: {
      const std::optional<std::string> cp932 = TypedTextToCp932(key.text);
      if (!cp932) return KeyOutcome::kUnwritable;
      if (!line.Type(*cp932)) return KeyOutcome::kRefused;
      break;
    }
    case K::kBackspace: line.Backspace(); break;
    case K::kDelete: line.Delete(); break;
    case K::kHome: line.Home(); break;
    case K::kEnd: line.End(); break;
    case K::kLeft: line.Left(); break;
    case K::kRight: line.Right(); break;
    case K::kSelectAll: line.SelectAll(); break;
    default: return KeyOutcome::kShown;
  }
  if (line.text() != before) {
    const KeyOutcome out = Done(dialog.TypeText(edit.id(), line.text()));
    EditLineOf(edits, edit);  // take back what the edit kept
    return out;
  }
  // Only the caret or the selection moved: the edit's selection follows.
  if (line.HasSelection()) {
    edit.SetSel(static_cast<int>(line.selStart()), static_cast<int>(line.selEnd()));
  } else {
    edit.SetSel(-1, 0);
  }
  return KeyOutcome::kShown;
}

KeyOutcome MoveInRadioGroup(Dialog& dialog, const Control& from, bool forward) {
  const auto& controls = dialog.Controls();
  size_t at = 0;
  while (at < controls.size() && controls[at].get() != &from) ++at;
  if (at == controls.size()) return KeyOutcome::kShown;
  size_t first = at, last = at;
  while (first > 0 && !controls[first]->StartsGroup() && IsRadio(controls[first - 1].get())) --first;
  while (last + 1 < controls.size() && IsRadio(controls[last + 1].get()) && !controls[last + 1]->StartsGroup()) ++last;
  const size_t n = last - first + 1;
  for (size_t step = 1; step < n; ++step) {
    const size_t i = first + (at - first + (forward ? step : n - step)) % n;
    const Control& c = *controls[i];
    if (c.IsWindowEnabled() && c.IsWindowVisible()) return Done(dialog.Click(c.id()));
  }
  return KeyOutcome::kShown;
}

KeyOutcome Mnemonic(Dialog& dialog, char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  const auto& controls = dialog.Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    Control& c = *controls[i];
    if (!c.IsWindowVisible() || MnemonicOf(c.GetText()) != letter) continue;
    if (c.kind() == ControlKind::Static || c.kind() == ControlKind::GroupBox) {
      for (size_t j = i + 1; j < controls.size(); ++j) {
        Control& next = *controls[j];
        if (!Focusable(next)) continue;
        next.SetFocus();
        if (next.kind() == ControlKind::Edit) next.SetSel(0, -1);
        return KeyOutcome::kAction;
      }
      return KeyOutcome::kRefused;
    }
    if (!c.IsWindowEnabled()) continue;
    return Done(dialog.Click(c.id()));
  }
  return KeyOutcome::kRefused;
}

}  // namespace

KeyOutcome HandleDialogKey(Dialog& dialog, EditLines& edits, const KeyPress& key) {
  Control* focus = dialog.GetFocus();
  const bool inEdit = focus && focus->kind() == ControlKind::Edit;
  auto press = [&](Key k) {
    return Done(dialog.PressKey(KeyEvent{k, key.shift, key.ctrl, key.alt}));
  };
  switch (key.kind) {
    case K::kTab: return press(Key::Tab);
    case K::kEnter: return press(Key::Enter);
    case K::kEscape: return press(Key::Escape);
    case K::kF12: return press(Key::F12);
    case K::kSpace:
      if (inEdit && !key.alt) return EditKey(dialog, edits, *focus, key);
      return press(Key::Space);
    case K::kUp:
    case K::kLeft:
    case K::kDown:
    case K::kRight:
      if (IsRadio(focus)) return MoveInRadioGroup(dialog, *focus, key.kind == K::kDown || key.kind == K::kRight);
      if (inEdit) return EditKey(dialog, edits, *focus, key);
      return KeyOutcome::kShown;
    case K::kChar:
      if (inEdit && !key.alt) return EditKey(dialog, edits, *focus, key);
      if (key.text.size() == 1) return Mnemonic(dialog, key.text[0]);
      return KeyOutcome::kRefused;
    default:
      if (inEdit) return EditKey(dialog, edits, *focus, key);
      return KeyOutcome::kShown;
  }
}

}  // namespace platform::ui::tty
