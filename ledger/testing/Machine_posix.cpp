#include "ledger/testing/Machine.h"

#include <cstdlib>
#include <filesystem>

namespace ledger::testing {

void SetVariable(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}

std::string TemporaryFolder() { return std::filesystem::temp_directory_path().string(); }

std::string SettingsFolderFor(const std::string&) { return "C:\\taxbridge\\"; }

}  // namespace ledger::testing
