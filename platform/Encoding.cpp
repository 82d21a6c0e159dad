#include "platform/Encoding.h"

namespace platform {

std::optional<std::string> TypedTextToCp932(std::string_view utf8) {
  // C2 A5 is U+00A5 wherever it stands in valid UTF-8; in text that is not
  // valid UTF-8 the replacement leaves it invalid, and the conversion fails.
  std::string text(utf8);
  for (size_t at = text.find("\xC2\xA5"); at != std::string::npos; at = text.find("\xC2\xA5", at + 1)) {
    text.replace(at, 2, "\\");
  }
  return Utf8ToCp932(text);
}

}  // namespace platform
