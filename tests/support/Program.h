// Starting one of the built programs from a test, the same way on Linux and
// on Windows, without a shell in between.
//
// RunProgram starts `program` with `args` (each one argument, passed as it
// is), in the folder `cwd`, with the variables of `env` added to (or, with an
// empty value, removed from) the test's own environment, standard output and
// standard error written to the file `output`, and waits for it to end. It
// returns the program's exit status, or -1 when it could not be started or
// did not end normally (a signal on Linux). ProgramFile gives the path of a
// program of the build: BINARY_DIR/bin/NAME, with ".exe" on Windows.
//
// On Windows the command line is quoted as the C runtime splits it, the
// environment is the test's own, changed for the call and restored after it
// (the suites run their cases one at a time), and the program is waited for
// with its handle.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#undef MessageBox
#undef GetWindowText
#undef SetWindowText
#undef PostMessage
#undef ReplaceFile
#undef RemoveDirectory
#undef GetDriveType
#undef CreateDirectory
#undef GetProfileString
#include <cstdlib>
#else
#include <fcntl.h>
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
                      const std::filesystem::path& output) {
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
    start.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = out;
    start.hStdError = out;
    PROCESS_INFORMATION child{};
    const std::string folder = cwd.string();
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &start, &child)) {
      ::WaitForSingleObject(child.hProcess, INFINITE);
      DWORD code = 0;
      if (::GetExitCodeProcess(child.hProcess, &code)) status = static_cast<int>(code);
      ::CloseHandle(child.hThread);
      ::CloseHandle(child.hProcess);
    }
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
    if (fd < 0 || ::dup2(fd, 1) < 0 || ::dup2(fd, 2) < 0) ::_exit(127);
    std::vector<std::string> owned{program.string()};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : owned) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace test_support
