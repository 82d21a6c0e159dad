#include "tools/ledger/Launch.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace ledger_tool {

std::string ProgramFolder() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

std::string ComponentPath(const std::string& folder, const std::string& edition) {
  return folder + "/taxbridge_" + edition;
}

bool IsStartable(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

bool OutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

std::unique_ptr<Child> Child::Start(const std::string& program, const std::string& line, std::string* error) {
  const pid_t child = ::fork();
  if (child < 0) {
    *error = std::string("fork: ") + std::strerror(errno);
    return nullptr;
  }
  if (child == 0) {
    ::execl(program.c_str(), program.c_str(), line.c_str(), static_cast<char*>(nullptr));
    std::perror("ledger: exec");
    ::_exit(127);
  }
  return std::unique_ptr<Child>(new Child(child));
}

// A child that is given up on is not waited for; it is the caller's to end.
Child::~Child() = default;

std::optional<Ending> Child::Poll() {
  if (ending_) return ending_;
  int status = 0;
  if (::waitpid(static_cast<pid_t>(id_), &status, WNOHANG) != static_cast<pid_t>(id_)) return std::nullopt;
  ending_ = WIFEXITED(status) ? Ending{true, WEXITSTATUS(status)} : Ending{false, WTERMSIG(status)};
  return ending_;
}

}  // namespace ledger_tool
