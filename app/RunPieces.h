// The pieces of a run that other folders do: the conditions dialog and its
// settings file, and the document writers of the DATA section of either
// method. The progress window, the run checks and the aggregation passes are
// driven directly through aggregate/JournalRun.h and aggregate/RunChecks.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/PeriodMonths.h"
#include "host/ByteRecord.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "platform/ui/Window.h"

namespace aggregate {
class TaxAggregate;
}

namespace report {
class XmlWriter;
}

namespace app {

// What the driver hands the conditions dialog.
struct ConditionInputs {
  std::string userId;
  int32_t selectedNo[2] = {0, 0};
  std::string fixedOutputPath;  // empty unless the caller fixed the output file
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  int16_t returnStartMonth = 0;
  int16_t returnEndMonth = 0;
  int32_t pastRecord = 0;
  int32_t returnValuesAvailable = 0;
  std::string texts[5];  // company, period, filing category, deduction label, deduction value
  int16_t taxationKind = 0;
  std::string settingsFileName;  // the edition's settings file
};

// What the user chose.
struct ChosenConditions {
  std::string startMonthText;
  std::string endMonthText;
  std::string outputPath;
  int32_t method = 0;
};

inline constexpr int kDialogRun = 1005;
inline constexpr int kDialogCancel = 1006;

// The conditions dialog of one run: shown once, and kept until the end of the
// run so that a completed run can store its conditions through it.
class ConditionStep {
 public:
  ConditionStep(platform::ui::Window* owner, const ConditionInputs& inputs);
  ~ConditionStep();
  // Shows the dialog modally; 1005 run, 1006 cancel.
  int Show(ChosenConditions& chosen);
  // Stores the conditions in the edition's settings file; `outputPath` null
  // when the caller fixed the path. Failures are not reported.
  void Store(int start, int end, const std::string* outputPath, int method);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The DATA section from the journal aggregation, with its refund statements:
// 1 written, 0 failed. `taxMethod` and `taxRounding` are the run's copies of
// the data's taxation method and rounding kind.
int WriteDataSection(report::XmlWriter& writer, const StDATAINFO& company, const StSHOHIZEIINFO& taxSettings,
                     const aggregate::TaxAggregate& aggregate, uint8_t taxMethod, uint8_t taxRounding);

}  // namespace app

namespace app {
// Reads the return saved in the accounting product's return screens for the
// data `dataId` into `savedReturn`; the host's status (0 read).
int32_t ReadSavedReturn(host::StSaveTaxInfo* savedReturn, const std::string& dataId);

// The DATA section from the return saved in the accounting product's return
// screens: 1 written, 0 failed.
int WriteSavedReturnData(report::XmlWriter& writer, host::RecordView company, host::RecordView savedReturn,
                         uint8_t taxMethod, uint8_t taxRounding);
}  // namespace app
