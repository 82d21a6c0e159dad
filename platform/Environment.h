// The environment variables that name files and folders for the programs
// (LEDGER_HOME, TAXBRIDGE_DRIVES, TAXBRIDGE_SCRIPT, TAXBRIDGE_TRANSCRIPT,
// TAXBRIDGE_RUNTIME_DIR), anchored to the folder the program was started in.
//
// A program calls AnchorPathVariables() once, first thing in main and before
// any thread starts: each of those variables that holds a relative path is
// rewritten as the absolute path it meant in the start folder. Later readers,
// and the programs this one starts, then see the same file even after the
// current folder has changed (the run changes it, as the home platform's save
// dialog does). Variables that are unset, empty or absolute are left alone.
#ifndef TAXBRIDGE_PLATFORM_ENVIRONMENT_H_
#define TAXBRIDGE_PLATFORM_ENVIRONMENT_H_

#include <string>

namespace platform {

// Returns false, with *error naming the cause, only when a relative value is
// present but the start folder cannot be known; the variables are then left
// as they were, and the caller should stop rather than run on paths that
// would move.
bool AnchorPathVariables(std::string* error);

// The variables AnchorPathVariables() treats, for messages and tests.
inline constexpr const char* kPathVariables[] = {"LEDGER_HOME", "TAXBRIDGE_DRIVES", "TAXBRIDGE_SCRIPT",
                                                 "TAXBRIDGE_TRANSCRIPT", "TAXBRIDGE_RUNTIME_DIR"};

}  // namespace platform

#endif  // TAXBRIDGE_PLATFORM_ENVIRONMENT_H_
