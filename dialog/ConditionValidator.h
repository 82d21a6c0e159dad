// ValidateConditions: the rules by which the conditions dialog accepts or
// refuses the user's conditions when the run is asked for.
//
// The months are checked first (range 1 to 12, then the period's months and
// order), then the output path: empty, characters, drive, file name, folder
// (offering to create a missing one level by level) and, unless the caller
// fixed the path, an existing folder or file of that name (offering to
// overwrite a file). The first failure ends the check: its message has been
// shown through the prompts and the result names the field to focus with all
// its text selected. Nothing the user typed is changed; folders are created
// only when the user agrees.
#pragma once

#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "dialog/MonthRange.h"

namespace dialog {

// How the checks talk to the user. Every box carries the caption "消費税".
class ValidationPrompts {
 public:
  virtual ~ValidationPrompts() = default;
  // A refusal: exclamation icon, OK.
  virtual void Refuse(std::string_view text) = 0;
  // A question: question icon, Yes and No; true for Yes.
  virtual bool Ask(std::string_view text) = 0;
};

struct ConditionValues {
  std::string startMonthText;
  std::string endMonthText;
  std::string outputPath;
};

enum class FocusField { None, StartMonth, EndMonth, OutputPath };

// None when the conditions are accepted; otherwise the field to focus.
FocusField ValidateConditions(const ConditionValues& values, const PeriodMonths& period, bool pathFixed,
                              platform::FileSystem& fs, ValidationPrompts& prompts);

// The output path checks alone (the second half of ValidateConditions).
FocusField ValidateOutputPath(std::string_view path, bool pathFixed, platform::FileSystem& fs, ValidationPrompts& prompts);

}  // namespace dialog
