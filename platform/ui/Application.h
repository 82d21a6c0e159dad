// The application object: one per process, defined once by the program as
// TheApplication(). The entry point hands it the command line, calls StartRun
// (the whole run, on the one thread) and then EndRun, whose value becomes the
// process exit status.
//
// There is no main window and no message loop: StartRun returns when the run
// is over, true or false, and EndRun runs after it in every case.
#pragma once

#include <string>
#include <string_view>

namespace platform::ui {

class Application {
 public:
  Application() = default;
  virtual ~Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The run. The base does nothing and returns false (no message loop to enter).
  virtual bool StartRun() { return false; }
  // Exit operation; returns the process exit status. The base returns 0.
  virtual int EndRun() { return 0; }

  // The argument text without the program name, Shift_JIS. Arguments given as
  // separate words are joined by one blank each, as the home platform passes them.
  const std::string& CommandLine() const { return commandLine_; }
  void SetCommandLine(std::string_view cp932Text) { commandLine_ = std::string(cp932Text); }

 private:
  std::string commandLine_;
};

// Defined once per program (by the program's own application code). A program
// that lacks it does not link.
Application& TheApplication();

}  // namespace platform::ui
