// LinkApp: the application object and the run driver. One process performs
// one run, in these steps:
//
//   1. the connection to the accounting host;
//   2. the command line of a calling program, and the program's folder as the
//      current directory;
//   3. the target product check and the system link;
//   4. the run's facts, read once (app/RunFacts.h): the user and the selected
//      data, the company record, the saved return, the tax settings and the
//      period; every later step takes its facts from them;
//   5. the conditions dialog (dialog/ConditionDialog.h), whose inputs are
//      built from the facts;
//   6. method 1: the saved-return document; method 0: the rate tables, the run
//      checks, the aggregation passes and the journal document;
//   7. the conditions stored in the settings file, and the completion message.
// Each step answers a StepResult; StartRun turns the first one that is not
// kCompleted into the run result, in that one place, and returns true only
// when the run completed. A run whose document is incomplete (a section
// failed, even when the user went on with Yes) has failed: result 2, no
// settings stored, and the failure message instead of the completion message.
//
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

#include "aggregate/TaxAggregate.h"
#include "app/RunFacts.h"
#include "dialog/ConditionDialog.h"
#include "host/Host.h"
#include "platform/ExitReport.h"
#include "platform/File.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace aggregate {
class ProgressDialog;
}

namespace report {
class XmlWriter;
}

namespace app {

inline constexpr char kCaption[] = "消費税";

// How a step of the run ended: completed (the run goes on), stopped by the
// user or refused, or failed.
enum class StepResult { kCompleted, kStopped, kFailed };

// The run result a step's outcome gives: 0 completed, 1 stopped, 2 failed.
constexpr int32_t RunResultOf(StepResult result) {
  switch (result) {
    case StepResult::kCompleted:
      return 0;
    case StepResult::kStopped:
      return 1;
    case StepResult::kFailed:
      break;
  }
  return 2;
}

class LinkApp : public platform::ui::Application, public platform::ExitReport {
 public:
  LinkApp();
  ~LinkApp() override;

  bool StartRun() override;
  int EndRun() override;
  std::string CompletedDocument() const override { return completedDocument_; }

  // ---- Test seams ----
  // The program never calls these.
  //
  // Where the output document's file objects come from (one per document).
  // The program writes through platform::FileSystem::Default().NewFile();
  // fault-injection tests hand in a file that fails the open, any one write or
  // the close of a whole run.
  using OutputFileFactory = std::function<std::unique_ptr<platform::File>()>;
  void SetOutputFileFactory(OutputFileFactory factory) { outputFileFactory_ = std::move(factory); }
  // The return-values method from the run's facts on, without the host link
  // and the dialog: the conditions' inputs are built from `facts` (which takes
  // the run's tax facts from them, as a run does) and the document is written
  // to `outputPath` with `owner` owning its questions.
  StepResult WriteSavedReturnDocumentFrom(const RunFacts& facts, platform::ui::Window* owner,
                                          const std::string& outputPath);

 private:
  // Writes one section of a document into the writer: 1 written, 0 failed.
  using SectionWriter = std::function<int(report::XmlWriter&)>;

  // The run from the command line on, once the host is connected.
  StepResult RunConnected(ClAccConnect* connection);
  // The steps of the run before the facts are read.
  bool ParseHostCommandLine(std::string_view text);
  bool TargetProductAccepted();
  // The conditions dialog's inputs from the run's facts. This is where the
  // application object's copies of the tax facts (taxMethod_,
  // mainBusinessType_, taxRounding_) are taken from the settings.
  dialog::ConditionInputs ConditionInputsFor(const RunFacts& facts);

  // Method 1: the document of the values saved in the host's return screens.
  StepResult WriteSavedReturnDocument(platform::ui::Window* owner, const std::string& outputPath,
                                      const RunFacts& facts);
  // Method 0: from the rate tables to the closed document, over the calendar
  // months `start` to `end`.
  StepResult RunJournalMethod(aggregate::ProgressDialog& progress, const RunFacts& facts, int start, int end,
                              const std::string& outputPath);
  int32_t MonthStartDate(int16_t month);

  // The document of either method: the XML declaration, REPORT, SYSTEM,
  // BASIC in the form of `method`, DATA from `writeData`, the end tag and the
  // close. A failed section asks its question; the user's Yes goes on, No
  // stops. kCompleted only when every section, the end tag and the close
  // succeeded; an incomplete document the user went on with is reported
  // (kOutputFailed), so that no broken file is ever taken for a finished one.
  StepResult WriteDocument(platform::ui::Window* owner, const std::string& outputPath, const RunFacts& facts,
                           int method, const SectionWriter& writeData);
  int WriteSystemSection(report::XmlWriter& writer);
  int WriteBasicSection(report::XmlWriter& writer, const RunFacts& facts, int method);
  int HasOldRateAmounts();

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
  aggregate::TaxAggregate aggregate_;  // rateTotals, businessTotals and every amount
  uint8_t taxMethod_ = 0;
  uint8_t mainBusinessType_ = 0;
  uint8_t taxRounding_ = 0;

  bool connectionFailed_ = false;
  std::string completedDocument_;  // the document written, once the run has completed
  OutputFileFactory outputFileFactory_;  // empty, except in fault-injection tests
};

}  // namespace app
