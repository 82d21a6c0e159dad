// Shared pieces of the hostile-input tests: a seeded generator whose output
// is the same on every machine, byte mutations of valid inputs, and the one
// line per reader that tells `make reliability` how many inputs were tried.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace hostile {

// splitmix64: small, fast and fully specified, so a seed names the same
// inputs everywhere (the standard library's distributions are not).
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n); n > 0.
  uint64_t Below(uint64_t n) { return Next() % n; }
  // Uniform in [lo, hi].
  int64_t Between(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(Below(static_cast<uint64_t>(hi - lo) + 1));
  }
  bool OneIn(uint64_t n) { return Below(n) == 0; }
  char Byte() { return static_cast<char>(Next() & 0xFF); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }
  std::string Bytes(size_t maxLength) {
    std::string s(Below(maxLength + 1), '\0');
    for (char& c : s) c = Byte();
    return s;
  }
  // Bytes drawn from `alphabet` only.
  std::string From(std::string_view alphabet, size_t maxLength) {
    std::string s(Below(maxLength + 1), '\0');
    for (char& c : s) c = alphabet[Below(alphabet.size())];
    return s;
  }

 private:
  uint64_t state_;
};

// Bytes that readers treat specially: separators, line ends, quotes, the
// Shift_JIS lead bytes at both ends of their ranges, NUL, 0x1A, 0xFF.
inline constexpr char kInteresting[] = {',', '/', '\\', ':', '=', '[', ']', '"', '\'', ';', '#', ' ', '\t',
                                        '\r', '\n', '\0', '\x1A', '\x81', '\x9F', '\xE0', '\xFC', '\xFF',
                                        '\x5C', '\x7F', '\xA1', '\xDE', '\xDF', '-', '+', '0', '9'};

// One random edit of `text`: a byte flipped, set to an interesting value,
// inserted, deleted, a run duplicated, the text cut short, or two places
// swapped. Applied a few times it turns a valid input into a nearly valid one,
// which reaches deeper than pure noise.
inline void MutateOnce(Rng& rng, std::string& text) {
  const size_t n = text.size();
  switch (rng.Below(8)) {
    case 0:
      if (n) text[rng.Below(n)] ^= static_cast<char>(1u << rng.Below(8));
      break;
    case 1:
      if (n) text[rng.Below(n)] = kInteresting[rng.Below(sizeof kInteresting)];
      break;
    case 2:
      text.insert(text.begin() + static_cast<std::ptrdiff_t>(rng.Below(n + 1)),
                  kInteresting[rng.Below(sizeof kInteresting)]);
      break;
    case 3:
      if (n) text.erase(rng.Below(n), 1 + rng.Below(4));
      break;
    case 4:
      if (n) {
        const size_t at = rng.Below(n);
        const std::string run = text.substr(at, 1 + rng.Below(16));
        text.insert(rng.Below(n + 1), run);
      }
      break;
    case 5:
      text.resize(rng.Below(n + 1));
      break;
    case 6:
      if (n > 1) std::swap(text[rng.Below(n)], text[rng.Below(n)]);
      break;
    default:
      text.insert(rng.Below(n + 1), 1, rng.Byte());
      break;
  }
}

inline std::string Mutate(Rng& rng, std::string text, int maxEdits = 6) {
  const int edits = 1 + static_cast<int>(rng.Below(static_cast<uint64_t>(maxEdits)));
  for (int i = 0; i < edits; ++i) MutateOnce(rng, text);
  return text;
}

// The line `make reliability` collects: the reader's name and how many
// inputs its test tried.
inline void ReportCases(const char* reader, long cases) {
  std::printf("hostile-inputs %s %ld\n", reader, cases);
  std::fflush(stdout);
}

// The inputs each reader's test tries: enough to reach the corners, few
// enough that the whole suite stays within seconds.
inline constexpr int kCases = 3000;

// Cases that start a process or fill 30000-byte blocks run a tenth as often
// under the address sanitizer, which makes each of them (a child's exit with
// its leak check, above all) many times slower.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kHeavyShare = 10;
#else
inline constexpr int kHeavyShare = 1;
#endif
inline constexpr int Heavy(int cases) { return cases / kHeavyShare; }

}  // namespace hostile
