// The checks the journal method makes before any pass runs, each over the
// context's period condition, and the run driver's use of them.
//
// CheckSixthBusinessType(context, businessType, &count): the number of journal
//   lines with that business type (the driver passes 6). Returns the status
//   recorded with ClMsgMgr::SetLastError (0: the check ran).
// CheckNewRates(context, &flag, first, last): flag 1 when a line carries the
//   10 % or the reduced 8 % rate, else 0 (left alone when the journal rule
//   cannot be created). The months are carried by the period condition; the
//   two arguments are not used. Returns the recorded status.
// CheckUndeterminedImports(context): 1 when a line has an undetermined import
//   category (31..37) on either side, 0 otherwise and when the host cannot be
//   asked.
// Each check creates, binds and deletes a journal rule of its own.
//
// RunPreAggregationChecks is what the run driver calls between building the
// period condition and showing the progress window. In order:
//   1. the sixth-business-type check; a fatal status (ClMsgMgr::
//      CheckFatalErrorWithMsg shows the host's message) answers 2;
//   2. with such lines under simplified taxation and a first chosen month that
//      begins before 2015-04-01: the refusal naming the edition's program,
//      answers 1;
//   3. the new-rate check; a fatal status answers 2; lines at 10 % or reduced
//      8 %: the refusal, answers 1;
//   4. under general taxation, lines with undetermined import categories: the
//      notice (information icon), and the run goes on.
// Answers 0 when the run goes on: that is, the run result to stop with, or 0.
// Every box has the caption "消費税" and `owner` (the progress window) as its
// owner.
#pragma once

#include <cstdint>
#include <string_view>

#include "aggregate/AggregationContext.h"
#include "platform/ui/Window.h"
#include "aggregate/TaxSettings.h"

namespace aggregate {

inline constexpr int32_t kSixthBusinessType = 6;
// The first day on which the sixth business type may be used.
inline constexpr int32_t kSixthBusinessTypeFrom = 20150401;

int32_t CheckSixthBusinessType(const AggregationContext& context, int32_t businessType, int32_t* count);
int32_t CheckNewRates(const AggregationContext& context, int32_t* flag, int16_t firstMonth, int16_t lastMonth);
int32_t CheckUndeterminedImports(const AggregationContext& context);

struct RunCheckInput {
  const TaxSettings& settings;
  int16_t startMonth;              // chosen calendar months
  int16_t endMonth;
  int32_t startMonthFirstDate;     // the first day (yyyymmdd) of the first chosen month
  std::string_view programName;    // the edition's program name (Shift_JIS)
};

int RunPreAggregationChecks(const AggregationContext& context, platform::ui::Window* owner,
                            const RunCheckInput& input);

}  // namespace aggregate
