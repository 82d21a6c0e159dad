// ExitReport: what a program tells its user on standard output once its run
// is over and the user interface has given the terminal back.
//
// An application object (platform/ui/Application.h) that also implements
// this interface is asked by the entry point after EndRun, when the backend
// has ended; a program whose application object does not implement it prints
// nothing. The entry point prints the document as the Linux path the drive map
// gives it (the file a user of this machine can open), on one line.
#pragma once

#include <string>

namespace platform {

class ExitReport {
 public:
  virtual ~ExitReport() = default;

  // The Windows path (CP932) of the document a completed run wrote; empty
  // when the run did not complete.
  virtual std::string CompletedDocument() const = 0;
};

}  // namespace platform
