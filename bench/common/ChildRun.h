// ChildRun: what the whole-run benchmarks share to time a program they start.
//
// RunChild forks, sets the given environment in the child, sends its
// standard output and error to `log` (or leaves them as they are when `log`
// is empty), execs argv and waits for it: wall time on the monotonic clock,
// the child's user and system time, its peak resident memory and its exit
// status (128 + signal number when a signal ended it; -1 when it could not
// be started or waited for). Clock reads one clock in seconds (<chrono>
// cannot be compiled under this build's Shift_JIS execution character set).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Files.h"

namespace bench {

struct Measure {
  double seconds = 0;     // wall time
  double cpuSeconds = 0;  // user and system time
  double peakMiB = 0;
  int status = -1;
};

inline double Clock(clockid_t id) {
  timespec t{};
  clock_gettime(id, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double Now() { return Clock(CLOCK_MONOTONIC); }

inline double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

using test_support::ReadAll;

using Environment = std::vector<std::pair<std::string, std::string>>;

inline Measure RunChild(const std::vector<std::string>& argv, const Environment& env, const std::string& log) {
  Measure m;
  std::fflush(nullptr);  // the child must not print what the parent buffered
  const double start = Now();
  const pid_t pid = fork();
  if (pid < 0) return m;
  if (pid == 0) {
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    if (!log.empty()) {
      std::FILE* out = std::freopen(log.c_str(), "w", stdout);
      if (out == nullptr || dup2(fileno(stdout), 2) < 0) _exit(127);
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return m;
  m.seconds = Now() - start;
  m.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  m.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
  m.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return m;
}

}  // namespace bench
