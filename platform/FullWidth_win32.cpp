// The full-width mapping on Windows: the system's own LCMapStringA under the
// Japanese locale, which the header describes.
#include "platform/FullWidth.h"

#include <windows.h>

namespace platform {

namespace {

constexpr LCID kJapanese = 0x0411;  // MAKELCID(LANG_JAPANESE, SORT_DEFAULT)

}  // namespace

std::string MapToFullWidth(std::string_view text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(text.size());
  // Every character grows to at most two bytes; the system is asked for the
  // size all the same, so a longer answer is never cut.
  const int n = ::LCMapStringA(kJapanese, LCMAP_FULLWIDTH, text.data(), in, nullptr, 0);
  if (n <= 0) return std::string(text);
  std::string out(static_cast<size_t>(n), '\0');
  const int written = ::LCMapStringA(kJapanese, LCMAP_FULLWIDTH, text.data(), in, out.data(), n);
  if (written <= 0) return std::string(text);
  out.resize(static_cast<size_t>(written));
  return out;
}

}  // namespace platform
