#include "ledger/LocalFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <windows.h>

namespace ledger::local {
namespace {

// What the system said about `code`, in English where the system has that
// text (ledger messages are English), else its number.
std::string SystemMessage(DWORD code) {
  char text[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                           MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.' || text[n - 1] == ' ')) --n;
  bool ascii = n > 0;
  for (DWORD i = 0; i < n; ++i) ascii = ascii && static_cast<unsigned char>(text[i]) < 0x80;
  if (!ascii) return "Windows error " + std::to_string(code);
  return std::string(text, n);
}

// A name in the ANSI code page as UTF-16; nothing when its bytes are not
// text of that code page.
std::optional<std::wstring> Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

bool IsAbsolute(const char* path) {
  if (path == nullptr) return false;
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  const bool share = (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
  return drive || share;
}

}  // namespace

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool MakeFolders(const std::string& path, std::string* error) {
  // The parts of a Shift_JIS name are found on its UTF-16 form: a trail byte
  // 0x5C is no separator.
  const std::optional<std::wstring> wide = Wide(path);
  if (!wide) {
    *error = "the name is not text of code page " + std::to_string(GetACP());
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(*wide), ec);
  if (ec) *error = ec.message();
  return !ec;
}

bool MoveOver(const std::string& from, const std::string& to, std::string* error) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) return true;
  *error = SystemMessage(GetLastError());
  return false;
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names, std::string* error) {
  names->clear();
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND && IsFolder(folder)) return true;  // an empty root folder
    *error = SystemMessage(code);
    return false;
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names->push_back(name);
  } while (FindNextFileA(find, &found) != 0);
  const DWORD code = GetLastError();
  FindClose(find);
  if (code != ERROR_NO_MORE_FILES) {
    *error = SystemMessage(code);
    return false;
  }
  return true;
}

std::optional<std::string> SqliteFileName(const std::string& path) {
  const std::optional<std::wstring> wide = Wide(path);
  if (!wide) return std::nullopt;
  if (wide->empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide->data(), static_cast<int>(wide->size()), nullptr, 0, nullptr,
                                    nullptr);
  if (n <= 0) return std::nullopt;
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide->data(), static_cast<int>(wide->size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::string InFolder(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::string DefaultHomeFolder() {
  // The roaming profile first, as the accounting product keeps its
  // per-user files; the local one on a machine that has no roaming folder.
  for (const char* variable : {"APPDATA", "LOCALAPPDATA"}) {
    if (const char* folder = std::getenv(variable); IsAbsolute(folder)) {
      return std::string(folder) + "\\taxbridge\\ledger";
    }
  }
  if (const char* profile = std::getenv("USERPROFILE"); IsAbsolute(profile)) {
    return std::string(profile) + "\\AppData\\Roaming\\taxbridge\\ledger";
  }
  char temp[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof temp, temp);
  std::string folder = n > 0 && n < sizeof temp ? std::string(temp, n) : std::string("C:\\");
  if (folder.back() != '\\') folder += '\\';
  return folder + "taxbridge\\ledger";
}

InputFile::Opened InputFile::Open(const std::string& path, std::unique_ptr<InputFile>* file, std::string* why) {
  // A folder opens only with FILE_FLAG_BACKUP_SEMANTICS, and a link (a
  // reparse point) opens as itself with FILE_FLAG_OPEN_REPARSE_POINT: both
  // are opened so that they can be named, never followed.
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return Opened::kMissing;
    *why = SystemMessage(code);
    return Opened::kFailed;
  }
  std::unique_ptr<InputFile> opened(new InputFile(reinterpret_cast<intptr_t>(handle)));
  if (GetFileType(handle) != FILE_TYPE_DISK) return Opened::kNotPlain;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(handle, &info) == 0) {
    *why = SystemMessage(GetLastError());
    return Opened::kFailed;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return Opened::kLink;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Opened::kNotPlain;
  *file = std::move(opened);
  return Opened::kOk;
}

InputFile::~InputFile() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

bool InputFile::Rewind(std::string* why) {
  LARGE_INTEGER start;
  start.QuadPart = 0;
  if (SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), start, nullptr, FILE_BEGIN) != 0) return true;
  *why = SystemMessage(GetLastError());
  return false;
}

int64_t InputFile::Read(char* buffer, size_t size, std::string* why) {
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
  if (ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, nullptr) == 0) {
    *why = SystemMessage(GetLastError());
    return -1;
  }
  return got;
}

}  // namespace ledger::local
