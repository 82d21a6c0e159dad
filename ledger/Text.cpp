#include "ledger/Text.h"

#include <iconv.h>

#include <cerrno>

namespace ledger {
namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  const size_t flushed = iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || flushed == static_cast<size_t>(-1) || srcLeft != 0) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8); }
std::optional<std::string> Cp932ToUtf8(std::string_view cp932) { return Convert("UTF-8", "CP932", cp932); }

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  if (auto whole = Cp932ToUtf8(cp932)) return *whole;
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    const auto c = static_cast<unsigned char>(cp932[i]);
    const size_t len = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < cp932.size() ? 2 : 1;
    auto piece = Cp932ToUtf8(cp932.substr(i, len));
    out += piece ? *piece : "?";
    i += len;
  }
  return out;
}

}  // namespace ledger
