#include "platform/Profile.h"

// On Windows the file is read by the system's own GetPrivateProfileStringA.

#include <string>

#include <windows.h>

namespace platform {

namespace {

// The file as a full path: GetPrivateProfileStringA looks for a name without
// a folder in the Windows folder, the header says the current folder.
std::string FullPath(const std::string& file) {
  char buffer[MAX_PATH];
  char* name = nullptr;
  const DWORD n = ::GetFullPathNameA(file.c_str(), MAX_PATH, buffer, &name);
  if (n == 0 || n >= MAX_PATH) return file;
  return std::string(buffer, n);
}

// One read with `fallback` as the default; the whole value, however long.
std::string Read(const std::string& section, const std::string& key, const char* fallback, const std::string& file) {
  std::string buffer(256, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback, buffer.data(), size,
                                               file.c_str());
    // size - 1 means the value filled the buffer and may have been cut.
    if (n + 1 < size || buffer.size() >= (1u << 24)) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::optional<std::string> ReadProfileValue(std::string_view section, std::string_view key, std::string_view file) {
  // A name with a NUL in it could only name a shorter one.
  if (section.find('\0') != section.npos || key.find('\0') != key.npos || file.find('\0') != file.npos) {
    return std::nullopt;
  }
  const std::string s(section), k(key), path = FullPath(std::string(file));
  // The call gives the default both for an absent key and for a file it
  // cannot read; an empty value gives "". Two reads with two different
  // defaults tell them apart: only an absent value answers each with its own.
  const std::string a = Read(s, k, "\x01", path);
  if (a != "\x01") return a;
  const std::string b = Read(s, k, "\x02", path);
  if (b != "\x02") return b;
  return std::nullopt;
}

}  // namespace platform
