#include "app/RunPieces.h"

#include <optional>
#include <string_view>

#include "dialog/ConditionDialog.h"
#include "report/DataSection.h"

using aggregate::TaxAggregate;

namespace app {

struct ConditionStep::Impl {
  dialog::ConditionDialog dialog;
  Impl(platform::ui::Window* owner, const std::string& settingsFileName) : dialog(owner, settingsFileName) {}
};

ConditionStep::ConditionStep(platform::ui::Window* owner, const ConditionInputs& inputs)
    : impl_(std::make_unique<Impl>(owner, inputs.settingsFileName)) {
  dialog::ConditionInputs in;
  in.taxationKind = inputs.taxationKind;
  in.companyText = inputs.texts[0];
  in.periodText = inputs.texts[1];
  in.filingCategoryText = inputs.texts[2];
  in.deductionLabel = inputs.texts[3];
  in.deductionValue = inputs.texts[4];
  in.returnStartMonth = inputs.returnStartMonth;
  in.returnEndMonth = inputs.returnEndMonth;
  in.selectedDataNo[0] = inputs.selectedNo[0];
  in.selectedDataNo[1] = inputs.selectedNo[1];
  in.periodStartDate = inputs.periodStart;
  in.periodEndDate = inputs.periodEnd;
  in.pastRecord = inputs.pastRecord;
  in.returnValuesAvailable = inputs.returnValuesAvailable;
  in.fixedOutputPath = inputs.fixedOutputPath;
  in.userId = inputs.userId;
  impl_->dialog.SetInputs(std::move(in));
}

ConditionStep::~ConditionStep() = default;

int ConditionStep::Show(ChosenConditions& chosen) {
  const int result = impl_->dialog.DoModal();
  const dialog::ChosenConditions& c = impl_->dialog.Chosen();
  chosen.startMonthText = c.startMonthText;
  chosen.endMonthText = c.endMonthText;
  chosen.outputPath = c.outputPath;
  chosen.method = c.method;
  return result;
}

void ConditionStep::Store(int start, int end, const std::string* outputPath, int method) {
  std::optional<std::string_view> path;
  if (outputPath) path = *outputPath;
  impl_->dialog.StoreSettings(start, end, path, method);
}

int WriteDataSection(report::XmlWriter& writer, const StDATAINFO& company, const StSHOHIZEIINFO& taxSettings,
                     const TaxAggregate& aggregate, uint8_t taxMethod, uint8_t taxRounding) {
  const report::DataSectionFacts facts =
      report::DataSectionFacts::Of(aggregate, company, taxSettings, taxMethod, taxRounding);
  return report::WriteDataSection(writer, facts);
}

}  // namespace app
