// What one key does to a modal dialog in the terminal.
//
// Tab, Shift+Tab, Enter, Escape, F12 and Space (outside an edit) go to
// Dialog::PressKey with the modifiers the terminal reported, so the dialog's
// own key rules see them first, as on the home platform. Arrows in a group
// of automatic radio buttons focus and check the next enabled button (round
// the end), as a click would. In the focused edit box, typing, Backspace,
// Delete, Home, End, Left, Right and Ctrl+A edit through EditLine; a changed
// text reaches the dialog as typed text. Alt+letter, or the letter alone
// where no edit has the focus, acts on the control whose text marks it as
// mnemonic: a button is pressed, a radio button or check box clicked, and a
// label or group box hands the focus to the next control after it that can
// take it (an edit so reached gets all its text selected).
#pragma once

#include "platform/ui/Dialog.h"
#include "platform/ui/tty/DialogView.h"
#include "platform/ui/tty/KeyInput.h"

namespace platform::ui::tty {

enum class KeyOutcome {
  kAction,   // the dialog took a user action
  kShown,    // only what is shown changed (a caret moved), or nothing at all
  kRefused,  // the key cannot be taken here (a letter in a numeric edit, a full edit)
  kUnwritable,  // a character typed into an edit has no Shift_JIS form ("¥" is taken as "\")
};

KeyOutcome HandleDialogKey(Dialog& dialog, EditLines& edits, const KeyPress& key);

}  // namespace platform::ui::tty
