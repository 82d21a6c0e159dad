// ProgressDialog: the small modeless window shown while the aggregation passes
// run (dialog template 131). It has no buttons and cannot be cancelled: an
// overall bar (control 1019) that the run driver moves in four blocks between
// the passes, with the percentage in the caption, and an activity bar (control
// 1024) that the passes move while they work. It also carries the passes'
// AggregationContext. The passes see it only as their Activity, the journal
// run as its AggregationProgress (JournalRun.h); neither includes this header.
//
// The driver constructs it (no parent), Create()s it hidden, shows it when the
// checks have passed, calls ResetOverallBar and AdvanceOverall around the
// passes, Close()s it after the last block and destroys it at the end of the
// run. There is no message loop while the passes work: every step repaints the
// window directly and the sweeps and wraps bring it to the front. Window calls
// made before Create or after the window is gone go to no window and change
// nothing; the passes run the same.
//
// The destructor frees the account list, deletes the context's rules (in the
// context's order) and then destroys the window.
#pragma once

#include <cstdint>

#include "aggregate/AggregationContext.h"
#include "aggregate/JournalRun.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"

namespace aggregate {

class ProgressDialog : public platform::ui::Dialog, public AggregationProgress {
 public:
  static constexpr int kActivityMax = 10;
  static constexpr int kOverallMax = 1000;

  explicit ProgressDialog(platform::ui::Window* parent = nullptr);
  ~ProgressDialog() override;

  // Shows the window.
  void Show() override;
  // Overall bar: range 0..1000, step 1, position 0.
  void ResetOverallBar() override;
  // For each i from start to end inclusive: at a multiple of 10 the caption
  // becomes "集計中 <i/10>％"; the overall bar steps once; one Sweep; a
  // repaint.
  void AdvanceOverall(int16_t start, int16_t end) override;
  // Activity bar emptied (range 0..10, step 1), then eleven times: a step,
  // brought to the top, made the foreground window, repainted.
  void Sweep() override;
  // One unit of work: the counter goes 0, 1, ..., 10, 0, ...; on the wrap to 0
  // the activity bar is emptied before its step and the window comes to the
  // front. Always a step and a repaint.
  void Tick() override;
  // `count` Ticks, leaving the counter and the bar as they would, with their
  // repaints coalesced: the window comes to the front once when any of the
  // ticks wraps, and is repainted once at the end. Past two wraps of the
  // counter the whole rounds of eleven are skipped, as each brings counter
  // and bar back to where they were.
  void Ticks(uint64_t count) override;
  // `count` Sweeps: every sweep leaves the bar where one sweep leaves it, so
  // one sweep is made when count is not 0.
  void Sweeps(uint64_t count) override;
  // At the start of a pass: bar emptied (range 0..10, step 1), counter 0.
  void Reset() override;
  // At the end of the tax summary pass and of every account list load: bar
  // at 10, counter 10.
  void Finish() override;
  // Ends the dialog with result 1 (the window is hidden).
  void Close() override;

  AggregationContext& context() { return context_; }
  const AggregationContext& context() const { return context_; }
  platform::ui::ProgressBar& activityBar() { return activityBar_; }
  platform::ui::ProgressBar& overallBar() { return overallBar_; }

 protected:
  void DoDataExchange(platform::ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnDestroy() override;

 private:
  platform::ui::ProgressBar activityBar_;
  platform::ui::ProgressBar overallBar_;
  // One tick of the counter and the bar; true when the counter wrapped.
  bool StepActivity();

  AggregationContext context_;
};

}  // namespace aggregate
