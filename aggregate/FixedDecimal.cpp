#include "aggregate/FixedDecimal.h"

#include <cstdlib>
#include <limits>
#include <utility>

// Every operation works on the parts of its values with 64-bit unsigned
// integers only; the same code runs on 32-bit and 64-bit targets. An integer
// part lies in 0..INT64_MAX and a fraction in 0..9999, so the magnitude of a
// value (integer part * 10000 + fraction) may be larger than 64 bits: it is
// never formed as one number where it could be.

namespace aggregate {

namespace {

constexpr uint64_t kInt64Max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
constexpr uint32_t kFractionScale = static_cast<uint32_t>(FixedDecimal::kScale);
// A magnitude reaches 10^18 ten-thousandths exactly when its integer part
// reaches 10^14, whatever its fraction.
constexpr uint64_t kSumIntegerLimit = static_cast<uint64_t>(FixedDecimal::kSumLimit / FixedDecimal::kScale);
// The largest integer part an amount can have, and the largest fraction a
// positive amount can have with it: INT64_MAX is 922337203685477.5807 yen,
// INT64_MIN is -922337203685477.5808 yen.
constexpr uint64_t kAmountIntegerLimit = kInt64Max / kFractionScale;
constexpr uint32_t kAmountFractionLimit = static_cast<uint32_t>(kInt64Max % kFractionScale);
// Integer parts below 2^49 times a fraction below 10^4 stay below 2^62.3, so
// two such mixed terms add without passing 2^64.
constexpr int kSmallIntegerBits = 49;

// a * b when it is at most INT64_MAX; false when it is larger.
bool MultiplyWithinInt64(uint64_t a, uint64_t b, uint64_t& product) {
  if (((a | b) >> 32) == 0) {
    product = a * b;
    return product <= kInt64Max;
  }
  if (a == 0 || b == 0) {
    product = 0;
    return true;
  }
  // One factor has bits above 32; when both have, the product reaches 2^64.
  if ((a >> 32) != 0 && (b >> 32) != 0) return false;
  if ((a >> 32) == 0) std::swap(a, b);
  // Now a = high * 2^32 + low, and b < 2^32: a * b = high * b * 2^32 + low * b.
  const uint64_t highTerm = (a >> 32) * b;
  if (highTerm >= (uint64_t{1} << 31)) return false;  // shifted, it reaches 2^63
  const uint64_t shifted = highTerm << 32;
  const uint64_t lowTerm = (a & 0xFFFFFFFFu) * b;
  if (lowTerm > kInt64Max - shifted) return false;
  product = shifted + lowTerm;
  return true;
}

// total + term, raising when it passes INT64_MAX; total <= INT64_MAX and
// term < 2^63, so the unsigned sum itself cannot wrap.
uint64_t AddWithinInt64(uint64_t total, uint64_t term) {
  const uint64_t sum = total + term;
  if (sum > kInt64Max) throw ArithmeticError();
  return sum;
}

}  // namespace

FixedDecimal FixedDecimal::Make(uint64_t integer, uint32_t fraction, bool negative) {
  FixedDecimal v;
  v.integer_ = static_cast<int64_t>(integer);
  v.fraction_ = fraction;
  v.sign_ = (negative && (integer != 0 || fraction != 0)) ? -1 : 1;
  return v;
}

FixedDecimal FixedDecimal::Combine(const FixedDecimal& a, int16_t signA, const FixedDecimal& b, int16_t signB) {
  const uint64_t integerA = static_cast<uint64_t>(a.integer_);
  const uint64_t integerB = static_cast<uint64_t>(b.integer_);
  uint64_t integer;
  uint32_t fraction;
  bool negative;
  if (signA == signB) {
    // The magnitudes add: two integer parts up to INT64_MAX and a carry stay
    // below 2^64.
    integer = integerA + integerB;
    fraction = a.fraction_ + b.fraction_;
    if (fraction >= kFractionScale) {
      fraction -= kFractionScale;
      ++integer;
    }
    negative = signA < 0;
  } else {
    // The smaller magnitude comes off the larger, whose sign the result takes.
    const bool aIsLarger = integerA > integerB || (integerA == integerB && a.fraction_ >= b.fraction_);
    const FixedDecimal& larger = aIsLarger ? a : b;
    const FixedDecimal& smaller = aIsLarger ? b : a;
    integer = static_cast<uint64_t>(larger.integer_) - static_cast<uint64_t>(smaller.integer_);
    if (larger.fraction_ >= smaller.fraction_) {
      fraction = larger.fraction_ - smaller.fraction_;
    } else {
      // A borrow: the larger's integer part is then strictly the greater.
      fraction = larger.fraction_ + kFractionScale - smaller.fraction_;
      --integer;
    }
    negative = (aIsLarger ? signA : signB) < 0;
  }
  if (integer >= kSumIntegerLimit) throw ArithmeticError();
  return Make(integer, fraction, negative);
}

FixedDecimal FixedDecimal::FromScaled(int64_t amount) {
  // The magnitude of INT64_MIN is 2^63, which fits unsigned 64 bits.
  const uint64_t magnitude = amount < 0 ? uint64_t{0} - static_cast<uint64_t>(amount) : static_cast<uint64_t>(amount);
  return Make(magnitude / kFractionScale, static_cast<uint32_t>(magnitude % kFractionScale), amount < 0);
}

FixedDecimal FixedDecimal::FromParts(int32_t integer, uint32_t fraction) {
  FixedDecimal v;
  const int64_t whole = std::llabs(static_cast<int64_t>(integer)) + fraction / kFractionScale;
  v.integer_ = whole;
  v.fraction_ = static_cast<uint32_t>(fraction % kFractionScale);
  // The sign comes from the integer; a value that ends up zero is +1.
  v.sign_ = (integer < 0 && (whole != 0 || v.fraction_ != 0)) ? -1 : 1;
  return v;
}

int64_t FixedDecimal::ToScaled() const {
  const uint64_t integer = static_cast<uint64_t>(integer_);
  // A negative amount reaches one ten-thousandth further than a positive one.
  const uint32_t fractionLimit = kAmountFractionLimit + (sign_ < 0 ? 1 : 0);
  if (integer > kAmountIntegerLimit || (integer == kAmountIntegerLimit && fraction_ > fractionLimit))
    throw ArithmeticError();
  const uint64_t magnitude = integer * kFractionScale + fraction_;
  // Converting 2^63 back after the negation gives INT64_MIN (modulo 2^64).
  return sign_ < 0 ? static_cast<int64_t>(uint64_t{0} - magnitude) : static_cast<int64_t>(magnitude);
}

FixedDecimal FixedDecimal::Add(const FixedDecimal& other) const { return Combine(*this, sign_, other, other.sign_); }

FixedDecimal FixedDecimal::Add(int64_t amount, const FixedDecimal& value) {
  const FixedDecimal a = FromScaled(amount);
  return Combine(a, a.sign_, value, value.sign_);
}

FixedDecimal FixedDecimal::Subtract(const FixedDecimal& other) const {
  return Combine(*this, sign_, other, static_cast<int16_t>(-other.sign_));
}

FixedDecimal FixedDecimal::Subtract(int64_t amount, const FixedDecimal& value) {
  const FixedDecimal a = FromScaled(amount);
  return Combine(a, a.sign_, value, static_cast<int16_t>(-value.sign_));
}

FixedDecimal& FixedDecimal::AddInPlace(const FixedDecimal& other) {
  *this = Add(other);
  return *this;
}

FixedDecimal FixedDecimal::Multiply(int32_t factor) const {
  // |factor| <= 2^31: the fraction's product stays below 2^45 and carries
  // its whole units into the integer part's.
  const uint64_t k = factor < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(factor))
                                : static_cast<uint64_t>(factor);
  const uint64_t fractions = fraction_ * k;
  uint64_t integer;
  if (!MultiplyWithinInt64(static_cast<uint64_t>(integer_), k, integer)) throw ArithmeticError();
  integer = AddWithinInt64(integer, fractions / kFractionScale);
  return Make(integer, static_cast<uint32_t>(fractions % kFractionScale), (sign_ < 0) != (factor < 0));
}

FixedDecimal FixedDecimal::Multiply(const FixedDecimal& other) const {
  // (ia + fa/10^4) * (ib + fb/10^4) in ten-thousandths is
  //   ia*ib*10^4 + ia*fb + fa*ib + fa*fb/10^4,
  // where only the last term, the product of the fractions, is rounded.
  const uint64_t ia = static_cast<uint64_t>(integer_);
  const uint64_t ib = static_cast<uint64_t>(other.integer_);
  const uint64_t fa = fraction_;
  const uint64_t fb = other.fraction_;
  // The product of the integer parts alone may pass 64 bits; it is checked
  // before anything is added to it.
  uint64_t integer;
  if (!MultiplyWithinInt64(ia, ib, integer)) throw ArithmeticError();
  const uint64_t roundedFractions = (fa * fb + kFractionScale / 2) / kFractionScale;  // at most 9998
  uint64_t low;
  if (((ia | ib) >> kSmallIntegerBits) == 0) {
    // The mixed terms together stay below 2^64.
    low = ia * fb + fa * ib + roundedFractions;
  } else {
    // An integer part of 2^49 or more: its mixed term may pass 64 bits, so
    // its whole ten-thousands go to the integer part first. With
    // ia = qa*10^4 + ra, ia*fb = qa*fb*10^4 + ra*fb, and qa*fb < 2^63.
    const uint64_t qa = ia / kFractionScale, ra = ia % kFractionScale;
    const uint64_t qb = ib / kFractionScale, rb = ib % kFractionScale;
    integer = AddWithinInt64(integer, qa * fb);
    integer = AddWithinInt64(integer, qb * fa);
    low = ra * fb + rb * fa + roundedFractions;
  }
  integer = AddWithinInt64(integer, low / kFractionScale);
  return Make(integer, static_cast<uint32_t>(low % kFractionScale), (sign_ < 0) != (other.sign_ < 0));
}

}  // namespace aggregate
