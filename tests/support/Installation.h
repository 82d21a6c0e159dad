// For the suites that make an accounting installation with the ledger
// program (`ledger init`) and then launch a program on it: the
// installation's settings folder made the test's own, as the ledger's
// fixtures make theirs (ledger::testing::SettingsFolderFor). On Linux that
// leaves "C:\taxbridge\", which the test's drive map already keeps apart; on
// Windows it keeps the programs' settings files out of the machine's C: and
// away from every other test's.
//
// UseOwnSettingsFolder rewrites ledger.ini in `home`; it returns "" or what
// went wrong.
#pragma once

#include <filesystem>
#include <string>

#include "ledger/Installation.h"
#include "ledger/testing/Machine.h"

namespace test_support {

inline std::string UseOwnSettingsFolder(const std::filesystem::path& home) {
  ledger::InstallationSettings settings;
  std::string error;
  if (!ledger::Installation::ReadSettings(home.string(), &settings, &error)) return error;
  settings.folder1 = ledger::testing::SettingsFolderFor(home.string());
  if (!ledger::Installation::WriteSettings(home.string(), settings, &error)) return error;
  return {};
}

}  // namespace test_support
