#include "ledger/testing/Machine.h"

#include <cstdlib>

#include <windows.h>

namespace ledger::testing {

void SetVariable(const std::string& name, const std::optional<std::string>& value) {
  // An empty value removes the variable for _putenv_s, as a missing one.
  _putenv_s(name.c_str(), value ? value->c_str() : "");
}

std::string TemporaryFolder() {
  // GetTempPathA gives the name in the ANSI code page, as the ledger takes
  // its names; std::filesystem would give it in UTF-8.
  char folder[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  std::string text = n > 0 && n < sizeof folder ? std::string(folder, n) : std::string("C:\\");
  while (text.size() > 3 && text.back() == '\\') text.pop_back();
  return text;
}

std::string SettingsFolderFor(const std::string& home) {
  std::string folder = home;
  for (char& c : folder)
    if (c == '/') c = '\\';
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder + "taxbridge\\";
}

}  // namespace ledger::testing
