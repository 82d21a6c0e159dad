// What the suites need of the machine beside the system's own platform/: a
// fresh folder for a test's files, the environment variables a test sets for
// the code it runs in-process, the Windows path the programs are given for a
// test's file, and the number of files the process holds open.
//
// NewTempFolder makes a new, empty folder "<base>/<prefix>-<unique>" (base:
// the machine's temporary folder unless given) and returns its path, or an
// empty path when none could be made. SetVariable / UnsetVariable change the
// process's environment as getenv sees it (setenv on Linux, _putenv_s on
// Windows). WindowsPathOf gives the path the system's file system takes for a
// file of the test: on Linux "Z:" and the path with "\" (Z: is "/" in the
// drive map), on Windows the path itself. OpenFileProbe tells whether a
// file was left open.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include "tests/support/Windows.h"
#endif

namespace test_support {

inline std::filesystem::path NewTempFolder(const std::string& prefix,
                                           const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
  std::random_device seed;
  std::mt19937_64 pick(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / (prefix + "-" + std::to_string(pick() % 1000000000u));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) return candidate;
  }
  return {};
}

inline void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  ::_putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetVariable(const char* name) {
#ifdef _WIN32
  ::_putenv_s(name, "");
#else
  ::unsetenv(name);
#endif
}

inline std::string WindowsPathOf(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.string();
#else
  std::string windows = "Z:" + path.string();
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
#endif
}

// Whether code run since the probe was made left a file open: on Linux, the
// process holds more descriptors than when the probe was made; on Windows
// (where Wine answers no handle count), `file` cannot be opened for
// exclusive use because a handle of this process still holds it.
class OpenFileProbe {
 public:
  OpenFileProbe() : before_(DescriptorCount()) {}
  bool LeftOpen([[maybe_unused]] const std::filesystem::path& file) const {
#ifdef _WIN32
    HANDLE h = ::CreateFileW(file.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      ::CloseHandle(h);
      return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
#else
    return DescriptorCount() != before_;
#endif
  }

 private:
  static size_t DescriptorCount() {
#ifdef _WIN32
    return 0;
#else
    std::error_code ec;
    size_t n = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
#endif
  }
  size_t before_;
};

}  // namespace test_support
