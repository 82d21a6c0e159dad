// What the program's entry point takes from the platform it starts on: the
// command line as the home platform hands it to the application, the
// interactive user interface when no script answers the program, and the
// completed document's path as the user is shown it.
//
// One implementation per platform: ProgramStart_posix.cpp (the argument
// words, UTF-8, joined and converted to Shift_JIS; the terminal backend; the
// Linux path of the document) and ProgramStart_win32.cpp (GetCommandLineA's
// text after the program name, as it is; the real windows; the Windows path
// as it is).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Backend.h"

namespace platform::entry {

// The argument text without the program name, in Shift_JIS; nullopt with
// *error set when it cannot be had.
std::optional<std::string> CommandLineText(int argc, char** argv, std::string* error);

// The user interface for a run that no script answers, or null with *error
// saying why there is none.
std::unique_ptr<ui::Backend> OpenInteractiveBackend(std::string* error);

// The completed document's Windows path (CP932) as the line printed for the
// user; nullopt when it cannot be shown.
std::optional<std::string> ShownDocumentPath(const std::string& windowsPath);

}  // namespace platform::entry
