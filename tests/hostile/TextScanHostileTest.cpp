// The Shift_JIS scanning helpers and the full-width mapping under random
// bytes. Every text is scanned at every length it can be cut to, held in a
// buffer of exactly that size, so that a scan reading one byte past its end
// (a lead byte at the very end, say) is caught by the address sanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Encoding.h"
#include "platform/FullWidth.h"
#include "platform/ShiftJis.h"
#include "tests/hostile/Hostile.h"

namespace {

namespace sjis = platform::sjis;
using hostile::Rng;

// A heap copy of exactly `text.size()` bytes.
class ExactBuffer {
 public:
  explicit ExactBuffer(std::string_view text) : bytes_(new char[text.size() ? text.size() : 1]), size_(text.size()) {
    std::copy(text.begin(), text.end(), bytes_.get());
  }
  std::string_view view() const { return std::string_view(bytes_.get(), size_); }

 private:
  std::unique_ptr<char[]> bytes_;
  size_t size_;
};

bool Lead(char c) { return sjis::IsLeadByte(static_cast<unsigned char>(c)); }

// Where each character starts, worked out from the rule alone: a lead byte
// takes the byte after it when there is one.
std::vector<size_t> Starts(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size();) {
    starts.push_back(i);
    i += (Lead(text[i]) && i + 1 < text.size()) ? 2 : 1;
  }
  return starts;
}

bool SingleAt(std::string_view text, size_t i) { return !(Lead(text[i]) && i + 1 < text.size()); }

// Texts rich in lead bytes, trail bytes that equal "\" "/" ":", and the
// characters searched for.
std::string Sample(Rng& rng) {
  static const std::string kAlphabet = std::string("\\/:.\"A") + "\x81\x9F\xE0\xFC\x5C\x2F\x3A\x80\xA0\xFD\xFF\xB1";
  if (rng.OneIn(3)) return rng.Bytes(24);
  return rng.From(kAlphabet, 24);
}

TEST(ShiftJisScanning, EveryScanStaysInsideTheTextAndOnCharacterBoundaries) {
  Rng rng(0x5A15);
  const std::string chars = "\\/:";
  long cases = 0;
  for (int round = 0; round < hostile::kCases / 10; ++round) {
    const std::string whole = Sample(rng);
    for (size_t cut = 0; cut <= whole.size(); ++cut, ++cases) {
      const ExactBuffer buffer(std::string_view(whole).substr(0, cut));
      const std::string_view text = buffer.view();
      const std::vector<size_t> starts = Starts(text);

      size_t walked = 0;
      for (size_t s : starts) {
        ASSERT_EQ(s, walked);
        walked += sjis::CharLength(text, s);
      }
      ASSERT_EQ(walked, text.size());
      ASSERT_EQ(sjis::CharLength(text, text.size()), 0u);

      const char c = chars[rng.Below(chars.size())];
      const size_t from = rng.Below(text.size() + 2);
      size_t first = std::string_view::npos, firstAny = std::string_view::npos, last = std::string_view::npos,
             lastAny = std::string_view::npos;
      for (size_t s : starts) {
        if (!SingleAt(text, s)) continue;
        if (text[s] == c) {
          if (s >= from && first == std::string_view::npos) first = s;
          last = s;
        }
        if (chars.find(text[s]) != std::string::npos) {
          if (s >= from && firstAny == std::string_view::npos) firstAny = s;
          lastAny = s;
        }
      }
      EXPECT_EQ(sjis::FindChar(text, c, from), first);
      EXPECT_EQ(sjis::FindLastChar(text, c), last);
      EXPECT_EQ(sjis::FindFirstOf(text, chars, from), firstAny);
      EXPECT_EQ(sjis::FindLastOf(text, chars), lastAny);
      const bool endsWith = !starts.empty() && SingleAt(text, starts.back()) && text[starts.back()] == c;
      EXPECT_EQ(sjis::EndsWithChar(text, c), endsWith);

      const size_t limit = rng.Below(text.size() + 2);
      const std::string_view kept = sjis::CutToWholeChars(text, limit);
      ASSERT_LE(kept.size(), limit);
      // The longest whole-character prefix within the limit.
      size_t want = 0;
      for (size_t s : starts) {
        const size_t end = s + sjis::CharLength(text, s);
        if (end <= limit) want = end;
      }
      EXPECT_EQ(kept.size(), want) << "cut " << limit;
      if (HasFailure()) return;
    }
  }
  hostile::ReportCases("shiftjis", cases);
}

TEST(FullWidthMapping, RandomBytesKeepTheMappingsPromises) {
  Rng rng(0xF011);
  long cases = 0;
  for (; cases < hostile::kCases * 2; ++cases) {
    std::string input = rng.OneIn(2) ? rng.Bytes(40) : rng.From(" Az~\\\xB6\xDE\xDF\xCA\xB3\x81\x40\xFC\x80", 40);
    const ExactBuffer buffer(input);
    const std::string out = platform::MapToFullWidth(buffer.view());
    ASSERT_LE(out.size(), 2 * input.size());
    // On Windows the system's LCMapStringA maps, and Wine's answers differ
    // from the stand-in's in two ways: it leaves "\\" as it is and puts a plain
    // "?" for a sound mark it cannot combine (which a second mapping then
    // widens). Those two bytes may stay there, and mapping twice is not
    // checked.
#ifndef _WIN32
    // Mapping twice changes nothing more.
    const ExactBuffer again(out);
    ASSERT_EQ(platform::MapToFullWidth(again.view()), out);
#endif
    // No printable single-byte character survives as a character of its own.
    for (size_t i : Starts(out)) {
      if (!SingleAt(out, i)) continue;
      const unsigned char b = static_cast<unsigned char>(out[i]);
#ifdef _WIN32
      if (b == '\\' || b == '?') continue;
#endif
      ASSERT_FALSE((b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF)) << "byte " << int(b) << " left half-width";
    }
    // Double-byte characters of the input come out unchanged, in order.
    // On Windows the system's mapping goes through Unicode and back, so the
    // promise is about characters that code page 932 defines, and about the
    // character rather than its code: a pair it does not know becomes its
    // default character, and a character with two codes comes back with the
    // one Windows prefers (the NEC-selected ED B1 as the IBM extension's FA CD,
    // both U+654E). And Wine puts "?" for a sound mark that follows what it
    // cannot combine with, even for the double-byte marks 81 4A and 81 4B.
    const auto character = [](const std::string& pair) {
#ifdef _WIN32
      return platform::Cp932ToUtf8(pair).value_or(pair);
#else
      return pair;
#endif
    };
    std::vector<std::string> pairsIn, pairsOut;
    for (size_t i : Starts(input)) {
      if (SingleAt(input, i)) continue;
#ifdef _WIN32
      if (!platform::Cp932ToUtf8(input.substr(i, 2)).has_value()) continue;
      if (input.compare(i, 2, "\x81\x4A") == 0 || input.compare(i, 2, "\x81\x4B") == 0) continue;
#endif
      pairsIn.push_back(character(input.substr(i, 2)));
    }
    for (size_t i : Starts(out)) {
      if (!SingleAt(out, i)) pairsOut.push_back(character(out.substr(i, 2)));
    }
    auto at = pairsOut.begin();
    for (const std::string& pair : pairsIn) {
      at = std::find(at, pairsOut.end(), pair);
      ASSERT_NE(at, pairsOut.end()) << "a double-byte character was lost: " << ::testing::PrintToString(input)
                                    << " gave " << ::testing::PrintToString(out);
      ++at;
    }
  }
  // Each printable ASCII character alone becomes the full-width character U+FF01.. (blank: U+3000).
  for (char c = 0x20; c < 0x7F; ++c, ++cases) {
#ifdef _WIN32
    if (c == '\\') continue;  // Wine leaves it as it is (above)
#endif
    const auto utf8 = platform::Cp932ToUtf8(platform::MapToFullWidth(std::string(1, c)));
    ASSERT_TRUE(utf8.has_value());
    const char32_t want = c == ' ' ? U'\u3000' : U'\uFF01' + (c - 0x21);
    const unsigned char* u = reinterpret_cast<const unsigned char*>(utf8->data());
    ASSERT_EQ(utf8->size(), 3u);
    EXPECT_EQ(static_cast<char32_t>(((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F)), want);
  }
  hostile::ReportCases("fullwidth", cases);
}

}  // namespace
