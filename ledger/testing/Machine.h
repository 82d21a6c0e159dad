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
// The accounting product's settings folder (ledger.ini's Folder1, where the
// programs keep their settings files) for an installation in `home`. On
// Linux "C:\taxbridge\", as the product installs it: a test that launches a
// program gives it a C: drive of its own through the drive map. On Windows,
// whose C: is the machine's own, "taxbridge\" inside `home` as a Windows
// path, so that no two installations of the tests share settings and none
// touches the machine's.
std::string SettingsFolderFor(const std::string& home);

}  // namespace ledger::testing
