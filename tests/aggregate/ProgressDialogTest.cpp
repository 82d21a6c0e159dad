// The progress window through the unattended backend: caption sequence, bar
// movements and the calls that keep the window in front.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "aggregate/ProgressDialog.h"
#include "platform/ui/Backend.h"
#include "platform/ui/script/ScriptBackend.h"

using aggregate::ProgressDialog;

namespace {

// Records every caption and counts the window calls the passes rely on.
class RecordingProgress : public ProgressDialog {
 public:
  void SetText(std::string_view text) override {
    captions.emplace_back(text);
    ProgressDialog::SetText(text);
  }
  void BringWindowToTop() override { ++toTop; }
  bool SetForegroundWindow() override {
    ++foreground;
    return ProgressDialog::SetForegroundWindow();
  }
  void UpdateWindow() override { ++repaints; }

  std::vector<std::string> captions;
  int toTop = 0, foreground = 0, repaints = 0;
};

class ProgressDialogTest : public ::testing::Test {
 protected:
  ProgressDialogTest() : backend_("", transcript_, "progress-test") { platform::ui::InstallBackend(&backend_); }
  ~ProgressDialogTest() override { platform::ui::InstallBackend(nullptr); }

  std::vector<std::string> TranscriptLines(const std::string& prefix) const {
    std::vector<std::string> out;
    std::istringstream in(transcript_.str());
    for (std::string l; std::getline(in, l);)
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }

  std::ostringstream transcript_;
  platform::ui::script::ScriptBackend backend_;
};

std::string Caption(int percent) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "集計中 %d％", percent);
  return buf;
}

TEST_F(ProgressDialogTest, FourBlocksShowEveryPercentageWithTheBlockEdgesTwice) {
  RecordingProgress progress;
  ASSERT_TRUE(progress.Create());
  progress.ShowWindow(true);
  progress.ResetOverallBar();
  progress.AdvanceOverall(0, 250);
  progress.AdvanceOverall(250, 500);
  progress.AdvanceOverall(500, 750);
  progress.AdvanceOverall(750, 1000);
  progress.Close();

  std::vector<std::string> expected;
  for (int block = 0; block < 4; ++block)
    for (int p = block * 25; p <= block * 25 + 25; ++p) expected.push_back(Caption(p));
  EXPECT_EQ(progress.captions, expected);
  // 1 004 steps, each with one sweep of eleven repaints and one repaint of its own.
  EXPECT_EQ(progress.repaints, 1004 * 12);
  EXPECT_EQ(progress.toTop, 1004 * 11);
  EXPECT_EQ(progress.foreground, 1004 * 11);
  EXPECT_EQ(progress.overallBar().control()->RangeMax(), 1000);
  EXPECT_EQ(progress.overallBar().control()->Step(), 1);
  EXPECT_TRUE(progress.IsEnded());
  EXPECT_EQ(progress.Result(), 1);
  EXPECT_FALSE(progress.IsWindowVisible());

  // The transcript records each change once: 0 to 100 in order, ending at 100.
  const std::vector<std::string> lines = TranscriptLines("caption 131 ");
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines.front(), reinterpret_cast<const char*>(u8"caption 131 \"集計中 0％\""));
  EXPECT_EQ(lines.back(), reinterpret_cast<const char*>(u8"caption 131 \"集計中 100％\""));
}

TEST_F(ProgressDialogTest, SingleStepAdvanceSetsTheCaptionOnlyAtMultiplesOfTen) {
  RecordingProgress progress;
  ASSERT_TRUE(progress.Create());
  progress.ResetOverallBar();
  progress.AdvanceOverall(30, 30);
  EXPECT_EQ(progress.captions, std::vector<std::string>{Caption(3)});
  EXPECT_EQ(progress.overallBar().GetPos(), 1);
  progress.AdvanceOverall(31, 31);
  EXPECT_EQ(progress.captions.size(), 1u);
  EXPECT_EQ(progress.overallBar().GetPos(), 2);
  EXPECT_EQ(progress.repaints, 2 * 12);
  // A block whose end lies before its start steps nothing.
  progress.AdvanceOverall(40, 39);
  EXPECT_EQ(progress.overallBar().GetPos(), 2);
}

TEST_F(ProgressDialogTest, EleventhTickEmptiesTheBarAndBringsTheWindowForward) {
  RecordingProgress progress;
  ASSERT_TRUE(progress.Create());
  progress.Reset();
  for (int i = 1; i <= 10; ++i) {
    progress.Tick();
    EXPECT_EQ(progress.activityBar().GetPos(), i);
    EXPECT_EQ(progress.context().tickCounter, i);
  }
  EXPECT_EQ(progress.toTop, 0);
  progress.Tick();  // counter 10 -> 0: emptied, then stepped to 1
  EXPECT_EQ(progress.context().tickCounter, 0);
  EXPECT_EQ(progress.activityBar().GetPos(), 1);
  EXPECT_EQ(progress.toTop, 1);
  EXPECT_EQ(progress.foreground, 1);
  EXPECT_EQ(progress.repaints, 11);

  // A finished pass leaves the bar full; the next tick starts it over.
  progress.Finish();
  EXPECT_EQ(progress.activityBar().GetPos(), 10);
  EXPECT_EQ(progress.context().tickCounter, 10);
  progress.Tick();
  EXPECT_EQ(progress.activityBar().GetPos(), 1);
  EXPECT_EQ(progress.toTop, 2);

  // A sweep empties the bar and brings the window forward eleven times.
  progress.Sweep();
  EXPECT_EQ(progress.activityBar().control()->RangeMax(), 10);
  EXPECT_EQ(progress.toTop, 2 + 11);
}

TEST_F(ProgressDialogTest, CallsWithoutAWindowChangeNothingAndDoNotFail) {
  ProgressDialog progress;  // never created
  progress.ResetOverallBar();
  progress.AdvanceOverall(0, 20);
  progress.Tick();
  progress.Finish();
  EXPECT_EQ(progress.GetText(), "集計中");  // the template caption, unchanged
  EXPECT_EQ(progress.activityBar().GetPos(), 0);
  EXPECT_EQ(progress.context().tickCounter, 10);
  EXPECT_TRUE(TranscriptLines("caption").empty());
}

}  // namespace
