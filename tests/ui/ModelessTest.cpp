// The modeless progress window: created hidden, shown, its caption changes in
// the transcript once per change, progress bars, end and destroy.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/ui/Cursor.h"
#include "platform/ui/Dialog.h"
#include "resources/Resources.h"
#include "tests/ui/UiTestSupport.h"

namespace {

namespace ui = platform::ui;
using uitest::U8;

// Drives the window the way the aggregation does: blocks of steps, a caption
// at every tenth step, an activity sweep per step.
class Progress : public ui::Dialog {
 public:
  Progress() : Dialog(resources::FindDialogTemplate(resources::kProgressDialog)) {}
  ui::ProgressBar overall, activity;

  void Advance(int start, int end) {
    for (int i = start; i <= end; ++i) {
      if (i % 10 == 0) {
        char caption[32];
        std::snprintf(caption, sizeof caption, "集計中 %d％", i / 10);
        SetText(caption);
      }
      overall.StepIt();
      activity.SetRange(0, 10);
      activity.SetStep(1);
      activity.SetPos(0);
      for (int k = 0; k < 11; ++k) {
        activity.StepIt();
        BringWindowToTop();
        SetForegroundWindow();
        UpdateWindow();
      }
      UpdateWindow();
    }
  }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override {
    dx.Control(resources::kActivityBar, activity);
    dx.Control(resources::kOverallBar, overall);
  }
};

TEST(ProgressWindow, CaptionsAppearOncePerChangeInOrder) {
  uitest::ScriptedUser user("");
  Progress p;
  ASSERT_TRUE(p.Create());
  EXPECT_FALSE(p.IsWindowVisible());
  p.SetText("hidden caption");  // not shown yet: nothing to record
  p.SetText("集計中");
  p.ShowWindow(true);
  ui::BeginWaitCursor();
  p.overall.SetRange(0, 1000);
  p.overall.SetStep(1);
  p.overall.SetPos(0);
  p.Advance(0, 250);
  p.Advance(250, 500);
  p.Advance(500, 750);
  p.Advance(750, 1000);
  p.EndDialog(1);
  ui::EndWaitCursor();
  EXPECT_FALSE(p.IsWindowVisible());

  const auto captions = user.LinesStarting("caption ");
  ASSERT_EQ(captions.size(), 101u);  // 0 % .. 100 %, each once
  EXPECT_EQ(captions.front(), U8(u8"caption 131 \"集計中 0％\""));
  EXPECT_EQ(captions[25], U8(u8"caption 131 \"集計中 25％\""));
  EXPECT_EQ(captions.back(), U8(u8"caption 131 \"集計中 100％\""));
  const auto lines = user.Lines();
  EXPECT_EQ(lines[0], U8(u8"dialog 131 shown \"集計中\" modeless owner=none"));
  EXPECT_EQ(lines[1], "  1019 progress pos=0 range=0..100 step=10");
  EXPECT_EQ(lines[3], "cursor wait");
  const auto ended = std::find(lines.begin(), lines.end(), "dialog 131 ended 1");
  ASSERT_NE(ended, lines.end());
  // 1004 steps over 0..1000 wrap past the maximum: (1004 - 0) % 1000.
  EXPECT_EQ(*(ended + 1), "  1019 progress pos=4 range=0..1000 step=1");
  EXPECT_EQ(*(ended + 2), "  1024 progress pos=1 range=0..10 step=1");
  EXPECT_EQ(lines.back(), "cursor normal");
}

TEST(ProgressWindow, WholeTranscriptOfAShortRun) {
  uitest::ScriptedUser user("");
  Progress p;
  ASSERT_TRUE(p.Create());
  p.overall.SetRange(0, 1000);
  p.overall.SetStep(1);
  p.ShowWindow(true);
  p.SetText("a");
  p.UpdateWindow();
  p.SetText("a");
  p.overall.StepIt();
  p.SetText("b");
  p.EndDialog(1);
  p.DestroyWindow();
  EXPECT_EQ(user.Transcript(), U8(u8"dialog 131 shown \"集計中\" modeless owner=none\n"
                                  u8"  1019 progress pos=0 range=0..1000 step=1\n"
                                  u8"  1024 progress pos=0 range=0..100 step=10\n"
                                  u8"caption 131 \"a\"\n"
                                  u8"caption 131 \"b\"\n"
                                  u8"dialog 131 ended 1\n"
                                  u8"  1019 progress pos=1 range=0..1000 step=1\n"
                                  u8"  1024 progress pos=0 range=0..100 step=10\n"));
}

TEST(ProgressWindow, BarsStepSetAndWrapLikeTheHomePlatform) {
  uitest::ScriptedUser user("");
  Progress p;
  ASSERT_TRUE(p.Create());
  p.activity.SetRange(0, 10);
  p.activity.SetStep(1);
  EXPECT_EQ(p.activity.SetPos(25), 0);
  EXPECT_EQ(p.activity.GetPos(), 10);  // clamped to the range
  EXPECT_EQ(p.activity.StepIt(), 10);
  EXPECT_EQ(p.activity.GetPos(), 1);  // past the maximum: starts over
  p.activity.SetRange(0, 5);
  p.activity.SetPos(3);
  p.activity.SetRange(0, 2);
  EXPECT_EQ(p.activity.GetPos(), 2);  // a narrower range keeps the position inside
}

TEST(ProgressWindow, CallsAfterTheWindowIsGoneChangeNothing) {
  uitest::ScriptedUser user("");
  ui::ProgressBar unbound;
  unbound.StepIt();  // never bound: goes to no window
  EXPECT_EQ(unbound.GetPos(), 0);

  Progress p;
  ASSERT_TRUE(p.Create());
  p.ShowWindow(true);
  p.overall.SetRange(0, 1000);
  p.DestroyWindow();
  EXPECT_FALSE(p.IsCreated());
  p.overall.SetPos(500);
  p.SetText("集計中 50％");
  EXPECT_EQ(p.overall.GetPos(), 0);
  EXPECT_TRUE(user.LinesStarting("caption").empty());
  // Destroyed while shown: it ends in the transcript, once.
  EXPECT_EQ(user.LinesStarting("dialog 131 ended").size(), 1u);
}

TEST(WaitCursor, NestsAndShowsOnlyTheOuterChanges) {
  uitest::ScriptedUser user("");
  ui::BeginWaitCursor();
  ui::BeginWaitCursor();
  ui::RestoreWaitCursor();
  EXPECT_TRUE(ui::IsWaitCursorShown());
  ui::EndWaitCursor();
  EXPECT_TRUE(ui::IsWaitCursorShown());
  ui::EndWaitCursor();
  ui::EndWaitCursor();  // one too many: no effect
  EXPECT_FALSE(ui::IsWaitCursorShown());
  EXPECT_EQ(user.Lines(), (std::vector<std::string>{"cursor wait", "cursor normal"}));
}

TEST(ToolTips, AttachedTextIsShownAndKept) {
  uitest::ScriptedUser user("key Escape\n");
  class WithTip : public ui::Dialog {
   public:
    WithTip() : Dialog(resources::FindDialogTemplate(resources::kConditionDialog)) {}
    bool OnInitDialog() override {
      Item(resources::kHelpMark).SetToolTip("連動元製品にて入力・保存した消費税申告書の情報を使用します。\n");
      return Dialog::OnInitDialog();
    }
  } d;
  EXPECT_EQ(d.DoModal(), ui::kIdCancel);
  EXPECT_EQ(user.Lines()[0], U8(u8"tooltip 130/1032 \"連動元製品にて入力・保存した消費税申告書の情報を使用します。\\n\""));
  EXPECT_THAT(user.Transcript(), testing::HasSubstr(U8(u8"  1032 bitmap \"\" tip=\"連動元製品")));
}

}  // namespace
