// Starting one of the built programs from a test, the same way on Linux and
// on Windows, without a shell in between.
//
// RunProgram starts `program` with `args` (each one argument, passed as it
// is), in the folder `cwd`, with empty standard input (the null device), with
// the variables of `env` added to (or, with an empty value, removed from) the
// test's own environment, standard output and standard error written to the
// file `output`, and waits for it to end. It returns the program's exit
// status, or -1 when it could not be started or did not end normally (a
// signal on Linux). Given a time limit in seconds, a
// program still running at its end is killed, and the answer is -1. (No
// <chrono> here: its text for microseconds has no Shift_JIS form, which the
// build's execution character set needs.) ProgramFile gives the path of a
// program of the build: BINARY_DIR/bin/NAME, with ".exe" on Windows.
//
// On Windows the command line is quoted as the C runtime splits it, the
// environment is the test's own, changed for the call and restored after it
// (the suites run their cases one at a time), and the program is waited for
// with its handle while this thread's messages are dispatched.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include "tests/support/Windows.h"
#include <cstdlib>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace test_support {

using ProgramEnvironment = std::vector<std::pair<std::string, std::string>>;

inline std::filesystem::path ProgramFile(const std::filesystem::path& binaryDir, const std::string& name) {
#ifdef _WIN32
  return binaryDir / "bin" / (name + ".exe");
#else
  return binaryDir / "bin" / name;
#endif
}

#ifdef _WIN32
// One argument quoted for the C runtime's splitting of a command line.
inline std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') out.append(backslashes * 2 + 1, '\\');
    else out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}
#endif

inline int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const ProgramEnvironment& env, const std::filesystem::path& cwd,
                      const std::filesystem::path& output,
                      int limitSeconds = 0) {
#ifdef _WIN32
  std::string line = QuoteArgument(program.string());
  for (const std::string& a : args) line += " " + QuoteArgument(a);
  // The child inherits the environment as it is at CreateProcess.
  std::vector<std::pair<std::string, std::string>> saved;
  for (const auto& [name, value] : env) {
    const char* old = std::getenv(name.c_str());
    saved.emplace_back(name, old ? old : "");
    ::_putenv_s(name.c_str(), value.c_str());
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out = ::CreateFileA(output.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  int status = -1;
  if (out != INVALID_HANDLE_VALUE) {
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    HANDLE none = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    start.hStdInput = none;
    start.hStdOutput = out;
    start.hStdError = out;
    PROCESS_INFORMATION child{};
    const std::string folder = cwd.string();
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &start, &child)) {
      // The wait pumps this thread's messages: a program given a window of
      // the test as its calling window sends to it (EnableWindow waits until
      // the window has taken WM_ENABLE), and would wait for ever otherwise.
      const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(limitSeconds) * 1000;
      DWORD woke = WAIT_FAILED;
      for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD wait = limitSeconds <= 0 ? INFINITE : now >= end ? 0 : static_cast<DWORD>(end - now);
        woke = ::MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, wait, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
          ::TranslateMessage(&msg);
          ::DispatchMessageA(&msg);
        }
      }
      if (woke == WAIT_OBJECT_0) {
        DWORD code = 0;
        if (::GetExitCodeProcess(child.hProcess, &code)) status = static_cast<int>(code);
      } else {
        ::TerminateProcess(child.hProcess, 1);
        ::WaitForSingleObject(child.hProcess, INFINITE);
      }
      ::CloseHandle(child.hThread);
      ::CloseHandle(child.hProcess);
    }
    if (none != INVALID_HANDLE_VALUE) ::CloseHandle(none);
    ::CloseHandle(out);
  }
  for (const auto& [name, value] : saved) ::_putenv_s(name.c_str(), value.c_str());
  return status;
#else
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    for (const auto& [name, value] : env) {
      if (value.empty()) ::unsetenv(name.c_str());
      else ::setenv(name.c_str(), value.c_str(), 1);
    }
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int none = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0 || none < 0 || ::dup2(none, 0) < 0 || ::dup2(fd, 1) < 0 || ::dup2(fd, 2) < 0) ::_exit(127);
    std::vector<std::string> owned{program.string()};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : owned) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (limitSeconds > 0) {
    // Polled every 20 ms, so the limit is at least the one asked for.
    pid_t done = 0;
    for (long polls = 50L * limitSeconds; (done = ::waitpid(child, &status, WNOHANG)) == 0 && polls > 0; --polls) {
      ::usleep(20000);
    }
    if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::kill(child, SIGKILL);
  }
  while (::waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace test_support
