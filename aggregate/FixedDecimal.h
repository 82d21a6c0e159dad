// FixedDecimal: the arithmetic through which every amount is added,
// subtracted and multiplied.
//
// An amount is a signed 64-bit integer holding ten-thousandths of a yen. A
// FixedDecimal holds the same value as a non-negative integer part, a fraction
// of 0..9999 ten-thousandths and a sign of +1 or -1; a zero value always has
// the sign +1.
//
// Every operation is exact, except that the value-by-value product rounds the
// product of the two fractions half up to ten-thousandths. An operation whose
// exact result does not fit throws ArithmeticError (code -1) and returns
// nothing:
//   - a sum or difference whose magnitude reaches 10^18 ten-thousandths
//     (10^14 yen), whichever form of add or subtract produced it;
//   - a product whose integer part does not fit a signed 64-bit integer;
//   - a value turned back into an amount that does not fit 64 bits.
// Results that fit are never changed. No real run comes near these bounds; the
// error exists so that an impossible figure is never printed as a wrapped one.
//
// Where the error is caught: ArithmeticError is the one exception of the
// aggregation, and it crosses no layer. The passes let it rise to
// RunJournalAggregation (JournalRun.h), the one place where they are run,
// which catches it and answers AggregationStatus::kAmountsTooLarge; the
// report writers that use this arithmetic catch it inside their own section
// and answer that the section failed. Nothing in app/ sees it.
#pragma once

#include <cstdint>
#include <exception>

namespace aggregate {

class ArithmeticError : public std::exception {
 public:
  // The value the aggregation has always carried for this error.
  int code() const noexcept { return -1; }
  const char* what() const noexcept override { return "amount out of range in fixed-point arithmetic"; }
};

class FixedDecimal {
 public:
  static constexpr int64_t kScale = 10000;
  // Sums and differences must stay below this many ten-thousandths.
  static constexpr int64_t kSumLimit = 1000000000000000000;  // 10^18

  // Zero.
  FixedDecimal() = default;

  // From an amount in ten-thousandths (any int64_t, INT64_MIN included).
  static FixedDecimal FromScaled(int64_t amount);
  // From a signed integer (its sign becomes the value's sign) and a fraction in
  // ten-thousandths; a fraction of 10000 or more carries its whole
  // ten-thousands into the integer part.
  static FixedDecimal FromParts(int32_t integer, uint32_t fraction);

  // sign * (integer part * 10000 + fraction).
  int64_t ToScaled() const;

  FixedDecimal Add(const FixedDecimal& other) const;
  static FixedDecimal Add(int64_t amount, const FixedDecimal& value);
  FixedDecimal Subtract(const FixedDecimal& other) const;
  // amount - value.
  static FixedDecimal Subtract(int64_t amount, const FixedDecimal& value);
  FixedDecimal& AddInPlace(const FixedDecimal& other);
  FixedDecimal Multiply(int32_t factor) const;
  FixedDecimal Multiply(const FixedDecimal& other) const;

  FixedDecimal operator+(const FixedDecimal& o) const { return Add(o); }
  FixedDecimal operator-(const FixedDecimal& o) const { return Subtract(o); }
  FixedDecimal& operator+=(const FixedDecimal& o) { return AddInPlace(o); }
  FixedDecimal operator*(int32_t factor) const { return Multiply(factor); }
  FixedDecimal operator*(const FixedDecimal& o) const { return Multiply(o); }
  bool operator==(const FixedDecimal&) const = default;

  int64_t integerPart() const { return integer_; }
  uint32_t fraction() const { return fraction_; }
  int16_t sign() const { return sign_; }

 private:
  // signA * |a| + signB * |b|, raising when its magnitude reaches 10^18; a
  // difference passes the second value's sign reversed.
  static FixedDecimal Combine(const FixedDecimal& a, int16_t signA, const FixedDecimal& b, int16_t signB);
  // The value of `integer` units and `fraction` ten-thousandths (integer at
  // most INT64_MAX, fraction below 10000), negative when `negative` is set
  // and the value is not zero.
  static FixedDecimal Make(uint64_t integer, uint32_t fraction, bool negative);

  int64_t integer_ = 0;
  uint32_t fraction_ = 0;
  int16_t sign_ = 1;
};

}  // namespace aggregate
