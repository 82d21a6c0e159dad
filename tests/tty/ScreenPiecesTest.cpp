// The pieces of the terminal backend that need no terminal: Shift_JIS text
// as cells, the edit line, the key table, the layout of the program's own
// dialog templates and how they paint.
#include <gtest/gtest.h>

#include <ncursesw/curses.h>

#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/tty/Canvas.h"
#include "platform/ui/tty/CellText.h"
#include "platform/ui/tty/DialogView.h"
#include "platform/ui/tty/EditLine.h"
#include "platform/ui/tty/KeyInput.h"
#include "platform/ui/tty/Layout.h"
#include "resources/Resources.h"

namespace {

using namespace platform::ui::tty;
namespace ui = platform::ui;

// Screen text is UTF-8; this file's narrow literals are Shift_JIS.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class Utf8Locale : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureUtf8Locale()); }
};

using CellTextTest = Utf8Locale;

TEST_F(CellTextTest, FullWidthCharactersTakeTwoColumnsAndMnemonicsAreMarked) {
  const GlyphRun run = ToGlyphs("参照(&D)...", true);
  EXPECT_EQ(ToUtf8(run), U8(u8"参照(D)..."));
  EXPECT_EQ(Width(run), 2 + 2 + 3 + 3);
  int marked = 0;
  for (const Glyph& g : run) marked += g.mnemonic;
  EXPECT_EQ(marked, 1);
  EXPECT_EQ(MnemonicOf("参照(&D)..."), 'D');
  EXPECT_EQ(MnemonicOf("月度(&s)"), 'S');
  EXPECT_EQ(MnemonicOf("A&&B"), 0);
  EXPECT_EQ(ToUtf8(ToGlyphs("A&&B", true)), "A&B");
  // Half-width katakana is one column; a lone lead byte shows as "?" and
  // the text after it still shows.
  EXPECT_EQ(Width(ToGlyphs("\xB1\xB2")), 2);
  EXPECT_EQ(ToUtf8(ToGlyphs(std::string("ab\x82", 3))), "ab?");
  // A trail byte equal to "\" belongs to its character ("ソ" is 83 5C).
  EXPECT_EQ(ToUtf8(ToGlyphs("ソ\\")), U8(u8"ソ\\"));
}

TEST_F(CellTextTest, FitAndWrapNeverSplitACharacter) {
  const GlyphRun run = ToGlyphs("消費税abc");
  EXPECT_EQ(Width(FitTo(run, 5)), 4);
  const auto lines = WrapLines(ToGlyphs("集計期間に誤りがあります。\n\n再設定"), 9);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(ToUtf8(lines[0]), U8(u8"集計期間"));
  // "。" never starts a line: the character before it comes down with it.
  EXPECT_EQ(ToUtf8(lines[2]), U8(u8"ありま"));
  EXPECT_EQ(ToUtf8(lines[3]), U8(u8"す。"));
  EXPECT_TRUE(lines[4].empty());
  EXPECT_EQ(ToUtf8(lines[5]), U8(u8"再設定"));
}

TEST(EditLineTest, TypingHonoursLimitDigitsAndWholeCharacters) {
  EditLine month("4", 2, true);
  EXPECT_FALSE(month.Type("a"));
  EXPECT_TRUE(month.Type("1"));
  EXPECT_FALSE(month.Type("2"));  // past the limit of two
  EXPECT_EQ(month.text(), "41");
  month.Sync("41", 0, 2);  // select all, as a focus move does
  EXPECT_TRUE(month.HasSelection());
  EXPECT_TRUE(month.Type("9"));  // replaces the selection
  EXPECT_EQ(month.text(), "9");

  EditLine path("C:\\機能\\a", 10, false);
  path.Left();
  EXPECT_TRUE(path.Backspace());  // the "\" before "a"
  EXPECT_TRUE(path.Backspace());  // all of "能", whose trail byte is 0x5C
  EXPECT_EQ(path.text(), "C:\\機a");
  path.Home();
  EXPECT_TRUE(path.Delete());
  EXPECT_EQ(path.text(), ":\\機a");
  EXPECT_FALSE(path.Type("一二三四"));  // 8 more bytes would pass 10: refused whole
  EXPECT_EQ(path.text(), ":\\機a");
  path.End();
  EXPECT_FALSE(path.Delete());
}

TEST(EditLineTest, ScrollKeepsTheCaretInView) {
  EditLine line(std::string(40, 'x'), 255, false);
  EXPECT_EQ(line.ScrollFor(10), 31u);
  line.Home();
  EXPECT_EQ(line.ScrollFor(10), 0u);
  // A program change that shortens the text pulls the caret back inside.
  line.End();
  line.Sync("ab", -1, 0);
  EXPECT_EQ(line.caret(), 2u);
}

TEST(KeyInputTest, ModifiersComeFromWhatTheTerminalReports) {
  using K = KeyPress::Kind;
  EXPECT_EQ(TranslateKey(KEY_F(12), true, false).kind, K::kF12);
  const KeyPress shiftF12 = TranslateKey(KEY_F(24), true, false);
  EXPECT_EQ(shiftF12.kind, K::kF12);
  EXPECT_TRUE(shiftF12.shift);
  EXPECT_TRUE(TranslateKey(KEY_F(36), true, false).ctrl);
  EXPECT_TRUE(TranslateKey(KEY_BTAB, true, false).shift);
  const KeyPress altEnter = TranslateKey('\r', false, true);
  EXPECT_EQ(altEnter.kind, K::kEnter);
  EXPECT_TRUE(altEnter.alt);
  const KeyPress kana = TranslateKey(0x3042, false, false);  // "あ"
  EXPECT_EQ(kana.kind, K::kChar);
  EXPECT_EQ(kana.text, U8(u8"あ"));
  EXPECT_EQ(TranslateKey(0x05, false, false).kind, K::kNone);  // an unbound control key does nothing
}

TEST(LayoutTest, BothDialogsFitAnEightyByTwentyFourTerminal) {
  for (int id : {resources::kConditionDialog, resources::kProgressDialog}) {
    const ui::DialogTemplate* t = resources::FindDialogTemplate(id);
    ASSERT_NE(t, nullptr);
    const Rect w = WindowCells(*t);
    EXPECT_LE(w.cols, 80) << id;
    EXPECT_LE(w.rows, 24) << id;
    // No two controls on one row overlap, and every control is inside the client area.
    for (size_t i = 0; i < t->controls.size(); ++i) {
      const Rect a = ControlCells(t->controls[i]);
      EXPECT_LE(a.right(), w.cols - 2) << id << "/" << t->controls[i].id;
      EXPECT_LE(a.bottom(), w.rows - 2) << id << "/" << t->controls[i].id;
      if (t->controls[i].kind == ui::ControlKind::GroupBox) continue;
      for (size_t j = i + 1; j < t->controls.size(); ++j) {
        if (t->controls[j].kind == ui::ControlKind::GroupBox) continue;
        const Rect b = ControlCells(t->controls[j]);
        const bool apart = a.right() <= b.col || b.right() <= a.col || a.bottom() <= b.row || b.bottom() <= a.row;
        EXPECT_TRUE(apart) << id << ": " << t->controls[i].id << " and " << t->controls[j].id;
      }
    }
  }
  // A smaller screen: the window starts at the top left and slides to keep a cell in view.
  const Origin o = PlaceWindow(24, 79, 20, 60, 22, 70);
  EXPECT_LE(o.row + 22, 19);
  EXPECT_LE(o.col + 70, 59);
  EXPECT_EQ(PlaceWindow(6, 68, 24, 80).row, 9);
}

// The conditions dialog as a person sees it, painted from the real template.
class PaintTest : public Utf8Locale {};

TEST_F(PaintTest, ConditionsDialogShowsEveryTextWhole) {
  ui::Dialog dialog(resources::FindDialogTemplate(resources::kConditionDialog));
  ASSERT_TRUE(dialog.Create());
  dialog.Item(resources::kCompanyText).SetText(" 北浜商事株式会社");
  dialog.Item(resources::kStartMonthEdit).SetText("4");
  dialog.Item(resources::kEndMonthEdit).SetText("12");
  dialog.Item(resources::kJournalMethodRadio).SetCheck(1);
  dialog.Item(resources::kEndMonthEdit).SetFocus();
  dialog.Item(resources::kEndMonthEdit).SetSel(0, -1);
  dialog.Item(resources::kRunButton).EnableWindow(false);

  Canvas canvas(24, 80);
  EditLines edits;
  const Rect size = DialogWindow(dialog);
  const PaintedDialog painted = PaintDialog(canvas, dialog, edits, PlaceWindow(size.rows, size.cols, 24, 80));
  std::string all;
  for (const std::string& line : canvas.Lines()) all += line + "\n";
  for (const char8_t* text : {u8"消費税 - 集計条件", u8"北浜商事株式会社", u8"(*) 集計期間を指定して仕訳を集計する(N)",
                              u8"( ) 連動元製品の[消費税申告書作成]で入力した値を使用する(P)", u8"[4   ]",
                              u8"月度(S)", u8"[12  ]", u8"参照(D)...", u8"キャンセル(Esc)", u8"出力先(O)"}) {
    EXPECT_NE(all.find(U8(text)), std::string::npos) << U8(text) << "\n" << all;
  }
  // The disabled run button lost its brackets; the focused edit has its
  // whole text selected and the cursor at its end.
  EXPECT_EQ(all.find(U8(u8"[   実行(F12)")), std::string::npos) << all;
  EXPECT_NE(all.find(U8(u8"実行(F12)")), std::string::npos);
  int selected = 0;
  for (int c = 0; c < 80; ++c) selected += (canvas.at(painted.cursorRow, c).attr & kReverse) != 0;
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(canvas.at(painted.cursorRow, painted.cursorCol - 2).glyph, "1");
  EXPECT_EQ(canvas.at(painted.cursorRow, painted.cursorCol - 1).glyph, "2");
}

TEST_F(PaintTest, NarrowScreenKeepsTheFocusedControlInView) {
  ui::Dialog dialog(resources::FindDialogTemplate(resources::kConditionDialog));
  ASSERT_TRUE(dialog.Create());
  dialog.Item(resources::kCancelButton).SetFocus();
  Canvas canvas(18, 50);
  EditLines edits;
  const Rect size = DialogWindow(dialog);
  int row = -1, col = -1;
  FocusCell(dialog, &row, &col);
  const PaintedDialog painted =
      PaintDialog(canvas, dialog, edits, PlaceWindow(size.rows, size.cols, canvas.rows(), canvas.cols(), row, col));
  ASSERT_GE(painted.cursorRow, 0);
  EXPECT_LT(painted.cursorRow, 18);
  // The text fills the button: its brackets stay whole (no focus mark is
  // drawn over one), and the reversed face shows the focus.
  const std::string line = canvas.Lines()[painted.cursorRow];
  EXPECT_NE(line.find(U8(u8"[キャンセル(Esc)")), std::string::npos) << line;
  EXPECT_EQ(line.find(">"), std::string::npos) << line;
  EXPECT_TRUE(canvas.at(painted.cursorRow, painted.cursorCol).attr & kReverse);
}

TEST_F(PaintTest, ProgressBarsFillInProportion) {
  ui::Dialog dialog(resources::FindDialogTemplate(resources::kProgressDialog));
  ASSERT_TRUE(dialog.Create());
  ui::Control& overall = dialog.Item(resources::kOverallBar);
  overall.SetRange(0, 1000);
  overall.SetPos(500);
  Canvas canvas(24, 80);
  EditLines edits;
  const PaintedDialog painted = PaintDialog(canvas, dialog, edits, Origin{0, 0});
  const std::string bar = canvas.Lines()[painted.window.row + 2];
  const size_t filled = std::count(bar.begin(), bar.end(), '#');
  const size_t empty = std::count(bar.begin(), bar.end(), '.');
  EXPECT_GT(filled, 0u);
  EXPECT_LE(filled > empty ? filled - empty : empty - filled, 1u) << bar;
  const std::string activity = canvas.Lines()[painted.window.row + 4];
  EXPECT_EQ(std::count(activity.begin(), activity.end(), '#'), 0) << activity;
}

TEST_F(PaintTest, CanvasNeverLeavesHalfAGlyph) {
  Canvas canvas(1, 6);
  canvas.Text(0, 0, ToGlyphs("消費税"), kNormal);
  canvas.Text(0, 1, ToGlyphs("x"), kNormal);  // over the right half of "消"
  EXPECT_EQ(canvas.Lines()[0], U8(u8" x費税"));
  canvas.Text(0, 4, ToGlyphs("消費"), kNormal, 0, 5);  // only "消" would fit, and not whole
  EXPECT_EQ(canvas.Lines()[0], U8(u8" x費  "));
}

}  // namespace
