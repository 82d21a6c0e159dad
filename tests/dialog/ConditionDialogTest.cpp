// The conditions dialog driven through the script backend, its transcript checked.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dialog/ConditionDialog.h"
#include "platform/ui/Backend.h"
#include "platform/ui/script/ScriptBackend.h"
#include "tests/dialog/FakeFileSystem.h"

namespace {

namespace ui = platform::ui;
using dialog::ConditionDialog;
using dialog::ConditionInputs;
using dialog::PeriodMonths;
using dialog::testing::FakeFileSystem;

// Transcript and script text is UTF-8, while narrow literals are Shift_JIS.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class FakeHost : public dialog::HostAccess {
 public:
  std::optional<PeriodMonths> PeriodMonthsOf(int32_t, int32_t) override { return months; }
  std::string AppFolderPath(int kind) override { return kind == 0 ? folder0 : folder1; }
  void InstallToolTip(ui::Dialog& dialog, int controlId, std::string_view text) override {
    dialog::SystemHostAccess().InstallToolTip(dialog, controlId, text);  // the host's own tip manager
  }
  std::optional<PeriodMonths> months = PeriodMonths{4, 3};
  std::string folder0 = "C:\\out\\";
  std::string folder1 = "C:\\Prog\\";
};

const char* kSettingsFile = "C:\\Prog\\taxbridge_plus.env";

class ConditionDialogTest : public ::testing::Test {
 protected:
  ConditionDialogTest() {
    fs.dirs.insert("C:\\Prog");
    fs.dirs.insert("C:\\out");
    in.taxationKind = 2;
    in.companyText = " 株式会社見本";
    in.periodText = " 2023/04/01～2024/03/31";
    in.filingCategoryText = " 原則課税";
    in.deductionLabel = "課税仕入控除";
    in.deductionValue = " 個別対応方式";
    in.returnStartMonth = 4;
    in.returnEndMonth = 3;
    in.selectedDataNo[0] = 3;
    in.selectedDataNo[1] = 12;
    in.periodStartDate = 20230401;
    in.periodEndDate = 20240331;
    in.returnValuesAvailable = 1;
    in.userId = "001";
  }
  ~ConditionDialogTest() override { ui::InstallBackend(nullptr); }

  int Run(const std::string& script) {
    std::ostringstream out;
    ui::script::ScriptBackend backend(script, out, "test script");
    ui::InstallBackend(&backend);
    dlg = std::make_unique<ConditionDialog>(nullptr, "taxbridge_plus.env", host, fs);
    dlg->SetInputs(in);
    const int result = dlg->DoModal();
    ui::InstallBackend(nullptr);
    transcript = out.str();
    EXPECT_EQ(backend.RemainingActions(), 0u) << transcript;
    return result;
  }

  // The line of control `id` in the block that follows the first line starting with `header`.
  std::string ControlIn(const std::string& header, int id) const {
    std::istringstream lines(transcript);
    std::string line;
    bool inBlock = false;
    const std::string prefix = "  " + std::to_string(id) + " ";
    while (std::getline(lines, line)) {
      if (line.rfind(header, 0) == 0) inBlock = true;
      else if (inBlock && line.rfind("  ", 0) != 0) break;
      else if (inBlock && line.rfind(prefix, 0) == 0) return line;
    }
    return "(no line for " + std::to_string(id) + " after " + header + ")";
  }
  std::string Shown(int id) const { return ControlIn("dialog 130 shown", id); }
  std::string Ended(int id) const { return ControlIn("dialog 130 ended", id); }
  bool Has(const std::string& text) const { return transcript.find(text) != std::string::npos; }
  size_t Count(const std::string& text) const {
    size_t n = 0;
    for (size_t p = transcript.find(text); p != std::string::npos; p = transcript.find(text, p + 1)) ++n;
    return n;
  }

  FakeHost host;
  FakeFileSystem fs;
  ConditionInputs in;
  std::unique_ptr<ConditionDialog> dlg;
  std::string transcript;
};

const std::string kCancelBox =
    U8(u8"messagebox owner=130 caption=\"消費税\" icon=information buttons=OK text=\"｢消費税｣の集計を中止します。\"");
const std::string kMonthBox = U8(
    u8"messagebox owner=130 caption=\"消費税\" icon=exclamation buttons=OK "
    u8"text=\"集計期間に誤りがあります。\\n\\n集計期間を設定しなおしてください。\"");

TEST_F(ConditionDialogTest, ExemptAndPastRecordDataAreRefusedWithoutAKeyPress) {
  in.deductionLabel.clear();
  in.deductionValue.clear();
  EXPECT_EQ(Run("answer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_TRUE(Has(U8(u8"icon=exclamation buttons=OK text=\"消費税申告区分が免税のデータは、連携の対象として使用できません。"
                     u8"\\n\\nアプリケーションを終了します。\""))) << transcript;
  EXPECT_FALSE(Has("dialog 130 shown"));
  EXPECT_TRUE(Has("dialog 130 ended 1006"));

  in.deductionLabel = "課税仕入控除";
  in.deductionValue = " 個別対応方式";
  in.pastRecord = 1;
  EXPECT_EQ(Run("answer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_TRUE(Has(U8(u8"text=\"過去実績データは、連携の対象として使用できません。\\n\\nアプリケーションを終了します。\"")))
      << transcript;
  EXPECT_FALSE(Has("dialog 130 shown"));
}

TEST_F(ConditionDialogTest, WithoutSettingsThePeriodsMonthsAndTheDefaultPathAreOffered) {
  EXPECT_EQ(Run("key Escape\nanswer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_EQ(Shown(1014), "  1014 edit \"4\" limit=2");
  EXPECT_EQ(Shown(1016), "  1016 edit \"3\" limit=2");
  EXPECT_EQ(Shown(1029), U8(u8"  1029 radio \"集計期間を指定して仕訳を集計する(&N)\" checked focus"));
  EXPECT_EQ(Shown(1008), "  1008 edit \"C:\\\\out\\\\*.xml\" limit=255");
  EXPECT_EQ(Shown(1010), U8(u8"  1010 static \" 株式会社見本\""));
  EXPECT_EQ(Shown(1003), U8(u8"  1003 static \"課税仕入控除\""));
  EXPECT_NE(Shown(1032).find(U8(u8"tip=\"連動元製品にて入力・保存した消費税申告書の情報を使用します。\\n")), std::string::npos);
  EXPECT_TRUE(Has(kCancelBox));
  EXPECT_TRUE(Has("dialog 130 ended 1006"));
}

TEST_F(ConditionDialogTest, DefaultPathFallsBackToTheTemporaryFolder) {
  host.folder0.clear();
  fs.temp = "C:\\Temp";
  in.taxationKind = 1;  // no tip outside general taxation
  EXPECT_EQ(Run("click 1006\nanswer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_EQ(Shown(1008), "  1008 edit \"C:\\\\Temp\\\\*.xml\" limit=255");
  EXPECT_EQ(Shown(1032), "  1032 bitmap \"\"");

  fs.temp = "C:\\" + std::string("機能");  // ends in the trail byte 0x5C: still gets its "\"
  EXPECT_EQ(Run("click 1006\nanswer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_EQ(Shown(1008), U8(u8"  1008 edit \"C:\\\\機能\\\\*.xml\" limit=255"));
}

TEST_F(ConditionDialogTest, SettingsOfTheSavedReturnMethodShowTheReturnMonths) {
  fs.files[kSettingsFile] = "1001/3/12:0/6/7/C:\\theirs.xml\n001/3/12:1/5/6/C:\\out\\mine.xml\n";
  in.returnStartMonth = 10;
  in.returnEndMonth = 12;
  EXPECT_EQ(Run("key Escape\nanswer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_EQ(Shown(1014), "  1014 edit \"10\" disabled limit=2");
  EXPECT_EQ(Shown(1016), "  1016 edit \"12\" disabled limit=2");
  EXPECT_EQ(Shown(1031), U8(u8"  1031 radio \"連動元製品の[消費税申告書作成]で入力した値を使用する(&P)\" checked focus"));
  EXPECT_EQ(Shown(1008), "  1008 edit \"C:\\\\out\\\\mine.xml\" limit=255");
  EXPECT_EQ(dlg->Chosen().method, 1);
}

TEST_F(ConditionDialogTest, JournalMonthsComeBackAfterSwitchingAndTypedMonthsAreDropped) {
  fs.files[kSettingsFile] = "001/3/12:1/5/6/C:\\out\\mine.xml\n";
  EXPECT_EQ(Run("click 1029\nkey Escape\nanswer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_EQ(Ended(1014), "  1014 edit \"4\" limit=2");
  EXPECT_EQ(Ended(1016), "  1016 edit \"3\" limit=2");

  fs.files.clear();
  EXPECT_EQ(Run("type 1014 \"6\"\ntype 1016 \"9\"\nclick 1031\nclick 1029\nkey Escape\nanswer OK\n"),
            ConditionDialog::kCancelResult);
  EXPECT_EQ(Ended(1014), "  1014 edit \"4\" limit=2");
  EXPECT_EQ(Ended(1016), "  1016 edit \"3\" limit=2");
  EXPECT_EQ(dlg->Chosen().method, 0);
}

TEST_F(ConditionDialogTest, WithoutReturnValuesBothMethodButtonsAreDisabled) {
  fs.files[kSettingsFile] = "001/3/12:1/5/6/C:\\out\\mine.xml\n";
  in.returnValuesAvailable = 0;
  EXPECT_EQ(Run("click 1031\nkey Escape\nanswer OK\n"), ConditionDialog::kCancelResult);
  EXPECT_EQ(Shown(1029), U8(u8"  1029 radio \"集計期間を指定して仕訳を集計する(&N)\" disabled checked"));
  EXPECT_EQ(Shown(1031), U8(u8"  1031 radio \"連動元製品の[消費税申告書作成]で入力した値を使用する(&P)\" disabled"));
  EXPECT_EQ(Shown(1014), "  1014 edit \"4\" limit=2");
  EXPECT_TRUE(Has("ignored 1031"));
  EXPECT_EQ(dlg->Chosen().method, 0);
}

TEST_F(ConditionDialogTest, FixedPathIsReturnedUnchangedAndEnterMovesToTheRunButton) {
  in.fixedOutputPath = "C:\\out\\fixed.xml";
  fs.files["C:\\out\\fixed.xml"] = "an earlier document";
  EXPECT_EQ(Run("click 1014\nkey Enter\nkey Enter\nkey Enter\n"), ConditionDialog::kRunResult);
  EXPECT_EQ(Shown(1008), "  1008 edit \"C:\\\\out\\\\fixed.xml\" disabled limit=255");
  EXPECT_EQ(Shown(1009), U8(u8"  1009 button \"参照(&D)...\" disabled"));
  EXPECT_EQ(Shown(1007), U8(u8"  1007 group \"出力先\""));
  EXPECT_EQ(Ended(1005), U8(u8"  1005 button \"実行(F12)\" focus"));
  EXPECT_FALSE(Has("messagebox"));  // no overwrite question for a fixed path
  EXPECT_EQ(dlg->Chosen().outputPath, "C:\\out\\fixed.xml");
  EXPECT_EQ(dlg->Chosen().startMonthText, "4");
  EXPECT_EQ(dlg->Chosen().endMonthText, "3");
}

TEST_F(ConditionDialogTest, EnterWalksThroughTheFieldsOnlyWithoutModifiers) {
  EXPECT_EQ(Run("click 1014\nkey Shift+Enter\nkey Enter\nkey Enter\nkey Enter\nkey Enter\nsave cancel\nkey Escape\nanswer OK\n"),
            ConditionDialog::kCancelResult);
  EXPECT_TRUE(Has("savefile"));
  // Start edit -> (Shift+Enter ignored) end edit -> path edit -> browse button -> browse, then the run button.
  EXPECT_EQ(Ended(1005), U8(u8"  1005 button \"実行(F12)\" focus"));
}

TEST_F(ConditionDialogTest, RefusedMonthsFocusTheirEditWithItsTextSelected) {
  EXPECT_EQ(Run("type 1014 \"3\"\ntype 1016 \"4\"\nkey F12\nanswer OK\nkey Escape\nanswer OK\n"),
            ConditionDialog::kCancelResult);
  EXPECT_TRUE(Has(kMonthBox)) << transcript;
  EXPECT_EQ(Ended(1016), "  1016 edit \"4\" focus sel=0..1 limit=2");

  EXPECT_EQ(Run("type 1014 \"13\"\nkey Shift+F12\nclick 1005\nanswer OK\nkey Escape\nanswer OK\n"),
            ConditionDialog::kCancelResult);
  EXPECT_EQ(Count("text=\"" + U8(u8"集計期間に誤り")), 1u);  // Shift+F12 does not run
  EXPECT_EQ(Ended(1014), "  1014 edit \"13\" focus sel=0..2 limit=2");
}

TEST_F(ConditionDialogTest, DefaultPathIsRefusedUntilAFileIsNamed) {
  EXPECT_EQ(Run("key F12\nanswer OK\ntype 1008 \"C:\\\\out\\\\tax.xml\"\nkey F12\n"), ConditionDialog::kRunResult);
  EXPECT_TRUE(Has(U8(u8"text=\"データの出力先に不正な文字が含まれています。\\n\\n出力先を再入力してください。\"")));
  EXPECT_EQ(Count("messagebox"), 1u);
  EXPECT_EQ(dlg->Chosen().outputPath, "C:\\out\\tax.xml");
  EXPECT_EQ(dlg->Chosen().method, 0);
}

TEST_F(ConditionDialogTest, RefusedPathFocusesThePathEditWithAllTextSelected) {
  EXPECT_EQ(Run("type 1008 \"C:\\\\out\\\\\"\nclick 1005\nanswer OK\nkey Escape\nanswer OK\n"),
            ConditionDialog::kCancelResult);
  EXPECT_TRUE(Has(U8(u8"icon=exclamation buttons=OK text=\"ファイル名が指定されていません。\"")));
  EXPECT_EQ(Ended(1008), "  1008 edit \"C:\\\\out\\\\\" focus sel=0..7 limit=255");
}

TEST_F(ConditionDialogTest, MissingFolderAndExistingFileAskFirst) {
  fs.files["C:\\out\\old.xml"] = "x";
  EXPECT_EQ(Run("type 1008 \"C:\\\\out\\\\new\\\\a.xml\"\nkey F12\nanswer No\n"
                "key F12\nanswer Yes\n"),
            ConditionDialog::kRunResult);
  EXPECT_EQ(Count(U8(u8"icon=question buttons=Yes/No text=\"指定されたフォルダは存在しません。")), 2u);
  EXPECT_TRUE(fs.PathIsFolder("C:\\out\\new"));

  EXPECT_EQ(Run("type 1008 \"C:\\\\out\\\\old.xml\"\nkey F12\nanswer No\nkey F12\nanswer Yes\n"),
            ConditionDialog::kRunResult);
  EXPECT_EQ(Count(U8(u8"icon=question buttons=Yes/No text=\"同名のファイルが存在します。\\n\\n上書きしてもよろしいですか？\"")),
            2u);
}

TEST_F(ConditionDialogTest, BrowseSplitsThePathAndTakesTheChosenFile) {
  EXPECT_EQ(Run("type 1008 \"C:\\\\out\\\\tax.xml\"\nclick 1009\nsave \"C:\\\\out\\\\picked\"\nkey Enter\n"),
            ConditionDialog::kRunResult);
  EXPECT_TRUE(Has(U8(u8"savefile owner=130 title=\"保存ファイルを指定\" ext=\"XML\" name=\"tax.xml\" folder=\"C:\\\\out\\\\\" "
                     u8"filter=\"Xml Files (*.xml)|*.xml||\" flags=HideReadOnly|NoChangeDir|PathMustExist|FileMustExist")))
      << transcript;
  EXPECT_EQ(dlg->Chosen().outputPath, "C:\\out\\picked.XML");
}

TEST_F(ConditionDialogTest, StoredSettingsComeBackAndAFixedRunKeepsTheStoredPath) {
  fs.files[kSettingsFile] = "1001/3/12:0/6/7/C:\\theirs.xml\n001/3/12:0/5/6/C:\\out\\mine.xml\n";
  in.fixedOutputPath = "C:\\out\\fixed.xml";
  EXPECT_EQ(Run("key F12\n"), ConditionDialog::kRunResult);
  EXPECT_EQ(dlg->Chosen().startMonthText, "5");
  EXPECT_EQ(dlg->Chosen().outputPath, "C:\\out\\fixed.xml");
  ASSERT_TRUE(dlg->StoreSettings(5, 6, std::nullopt, 0));
  EXPECT_EQ(fs.files[kSettingsFile], "1001/3/12:0/6/7/C:\\theirs.xml\n001/3/12:0/5/6/C:\\out\\mine.xml\n");
  ASSERT_TRUE(dlg->StoreSettings(4, 9, std::string_view("C:\\out\\b.xml"), 1));
  EXPECT_EQ(fs.files[kSettingsFile], "1001/3/12:0/6/7/C:\\theirs.xml\n001/3/12:1/4/9/C:\\out\\b.xml\n");
}

}  // namespace
