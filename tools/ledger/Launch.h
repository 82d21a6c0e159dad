// How `ledger launch` starts the component and waits for it, as the
// accounting product does on its platform: Launch_posix.cpp forks and execs,
// Launch_win32.cpp calls CreateProcessA with the command line
// "<program> HWND,MESSAGE,FUNCTION,[PATH]".
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace ledger_tool {

// The folder this program was started from.
std::string ProgramFolder();
// The component of an edition ("plus") in `folder`, named as the platform
// names programs (taxbridge_plus, taxbridge_plus.exe).
std::string ComponentPath(const std::string& folder, const std::string& edition);
// True when `path` is a program that can be started.
bool IsStartable(const std::string& path);
// True when standard output is a terminal (a console window).
bool OutputIsTerminal();

// How a started program ended: its exit status, or on Linux the signal
// that ended it.
struct Ending {
  bool exited = true;
  int status = 0;  // the exit status, or the signal number when !exited
};

class Child {
 public:
  // Starts `program` with `line` as its one argument; null with *error
  // (what the system said) when it cannot be started.
  static std::unique_ptr<Child> Start(const std::string& program, const std::string& line, std::string* error);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // How it ended, or nothing while it runs. Does not wait.
  std::optional<Ending> Poll();

 private:
  explicit Child(intptr_t id) : id_(id) {}
  intptr_t id_;  // the process id, or the Windows process handle
  std::optional<Ending> ending_;
};

}  // namespace ledger_tool
