// GeneratedBooks: the company data the whole-run benchmarks measure on, and
// the shell they make it with.
//
// GeneratedInstallation gives a ledger installation under `cache`/`lines`
// holding `ledger generate 1 LINES 1000 50 10000` (1 000 accounts, 50
// departments, 10 000 assets) with user 001 selecting it. It is generated
// once and reused until the `ledger` command is rebuilt (a newer ledger may
// lay the data out differently); none, with a message naming `who`, when it
// cannot be made. Shell runs a command through sh (true when it exits 0);
// Quote (tests/support/Files.h) makes a text one word for sh.
#pragma once

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/support/Files.h"

namespace bench {

inline bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

using test_support::Quote;

inline std::optional<std::filesystem::path> GeneratedInstallation(const std::filesystem::path& build,
                                                                  const std::filesystem::path& cache, int64_t lines,
                                                                  const char* who) {
  namespace fs = std::filesystem;
  const fs::path home = cache / std::to_string(lines);
  const fs::path tool = build / "bin" / "ledger";
  std::error_code ec;
  if (fs::exists(home / "ready") && fs::last_write_time(home / "ready", ec) >= fs::last_write_time(tool, ec))
    return home;
  fs::remove_all(home);
  fs::create_directories(home);
  std::fprintf(stderr, "%s: generating %" PRId64 " journal lines into %s\n", who, lines, home.c_str());
  const std::string command = "LEDGER_HOME=" + Quote(home.string()) + " " + Quote(tool.string());
  if (!Shell(command + " init >/dev/null") ||
      !Shell(command + " generate 1 " + std::to_string(lines) + " 1000 50 10000 >/dev/null") ||
      !Shell(command + " select 001 1 >/dev/null")) {
    std::fprintf(stderr, "%s: cannot generate the data in %s\n", who, home.c_str());
    return std::nullopt;
  }
  std::ofstream(home / "ready") << "ready\n";
  return home;
}

}  // namespace bench
