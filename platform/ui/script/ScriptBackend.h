// The unattended backend. Every user action comes from a script (UTF-8 text,
// one action a line) and everything shown is appended to a transcript (UTF-8,
// one event a line). The formats are described in docs/script-format.md.
//
// The script is one queue read in order: a modal dialog takes the next line as
// its next action (type, click, key), a message box takes the next "answer",
// the save-file dialog the next "save". A script that runs out, names a
// control the dialog lacks, asks for a button the box does not have, or gives
// the wrong kind of line ends the run: the error goes to the transcript and to
// standard error, and the process exits with status 2.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ui/Backend.h"

namespace platform::ui::script {

inline constexpr int kScriptErrorExitStatus = 2;

class ScriptBackend : public Backend {
 public:
  // `scriptText`: the script's UTF-8 text; `transcript`: where events go
  // (flushed after each line); `scriptName`: shown in error messages.
  ScriptBackend(std::string scriptText, std::ostream& transcript, std::string scriptName = "script");
  ~ScriptBackend() override;

  // From the files named by TAXBRIDGE_SCRIPT and TAXBRIDGE_TRANSCRIPT (the
  // transcript appended to; standard output when no transcript is named).
  // Null with *error set when a file cannot be read or opened.
  static std::unique_ptr<ScriptBackend> FromEnvironment(std::string* error);

  void DeliverInput(Dialog& dialog) override;
  int ShowMessageBox(const MessageBoxRequest& box) override;
  std::optional<std::string> SaveFile(const SaveFileDialogOptions& options) override;
  void DialogShown(const Dialog& dialog) override;
  void DialogEnded(const Dialog& dialog) override;
  void CaptionChanged(const Dialog& dialog) override;
  void ToolTipAdded(const Control& control) override;
  void WaitCursorChanged(bool shown) override;
  void CallerEvent(const CallerEventNotice& event) override;

  // Lines of the script not yet used.
  size_t RemainingActions() const;

 private:
  struct Line {
    int number;
    std::string text;
  };
  const Line* Next();
  [[noreturn]] void Fail(const std::string& message);
  void Write(const std::string& line);
  void DumpControls(const Dialog& dialog);

  std::vector<Line> lines_;
  size_t next_ = 0;
  std::unique_ptr<std::ostream> ownedTranscript_;
  std::ostream* transcript_;
  std::string scriptName_;
};

}  // namespace platform::ui::script
