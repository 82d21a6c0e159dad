#include "app/LinkApp.h"

#include <cstdio>
#include <new>
#include <optional>

#include "aggregate/JournalRun.h"
#include "aggregate/ProgressDialog.h"
#include "aggregate/RunChecks.h"
#include "aggregate/TaxSettings.h"
#include "app/EditionProfile.h"
#include "app/RunMessages.h"
#include "app/RunPieces.h"
#include "app/SavedReturnCheck.h"
#include "app/TargetProduct.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/File.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/ShowMessage.h"
#include "report/BasicSection.h"
#include "report/ElementNameTable.h"
#include "report/OldRateAmounts.h"
#include "report/SystemSection.h"
#include "report/XmlWriter.h"

namespace app {
namespace {

namespace ui = platform::ui;

constexpr int32_t kUseDataType = 3;
constexpr int32_t kSettingsFlag = 1;
constexpr size_t kUserIdBytes = 65;

const char* DisplayText(int index) { return report::ElementNameTable::At(report::ElementNameTable::kDisplayTexts + index); }

int Box(ui::Window* owner, const std::string& text, uint32_t style) {
  return ui::ShowMessage(owner, text, kCaption, style);
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

int LinkApp::ParseHostCommandLine(std::string_view text) {
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
  return hostForm;
}

int LinkApp::CheckTargetProduct(int showMessages) {
  const std::string path = TargetDefinitionPath(platform::FileSystem::Default().CurrentFolder().path);
  std::optional<std::string> value;
  if (platform::FileSystem::Default().PathExists(path)) {
    value = platform::ReadProfileValue(kTargetLevelSection, kTargetLevelKey, path);
    if (!value) value = kTargetLevelDefault;
  }
  const char* message = TargetProductMessage(TargetProductCode(value));
  if (!message) return 1;
  if (showMessages)
    ClAccConnect::Inst()->DispMsg(static_cast<host::HostWnd>(hostWindow_), message, kCaption,
                                  host::kMbIconExclamation | host::kMbOk);
  return 0;
}

int LinkApp::ReadCompanyRecord(StDATAINFO& record) {
  ClSetData* data = DataSettings();
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  char userId[kUserIdBytes] = {};
  int32_t groupNo = 0, dataNo = 0;
  if (user) {
    user->GetCurUserID(userId, sizeof userId);
    user->GetSelectedNo(&groupNo, &dataNo);
  }
  record = StDATAINFO();
  if (!data) return 0;
  int32_t cursor = 0;
  if (data->GetDatCursor(&cursor) != host::kOk) return 0;
  int found = 0;
  data->ReadyDat(cursor, 0);
  StDATAINFO entry;
  while (data->WalkDat(cursor, &entry) == host::kOk) {
    if (entry.view().I32(StDATAINFO::kDataNo) == dataNo) {
      record = entry;
      found = 1;
      break;
    }
  }
  data->ReleaseDatCursor(cursor);
  return found;
}

int LinkApp::ReadTaxSettings(StSHOHIZEIINFO& settings, const StDATAINFO& record) {
  ClSetShohizei* tax = TaxSettingsObject();
  if (!tax) return 0;
  tax->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  tax->SetCurDataID(record.view().Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth).c_str());
  StSHOHIZEIINFO read;
  if (tax->Get(&read) != host::kOk) return 0;
  settings = read;
  return 1;
}

std::string LinkApp::FormatConditionText(int kind, const StDATAINFO& record) {
  const host::RecordView r = record.view();
  TaxSettingsFacts facts;
  if (kind >= 2 && kind <= 4) {
    StSHOHIZEIINFO settings;
    ReadTaxSettings(settings, record);
    const host::RecordView s = settings.view();
    taxRounding_ = s.U8(StSHOHIZEIINFO::kRounding);
    facts.taxMethod = s.U8(StSHOHIZEIINFO::kTaxMethod);
    facts.deductionMethod = s.U8(StSHOHIZEIINFO::kDeductionMethod);
    facts.mainBusinessType = s.U8(StSHOHIZEIINFO::kMainBusinessType);
    if (kind == 2) taxMethod_ = facts.taxMethod;
    if (kind == 4 && facts.taxMethod == 1) mainBusinessType_ = facts.mainBusinessType;
  }
  return ConditionText(kind, r.Text(StDATAINFO::kCompanyName, StDATAINFO::kCompanyNameWidth),
                       r.I32(StDATAINFO::kPeriodStart), r.I32(StDATAINFO::kPeriodEnd), facts, &DisplayText);
}

int32_t LinkApp::MonthStartDate(int16_t month) {
  ClSetData* data = DataSettings();
  if (!data) return 0;
  ClAccPeriod* period = nullptr;
  if (data->GetAccPeriod(&period) != host::kOk || !period) return 0;
  int32_t from = 0, to = 0;
  period->GetPeriodByAMonth(month, &from, &to, 0);
  delete period;
  return from;
}

int LinkApp::LoadSavedReturnInfo(StSaveTaxInfo* savedReturn, const StDATAINFO& record) {
  const std::string dataId = record.view().Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth);
  const int32_t status = ReadSavedReturn(savedReturn, dataId);
  if (status != host::kOk) ClMsgMgr::Inst()->SetLastError(status, __FILE__, __LINE__);
  if (status != host::kOk) return 0;
  return SavedReturnMatches(*savedReturn, record);
}

int LinkApp::SavedReturnMatches(const StSaveTaxInfo& savedReturn, const StDATAINFO& record) {
  CurrentDataFacts facts;
  ClSetData* data = DataSettings();
  ClAccPeriod* period = nullptr;
  if (data && data->GetAccPeriod(&period) == host::kOk && period) {
    period->GetPeriod(&facts.periodStart, &facts.periodEnd);
    delete period;
  }
  facts.closingPattern = record.view().I32(StDATAINFO::kClosingPattern);
  StSHOHIZEIINFO settings;
  ReadTaxSettings(settings, record);
  facts.taxMethod = settings.view().U8(StSHOHIZEIINFO::kTaxMethod);
  facts.deductionMethod = settings.view().U8(StSHOHIZEIINFO::kDeductionMethod);
  return ::app::SavedReturnMatches(savedReturn.view(), facts);
}

int32_t LinkApp::SavedReturnMonths(int32_t startDate, int32_t endDate, int16_t& startMonth, int16_t& endMonth) {
  ClSetData* data = DataSettings();
  ClAccPeriod* period = nullptr;
  int32_t status = data ? data->GetAccPeriod(&period) : host::kNotConnected;
  if (status == host::kOk && period) {
    status = period->GetAMonthByDate(startDate, &startMonth);
    if (status == host::kOk) status = period->GetAMonthByDate(endDate, &endMonth);
  }
  delete period;
  if (status != host::kOk) ClMsgMgr::Inst()->SetLastError(status, __FILE__, __LINE__);
  return status;
}

std::vector<MonthClause> LinkApp::BuildPeriodCondition(const StDATAINFO& record, int start, int end) {
  const host::RecordView r = record.view();
  const int32_t periodStart = r.I32(StDATAINFO::kPeriodStart);
  const int32_t periodEnd = r.I32(StDATAINFO::kPeriodEnd);
  int16_t first = 0;
  if (ClAccPeriod* period = new (std::nothrow) ClAccPeriod()) {
    period->SetPeriod(periodStart, periodEnd);
    int16_t closingDay = 31;
    period->GetClosingDayByEndDate(periodEnd, &closingDay);
    period->SetClosingDay(closingDay);
    period->GetAMonthByDate(periodStart, &first);
    delete period;
  }
  return PeriodMonthClauses(PeriodMonthsFrom(first, periodEnd), r.I32(StDATAINFO::kClosingPattern), start, end);
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

int LinkApp::WriteBasicSection(report::XmlWriter& writer, const StDATAINFO& record, int method) {
  report::BasicSectionFacts facts;
  facts.company = record.view();
  facts.method = method;
  facts.taxMethod = taxMethod_;
  if (savedReturn_) {
    facts.savedReturn = savedReturn_->data();
    facts.savedReturnSize = StSaveTaxInfo::kSize;
  }
  facts.hasOldRateAmounts = [this] { return HasOldRateAmounts(); };
  return report::WriteBasicSection(writer, facts);
}

bool LinkApp::SectionWritten(ui::Window* owner, int written, const char* question, bool& complete) {
  if (written) return true;
  complete = false;
  return Box(owner, question, ui::kMbIconExclamation | ui::kMbYesNo) != ui::kIdBoxNo;
}

bool LinkApp::FinishDocument(report::XmlWriter& writer, ui::Window* owner, bool goOn, bool complete) {
  const bool endWritten = writer.WriteEndTag("REPORT", 0) != 0;
  const bool closed = writer.CloseOutput() == 0;
  if (!goOn) return false;
  if (complete && endWritten && closed) return true;
  // A Yes to a section's question only goes on writing what can still be
  // written; the calling product must never take this file for a good one.
  Box(owner, msg::kOutputFailed, ui::kMbIconInformation | ui::kMbOk);
  return false;
}

int LinkApp::WriteSavedReturnReport(ui::Window* owner, const std::string& outputPath, const StDATAINFO& record) {
  const std::unique_ptr<platform::File> file =
      outputFileFactory_ ? outputFileFactory_() : platform::FileSystem::Default().NewFile();
  report::XmlWriter writer;
  writer.OpenOutput(file.get(), outputPath);
  writer.WriteRaw(msg::kXmlDeclaration);
  writer.WriteStartTag("REPORT", 0);
  bool complete = true;
  bool goOn = SectionWritten(owner, WriteSystemSection(writer), msg::kSystemFailed, complete);
  if (goOn) goOn = SectionWritten(owner, WriteBasicSection(writer, record, 1), msg::kBasicFailed, complete);
  if (goOn) {
    const host::RecordView saved = savedReturn_ ? savedReturn_->view() : host::RecordView(nullptr, 0);
    const int written = savedReturn_ && WriteSavedReturnData(writer, record.view(), saved, taxMethod_, taxRounding_);
    goOn = SectionWritten(owner, written, msg::kDataFailed, complete);
  }
  if (!FinishDocument(writer, owner, goOn, complete)) {
    runResult_ = 2;
    return 0;
  }
  return 1;
}

bool LinkApp::WriteJournalDocument(ui::Window* owner, const std::string& outputPath, const StDATAINFO& record,
                                   const StSHOHIZEIINFO& taxSettings) {
  const std::unique_ptr<platform::File> file =
      outputFileFactory_ ? outputFileFactory_() : platform::FileSystem::Default().NewFile();
  report::XmlWriter writer;
  writer.OpenOutput(file.get(), outputPath);
  writer.WriteRaw(msg::kXmlDeclaration);
  writer.WriteStartTag("REPORT", 0);
  bool complete = true;
  bool goOn = SectionWritten(owner, WriteSystemSection(writer), msg::kSystemFailed, complete);
  if (goOn) goOn = SectionWritten(owner, WriteBasicSection(writer, record, 0), msg::kBasicFailed, complete);
  if (goOn)
    goOn = SectionWritten(owner, WriteDataSection(writer, record, taxSettings, aggregate_, taxMethod_, taxRounding_),
                          msg::kDataFailed, complete);
  return FinishDocument(writer, owner, goOn, complete);
}

bool LinkApp::RunJournalMethod(ProgressDialog& progress, const StDATAINFO& record, int start, int end) {
  // 16-17: the rate tables (at least three rates whatever the host reports).
  if (!PrepareRateTables(aggregate_)) {
    runResult_ = 2;
    return false;
  }

  // 18-20: what the checks and passes work under.
  AggregationContext& context = progress.context();
  context.taxMethod = taxMethod_;
  context.mainBusinessType = mainBusinessType_;
  context.periodCondition.Clear();
  for (const MonthClause& clause : BuildPeriodCondition(record, start, end))
    context.periodCondition.AppendMonthClause(clause.comparison, clause.month, clause.joiner);
  TaxSettings settings;
  ReadTaxSettings(settings, record);

  // 21-25: the sixth business type, the new rates, the import categories.
  const RunCheckInput checks{settings, static_cast<int16_t>(start), static_cast<int16_t>(end),
                             MonthStartDate(static_cast<int16_t>(start)), CurrentEdition().programName};
  if (const int stop = RunPreAggregationChecks(progress, checks)) {
    runResult_ = stop;
    return false;
  }

  // 26-27: the passes under the shown window; the wait cursor stays begun
  // until the document is written.
  switch (RunJournalAggregation(progress, aggregate_, record, settings)) {
    case AggregationStatus::kDone:
      break;
    case AggregationStatus::kAmountsTooLarge:
      ui::EndWaitCursor();
      Box(&progress, msg::kAmountsTooLarge, ui::kMbIconExclamation | ui::kMbOk);
      runResult_ = 2;
      return false;
    case AggregationStatus::kLedgerFault:
      // The books could not be read to the end: the figures would be a
      // part of them, so nothing is written.
      ui::EndWaitCursor();
      Box(&progress, msg::kLedgerUnreadable + ClMsgMgr::MessageFor(progress.context().ledgerFault),
          ui::kMbIconExclamation | ui::kMbOk);
      runResult_ = 2;
      return false;
  }

  // 28-30: the document.
  const bool written = WriteJournalDocument(&progress, outputPathForRun_, record, settings);
  ui::EndWaitCursor();
  if (!written) {
    runResult_ = 2;
    return false;
  }
  return true;
}

bool LinkApp::StartRun() {
  // 2: the connection to the accounting host.
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

  // 3: the calling program.
  if (ParseHostCommandLine(CommandLine()) == 1) {
    hostStarted_ = 1;
    hostWindowObject_ = ui::Window::FromHandle(hostWindow_);
    if (hostWindowObject_) hostWindowObject_->EnableWindow(false);
    connection->SetOwnerWindow(static_cast<host::HostWnd>(hostWindow_));
  }

  // 4: the program's folder is where the definition and support files are.
  const std::string folder = platform::FileSystem::Default().ProgramFolder().path;
  if (!folder.empty()) platform::FileSystem::Default().ChangeCurrentFolder(folder);

  // 5-6: the target product and the system link.
  if (CheckTargetProduct(1) == 0) {
    runResult_ = 2;
    return false;
  }
  const int32_t link = connection->ExpSysLink();
  if (link != 0) {
    runResult_ = link == 1 ? 1 : 2;
    return false;
  }

  // 7-9: the company and its saved return.
  StDATAINFO record;
  ReadCompanyRecord(record);
  savedReturn_ = std::make_unique<StSaveTaxInfo>();
  const int available = LoadSavedReturnInfo(savedReturn_.get(), record);

  // 10-11: the conditions dialog's inputs.
  ConditionInputs inputs;
  if (ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject()) {
    char userId[kUserIdBytes] = {};
    user->GetCurUserID(userId, sizeof userId);
    inputs.userId = userId;
    user->GetSelectedNo(&inputs.selectedNo[0], &inputs.selectedNo[1]);
  }
  if (hostStarted_) inputs.fixedOutputPath = fixedOutputPath_;
  const host::RecordView r = record.view();
  inputs.periodStart = r.I32(StDATAINFO::kPeriodStart);
  inputs.periodEnd = r.I32(StDATAINFO::kPeriodEnd);
  const host::RecordView saved = savedReturn_->view();
  SavedReturnMonths(saved.I32(StSaveTaxInfo::kReturnStart), saved.I32(StSaveTaxInfo::kReturnEnd),
                    inputs.returnStartMonth, inputs.returnEndMonth);
  inputs.pastRecord = r.I16(StDATAINFO::kPastRecord) == StDATAINFO::kPastRecordMark ? 1 : 0;
  inputs.returnValuesAvailable = available;
  for (int kind = 0; kind < 5; ++kind) inputs.texts[kind] = FormatConditionText(kind, record);
  inputs.taxationKind = static_cast<int16_t>(static_cast<int8_t>(taxMethod_));
  inputs.settingsFileName = CurrentEdition().settingsFileName;

  // 12-13: the user's choice.
  ConditionStep conditions(hostWindowObject_, inputs);
  ChosenConditions chosen;
  if (conditions.Show(chosen) == kDialogCancel) {
    runResult_ = 1;
    return false;
  }
  const int start = static_cast<int>(DecimalToLong(chosen.startMonthText));
  const int end = static_cast<int>(DecimalToLong(chosen.endMonthText));
  outputPathForRun_ = chosen.outputPath;
  const int method = chosen.method;

  // 14: the progress window, hidden, without owner; it owns every message
  // box from here on.
  auto progress = std::make_unique<ProgressDialog>();
  progress->Create();

  if (method == 1) {
    // 15: the values saved in the host's return screens.
    if (!WriteSavedReturnReport(progress.get(), outputPathForRun_, record)) {
      savedReturn_.reset();
      return false;
    }
  } else if (!RunJournalMethod(*progress, record, start, end)) {
    // 16-30.
    return false;
  }

  // 31-33.
  conditions.Store(start, end, hostStarted_ ? nullptr : &outputPathForRun_, method);
  aggregate_.ReleaseRateTables();
  savedReturn_.reset();
  Box(progress.get(), msg::kCompleted, ui::kMbIconInformation | ui::kMbOk);
  progress.reset();
  completedDocument_ = outputPathForRun_;
  return true;
}

int LinkApp::EndRun() {
  ClAccConnect* connection = ClAccConnect::Inst();
  connection->LogOut();
  connection->Terminate();
  connection->Release();
  if (hostStarted_ == 1 && hostWindowObject_) {
    hostWindowObject_->SetForegroundWindow();
    hostWindowObject_->EnableWindow(true);
    hostWindowObject_->PostMessage(hostMessage_, static_cast<int64_t>(functionId_), runResult_);
    hostWindowObject_->EnableWindow(true);
  }
  ui::Application::EndRun();
  return connectionFailed_ ? 3 : runResult_;
}

}  // namespace app
