#include "ledger/LocalFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace ledger::local {

bool Exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool MakeFolders(const std::string& path, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) *error = ec.message();
  return !ec;
}

bool MoveOver(const std::string& from, const std::string& to, std::string* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  *error = std::strerror(errno);
  return false;
}

bool ListFolder(const std::string& folder, std::vector<std::string>* names, std::string* error) {
  std::error_code ec;
  names->clear();
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names->push_back(entry.path().filename().string());
  }
  if (ec) *error = ec.message();
  return !ec;
}

// File names are UTF-8 here, as SQLite takes them.
std::optional<std::string> SqliteFileName(const std::string& path) { return path; }

std::string InFolder(const std::string& folder, const std::string& name) { return folder + "/" + name; }

std::string DefaultHomeFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
    return std::string(data) + "/taxbridge/ledger";
  }
  // Without an absolute HOME the account's own home folder stands in; the
  // installation never lands relative to wherever the program was started.
  std::string user;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    user = home;
  } else if (const passwd* account = ::getpwuid(::getuid()); account != nullptr && account->pw_dir != nullptr &&
                                                            account->pw_dir[0] == '/') {
    user = account->pw_dir;
  } else {
    user = "/tmp/taxbridge-" + std::to_string(::getuid());
  }
  return user + "/.local/share/taxbridge/ledger";
}

InputFile::Opened InputFile::Open(const std::string& path, std::unique_ptr<InputFile>* file, std::string* why) {
  // O_NOFOLLOW refuses a link as the last part of the name; O_NONBLOCK keeps
  // the open of a pipe from waiting for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Opened::kMissing;
    if (errno == ELOOP) return Opened::kLink;
    *why = std::strerror(errno);
    return Opened::kFailed;
  }
  std::unique_ptr<InputFile> opened(new InputFile(fd));
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return Opened::kNotPlain;
  *file = std::move(opened);
  return Opened::kOk;
}

InputFile::~InputFile() { ::close(static_cast<int>(handle_)); }

bool InputFile::Rewind(std::string* why) {
  if (::lseek(static_cast<int>(handle_), 0, SEEK_SET) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

int64_t InputFile::Read(char* buffer, size_t size, std::string* why) {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    *why = std::strerror(errno);
    return -1;
  }
}

}  // namespace ledger::local
