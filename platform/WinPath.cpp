#include "platform/WinPath.h"

#include "platform/AsciiCase.h"
#include "platform/ShiftJis.h"

namespace platform {

namespace {

constexpr size_t npos = std::string_view::npos;

// The file system's separators: "\\" and "/".
bool IsSep(std::string_view p, size_t k) { return k < p.size() && (p[k] == '\\' || p[k] == '/'); }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Splits `text` from `from` at single-byte "\\" and "/" (never at a trail byte).
std::vector<std::string> SplitElements(std::string_view text, size_t from) {
  std::vector<std::string> out;
  std::string current;
  for (size_t i = from; i < text.size();) {
    const size_t len = sjis::CharLength(text, i);
    if (len == 1 && (text[i] == '\\' || text[i] == '/')) {
      out.push_back(std::move(current));
      current.clear();
    } else {
      current.append(text.substr(i, len));
    }
    i += len;
  }
  out.push_back(std::move(current));
  return out;
}

bool IsDriveSpec(std::string_view path) {
  return path.size() >= 2 && !sjis::IsLeadByte(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// PathRemoveFileSpecA: drops the last element (and the "\" before it, unless
// that "\" belongs to a root); false when nothing was removed.
bool RemoveLastElement(std::string& path) {
  size_t keep = 0;  // length of the text that stays
  size_t i = 0;
  if (i < path.size() && path[i] == '\\') keep = ++i;
  if (i < path.size() && path[i] == '\\') keep = ++i;
  while (i < path.size()) {
    const size_t len = sjis::CharLength(path, i);
    if (len == 1 && path[i] == '\\') {
      keep = i;
    } else if (len == 1 && path[i] == ':') {
      // The "\" after a drive stays with it: "C:\out" keeps "C:\".
      keep = i + 1;
      if (keep < path.size() && path[keep] == '\\') {
        keep++;
        i++;
      }
    }
    i += len;
  }
  if (keep >= path.size()) return false;
  path.resize(keep);
  return true;
}

}  // namespace

size_t SkipRoot(std::string_view path) {
  if (path.empty()) return npos;
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    const size_t after_server = sjis::FindChar(path, '\\', 2);
    if (after_server == npos) return npos;
    const size_t after_share = sjis::FindChar(path, '\\', after_server + 1);
    return after_share == npos ? npos : after_share + 1;
  }
  if (IsDriveSpec(path) && path.size() >= 3 && path[2] == '\\') return 3;
  return npos;
}

bool IsRoot(std::string_view path) {
  if (path.empty()) return false;
  if (path[0] == '\\') {
    if (path.size() == 1) return true;
    if (path[1] != '\\') return false;
    const size_t first = sjis::FindChar(path, '\\', 2);
    return first == npos || sjis::FindChar(path, '\\', first + 1) == npos;
  }
  return IsDriveSpec(path) && path.size() == 3 && path[2] == '\\';
}

bool StripToRoot(std::string& path) {
  while (!IsRoot(path)) {
    if (!RemoveLastElement(path)) return false;
  }
  return true;
}

bool IsForbiddenName(std::string_view name) {
  constexpr std::string_view kForbidden = "<>:\"|?*\\/";
  for (size_t i = 0; i < name.size(); i += sjis::CharLength(name, i)) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (sjis::CharLength(name, i) == 2) continue;
    if (sjis::IsLeadByte(c)) return true;
    if (c < 0x20 || kForbidden.find(static_cast<char>(c)) != std::string_view::npos) return true;
  }
  return false;
}

bool UsesCurrentFolder(std::string_view path) {
  if (IsSep(path, 0) && IsSep(path, 1)) return false;
  const bool drive = path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
  return !drive || !IsSep(path, 2);
}

WindowsPathProblem SplitWindowsPath(std::string_view p, std::string_view current, WindowsPathParts* parts,
                                    std::string* forbidden) {
  *parts = WindowsPathParts();
  std::vector<std::string> elements;
  size_t from = 0;
  if (IsSep(p, 0) && IsSep(p, 1)) {
    std::vector<std::string> split = SplitElements(p, 2);
    if (split.size() < 2 || split[0].empty() || split[1].empty()) return WindowsPathProblem::kNoShare;
    parts->server = split[0];
    parts->share = split[1];
    elements.assign(split.begin() + 2, split.end());
    from = p.size();
  } else if (p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == ':') {
    parts->letter = AsciiUpper(p[0]);
    from = 2;
    if (!IsSep(p, 2)) {
      // "C:name": relative to the current folder when that is on drive C:,
      // else to the drive's root.
      if (!current.empty() && AsciiUpper(current[0]) == parts->letter && current.size() > 3) {
        elements = SplitElements(current, 3);
      }
    }
  } else {
    if (current.empty()) return WindowsPathProblem::kNeedsCurrent;
    if (IsSep(current, 0)) {
      std::vector<std::string> split = SplitElements(current, 2);
      parts->server = split[0];
      parts->share = split.size() > 1 ? split[1] : std::string();
      if (!IsSep(p, 0) && split.size() > 2) elements.assign(split.begin() + 2, split.end());
    } else {
      parts->letter = AsciiUpper(current[0]);
      if (!IsSep(p, 0)) elements = SplitElements(current, 3);
    }
  }
  if (from < p.size()) {
    std::vector<std::string> more = SplitElements(p, from);
    elements.insert(elements.end(), more.begin(), more.end());
  }

  for (std::string& e : elements) {
    if (e == "..") {
      if (!parts->names.empty()) parts->names.pop_back();
      continue;
    }
    while (!e.empty() && (e.back() == '.' || e.back() == ' ')) e.pop_back();
    if (e.empty()) continue;
    if (IsForbiddenName(e)) {
      if (forbidden != nullptr) *forbidden = e;
      return WindowsPathProblem::kForbiddenName;
    }
    parts->names.push_back(std::move(e));
  }
  return WindowsPathProblem::kNone;
}

bool ParseDriveRoot(std::string_view root, WindowsPathParts* parts) {
  *parts = WindowsPathParts();
  if (root.size() >= 2 && IsAsciiLetter(root[0]) && root[1] == ':') {
    if (root.size() == 2 || (root.size() == 3 && IsSep(root, 2))) {
      parts->letter = AsciiUpper(root[0]);
      return true;
    }
    return false;
  }
  if (!(IsSep(root, 0) && IsSep(root, 1))) return false;
  std::vector<std::string> split = SplitElements(root, 2);
  if (split.size() == 3 && split[2].empty()) split.pop_back();
  if (split.size() != 2 || split[0].empty() || split[1].empty()) return false;
  parts->server = split[0];
  parts->share = split[1];
  return true;
}

}  // namespace platform
