#include "app/RunPieces.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "dialog/ConditionDialog.h"
#include "host/Host.h"
#include "platform/ui/Dialog.h"
#include "resources/Resources.h"

namespace app {
namespace {

bool pendingPieceUsed = false;

// The progress window alone, without the aggregation it is to carry: every
// check answers that it is not built, so the run stops with the host's message.
class PendingAggregationRun : public AggregationRun {
 public:
  PendingAggregationRun() : window_(resources::FindDialogTemplate(resources::kProgressDialog)) { window_.Create(); }
  platform::ui::Window* Window() override { return &window_; }
  void SetTaxFacts(uint8_t, uint8_t) override {}
  void SetPeriodCondition(const std::vector<MonthClause>&) override {}
  int32_t CheckSixthBusinessType(int32_t, int32_t&) override {
    ReportPendingPiece("the sixth-business-type check");
    return ClMsgMgr::Inst()->SetLastError(host::kNotBuilt, __FILE__, __LINE__);
  }
  int32_t CheckNewRates(int32_t&, int16_t, int16_t) override {
    ReportPendingPiece("the tax-rate check");
    return ClMsgMgr::Inst()->SetLastError(host::kNotBuilt, __FILE__, __LINE__);
  }
  int CheckUndeterminedImports() override {
    ReportPendingPiece("the import-category check");
    return 0;
  }
  void Aggregate(TaxAggregate&, host::RecordView, host::RecordView) override {
    ReportPendingPiece("the aggregation passes");
  }
  void Destroy() override { window_.DestroyWindow(); }

 private:
  platform::ui::Dialog window_;
};

}  // namespace

bool PendingPieceUsed() { return pendingPieceUsed; }

void ReportPendingPiece(const char* piece) {
  pendingPieceUsed = true;
  std::fprintf(stderr, "taxbridge: %s is not part of this build yet; the run cannot complete.\n", piece);
}

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

std::unique_ptr<AggregationRun> CreateAggregationRun() { return std::make_unique<PendingAggregationRun>(); }

int WriteDataSection(report::XmlWriter&, host::RecordView, host::RecordView, const TaxAggregate&) {
  ReportPendingPiece("the DATA section writer");
  return 0;
}

}  // namespace app
