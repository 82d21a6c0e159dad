// The pieces of a run that other folders do: the conditions dialog and its
// settings file, the progress window with the aggregation passes and run
// checks, and the document writers of the DATA section and of the saved-return
// method. The run driver (LinkApp) reaches them only through this header, in
// the order of the run.
//
// A piece that this build does not hold yet says so on the error stream, and
// its result makes the run fail (result 2): it never stands in for the piece
// with an empty success. PendingPieceUsed() tells the driver that one was hit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/PeriodMonths.h"
#include "host/ByteRecord.h"
#include "host/SaveTaxInfo.h"
#include "platform/ui/Window.h"

class TaxAggregate;

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

// The progress window and the aggregation it carries (its context holds the
// month condition, the two tax settings and the rule objects).
class AggregationRun {
 public:
  virtual ~AggregationRun() = default;
  // The progress window; owner of every message box from its creation on.
  virtual platform::ui::Window* Window() = 0;
  virtual void SetTaxFacts(uint8_t taxMethod, uint8_t mainBusinessType) = 0;
  virtual void SetPeriodCondition(const std::vector<MonthClause>& clauses) = 0;
  // Run checks: host statuses (0 the check ran).
  virtual int32_t CheckSixthBusinessType(int32_t businessType, int32_t& count) = 0;
  virtual int32_t CheckNewRates(int32_t& flag, int16_t start, int16_t end) = 0;
  virtual int CheckUndeterminedImports() = 0;
  // The passes, under the shown progress window. Throws ArithmeticError when
  // an amount does not fit.
  virtual void Aggregate(TaxAggregate& aggregate, host::RecordView company, host::RecordView taxSettings) = 0;
  virtual void Destroy() = 0;
};

// Creates the progress window hidden, without owner.
std::unique_ptr<AggregationRun> CreateAggregationRun();

// The DATA section from the aggregation: 1 written, 0 failed.
int WriteDataSection(report::XmlWriter& writer, host::RecordView company, host::RecordView taxSettings,
                     const TaxAggregate& aggregate);

// True once a piece that this build lacks has been called.
bool PendingPieceUsed();
// Records and reports that `piece` is not in this build.
void ReportPendingPiece(const char* piece);

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
