// The wire form of the calling-window events, the same on every platform.
#include "platform/CallerWindow.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace platform {
namespace {

constexpr char kMagic[] = "TBWIN1";

template <typename T>
bool ParseNumber(const std::string& text, T& out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && p == end;
}

}  // namespace

std::string EncodeCallerWindowEvent(const CallerWindowEvent& event) {
  std::ostringstream out;
  out << kMagic << ' ';
  switch (event.kind) {
    case CallerWindowEvent::Kind::kEnable:
      out << "enable " << (event.enable ? 1 : 0);
      break;
    case CallerWindowEvent::Kind::kForeground:
      out << "foreground";
      break;
    case CallerWindowEvent::Kind::kPost:
      out << "post " << event.message << ' ' << event.wparam << ' ' << event.lparam;
      break;
  }
  return out.str();
}

std::optional<CallerWindowEvent> DecodeCallerWindowEvent(const std::string& datagram) {
  std::vector<std::string> words;
  std::istringstream in(datagram);
  for (std::string w; in >> w;) words.push_back(w);
  if (words.size() < 2 || words[0] != kMagic) return std::nullopt;
  CallerWindowEvent e{CallerWindowEvent::Kind::kForeground};
  if (words[1] == "enable" && words.size() == 3 && (words[2] == "0" || words[2] == "1")) {
    e.kind = CallerWindowEvent::Kind::kEnable;
    e.enable = words[2] == "1";
    return e;
  }
  if (words[1] == "foreground" && words.size() == 2) return e;
  if (words[1] == "post" && words.size() == 5) {
    e.kind = CallerWindowEvent::Kind::kPost;
    if (ParseNumber(words[2], e.message) && ParseNumber(words[3], e.wparam) && ParseNumber(words[4], e.lparam)) {
      return e;
    }
  }
  return std::nullopt;
}

}  // namespace platform
