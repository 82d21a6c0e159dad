// A modal dialog on template 130 driven by scripts: data exchange, handlers,
// key pre-translation, default key handling and the transcript.
#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ShowMessage.h"
#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"

namespace {

namespace ui = platform::ui;
using uitest::U8;
using namespace resources;

// A small dialog that uses the framework the way the conditions dialog does.
class MonthsDialog : public ui::Dialog {
 public:
  MonthsDialog() : Dialog(FindDialogTemplate(kConditionDialog)) {}
  std::string start = "4", end = "3", path = "C:\\out\\*.xml", company = " 株式会社テスト";
  int method = 0;
  bool disableBrowse = false;
  int browseCount = 0;

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    if (disableBrowse) Item(kBrowseButton).EnableWindow(false);
    Item(kJournalMethodRadio).SetFocus();
    return false;
  }
  void DoDataExchange(ui::DataExchange& dx) override {
    dx.Text(kCompanyText, company);
    dx.Text(kStartMonthEdit, start);
    dx.MaxChars(kStartMonthEdit, 2);
    dx.Text(kEndMonthEdit, end);
    dx.MaxChars(kEndMonthEdit, 2);
    dx.Text(kOutputPathEdit, path);
    dx.Radio(kJournalMethodRadio, method);
  }
  void OnCommand(int id) override {
    if (id == kRunButton) Run();
    if (id == kCancelButton) OnCancel();
    if (id == kBrowseButton) {
      ++browseCount;
      ui::SaveFileDialogOptions o;
      o.owner = this;
      o.defaultExtension = "XML";
      o.initialName = "*.xml";
      o.initialFolder = "C:\\out\\";
      o.title = "保存ファイルを指定";
      o.filter = "Xml Files (*.xml)|*.xml||";
      o.flags = ui::kOfnHideReadOnly | ui::kOfnNoChangeDir;
      if (auto chosen = ui::RunSaveFileDialog(o)) {
        path = *chosen;
        Item(kOutputPathEdit).SetText(path);
      }
      Item(kRunButton).SetFocus();
    }
  }
  bool PreTranslateKeyDown(const ui::KeyEvent& key) override {
    if (key.AnyModifier()) return false;
    ui::Control* focus = GetFocus();
    if (key.key == ui::Key::F12) {
      Run();
      return true;
    }
    if (key.key == ui::Key::Enter && focus && focus->id() == kStartMonthEdit) {
      Item(kEndMonthEdit).SetFocus();
      Item(kEndMonthEdit).SetSel(0, -1);
      return true;
    }
    return false;
  }
  void OnCancel() override {
    ui::ShowMessage(this, "｢消費税｣の集計を中止します。", "消費税", ui::kMbIconInformation);
    EndDialog(kCancelButton);
  }

 private:
  void Run() {
    UpdateData(true);
    EndDialog(kRunButton);
  }
};

TEST(ModalDialog, ScriptedRunReadsBackTypedValuesAndRecordsTheDialog) {
  uitest::ScriptedUser user(
      "# months, then the method, then run\n"
      "type 1014 \"10\"\n"
      "key Enter\n"
      "type 1016 \"12\"\n"
      "click 1031\n"
      "key F12\n");
  MonthsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kRunButton);
  EXPECT_EQ(dialog.start, "10");
  EXPECT_EQ(dialog.end, "12");
  EXPECT_EQ(dialog.method, 1);
  EXPECT_EQ(user.Remaining(), 0u);

  const auto lines = user.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], U8(u8"dialog 130 shown \"消費税 - 集計条件\" modal owner=none"));
  const std::string t = user.Transcript();
  // Shown: the fields went to the controls, the first radio is checked and focused.
  EXPECT_NE(t.find(U8(u8"  1010 static \" 株式会社テスト\"\n")), std::string::npos);
  EXPECT_NE(t.find("  1014 edit \"4\" limit=2\n"), std::string::npos);
  EXPECT_NE(t.find(U8(u8"  1029 radio \"集計期間を指定して仕訳を集計する(&N)\" checked focus\n")), std::string::npos);
  EXPECT_NE(t.find(U8(u8"  -1 static \"：\"\n")), std::string::npos);
  // Enter in the start month moved the focus and selected the end month's text.
  EXPECT_NE(t.find("input key Enter\n"), std::string::npos);
  // Ended: the state at the end, with the second radio checked and focused.
  const size_t ended = t.find("dialog 130 ended 1005\n");
  ASSERT_NE(ended, std::string::npos);
  const std::string after = t.substr(ended);
  EXPECT_NE(after.find("  1014 edit \"10\" limit=2\n"), std::string::npos);
  EXPECT_NE(after.find("  1016 edit \"12\" limit=2\n"), std::string::npos);
  EXPECT_NE(after.find(U8(u8"  1029 radio \"集計期間を指定して仕訳を集計する(&N)\"\n")), std::string::npos);
  EXPECT_NE(after.find("checked focus\n"), std::string::npos);
}

TEST(ModalDialog, EnterMovesFocusAndSelectsAllThenTypingReplacesIt) {
  uitest::ScriptedUser user("type 1014 \"7\"\nkey Enter\nkey Escape\nanswer OK\n");
  MonthsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kCancelButton);
  const std::string t = user.Transcript();
  const std::string ended = t.substr(t.find("dialog 130 ended 1006"));
  EXPECT_NE(ended.find("  1016 edit \"3\" focus sel=0..1 limit=2\n"), std::string::npos) << t;
  // The cancel box came before the end, owned by the dialog.
  EXPECT_NE(t.find(U8(u8"messagebox owner=130 caption=\"消費税\" icon=information buttons=OK "
                   u8"text=\"｢消費税｣の集計を中止します。\"\nanswer OK\ndialog 130 ended 1006")),
            std::string::npos)
      << t;
}

TEST(ModalDialog, NumericEditsRefuseLettersAndKeepToTheirLimit) {
  uitest::ScriptedUser user(U8(u8"type 1014 \"1a2b3\"\ntype 1008 \"C:\\\\データ\\\\x.xml\"\nkey F12\n"));
  MonthsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kRunButton);
  EXPECT_EQ(dialog.start, "12");  // letters refused, then cut to 2 characters
  EXPECT_EQ(dialog.path, "C:\\データ\\x.xml");
}

// A yen sign typed is the path separator, in an edit and in the save-file
// dialog alike; the transcript shows what the program got.
TEST(ModalDialog, TypedYenSignsArePathSeparators) {
  uitest::ScriptedUser user(U8(u8"type 1008 \"C:¥データ¥x.xml\"\nkey F12\n"));
  MonthsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kRunButton);
  EXPECT_EQ(dialog.path, "C:\\データ\\x.xml");
  uitest::ScriptedUser saver(U8(u8"save \"Z:¥tmp¥a.xml\"\n"));
  ui::SaveFileDialogOptions o;
  EXPECT_EQ(ui::RunSaveFileDialog(o), std::optional<std::string>("Z:\\tmp\\a.xml"));
}

TEST(ModalDialog, DisabledControlsIgnoreTheUserAndTabSkipsThem) {
  uitest::ScriptedUser user(
      "click 1009\n"    // disabled: nothing happens
      "key Tab\n"       // 1029 -> 1031
      "key Tab\n"       // -> 1005
      "key Shift+Tab\n" // back to 1031
      "key Tab\n"
      "key Enter\n");   // Enter on the focused run button clicks it
  MonthsDialog dialog;
  dialog.disableBrowse = true;
  EXPECT_EQ(dialog.DoModal(), kRunButton);
  EXPECT_EQ(dialog.browseCount, 0);
  const std::string t = user.Transcript();
  EXPECT_NE(t.find("input click 1009\nignored 1009 (disabled or hidden)\n"), std::string::npos) << t;
  EXPECT_NE(t.find(U8(u8"  1005 button \"実行(F12)\" focus\n")), std::string::npos) << t;
}

TEST(ModalDialog, EnterWithoutADefaultButtonDoesNotEndTheDialog) {
  // Enter on a radio button: the template names no default button, so the
  // dialog stays open until its own handlers end it.
  uitest::ScriptedUser user("key Enter\nkey Escape\nanswer OK\n");
  MonthsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kCancelButton);
  EXPECT_EQ(user.Remaining(), 0u);
}

TEST(ModalDialog, SaveFileDialogAddsTheDefaultExtensionAndCancelKeepsThePath) {
  uitest::ScriptedUser user(
      "click 1009\nsave \"C:\\\\out\\\\tax\"\n"
      "click 1009\nsave cancel\n"
      "key F12\n");
  MonthsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), kRunButton);
  EXPECT_EQ(dialog.path, "C:\\out\\tax.XML");
  EXPECT_EQ(dialog.browseCount, 2);
  const auto boxes = user.LinesStarting("savefile ");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0],
            U8(u8"savefile owner=130 title=\"保存ファイルを指定\" ext=\"XML\" name=\"*.xml\" folder=\"C:\\\\out\\\\\" "
               u8"filter=\"Xml Files (*.xml)|*.xml||\" flags=HideReadOnly|NoChangeDir"));
  EXPECT_EQ(user.LinesStarting("save ")[1], "save cancel");
}

TEST(ModalDialog, EndedDuringInitialisationIsNeverShown) {
  class Refusing : public MonthsDialog {
    bool OnInitDialog() override {
      ui::ShowMessage(this, "過去実績データは、連携の対象として使用できません。", "消費税", ui::kMbIconExclamation);
      EndDialog(kCancelButton);
      start = "9";  // the rest of the initialisation still runs
      return MonthsDialog::OnInitDialog();
    }
  };
  uitest::ScriptedUser user("answer OK\n");
  Refusing dialog;
  EXPECT_EQ(dialog.DoModal(), kCancelButton);
  EXPECT_TRUE(user.LinesStarting("dialog 130 shown").empty());
  EXPECT_EQ(user.LinesStarting("dialog 130 ended"), std::vector<std::string>{"dialog 130 ended 1006"});
  EXPECT_NE(user.Transcript().find("  1014 edit \"9\" limit=2\n"), std::string::npos);
}

TEST(ModalDialog, MissingTemplateFailsWithoutShowingAnything) {
  uitest::ScriptedUser user("");
  ui::Dialog dialog(FindDialogTemplate(999));
  EXPECT_EQ(dialog.DoModal(), ui::kDialogFailed);
  EXPECT_EQ(user.Transcript(), "");
}

TEST(Resources, TemplatesCarryTheirControlsAndTheStringTable) {
  const ui::DialogTemplate* c = FindDialogTemplate(kConditionDialog);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(std::string(c->caption), "消費税 - 集計条件");
  EXPECT_EQ(c->cx, 255);
  EXPECT_EQ(c->cy, 228);
  EXPECT_EQ(std::string(c->fontName), "ＭＳ Ｐゴシック");
  int tabStops = 0;
  for (const auto& ctl : c->controls) {
    if (ctl.style & ui::kWsTabStop) ++tabStops;
  }
  EXPECT_EQ(tabStops, 4);  // the two radios, run and cancel
  const ui::DialogTemplate* p = FindDialogTemplate(kProgressDialog);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->style & ui::kWsSysMenu, 0u);  // no close box
  EXPECT_NE(p->style & ui::kDsSysModal, 0u);
  EXPECT_EQ(std::string(LoadResourceString(kVersionString)), "20.00.00");
  EXPECT_EQ(LoadResourceString(2), nullptr);
}

}  // namespace
