// Message-box answers and the ways a script ends the run: running out,
// naming a control the dialog lacks, a button the box does not have, or the
// wrong kind of line. Each error ends the process with status 2.
#include <gmock/gmock.h>
#include <fstream>
#include <iterator>
#include <gtest/gtest.h>

#include "platform/ui/Dialog.h"
#include "platform/ui/ShowMessage.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/UiTestSupport.h"

namespace {

namespace ui = platform::ui;
using testing::ExitedWithCode;
using uitest::U8;

TEST(MessageBoxAnswers, EachBoxTakesTheNextAnswerAndRecordsIt) {
  uitest::ScriptedUser user("answer Yes\nanswer No\nanswer OK\n");
  EXPECT_EQ(ui::ShowMessage(nullptr, "システム情報の出力に失敗しました。\n\n出力を続けますか？", "消費税",
                            ui::kMbYesNo | ui::kMbIconExclamation),
            ui::kIdBoxYes);
  EXPECT_EQ(ui::ShowMessage(nullptr, "q", "消費税", ui::kMbYesNo | ui::kMbIconQuestion), ui::kIdBoxNo);
  EXPECT_EQ(ui::ShowMessage(nullptr, "done", "消費税", ui::kMbOk | ui::kMbIconInformation), ui::kIdBoxOk);
  const auto lines = user.Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], U8(u8"messagebox owner=none caption=\"消費税\" icon=exclamation buttons=Yes/No "
                         u8"text=\"システム情報の出力に失敗しました。\\n\\n出力を続けますか？\""));
  EXPECT_EQ(lines[1], "answer Yes");
  EXPECT_EQ(lines[3], "answer No");
  EXPECT_THAT(lines[4], testing::HasSubstr("icon=information buttons=OK"));
}

TEST(MessageBoxAnswers, TextsThatAreNotShiftJisAreShownByteForByte) {
  uitest::ScriptedUser user("answer OK\n");
  ui::ShowMessage(nullptr, std::string("a\x81") + "\"\\\t", "c", ui::kMbOk);  // a lone lead byte
  EXPECT_EQ(user.Lines()[0], "messagebox owner=none caption=\"c\" icon=none buttons=OK text=\"a\\x81\\\"\\\\\\t\"");
}

TEST(MessageBoxAnswers, OwnerIsNamed) {
  uitest::ScriptedUser user("answer OK\n");
  ui::Dialog progress(resources::FindDialogTemplate(resources::kProgressDialog));
  ASSERT_TRUE(progress.Create());
  ui::ShowMessage(&progress, "x", "消費税", ui::kMbOk);
  EXPECT_THAT(user.Lines()[0], testing::StartsWith("messagebox owner=131 "));
}

using ScriptErrorDeathTest = testing::Test;

TEST(ScriptErrorDeathTest, RunningOutOfAnswersEndsTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("answer OK\n");
        ui::ShowMessage(nullptr, "one", "c", ui::kMbOk);
        ui::ShowMessage(nullptr, "two", "c", ui::kMbOk);
      },
      ExitedWithCode(2), "ran out of answers.*two");
}

TEST(ScriptErrorDeathTest, RunningOutOfActionsInADialogEndsTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("type 1014 \"4\"\n");
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "ran out of actions while dialog 130 waits");
}

TEST(ScriptErrorDeathTest, UnknownControlEndsTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("\n# comment\nclick 4242\n");
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "line 3: dialog 130 has no control 4242");
}

TEST(ScriptErrorDeathTest, TypingIntoALabelEndsTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("type 1010 \"x\"\n");
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "control 1010 of dialog 130 is not an edit box");
}

TEST(ScriptErrorDeathTest, AButtonTheBoxLacksEndsTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("answer Yes\n");
        ui::ShowMessage(nullptr, "x", "c", ui::kMbOk | ui::kMbIconExclamation);
      },
      ExitedWithCode(2), "has no button \"Yes\" \\(it has OK\\)");
}

TEST(ScriptErrorDeathTest, AnActionWhereAnAnswerIsDueEndsTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("click 1005\n");
        ui::ShowMessage(nullptr, "x", "c", ui::kMbYesNo);
      },
      ExitedWithCode(2), "is not an answer");
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("answer OK\n");
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "no box is open");
}

TEST(ScriptErrorDeathTest, BadLinesEndTheRun) {
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("key Hyper+Enter\n");
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "unknown key");
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("press 1005\n");
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "unknown action \"press\"");
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user("save C:\\x.xml\n");
        ui::SaveFileDialogOptions o;
        ui::RunSaveFileDialog(o);
      },
      ExitedWithCode(2), "needs a quoted path");
  // A character without a Shift_JIS form (the yen sign has one: "\\").
  const std::string euro = U8(u8"type 1008 \"C:¥report€.xml\"\n");
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user(euro);
        ui::Dialog d(resources::FindDialogTemplate(resources::kConditionDialog));
        d.DoModal();
      },
      ExitedWithCode(2), "line 1: the text cannot be written in Shift_JIS");
  const std::string umlaut = U8(u8"save \"C:\\M\u00FCller.xml\"\n");
  EXPECT_EXIT(
      {
        uitest::ScriptedUser user(umlaut);
        ui::SaveFileDialogOptions o;
        ui::RunSaveFileDialog(o);
      },
      ExitedWithCode(2), "the path cannot be written in Shift_JIS");
}

TEST(ScriptErrorDeathTest, ErrorIsWrittenToTheTranscriptToo) {
  // The transcript of the dying process is not visible here, so check the
  // line through a transcript file.
  const std::string path = testing::TempDir() + "ui_error_transcript.txt";
  const std::string empty = testing::TempDir() + "ui_error_script.txt";
  std::remove(path.c_str());
  std::ofstream{empty, std::ios::trunc};
  EXPECT_EXIT(
      {
        test_support::SetVariable("TAXBRIDGE_SCRIPT", empty);
        test_support::SetVariable("TAXBRIDGE_TRANSCRIPT", path);
        std::string error;
        auto backend = ui::script::ScriptBackend::FromEnvironment(&error);
        if (!backend) std::exit(9);
        ui::InstallBackend(backend.get());
        ui::ShowMessage(nullptr, "x", "c", ui::kMbOk);
      },
      ExitedWithCode(2), "");
  std::ifstream in(path);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_THAT(all, testing::HasSubstr("messagebox owner=none caption=\"c\""));
  EXPECT_THAT(all, testing::HasSubstr("\nerror the script ran out of answers"));
}

TEST(NoUserInterfaceDeathTest, WithoutABackendABoxStopsTheProgram) {
  EXPECT_EXIT(ui::ShowMessage(nullptr, "x", "c", ui::kMbOk), ExitedWithCode(2), "no user interface is available");
}

}  // namespace
