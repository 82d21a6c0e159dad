// The ledger's files on the machine it runs on, named as that machine's own
// programs name them: in UTF-8 on Linux, in the ANSI code page (932 on a
// Japanese Windows) on Windows, which is what the environment and the command
// line hand the ledger there. The functions take those names as they are and
// never reinterpret their bytes (a Shift_JIS name may hold 0x5C, "\", as a
// trail byte).
//
// LocalFiles_posix.cpp and LocalFiles_win32.cpp implement it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ledger::local {

// The entry `name` of `folder`, joined with the machine's separator ("/" on
// Linux, "\\" on Windows), so that the names shown in messages read as the
// machine's own.
std::string InFolder(const std::string& folder, const std::string& name);
// True when something (a file, a folder, anything) has that name.
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// Removes a file; false when it could not be removed (or was not there).
bool RemoveFile(const std::string& path);
// Creates the folder and the folders above it as needed; true when it exists
// afterwards.
bool MakeFolders(const std::string& path, std::string* error);
// Puts `from` in the place of `to` in one step, replacing what was there.
bool MoveOver(const std::string& from, const std::string& to, std::string* error);
// The names of the entries of a folder (not "." and ".."), in no order.
bool ListFolder(const std::string& folder, std::vector<std::string>* names, std::string* error);

// The file name as sqlite3_open_v2 takes it (UTF-8); nothing when the name
// is not text of the machine's encoding.
std::optional<std::string> SqliteFileName(const std::string& path);

// The per-user installation folder when LEDGER_HOME is not set: on Linux
// $XDG_DATA_HOME/taxbridge/ledger or ~/.local/share/taxbridge/ledger, on
// Windows %APPDATA%\taxbridge\ledger (or %LOCALAPPDATA%).
std::string DefaultHomeFolder();

// A file opened for reading only if it is a plain file of its own name: a
// link (which may lead anywhere), a folder, a pipe or a device is refused,
// never followed or waited on.
class InputFile {
 public:
  enum class Opened { kOk, kMissing, kLink, kNotPlain, kFailed };
  // kOk with *file set; otherwise *why says what the system said (kFailed).
  static Opened Open(const std::string& path, std::unique_ptr<InputFile>* file, std::string* why);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Back to the first byte.
  bool Rewind(std::string* why);
  // Up to `size` bytes into `buffer`: how many (0 at the end), -1 with *why.
  int64_t Read(char* buffer, size_t size, std::string* why);

 private:
  explicit InputFile(intptr_t handle) : handle_(handle) {}
  intptr_t handle_;  // a file descriptor, or a Windows HANDLE
};

}  // namespace ledger::local
