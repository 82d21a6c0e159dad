#include "aggregate/ProgressDialog.h"

#include <cstdio>

#include "resources/Resources.h"

namespace aggregate {

ProgressDialog::ProgressDialog(platform::ui::Window* parent)
    : Dialog(resources::FindDialogTemplate(resources::kProgressDialog), parent) {}

ProgressDialog::~ProgressDialog() {
  context_.Release();
  if (IsCreated()) DestroyWindow();
}

void ProgressDialog::DoDataExchange(platform::ui::DataExchange& dx) {
  dx.Control(resources::kActivityBar, activityBar_);
  dx.Control(resources::kOverallBar, overallBar_);
}

bool ProgressDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  return true;
}

void ProgressDialog::OnDestroy() { context_.accounts.clear(); }

void ProgressDialog::Show() { ShowWindow(true); }

void ProgressDialog::ResetOverallBar() {
  overallBar_.SetRange(0, kOverallMax);
  overallBar_.SetStep(1);
  overallBar_.SetPos(0);
}

void ProgressDialog::AdvanceOverall(int16_t start, int16_t end) {
  for (int i = start; i <= end; ++i) {
    if (i % 10 == 0) {
      char caption[32];
      std::snprintf(caption, sizeof caption, "集計中 %d％", i / 10);
      SetText(caption);
    }
    overallBar_.StepIt();
    Sweep();
    UpdateWindow();
  }
}

void ProgressDialog::Sweep() {
  activityBar_.SetRange(0, kActivityMax);
  activityBar_.SetStep(1);
  activityBar_.SetPos(0);
  for (int i = 0; i <= kActivityMax; ++i) {
    activityBar_.StepIt();
    BringWindowToTop();
    SetForegroundWindow();
    UpdateWindow();
  }
}

bool ProgressDialog::StepActivity() {
  int32_t& tick = context_.tickCounter;
  tick = tick >= kActivityMax ? 0 : tick + 1;
  if (tick == 0) activityBar_.SetPos(0);
  activityBar_.StepIt();
  return tick == 0;
}

void ProgressDialog::Tick() {
  if (StepActivity()) {
    BringWindowToTop();
    SetForegroundWindow();
  }
  UpdateWindow();
}

void ProgressDialog::Ticks(uint64_t count) {
  if (count == 0) return;
  // Any eleven ticks in a row wrap the counter once, and after a wrap the bar's
  // position depends on the counter alone.
  constexpr uint64_t kRound = kActivityMax + 1;
  if (count > 2 * kRound) count = kRound + count % kRound;
  bool wrapped = false;
  for (; count > 0; --count) wrapped = StepActivity() || wrapped;
  if (wrapped) {
    BringWindowToTop();
    SetForegroundWindow();
  }
  UpdateWindow();
}

void ProgressDialog::Sweeps(uint64_t count) {
  if (count > 0) Sweep();
}

void ProgressDialog::Reset() {
  activityBar_.SetRange(0, kActivityMax);
  activityBar_.SetStep(1);
  activityBar_.SetPos(0);
  context_.tickCounter = 0;
}

void ProgressDialog::Finish() {
  activityBar_.SetPos(kActivityMax);
  context_.tickCounter = kActivityMax;
}

void ProgressDialog::Close() { EndDialog(1); }

}  // namespace aggregate
