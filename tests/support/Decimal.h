// Exact signed integers kept as decimal digits, the reference against which
// tests check fixed-width arithmetic. Nothing in it has a width that could
// overflow: addition, subtraction and multiplication are done digit by digit
// the way they are on paper, which is slow and plain on purpose.
//
// A value is a sign and its magnitude's digits, most significant first, with
// no leading zeros ("0" for zero, which is never negative).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

class Decimal {
 public:
  Decimal() = default;  // zero

  static Decimal Of(int64_t value) {
    // The magnitude is written digit by digit from the signed value, so that
    // INT64_MIN needs no wider type.
    std::string digits;
    int64_t rest = value;
    do {
      const int64_t digit = rest % 10;
      digits.insert(digits.begin(), static_cast<char>('0' + (digit < 0 ? -digit : digit)));
      rest /= 10;
    } while (rest != 0);
    return Decimal(std::move(digits), value < 0);
  }

  // `digits` holds the characters 0-9 only (leading zeros allowed; empty is zero).
  static Decimal FromDigits(std::string_view digits, bool negative = false) {
    size_t first = 0;
    while (first < digits.size() && digits[first] == '0') ++first;
    return Decimal(std::string(digits.substr(first)), negative);
  }

  bool negative() const { return negative_; }
  // The magnitude's digits.
  const std::string& digits() const { return digits_; }
  std::string ToString() const { return negative_ ? "-" + digits_ : digits_; }

  Decimal Abs() const { return Decimal(digits_, false); }
  Decimal operator-() const { return Decimal(digits_, !negative_); }

  // The magnitude without its last `count` digits (the magnitude divided by
  // 10^count, rounded down), and the last `count` digits as a number.
  Decimal DropDigits(size_t count) const {
    return digits_.size() <= count ? Decimal() : FromDigits(std::string_view(digits_).substr(0, digits_.size() - count));
  }
  Decimal LastDigits(size_t count) const {
    return digits_.size() <= count ? Abs() : FromDigits(std::string_view(digits_).substr(digits_.size() - count));
  }

  // The value when it lies in int64_t's range.
  std::optional<int64_t> ToInt64() const {
    if (*this < Of(INT64_MIN) || *this > Of(INT64_MAX)) return std::nullopt;
    uint64_t magnitude = 0;
    for (char c : digits_) magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    return static_cast<int64_t>(negative_ ? uint64_t{0} - magnitude : magnitude);
  }

  friend Decimal operator+(const Decimal& a, const Decimal& b) {
    if (a.negative_ == b.negative_) return Decimal(AddMagnitudes(a.digits_, b.digits_), a.negative_);
    if (CompareMagnitudes(a.digits_, b.digits_) >= 0)
      return Decimal(SubtractMagnitudes(a.digits_, b.digits_), a.negative_);
    return Decimal(SubtractMagnitudes(b.digits_, a.digits_), b.negative_);
  }
  friend Decimal operator-(const Decimal& a, const Decimal& b) { return a + -b; }
  friend Decimal operator*(const Decimal& a, const Decimal& b) {
    return Decimal(MultiplyMagnitudes(a.digits_, b.digits_), a.negative_ != b.negative_);
  }

  friend bool operator==(const Decimal& a, const Decimal& b) = default;
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    if (a.negative_ != b.negative_) return a.negative_ ? std::strong_ordering::less : std::strong_ordering::greater;
    const int magnitudes = CompareMagnitudes(a.digits_, b.digits_);
    const int order = a.negative_ ? -magnitudes : magnitudes;
    return order < 0 ? std::strong_ordering::less
                     : (order > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
  }

 private:
  Decimal(std::string digits, bool negative) : digits_(std::move(digits)), negative_(negative) {
    if (digits_.empty()) digits_ = "0";
    if (digits_ == "0") negative_ = false;
  }

  static int CompareMagnitudes(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }

  static std::string AddMagnitudes(const std::string& a, const std::string& b) {
    std::string sum;
    int carry = 0;
    for (size_t i = 0; i < a.size() || i < b.size() || carry; ++i) {
      int digit = carry;
      if (i < a.size()) digit += a[a.size() - 1 - i] - '0';
      if (i < b.size()) digit += b[b.size() - 1 - i] - '0';
      sum.insert(sum.begin(), static_cast<char>('0' + digit % 10));
      carry = digit / 10;
    }
    return StripZeros(sum);
  }

  // a - b for a >= b.
  static std::string SubtractMagnitudes(const std::string& a, const std::string& b) {
    std::string difference;
    int borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
      int digit = (a[a.size() - 1 - i] - '0') - borrow;
      if (i < b.size()) digit -= b[b.size() - 1 - i] - '0';
      borrow = digit < 0 ? 1 : 0;
      difference.insert(difference.begin(), static_cast<char>('0' + digit + 10 * borrow));
    }
    return StripZeros(difference);
  }

  static std::string MultiplyMagnitudes(const std::string& a, const std::string& b) {
    // Column sums first (each below 10 * 81 * digits), then the carries.
    std::vector<int> columns(a.size() + b.size(), 0);
    for (size_t i = 0; i < a.size(); ++i)
      for (size_t j = 0; j < b.size(); ++j) columns[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    for (size_t k = columns.size() - 1; k > 0; --k) {
      columns[k - 1] += columns[k] / 10;
      columns[k] %= 10;
    }
    std::string product;
    for (int digit : columns) product += static_cast<char>('0' + digit);
    return StripZeros(product);
  }

  static std::string StripZeros(const std::string& digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
  }

  std::string digits_ = "0";
  bool negative_ = false;
};

}  // namespace test_support
