#include "aggregate/FixedDecimal.h"

#include <cstdlib>
#include <limits>

namespace aggregate {

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

}  // namespace

FixedDecimal FixedDecimal::FromWide(Wide tenThousandths, bool sumCheck) {
  const Wide magnitude = tenThousandths < 0 ? -tenThousandths : tenThousandths;
  if (sumCheck && magnitude >= static_cast<Wide>(kSumLimit)) throw ArithmeticError();
  const Wide integer = magnitude / kScale;
  if (integer > static_cast<Wide>(kInt64Max)) throw ArithmeticError();
  FixedDecimal v;
  v.integer_ = static_cast<int64_t>(integer);
  v.fraction_ = static_cast<uint32_t>(magnitude % kScale);
  v.sign_ = tenThousandths < 0 ? -1 : 1;
  return v;
}

FixedDecimal::Wide FixedDecimal::ToWide() const {
  const Wide magnitude = static_cast<Wide>(integer_) * kScale + fraction_;
  return sign_ < 0 ? -magnitude : magnitude;
}

FixedDecimal FixedDecimal::FromScaled(int64_t amount) { return FromWide(amount, false); }

FixedDecimal FixedDecimal::FromParts(int32_t integer, uint32_t fraction) {
  FixedDecimal v;
  const int64_t whole = std::llabs(static_cast<int64_t>(integer)) + fraction / kScale;
  v.integer_ = whole;
  v.fraction_ = static_cast<uint32_t>(fraction % kScale);
  // The sign comes from the integer; a value that ends up zero is +1.
  v.sign_ = (integer < 0 && (whole != 0 || v.fraction_ != 0)) ? -1 : 1;
  return v;
}

int64_t FixedDecimal::ToScaled() const {
  const Wide wide = ToWide();
  if (wide > static_cast<Wide>(kInt64Max) || wide < static_cast<Wide>(std::numeric_limits<int64_t>::min()))
    throw ArithmeticError();
  return static_cast<int64_t>(wide);
}

FixedDecimal FixedDecimal::Add(const FixedDecimal& other) const { return FromWide(ToWide() + other.ToWide(), true); }

FixedDecimal FixedDecimal::Add(int64_t amount, const FixedDecimal& value) {
  return FromWide(static_cast<Wide>(amount) + value.ToWide(), true);
}

FixedDecimal FixedDecimal::Subtract(const FixedDecimal& other) const {
  return FromWide(ToWide() - other.ToWide(), true);
}

FixedDecimal FixedDecimal::Subtract(int64_t amount, const FixedDecimal& value) {
  return FromWide(static_cast<Wide>(amount) - value.ToWide(), true);
}

FixedDecimal& FixedDecimal::AddInPlace(const FixedDecimal& other) {
  *this = Add(other);
  return *this;
}

FixedDecimal FixedDecimal::Multiply(int32_t factor) const {
  // |value| < 2^63 * 10^4 and |factor| <= 2^31: the product fits 128 bits.
  return FromWide(ToWide() * factor, false);
}

FixedDecimal FixedDecimal::Multiply(const FixedDecimal& other) const {
  __extension__ typedef unsigned __int128 UWide;
  // The product of the integer parts alone may exceed 64 bits; it is checked
  // before it is scaled so that the 128-bit arithmetic cannot wrap.
  const UWide wholes = static_cast<UWide>(integer_) * static_cast<UWide>(other.integer_);
  if (wholes > static_cast<UWide>(kInt64Max)) throw ArithmeticError();
  const UWide fractions = static_cast<UWide>(fraction_) * other.fraction_;
  const UWide magnitude = wholes * kScale + static_cast<UWide>(integer_) * other.fraction_ +
                          static_cast<UWide>(fraction_) * static_cast<UWide>(other.integer_) +
                          (fractions + kScale / 2) / kScale;
  const Wide signedMagnitude = static_cast<Wide>(magnitude);
  return FromWide(sign_ * other.sign_ < 0 ? -signedMagnitude : signedMagnitude, false);
}

}  // namespace aggregate
