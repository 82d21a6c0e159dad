#include "platform/ShiftJis.h"

namespace platform::sjis {

size_t CharLength(std::string_view text, size_t pos) {
  if (pos >= text.size()) return 0;
  if (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) return 2;
  return 1;
}

size_t FindChar(std::string_view text, char c, size_t from) {
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (i >= from && text[i] == c && CharLength(text, i) == 1) return i;
  }
  return std::string_view::npos;
}

size_t FindFirstOf(std::string_view text, std::string_view chars, size_t from) {
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (i >= from && CharLength(text, i) == 1 && chars.find(text[i]) != std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

size_t FindLastOf(std::string_view text, std::string_view chars) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (CharLength(text, i) == 1 && chars.find(text[i]) != std::string_view::npos) found = i;
  }
  return found;
}

size_t FindLastChar(std::string_view text, char c) { return FindLastOf(text, std::string_view(&c, 1)); }

bool EndsWithChar(std::string_view text, char c) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) last = i;
  return last != std::string_view::npos && CharLength(text, last) == 1 && text[last] == c;
}

std::string_view CutToWholeChars(std::string_view text, size_t max_bytes) {
  size_t end = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (i + CharLength(text, i) > max_bytes) break;
    end = i + CharLength(text, i);
  }
  return text.substr(0, end);
}

}  // namespace platform::sjis
