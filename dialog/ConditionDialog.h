// ConditionDialog: the one modal dialog of a run (template 130). It shows the
// facts of the open company data, refuses data that cannot be linked (exempt
// and past-record data), pre-fills the conditions from the settings file, and
// takes back the month range, the aggregation method and the output path.
//
// The run driver constructs it, sets its inputs, calls DoModal and reads the
// chosen conditions. DoModal returns kRunResult (1005) when the user ran with
// conditions that passed every check, kCancelResult (1006) when the user
// cancelled or the data was refused. After a completed run the driver stores
// the conditions with StoreSettings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dialog/ConditionValidator.h"
#include "platform/FileSystem.h"
#include "dialog/HostAccess.h"
#include "dialog/SettingsFile.h"
#include "platform/ui/Dialog.h"

namespace dialog {

// What the driver tells the dialog. Texts are Shift_JIS.
struct ConditionInputs {
  int16_t taxationKind = 0;          // 0 exempt, 1 simplified, 2 general (2 switches the help tip on)
  std::string companyText;           // " " + company name
  std::string periodText;            // " yyyy/mm/dd～yyyy/mm/dd"
  std::string filingCategoryText;    // " " + filing category
  std::string deductionLabel;        // empty for exempt data
  std::string deductionValue;        // empty for exempt data
  int16_t returnStartMonth = 0;      // months offered for the saved-return method
  int16_t returnEndMonth = 0;
  int32_t selectedDataNo[2] = {0, 0};
  int32_t periodStartDate = 0;       // yyyymmdd
  int32_t periodEndDate = 0;
  int32_t pastRecord = 0;            // 1: past-record data
  int32_t returnValuesAvailable = 0;
  std::string fixedOutputPath;       // the calling program's output path; empty when not fixed
  std::string userId;
};

// The conditions the user chose, as typed.
struct ChosenConditions {
  std::string startMonthText;
  std::string endMonthText;
  std::string outputPath;
  int32_t method = 0;  // 0 journal aggregation over the months, 1 saved return values
};

class ConditionDialog : public platform::ui::Dialog {
 public:
  static constexpr int kRunResult = 1005;
  static constexpr int kCancelResult = 1006;

  // `settingsFileName` is the deliverable's settings file ("taxbridge_plus.env").
  ConditionDialog(platform::ui::Window* owner, std::string settingsFileName, HostAccess& host = SystemHostAccess(),
                  platform::FileSystem& fs = platform::FileSystem::Default());

  void SetInputs(ConditionInputs inputs) { in_ = std::move(inputs); }
  const ChosenConditions& Chosen() const { return chosen_; }
  bool PathFixed() const { return pathFixed_ != 0; }

  // Stores the conditions of a completed run under this user and data. With
  // no output path (the calling program fixed it) the path read from the
  // settings file when the dialog opened is stored again. False when the file
  // could not be written (nothing is shown; the old file stays as it was).
  bool StoreSettings(int32_t startMonth, int32_t endMonth, std::optional<std::string_view> outputPath,
                     int32_t method);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::ui::DataExchange& dx) override;
  void OnCommand(int id) override;
  bool PreTranslateKeyDown(const platform::ui::KeyEvent& key) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  class Prompts;

  SettingsKey Key() const;
  SettingsFile Settings() const;
  PeriodMonths PeriodMonthsOr(PeriodMonths fallback) const;
  std::string DefaultOutputPath();
  void ShowMonths(int32_t start, int32_t end);
  void SetMonthEditsEnabled(bool enabled);
  void FocusAndSelectAll(int id);
  void OnJournalMethod();
  void OnSavedReturnMethod();
  void Browse();
  void Run();

  HostAccess& host_;
  platform::FileSystem& fs_;
  std::string settingsFileName_;
  ConditionInputs in_;
  ChosenConditions chosen_;
  int16_t journalStartMonth_ = 0;
  int16_t journalEndMonth_ = 0;
  int32_t pathFixed_ = 0;
  std::string savedOutputPath_;
};

}  // namespace dialog
