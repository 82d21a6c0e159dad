// ByteRecord: the one accessor for records that the accounting product lays
// out by byte offset (company entry, return records, account sums, journal
// lines, assets, the saved return).
//
// A record is a fixed-size block of bytes. Fields are read and written at named
// byte offsets, little-endian, whatever the machine. Every access is checked
// against the block's size: an offset outside the block is a programming error
// and aborts with a message rather than reading or writing past the end.
//
// RecordView refers to bytes owned elsewhere (an element of a heap block of
// records, say); ByteRecord<N> owns N zeroed bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace host {

class RecordView {
 public:
  RecordView(uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  uint8_t* data() const { return bytes_; }
  size_t size() const { return size_; }

  uint8_t U8(size_t off) const { Check(off, 1); return bytes_[off]; }
  int16_t I16(size_t off) const { return static_cast<int16_t>(Load(off, 2)); }
  uint16_t U16(size_t off) const { return static_cast<uint16_t>(Load(off, 2)); }
  int32_t I32(size_t off) const { return static_cast<int32_t>(Load(off, 4)); }
  uint32_t U32(size_t off) const { return static_cast<uint32_t>(Load(off, 4)); }
  int64_t I64(size_t off) const { return static_cast<int64_t>(Load(off, 8)); }

  void SetU8(size_t off, uint8_t v) const { Check(off, 1); bytes_[off] = v; }
  void SetI16(size_t off, int16_t v) const { Store(off, 2, static_cast<uint16_t>(v)); }
  void SetI32(size_t off, int32_t v) const { Store(off, 4, static_cast<uint32_t>(v)); }
  void SetU32(size_t off, uint32_t v) const { Store(off, 4, v); }
  void SetI64(size_t off, int64_t v) const { Store(off, 8, static_cast<uint64_t>(v)); }

  // A NUL-terminated text field of at most `width` bytes starting at `off`
  // (the text ends at the first NUL or at the field's end).
  std::string Text(size_t off, size_t width) const {
    Check(off, width);
    const auto* begin = reinterpret_cast<const char*>(bytes_ + off);
    return std::string(begin, strnlen(begin, width));
  }
  // Writes `text` into a field of `width` bytes, cut to width - 1 bytes so a
  // NUL always ends it, and zero-fills the rest of the field.
  void SetText(size_t off, size_t width, std::string_view text) const {
    Check(off, width);
    if (width == 0) return;
    const size_t n = std::min(text.size(), width - 1);
    std::memcpy(bytes_ + off, text.data(), n);
    std::memset(bytes_ + off + n, 0, width - n);
  }

  // A sub-block, e.g. one element of an array of records inside this one.
  RecordView Sub(size_t off, size_t size) const { Check(off, size); return RecordView(bytes_ + off, size); }

  void Fill(uint8_t value) const { std::memset(bytes_, value, size_); }

 private:
  void Check(size_t off, size_t n) const {
    if (off > size_ || n > size_ - off) {
      std::fprintf(stderr, "host record access out of range: offset %zu, %zu bytes, record of %zu bytes\n", off, n,
                   size_);
      std::abort();
    }
  }
  uint64_t Load(size_t off, size_t n) const {
    Check(off, n);
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(bytes_[off + i]) << (8 * i);
    if (n < 8 && (v >> (8 * n - 1)) & 1u) v |= ~uint64_t{0} << (8 * n);  // sign-extend; callers cast
    return v;
  }
  void Store(size_t off, size_t n, uint64_t v) const {
    Check(off, n);
    for (size_t i = 0; i < n; ++i) bytes_[off + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  uint8_t* bytes_;
  size_t size_;
};

// N bytes owned by the record itself, zero at construction.
template <size_t N>
class ByteRecord {
 public:
  static constexpr size_t kSize = N;
  ByteRecord() { bytes_.fill(0); }

  RecordView view() { return RecordView(bytes_.data(), N); }
  // Read access from a const record goes through the same accessor.
  RecordView view() const { return RecordView(const_cast<uint8_t*>(bytes_.data()), N); }
  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }

 private:
  std::array<uint8_t, N> bytes_;
};

}  // namespace host
