#include "dialog/PathRules.h"

#include "platform/ShiftJis.h"

namespace dialog::path {

namespace sjis = platform::sjis;

bool AppendSeparator(std::string& folder) {
  if (sjis::EndsWithChar(folder, '\\')) return true;
  if (folder.size() + 2 > kMaxPath) return false;
  folder.push_back('\\');
  return true;
}

std::string_view FolderPart(std::string_view path) {
  const size_t slash = sjis::FindLastChar(path, '\\');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view FileNamePart(std::string_view path) {
  const size_t slash = sjis::FindLastChar(path, '\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

BrowseSplit SplitForBrowse(std::string_view path) {
  size_t cut = sjis::FindLastChar(path, '\\');
  if (cut == std::string_view::npos) cut = sjis::FindLastChar(path, ':');
  if (cut == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

bool IsUnc(std::string_view path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

std::optional<size_t> UncShareRootLength(std::string_view path) {
  if (!IsUnc(path)) return std::nullopt;
  const size_t afterServer = sjis::FindChar(path, '\\', 2);
  if (afterServer == std::string_view::npos || afterServer == 2) return std::nullopt;
  const size_t afterShare = sjis::FindChar(path, '\\', afterServer + 1);
  if (afterShare == std::string_view::npos || afterShare == afterServer + 1) return std::nullopt;
  return afterShare + 1;
}

bool HasInvalidCharacters(std::string_view path) {
  std::string_view rest = path;
  if (IsUnc(path)) {
    rest = path.substr(2);
  } else {
    const size_t colon = sjis::FindChar(path, ':');
    if (colon != std::string_view::npos) rest = path.substr(colon + 1);
  }
  if (rest.empty()) return false;
  const size_t from = sjis::CharLength(rest, 0);
  for (size_t i = from; i < rest.size(); i += sjis::CharLength(rest, i)) {
    if (sjis::CharLength(rest, i) != 1) continue;
    const char c = rest[i];
    // A "\\" pair starting here (the character after a single-byte one always
    // starts a character of its own).
    if (c == '\\' && i + 1 < rest.size() && rest[i + 1] == '\\') return true;
    if (std::string_view("/:,;*?\"><|").find(c) != std::string_view::npos) return true;
  }
  return false;
}

std::optional<char> DriveLetter(std::string_view path) {
  if (path.empty()) return std::nullopt;
  const char c = path[0];
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return c;
  return std::nullopt;
}

std::optional<std::string> FolderOf(std::string_view path) {
  std::string drive;
  std::string_view rest = path;
  if (path.size() >= 2 && path[1] == ':' && sjis::CharLength(path, 0) == 1) {
    drive = std::string(path.substr(0, 2));
    rest = path.substr(2);
  }
  const size_t cut = sjis::FindLastOf(rest, "\\/");
  std::string folder = drive + std::string(cut == std::string_view::npos ? std::string_view() : rest.substr(0, cut + 1));
  if (folder.empty()) return folder;
  if (!AppendSeparator(folder)) return std::nullopt;
  return folder;
}

}  // namespace dialog::path
