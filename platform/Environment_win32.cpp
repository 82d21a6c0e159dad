// The path variables anchored on Windows: the start folder is
// GetCurrentDirectoryA's, values are CP932 paths as the ...A functions take
// them, and a rewritten value is set with _putenv_s so that getenv (the C
// runtime's copy of the environment, which the programs read) sees it, and
// so do the programs this one starts.
#include "platform/Environment.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ShiftJis.h"

#include <windows.h>

namespace platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool HasDrive(std::string_view p) { return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':'; }

// Absolute: "X:\..." (or "X:/...") and network paths "\\server\share...".
// Everything else depends on the current folder or the current drive.
bool IsAbsolute(std::string_view p) {
  if (HasDrive(p)) return p.size() >= 3 && IsSeparator(p[2]);
  return p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1]);
}

// The root of the current folder without a trailing separator: "C:" for a
// drive, "\\server\share" for a network folder.
std::string RootOf(const std::string& folder) {
  if (HasDrive(folder)) return folder.substr(0, 2);
  size_t seps = 0;
  for (size_t i = 0; i < folder.size(); i += sjis::CharLength(folder, i)) {
    if (IsSeparator(folder[i]) && ++seps == 4) return folder.substr(0, i);
  }
  return folder;
}

// The absolute path `value` meant in `start` (a folder of the machine with
// its root). "\x" is on the current drive; "C:x" is in the current folder
// when that is on C:, else at the root of C: (the process keeps no current
// folder for other drives that this program could rely on).
std::string Anchored(const std::string& start, std::string_view value) {
  std::string folder = start;
  if (!sjis::EndsWithChar(folder, '\\') && !sjis::EndsWithChar(folder, '/')) folder += '\\';
  if (IsSeparator(value[0])) return RootOf(start) + std::string(value);
  if (HasDrive(value)) {
    const bool same_drive = HasDrive(start) && (start[0] & ~0x20) == (value[0] & ~0x20);
    const std::string rest(value.substr(2));
    return same_drive ? folder + rest : std::string(value.substr(0, 2)) + "\\" + rest;
  }
  return folder + std::string(value);
}

}  // namespace

bool AnchorPathVariables(std::string* error) {
  std::vector<const char*> relative;
  for (const char* name : kPathVariables) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0' && !IsAbsolute(value)) relative.push_back(name);
  }
  if (relative.empty()) return true;

  std::string start(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(start.size()), start.data());
    if (n == 0) {
      *error = std::string("cannot tell the current folder, so the relative path in ") + relative.front() +
               " has nothing to stand in (Windows error " + std::to_string(GetLastError()) + ")";
      return false;
    }
    if (n < start.size()) {
      start.resize(n);
      break;
    }
    start.resize(n);  // n counts the terminating NUL when the buffer was too small
  }
  for (const char* name : relative) {
    const std::string anchored = Anchored(start, std::getenv(name));
    if (_putenv_s(name, anchored.c_str()) != 0) {
      *error = std::string("cannot set ") + name;
      return false;
    }
  }
  return true;
}

}  // namespace platform
