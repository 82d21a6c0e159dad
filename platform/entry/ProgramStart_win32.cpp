#include "platform/entry/ProgramStart.h"

#include <windows.h>

#include "platform/ui/win32/Win32Backend.h"

namespace platform::entry {

// GetCommandLineA's text (the ANSI code page: 932 on a Japanese system)
// after the program name, which is skipped as the C runtime skips it: a
// quoted name up to its closing quote, else up to the first blank; then the
// blanks after it. The rest reaches the application byte for byte.
std::optional<std::string> CommandLineText(int, char**, std::string*) {
  const char* line = ::GetCommandLineA();
  if (line == nullptr) return std::string();
  const char* p = line;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return std::string(p);
}

// The program's real windows.
std::unique_ptr<ui::Backend> OpenInteractiveBackend(std::string* error) {
  return ui::win32::Win32Backend::Open(error);
}

// The Windows path itself, in the console's code page.
std::optional<std::string> ShownDocumentPath(const std::string& windowsPath) { return windowsPath; }

}  // namespace platform::entry
