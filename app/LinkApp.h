// LinkApp: the application object and the run driver. One process performs
// one run:
//
//   connection to the accounting host -> command line -> program folder as the
//   current directory -> target product check -> system link -> company record
//   and saved return -> conditions dialog -> method 1: the saved-return
//   document; method 0: run checks, aggregation, the document -> settings ->
//   completion message.
//
// StartRun is the whole run; it returns true only when the run completed. A
// run whose document is incomplete (a section failed, even when the user went
// on with Yes) has failed: result 2, no settings stored, and the failure
// message instead of the completion message.
// EndRun runs after every StartRun: it closes the host connection and, when a
// calling window started the program, enables that window again and posts the
// run result to it. Its value is the process exit status: the run result
// (0 completed, 1 stopped by the user or refused, 2 failed), or 3 when the
// company data could not be opened at all. After a completed run, and only
// then, CompletedDocument names the document written (the entry point prints
// it for the user once the terminal is given back).
//
// Every message box of the run has the caption "消費税". The dialog object and
// the progress window belong to the run and are gone before StartRun returns.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aggregate/TaxAggregate.h"
#include "app/ConditionText.h"
#include "app/HostCommandLine.h"
#include "app/PeriodMonths.h"
#include "host/Host.h"
#include "platform/ExitReport.h"
#include "platform/File.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

class ProgressDialog;

namespace report {
class XmlWriter;
}

namespace app {


inline constexpr char kCaption[] = "消費税";

class LinkApp : public platform::ui::Application, public platform::ExitReport {
 public:
  LinkApp();
  ~LinkApp() override;

  bool StartRun() override;
  int EndRun() override;
  std::string CompletedDocument() const override { return completedDocument_; }

  // Run helpers, in the order the driver uses them.
  int ParseHostCommandLine(std::string_view text);
  int CheckTargetProduct(int showMessages);
  int ReadCompanyRecord(StDATAINFO& record);
  int ReadTaxSettings(StSHOHIZEIINFO& settings, const StDATAINFO& record);
  std::string FormatConditionText(int kind, const StDATAINFO& record);
  int32_t MonthStartDate(int16_t month);
  int LoadSavedReturnInfo(StSaveTaxInfo* savedReturn, const StDATAINFO& record);
  int SavedReturnMatches(const StSaveTaxInfo& savedReturn, const StDATAINFO& record);
  int32_t SavedReturnMonths(int32_t startDate, int32_t endDate, int16_t& startMonth, int16_t& endMonth);
  std::vector<MonthClause> BuildPeriodCondition(const StDATAINFO& record, int start, int end);

  // The document's SYSTEM and BASIC sections from this run's facts.
  int WriteSystemSection(report::XmlWriter& writer);
  int WriteBasicSection(report::XmlWriter& writer, const StDATAINFO& record, int method);
  int HasOldRateAmounts();
  // The whole document of method 1, asking after each failed section. 0 (with
  // runResult 2) when the user stopped after a failure or the document is
  // incomplete (a section failed, or the end tag or the close failed); else 1.
  int WriteSavedReturnReport(platform::ui::Window* owner, const std::string& outputPath, const StDATAINFO& record);

  // Observers, for the program's own checks and for tests.
  int32_t hostStarted() const { return hostStarted_; }
  long hostWindow() const { return hostWindow_; }
  uint32_t hostMessage() const { return hostMessage_; }
  int16_t functionId() const { return functionId_; }
  const std::string& fixedOutputPath() const { return fixedOutputPath_; }
  int32_t runResult() const { return runResult_; }
  uint8_t taxMethod() const { return taxMethod_; }
  uint8_t mainBusinessType() const { return mainBusinessType_; }
  uint8_t taxRounding() const { return taxRounding_; }
  const TaxAggregate& aggregate() const { return aggregate_; }
  TaxAggregate& aggregate() { return aggregate_; }
  void SetSavedReturn(std::unique_ptr<StSaveTaxInfo> savedReturn) { savedReturn_ = std::move(savedReturn); }
  void SetTaxMethod(uint8_t method) { taxMethod_ = method; }
  // Test seam: where the output document's file objects come from (one per
  // document). The program never sets it and writes through
  // platform::FileSystem::Default().NewFile(); fault-injection tests hand in
  // a file that fails the open, any one write or the close of a whole run.
  using OutputFileFactory = std::function<std::unique_ptr<platform::File>()>;
  void SetOutputFileFactory(OutputFileFactory factory) { outputFileFactory_ = std::move(factory); }

 private:
  // Steps of the journal method, from the rate tables to the closed document.
  bool RunJournalMethod(ProgressDialog& progress, const StDATAINFO& record, int start, int end);
  bool WriteJournalDocument(platform::ui::Window* owner, const std::string& outputPath, const StDATAINFO& record,
                            const StSHOHIZEIINFO& taxSettings);
  // The outcome of one section writer (1 written, 0 failed): true to go on.
  // A failed section marks `complete` false and asks its question; the
  // user's Yes goes on, No stops.
  bool SectionWritten(platform::ui::Window* owner, int written, const char* question, bool& complete);
  // Writes the REPORT end tag and closes the file, whatever came before, and
  // answers whether the run goes on to completion. `goOn` false (the user
  // answered No) gives false. Otherwise the document is complete only when
  // every section was written (`complete`) and the end tag and the close
  // succeeded; an incomplete document is reported (kOutputFailed) and gives
  // false, so that no broken file is ever taken for a finished one.
  bool FinishDocument(report::XmlWriter& writer, platform::ui::Window* owner, bool goOn, bool complete);
  ClSetData* DataSettings();
  ClSetShohizei* TaxSettingsObject();

  // Members in the order of the application object.
  int32_t hostStarted_ = 0;
  long hostWindow_ = 0;
  uint32_t hostMessage_ = 0;
  int16_t functionId_ = 1;
  std::string fixedOutputPath_;
  platform::ui::Window* hostWindowObject_ = nullptr;
  int32_t runResult_ = 0;
  ClSetData* dataSettings_ = nullptr;
  ClSetShohizei* taxSettingsObject_ = nullptr;
  TaxAggregate aggregate_;  // rateTotals, businessTotals and every amount
  std::unique_ptr<StSaveTaxInfo> savedReturn_;
  uint8_t taxMethod_ = 0;
  uint8_t mainBusinessType_ = 0;
  uint8_t taxRounding_ = 0;

  bool connectionFailed_ = false;
  std::string outputPathForRun_;  // the output file of this run
  std::string completedDocument_;  // that file, once the run has completed
  OutputFileFactory outputFileFactory_;  // empty, except in fault-injection tests
};

}  // namespace app
