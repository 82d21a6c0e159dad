#include "tools/ledger/Launch.h"

#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

namespace ledger_tool {

std::string ProgramFolder() {
  // The folder is cut off on the UTF-16 form of the name: in the ANSI code
  // page a Shift_JIS trail byte may be 0x5C, "\".
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return ".";
    if (n < name.size()) {
      name.resize(n);
      break;
    }
    name.resize(name.size() * 2);
  }
  size_t cut = name.size();
  while (cut > 0 && name[cut - 1] != L'\\' && name[cut - 1] != L'/') --cut;
  if (cut <= 1) return ".";
  const int wide = static_cast<int>(cut - 1);
  const int n = WideCharToMultiByte(CP_ACP, 0, name.data(), wide, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return ".";
  std::string folder(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, name.data(), wide, folder.data(), n, nullptr, nullptr);
  return folder;
}

std::string ComponentPath(const std::string& folder, const std::string& edition) {
  return folder + "\\taxbridge_" + edition + ".exe";
}

bool IsStartable(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool OutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

std::unique_ptr<Child> Child::Start(const std::string& program, const std::string& line, std::string* error) {
  // The accounting product's command line: the program's name, then the
  // calling window's fields as one word. The child writes to the same
  // output as this program, also when that is a file or a pipe.
  std::string command = "\"" + program + "\" " + line;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);
  std::fflush(nullptr);
  if (CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process) == 0) {
    *error = "CreateProcessA: Windows error " + std::to_string(GetLastError());
    return nullptr;
  }
  CloseHandle(process.hThread);
  return std::unique_ptr<Child>(new Child(reinterpret_cast<intptr_t>(process.hProcess)));
}

Child::~Child() { CloseHandle(reinterpret_cast<HANDLE>(id_)); }

std::optional<Ending> Child::Poll() {
  if (ending_) return ending_;
  const HANDLE process = reinterpret_cast<HANDLE>(id_);
  if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (GetExitCodeProcess(process, &code) == 0) code = 2;
  // Exit codes are unsigned on Windows; an abnormal end (0xC0000005, say)
  // reads as the negative int the home platform's callers see.
  ending_ = Ending{true, static_cast<int>(code)};
  return ending_;
}

}  // namespace ledger_tool
