// What a test fixture needs of the machine beyond the ledger's own files: its
// environment and its folder for temporary files. Machine_posix.cpp and
// Machine_win32.cpp implement it. Names are in the machine's own encoding, as
// in ledger/LocalFiles.h.
#pragma once

#include <optional>
#include <string>

namespace ledger::testing {

// Sets the environment variable, or removes it when `value` is nothing.
void SetVariable(const std::string& name, const std::optional<std::string>& value);
// The folder for temporary files, without a separator at its end.
std::string TemporaryFolder();

}  // namespace ledger::testing
