#include "platform/WinPath.h"

#include "platform/ShiftJis.h"

namespace platform {

namespace {

constexpr size_t npos = std::string_view::npos;

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

}  // namespace platform
