#include "platform/Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

// One conversion through iconv; nullopt at the first byte sequence that does
// not convert (EILSEQ), at a cut character at the end (EINVAL), at a character
// replaced by a look-alike, or when the conversion is not available at all.
std::optional<std::string> Convert(iconv_t cd, std::string_view text) {
  if (cd == kNoConversion) return std::nullopt;
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // the initial state, whatever the last text left
  std::string out;
  out.resize(text.size() * 2 + 16);
  char* in_ptr = const_cast<char*>(text.data());
  size_t in_left = text.size();
  size_t done = 0;
  bool ok = true;
  while (in_left > 0) {
    char* out_ptr = out.data() + done;
    size_t out_left = out.size() - done;
    const size_t r = ::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    done = out.size() - out_left;
    if (r != static_cast<size_t>(-1)) {
      // A positive count means characters were replaced by look-alikes
      // (U+00A5 by "\", say): that is not the text, so it is a failure.
      if (r > 0) ok = false;
      if (!ok) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    ok = false;
    break;
  }
  if (!ok) return std::nullopt;
  out.resize(done);
  return out;
}

// The two conversion descriptors, opened once per thread and kept open for
// the life of the process: opening one costs more than most conversions, and
// the terminal converts every text it draws. They are never closed, so that
// a conversion made while the process ends still finds them.
iconv_t ToUtf8() {
  thread_local const iconv_t cd = ::iconv_open("UTF-8", "CP932");
  return cd;
}

iconv_t ToCp932() {
  thread_local const iconv_t cd = ::iconv_open("CP932", "UTF-8");
  return cd;
}

// Bytes 0x00 to 0x7F are the same characters in CP932 and in UTF-8 (0x5C is
// the backslash, 0x7E the tilde, both ways): a text of those alone is its own
// conversion, without a pass through the converter (the ledger converts
// every text it reads, most of them plain ASCII or empty).
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  return Convert(ToUtf8(), cp932);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  // Some characters are taken in one way only (U+00A5 to 0x5C, which reads
  // back as "\"): a text that does not read back as itself has no CP932 form.
  auto cp932 = Convert(ToCp932(), utf8);
  if (!cp932) return std::nullopt;
  auto back = Convert(ToUtf8(), *cp932);
  if (!back || *back != utf8) return std::nullopt;
  return cp932;
}

}  // namespace platform
