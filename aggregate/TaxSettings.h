// TaxSettings: the run's copy of the data's 12-byte consumption-tax settings
// record, read once by the run driver (ClSetShohizei::Get) and handed to the
// passes. It is the host's StSHOHIZEIINFO with names for the bytes the system
// reads; the other bytes are carried unread.
#pragma once

#include <cstdint>

#include "host/Records.h"

namespace aggregate {

struct TaxSettings : StSHOHIZEIINFO {
  // The taxation methods.
  static constexpr uint8_t kExempt = 0;      // host-code: taxation method
  static constexpr uint8_t kSimplified = 1;  // host-code: taxation method
  static constexpr uint8_t kGeneral = 2;     // host-code: taxation method

  uint8_t taxMethod() const { return view().U8(kTaxMethod); }
  uint8_t rounding() const { return view().U8(kRounding); }
  uint8_t deductionMethod() const { return view().U8(kDeductionMethod); }
  uint8_t mainBusinessType() const { return view().U8(kMainBusinessType); }
  // The bookkeeping flag: 0 amounts kept without tax, else amount plus tax.
  // The tax summary rule takes it as its tax-treatment argument.
  uint8_t bookkeepingFlag() const { return view().U8(kTaxInclusive); }
};
static_assert(sizeof(TaxSettings) == sizeof(StSHOHIZEIINFO));

}  // namespace aggregate
