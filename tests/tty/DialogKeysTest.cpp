// Keys on the conditions dialog's template as the terminal hands them over:
// what reaches the dialog's own key rules, radio groups, edits, mnemonics.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/tty/DialogInput.h"
#include "resources/Resources.h"

namespace {

using namespace platform::ui::tty;
namespace ui = platform::ui;
namespace res = resources;

// A dialog on template 130 that records what reaches its handlers.
class RecordingDialog : public ui::Dialog {
 public:
  RecordingDialog() : Dialog(res::FindDialogTemplate(res::kConditionDialog)) {}
  std::vector<ui::KeyEvent> keys;
  std::vector<int> commands;

 protected:
  bool PreTranslateKeyDown(const ui::KeyEvent& k) override {
    keys.push_back(k);
    return false;
  }
  void OnCommand(int id) override { commands.push_back(id); }
  bool OnInitDialog() override {
    Item(res::kStartMonthEdit).LimitText(2);
    Item(res::kEndMonthEdit).LimitText(2);
    Item(res::kOutputPathEdit).LimitText(255);
    Item(res::kJournalMethodRadio).SetCheck(1);
    return true;
  }
};

KeyPress Press(KeyPress::Kind kind, bool alt = false, bool shift = false) {
  KeyPress k;
  k.kind = kind;
  k.alt = alt;
  k.shift = shift;
  return k;
}

KeyPress Char(const char* utf8, bool alt = false) {
  KeyPress k = Press(KeyPress::Kind::kChar, alt);
  k.text = utf8;
  return k;
}

class DialogKeys : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog.Create()); }
  RecordingDialog dialog;
  EditLines edits;
};

TEST_F(DialogKeys, ArrowsMoveThroughTheRadioGroupAsClicks) {
  ASSERT_EQ(dialog.GetFocus(), &dialog.Item(res::kJournalMethodRadio));
  EXPECT_EQ(HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kDown)), KeyOutcome::kAction);
  EXPECT_EQ(dialog.Item(res::kSavedReturnMethodRadio).GetCheck(), 1);
  EXPECT_EQ(dialog.Item(res::kJournalMethodRadio).GetCheck(), 0);
  EXPECT_EQ(dialog.GetFocus(), &dialog.Item(res::kSavedReturnMethodRadio));
  EXPECT_EQ(dialog.commands, std::vector<int>{res::kSavedReturnMethodRadio});
  // Down again goes round to the first button of the group (the help mark
  // after it starts a group of its own).
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kRight));
  EXPECT_EQ(dialog.Item(res::kJournalMethodRadio).GetCheck(), 1);
  // A disabled button is passed over: nothing to move to.
  dialog.Item(res::kSavedReturnMethodRadio).EnableWindow(false);
  EXPECT_EQ(HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kUp)), KeyOutcome::kShown);
  EXPECT_EQ(dialog.Item(res::kJournalMethodRadio).GetCheck(), 1);
}

TEST_F(DialogKeys, KeysReachTheDialogsOwnRulesWithTheirModifiers) {
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kF12, false, true));
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kEnter, true));
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kTab, false, true));
  ASSERT_EQ(dialog.keys.size(), 3u);
  EXPECT_EQ(dialog.keys[0].key, ui::Key::F12);
  EXPECT_TRUE(dialog.keys[0].shift);
  EXPECT_EQ(dialog.keys[1].key, ui::Key::Enter);
  EXPECT_TRUE(dialog.keys[1].alt);
  // Shift+Tab went on to the default handling: back from the first tab stop to the last.
  EXPECT_EQ(dialog.GetFocus(), &dialog.Item(res::kCancelButton));
  // Space on the focused button presses it.
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kSpace));
  EXPECT_EQ(dialog.commands.back(), res::kCancelButton);
}

TEST_F(DialogKeys, EditingAMonthEditTakesDigitsUpToItsLimit) {
  ui::Control& start = dialog.Item(res::kStartMonthEdit);
  start.SetText("4");
  start.SetFocus();
  start.SetSel(0, -1);
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("x")), KeyOutcome::kRefused);
  EXPECT_EQ(start.GetText(), "4");
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("1")), KeyOutcome::kAction);  // replaces the selection
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("0")), KeyOutcome::kAction);
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("2")), KeyOutcome::kRefused);
  EXPECT_EQ(start.GetText(), "10");
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kHome));
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kDelete));
  EXPECT_EQ(start.GetText(), "0");
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kSelectAll));
  EXPECT_EQ(start.SelStart(), 0);
  EXPECT_EQ(start.SelEnd(), 1);
  HandleDialogKey(dialog, edits, Press(KeyPress::Kind::kBackspace));
  EXPECT_EQ(start.GetText(), "");
  // Japanese typed into the path edit arrives in Shift_JIS.
  ui::Control& path = dialog.Item(res::kOutputPathEdit);
  path.SetFocus();
  HandleDialogKey(dialog, edits, Char(reinterpret_cast<const char*>(u8"税")));
  EXPECT_EQ(path.GetText(), "税");
  // A yen sign is the path separator; a character Shift_JIS lacks is refused
  // as such (the terminal names it), and the text stays as it was.
  // (Characters CP932 lacks stay out of the assertion macros, which quote
  // their arguments in narrow literals.)
  const KeyPress yen = Char(reinterpret_cast<const char*>(u8"¥"));
  const KeyPress euro = Char(reinterpret_cast<const char*>(u8"€"));
  EXPECT_EQ(HandleDialogKey(dialog, edits, yen), KeyOutcome::kAction);
  EXPECT_EQ(path.GetText(), "税\\");
  EXPECT_EQ(HandleDialogKey(dialog, edits, euro), KeyOutcome::kUnwritable);
  EXPECT_EQ(path.GetText(), "税\\");
}

TEST_F(DialogKeys, MnemonicsPressButtonsAndLabelsPassTheFocusOn) {
  // Every mnemonic of the README's key table. A label's goes to the control
  // after it in the template: each month label's to its own edit, drawn to
  // its left, with all its text selected.
  ui::Control& start = dialog.Item(res::kStartMonthEdit);
  ui::Control& end = dialog.Item(res::kEndMonthEdit);
  start.SetText("4");
  end.SetText("3");
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("s", true)), KeyOutcome::kAction);  // "月度(&S)"
  EXPECT_EQ(dialog.GetFocus(), &start);
  EXPECT_EQ(start.SelStart(), 0);
  EXPECT_EQ(start.SelEnd(), 1);
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("E", true)), KeyOutcome::kAction);  // "月度(&E)"
  EXPECT_EQ(dialog.GetFocus(), &end);
  EXPECT_EQ(end.SelEnd(), 1);
  HandleDialogKey(dialog, edits, Char("o", true));  // "出力先(&O)": the path edit, all of it selected
  ui::Control& path = dialog.Item(res::kOutputPathEdit);
  EXPECT_EQ(dialog.GetFocus(), &path);
  EXPECT_EQ(path.SelStart(), 0);
  HandleDialogKey(dialog, edits, Char("d", true));  // "参照(&D)...": pressed
  EXPECT_EQ(dialog.commands.back(), res::kBrowseButton);
  HandleDialogKey(dialog, edits, Char("p", true));  // the methods: clicked
  EXPECT_EQ(dialog.commands.back(), res::kSavedReturnMethodRadio);
  HandleDialogKey(dialog, edits, Char("n", true));
  EXPECT_EQ(dialog.commands.back(), res::kJournalMethodRadio);
  EXPECT_EQ(dialog.Item(res::kJournalMethodRadio).GetCheck(), 1);
  EXPECT_EQ(dialog.Item(res::kSavedReturnMethodRadio).GetCheck(), 0);
  // With the month edits disabled, their labels pass the focus on past them,
  // as the home platform's dialogs do: to the next control that can take it.
  start.EnableWindow(false);
  end.EnableWindow(false);
  HandleDialogKey(dialog, edits, Char("s", true));
  EXPECT_EQ(dialog.GetFocus(), &path);
  // Without Alt, a letter typed into an edit is text, not a mnemonic...
  path.SetFocus();
  HandleDialogKey(dialog, edits, Char("p"));
  EXPECT_EQ(path.GetText(), "p");
  EXPECT_EQ(dialog.Item(res::kSavedReturnMethodRadio).GetCheck(), 0);
  // ...and elsewhere the letter alone is the mnemonic.
  dialog.Item(res::kRunButton).SetFocus();
  HandleDialogKey(dialog, edits, Char("p"));
  EXPECT_EQ(dialog.Item(res::kSavedReturnMethodRadio).GetCheck(), 1);
  // A disabled button's mnemonic does nothing.
  dialog.Item(res::kBrowseButton).EnableWindow(false);
  const size_t before = dialog.commands.size();
  EXPECT_EQ(HandleDialogKey(dialog, edits, Char("d", true)), KeyOutcome::kRefused);
  EXPECT_EQ(dialog.commands.size(), before);
}

}  // namespace
