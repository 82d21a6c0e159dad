// The Shift_JIS scanning helpers on every prefix of the input (so that a lead
// byte stands at the very end of some text), and the full-width mapping.
#include <memory>
#include <string>
#include <string_view>

#include "bench/fuzz/FuzzMain.h"
#include "platform/FullWidth.h"
#include "platform/ShiftJis.h"

namespace sjis = platform::sjis;

void FuzzOne(const uint8_t* data, size_t size) {
  for (size_t cut = 0; cut <= size && cut <= 64; ++cut) {
    // Each prefix in a block of its own size.
    std::unique_ptr<char[]> block(new char[cut ? cut : 1]);
    std::copy(data, data + cut, block.get());
    const std::string_view text(block.get(), cut);
    size_t walked = 0;
    while (walked < text.size()) {
      const size_t n = sjis::CharLength(text, walked);
      FUZZ_CHECK(n == 1 || n == 2);
      walked += n;
    }
    FUZZ_CHECK(walked == text.size());
    for (char c : {'\\', '/', ':'}) {
      const size_t first = sjis::FindChar(text, c);
      const size_t last = sjis::FindLastChar(text, c);
      FUZZ_CHECK(first == std::string_view::npos || (first < cut && text[first] == c));
      FUZZ_CHECK(last == std::string_view::npos || (last < cut && last >= first));
      FUZZ_CHECK(sjis::EndsWithChar(text, c) == (last != std::string_view::npos && last + 1 == cut));
    }
    sjis::FindFirstOf(text, "\\/", cut / 2);
    sjis::FindLastOf(text, ":.");
    FUZZ_CHECK(sjis::CutToWholeChars(text, cut / 2).size() <= cut / 2);
  }
  const std::string wide = platform::MapToFullWidth(std::string_view(reinterpret_cast<const char*>(data), size));
  FUZZ_CHECK(wide.size() <= 2 * size);
  FUZZ_CHECK(platform::MapToFullWidth(wide) == wide);
}
