#include "platform/entry/ProgramStart.h"

#include <unistd.h>

#include "platform/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/ui/tty/TtyBackend.h"

namespace platform::entry {

std::optional<std::string> CommandLineText(int argc, char** argv, std::string* error) {
  std::string arguments;
  for (int i = 1; i < argc; ++i) arguments += (i > 1 ? " " : "") + std::string(argv[i]);
  auto text = platform::Utf8ToCp932(arguments);
  if (!text) *error = "the command line is not UTF-8 text that Shift_JIS can hold";
  return text;
}

std::unique_ptr<ui::Backend> OpenInteractiveBackend(std::string* error) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    *error = "no user interface: standard input and output are not a terminal and TAXBRIDGE_SCRIPT "
             "names no script, so nobody could answer the program";
    return nullptr;
  }
  std::string why;
  auto backend = ui::tty::TtyBackend::Open(&why);
  if (!backend) *error = "the terminal cannot be used: " + why;
  return backend;
}

// The Linux path a user of this machine can open; the Windows path (as
// UTF-8) only when the drive map cannot give one.
std::optional<std::string> ShownDocumentPath(const std::string& windowsPath) {
  const HostPath host = FileSystem::Default().ToHostPath(windowsPath);
  return host.ok() ? std::optional<std::string>(host.path) : Cp932ToUtf8(windowsPath);
}

}  // namespace platform::entry
