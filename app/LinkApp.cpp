#include "app/LinkApp.h"

#include <memory>
#include <optional>

#include "aggregate/JournalRun.h"
#include "aggregate/ProgressDialog.h"
#include "aggregate/RunChecks.h"
#include "aggregate/TaxSettings.h"
#include "app/ConditionText.h"
#include "app/EditionProfile.h"
#include "app/HostCommandLine.h"
#include "app/RunMessages.h"
#include "app/RunPieces.h"
#include "app/TargetProduct.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/ShowMessage.h"
#include "report/BasicSection.h"
#include "report/ElementNameTable.h"
#include "report/OldRateAmounts.h"
#include "report/SystemSection.h"
#include "report/XmlWriter.h"

using aggregate::AggregationContext;
using aggregate::AggregationStatus;
using aggregate::PrepareRateTables;
using aggregate::ProgressDialog;
using aggregate::RunCheckInput;
using aggregate::RunJournalAggregation;
using aggregate::RunPreAggregationChecks;
using aggregate::TaxAggregate;
using aggregate::TaxSettings;

namespace app {
namespace {

namespace ui = platform::ui;

constexpr int32_t kUseDataType = 3;
constexpr int32_t kSettingsFlag = 1;
// What the host's system link answers when the user declined it.
constexpr int32_t kLinkDeclined = 1;

const char* DisplayText(int index) { return report::ElementNameTable::At(report::ElementNameTable::kDisplayTexts + index); }

int Box(ui::Window* owner, const std::string& text, uint32_t style) {
  return ui::ShowMessage(owner, text, kCaption, style);
}

// The outcome of one section writer (1 written, 0 failed): true to go on.
// A failed section marks `complete` false and asks its question; the user's
// Yes goes on, No stops.
bool SectionWritten(ui::Window* owner, int written, const char* question, bool& complete) {
  if (written) return true;
  complete = false;
  return Box(owner, question, ui::kMbIconExclamation | ui::kMbYesNo) != ui::kIdBoxNo;
}

}  // namespace

LinkApp::LinkApp() = default;
LinkApp::~LinkApp() = default;

ClSetData* LinkApp::DataSettings() {
  if (!dataSettings_)
    dataSettings_ = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, kSettingsFlag));
  return dataSettings_;
}

ClSetShohizei* LinkApp::TaxSettingsObject() {
  if (!taxSettingsObject_)
    taxSettingsObject_ = dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindShohizei, kSettingsFlag));
  return taxSettingsObject_;
}

bool LinkApp::ParseHostCommandLine(std::string_view text) {
  HostCommandLine line;
  line.window = hostWindow_;
  line.message = hostMessage_;
  line.functionId = functionId_;
  line.fixedOutputPath = fixedOutputPath_;
  const int hostForm = app::ParseHostCommandLine(text, line);
  hostWindow_ = line.window;
  hostMessage_ = line.message;
  functionId_ = line.functionId;
  fixedOutputPath_ = line.fixedOutputPath;
  return hostForm == 1;
}

bool LinkApp::TargetProductAccepted() {
  const std::string path = TargetDefinitionPath(platform::FileSystem::Default().CurrentFolder().path);
  std::optional<std::string> value;
  if (platform::FileSystem::Default().PathExists(path)) {
    value = platform::ReadProfileValue(kTargetLevelSection, kTargetLevelKey, path);
    if (!value) value = kTargetLevelDefault;
  }
  const char* message = TargetProductMessage(TargetProductCode(value));
  if (!message) return true;
  ClAccConnect::Inst()->DispMsg(static_cast<host::HostWnd>(hostWindow_), message, kCaption,
                                host::kMbIconExclamation | host::kMbOk);
  return false;
}

dialog::ConditionInputs LinkApp::ConditionInputsFor(const RunFacts& facts) {
  const TaxSettings& settings = facts.taxSettings;
  // The application object keeps its own copies of the tax facts the lines
  // show; the main business type only matters under simplified taxation and
  // is left alone otherwise.
  taxMethod_ = settings.taxMethod();
  taxRounding_ = settings.rounding();
  if (settings.taxMethod() == TaxSettings::kSimplified) mainBusinessType_ = settings.mainBusinessType();

  const host::RecordView r = facts.company.view();
  const std::string companyName = r.Text(StDATAINFO::kCompanyName, StDATAINFO::kCompanyNameWidth);
  const int32_t periodStart = r.I32(StDATAINFO::kPeriodStart);
  const int32_t periodEnd = r.I32(StDATAINFO::kPeriodEnd);
  const TaxSettingsFacts tax{settings.taxMethod(), settings.deductionMethod(), settings.mainBusinessType()};
  const auto line = [&](int kind) { return ConditionText(kind, companyName, periodStart, periodEnd, tax, &DisplayText); };

  dialog::ConditionInputs in;
  // As the host does: the settings byte is widened as a signed one.
  in.taxationKind = static_cast<int16_t>(static_cast<int8_t>(taxMethod_));
  in.companyText = line(kCompanyLine);
  in.periodText = line(kPeriodLine);
  in.filingCategoryText = line(kFilingCategoryLine);
  in.deductionLabel = line(kDeductionLabelLine);
  in.deductionValue = line(kDeductionValueLine);
  in.returnStartMonth = facts.returnStartMonth;
  in.returnEndMonth = facts.returnEndMonth;
  in.selectedDataNo[0] = facts.selectedNo[0];
  in.selectedDataNo[1] = facts.selectedNo[1];
  in.periodStartDate = periodStart;
  in.periodEndDate = periodEnd;
  in.pastRecord = r.I16(StDATAINFO::kPastRecord) == StDATAINFO::kPastRecordMark ? 1 : 0;
  in.returnValuesAvailable = facts.savedReturnMatches;
  if (hostStarted_) in.fixedOutputPath = fixedOutputPath_;
  in.userId = facts.userId;
  return in;
}

int32_t LinkApp::MonthStartDate(int16_t month) {
  ClSetData* data = DataSettings();
  if (!data) return 0;
  ClAccPeriod* raw = nullptr;
  if (data->GetAccPeriod(&raw) != host::kOk || !raw) return 0;
  const std::unique_ptr<ClAccPeriod> period(raw);
  int32_t from = 0, to = 0;
  // As the host does: the answer is not examined; a month the period does
  // not know leaves the start date 0.
  period->GetPeriodByAMonth(month, &from, &to, 0);
  return from;
}

int LinkApp::HasOldRateAmounts() {
  ClSetShohizei* tax = TaxSettingsObject();
  if (!tax) return 0;
  report::OldRateInputs in;
  in.rateCount = static_cast<int16_t>(tax->GetTaxRateCount());
  in.rateTotals = reinterpret_cast<const uint8_t*>(aggregate_.rateTotals());
  in.rateRecords = aggregate_.rateRecordCount();
  in.businessTotals = reinterpret_cast<const uint8_t*>(aggregate_.businessTotals());
  in.businessRecords = aggregate_.rateRecordCount() * TaxAggregate::kBusinessTypes;
  in.oldRateTaxSum3 = aggregate_.oldRateTaxSums[1];
  return report::HasOldRateAmounts(in);
}

int LinkApp::WriteSystemSection(report::XmlWriter& writer) {
  report::SystemSectionFacts facts;
  facts.functionId = functionId_;
  facts.programName = CurrentEdition().programName;
  return report::WriteSystemSection(writer, facts);
}

int LinkApp::WriteBasicSection(report::XmlWriter& writer, const RunFacts& runFacts, int method) {
  report::BasicSectionFacts facts;
  facts.company = runFacts.company.view();
  facts.method = method;
  facts.taxMethod = taxMethod_;
  if (runFacts.savedReturn) {
    facts.savedReturn = runFacts.savedReturn->data();
    facts.savedReturnSize = StSaveTaxInfo::kSize;
  }
  facts.hasOldRateAmounts = [this] { return HasOldRateAmounts(); };
  return report::WriteBasicSection(writer, facts);
}

StepResult LinkApp::WriteDocument(ui::Window* owner, const std::string& outputPath, const RunFacts& facts, int method,
                                  const SectionWriter& writeData) {
  const std::unique_ptr<platform::File> file =
      outputFileFactory_ ? outputFileFactory_() : platform::FileSystem::Default().NewFile();
  report::XmlWriter writer;
  writer.OpenOutput(file.get(), outputPath);
  writer.WriteRaw(msg::kXmlDeclaration);
  writer.WriteStartTag("REPORT", 0);
  bool complete = true;
  bool goOn = SectionWritten(owner, WriteSystemSection(writer), msg::kSystemFailed, complete);
  if (goOn) goOn = SectionWritten(owner, WriteBasicSection(writer, facts, method), msg::kBasicFailed, complete);
  if (goOn) goOn = SectionWritten(owner, writeData(writer), msg::kDataFailed, complete);

  // The end tag and the close come whatever came before.
  const bool endWritten = writer.WriteEndTag("REPORT", 0) != 0;
  const bool closed = writer.CloseOutput() == 0;
  if (!goOn) return StepResult::kFailed;
  if (complete && endWritten && closed) return StepResult::kCompleted;
  // A Yes to a section's question only goes on writing what can still be
  // written; the calling product must never take this file for a good one.
  Box(owner, msg::kOutputFailed, ui::kMbIconInformation | ui::kMbOk);
  return StepResult::kFailed;
}

StepResult LinkApp::WriteSavedReturnDocument(ui::Window* owner, const std::string& outputPath, const RunFacts& facts) {
  return WriteDocument(owner, outputPath, facts, host::kMethodSavedReturn, [&](report::XmlWriter& writer) {
    return facts.savedReturn &&
           WriteSavedReturnData(writer, facts.company.view(), facts.savedReturn->view(), taxMethod_, taxRounding_);
  });
}

StepResult LinkApp::WriteSavedReturnDocumentFrom(const RunFacts& facts, ui::Window* owner,
                                                 const std::string& outputPath) {
  ConditionInputsFor(facts);
  return WriteSavedReturnDocument(owner, outputPath, facts);
}

StepResult LinkApp::RunJournalMethod(ProgressDialog& progress, const RunFacts& facts, int start, int end,
                                     const std::string& outputPath) {
  // The rate tables (at least three rates whatever the host reports).
  if (!PrepareRateTables(aggregate_)) return StepResult::kFailed;

  // What the checks and passes work under.
  AggregationContext& context = progress.context();
  context.taxMethod = taxMethod_;
  context.mainBusinessType = mainBusinessType_;
  context.periodCondition.Clear();
  const int32_t closingPattern = facts.company.view().I32(StDATAINFO::kClosingPattern);
  for (const MonthClause& clause : PeriodMonthClauses(facts.periodMonths, closingPattern, start, end))
    context.periodCondition.AppendMonthClause(clause.comparison, clause.month, clause.joiner);

  // The sixth business type, the new rates, the import categories: a check
  // answers the run result to stop with.
  const RunCheckInput checks{facts.taxSettings, static_cast<int16_t>(start), static_cast<int16_t>(end),
                             MonthStartDate(static_cast<int16_t>(start)), CurrentEdition().programName};
  if (const int stop = RunPreAggregationChecks(progress.context(), &progress, checks))
    return stop == RunResultOf(StepResult::kStopped) ? StepResult::kStopped : StepResult::kFailed;

  // The passes under the shown window; the wait cursor stays begun until the
  // document is written.
  switch (RunJournalAggregation(progress.context(), progress, aggregate_, facts.company, facts.taxSettings)) {
    case AggregationStatus::kDone:
      break;
    case AggregationStatus::kAmountsTooLarge:
      ui::EndWaitCursor();
      Box(&progress, msg::kAmountsTooLarge, ui::kMbIconExclamation | ui::kMbOk);
      return StepResult::kFailed;
    case AggregationStatus::kLedgerFault:
      // The books could not be read to the end: the figures would be a
      // part of them, so nothing is written.
      ui::EndWaitCursor();
      Box(&progress, msg::kLedgerUnreadable + ClMsgMgr::MessageFor(progress.context().ledgerFault),
          ui::kMbIconExclamation | ui::kMbOk);
      return StepResult::kFailed;
  }

  const StepResult written =
      WriteDocument(&progress, outputPath, facts, host::kMethodJournal, [&](report::XmlWriter& writer) {
        return WriteDataSection(writer, facts.company, facts.taxSettings, aggregate_, taxMethod_, taxRounding_);
      });
  ui::EndWaitCursor();
  return written;
}

StepResult LinkApp::RunConnected(ClAccConnect* connection) {
  // The calling program.
  if (ParseHostCommandLine(CommandLine())) {
    hostStarted_ = 1;
    hostWindowObject_ = ui::Window::FromHandle(hostWindow_);
    if (hostWindowObject_) hostWindowObject_->EnableWindow(false);
    connection->SetOwnerWindow(static_cast<host::HostWnd>(hostWindow_));
  }

  // The program's folder is where the definition and support files are.
  const std::string folder = platform::FileSystem::Default().ProgramFolder().path;
  if (!folder.empty()) platform::FileSystem::Default().ChangeCurrentFolder(folder);

  // The target product and the system link.
  if (!TargetProductAccepted()) return StepResult::kFailed;
  if (const int32_t link = connection->ExpSysLink(); link != 0)
    return link == kLinkDeclined ? StepResult::kStopped : StepResult::kFailed;

  // Everything the run knows of the data, read once.
  const RunFacts facts = ReadRunFacts(DataSettings(), TaxSettingsObject());

  // The user's choice.
  dialog::ConditionInputs inputs = ConditionInputsFor(facts);
  dialog::ConditionDialog conditions(hostWindowObject_, CurrentEdition().settingsFileName);
  conditions.SetInputs(std::move(inputs));
  if (conditions.DoModal() == dialog::ConditionDialog::kCancelResult) return StepResult::kStopped;
  const dialog::ChosenConditions& chosen = conditions.Chosen();
  const int start = static_cast<int>(DecimalToLong(chosen.startMonthText));
  const int end = static_cast<int>(DecimalToLong(chosen.endMonthText));
  const std::string outputPath = chosen.outputPath;
  const int method = chosen.method;

  // The progress window, hidden, without owner; it owns every message box
  // from here on.
  auto progress = std::make_unique<ProgressDialog>();
  progress->Create();

  const StepResult written = method == host::kMethodSavedReturn
                                 ? WriteSavedReturnDocument(progress.get(), outputPath, facts)
                                 : RunJournalMethod(*progress, facts, start, end, outputPath);
  if (written != StepResult::kCompleted) return written;

  // A caller that fixed the output path keeps the stored one.
  std::optional<std::string_view> storedPath;
  if (!hostStarted_) storedPath = outputPath;
  conditions.StoreSettings(start, end, storedPath, method);
  aggregate_.ReleaseRateTables();
  Box(progress.get(), msg::kCompleted, ui::kMbIconInformation | ui::kMbOk);
  progress.reset();
  completedDocument_ = outputPath;
  return StepResult::kCompleted;
}

bool LinkApp::StartRun() {
  ClAccConnect* connection = ClAccConnect::Inst();
  connection->SetCaption(kCaption);
  connection->SetAppType(static_cast<ClSysEnvMgr::_AppType>(CurrentEdition().appType));
  connection->SetUseDataType(kUseDataType);
  if (connection->Initiate() != host::kOk) {
    // The host has said why; the result stays 0 and nothing is posted, but the
    // process tells its caller that the data could not be opened.
    connectionFailed_ = true;
    return false;
  }
  const StepResult result = RunConnected(connection);
  runResult_ = RunResultOf(result);
  return result == StepResult::kCompleted;
}

int LinkApp::EndRun() {
  ClAccConnect* connection = ClAccConnect::Inst();
  connection->LogOut();
  connection->Terminate();
  connection->Release();
  if (hostStarted_ == 1 && hostWindowObject_) {
    hostWindowObject_->SetForegroundWindow();
    hostWindowObject_->EnableWindow(true);
    hostWindowObject_->PostToWindow(hostMessage_, static_cast<int64_t>(functionId_), runResult_);
    // As the host does: the window is enabled a second time after the post.
    hostWindowObject_->EnableWindow(true);
  }
  ui::Application::EndRun();
  return connectionFailed_ ? 3 : runResult_;
}

}  // namespace app
