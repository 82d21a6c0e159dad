// TaxSettings: the run's copy of the data's 12-byte consumption-tax settings
// record, read once by the run driver (ClSetShohizei::Get) and handed to the
// passes. It is the host's StSHOHIZEIINFO with names for the bytes the system
// reads; the other bytes are carried unread. The values of those bytes
// (taxation methods, rounding kinds) are named in host/Records.h.
#pragma once

#include <cstdint>

#include "host/Records.h"

namespace aggregate {

struct TaxSettings : StSHOHIZEIINFO {
  uint8_t taxMethod() const { return view().U8(kTaxMethod); }
  uint8_t rounding() const { return view().U8(kRounding); }
  uint8_t deductionMethod() const { return view().U8(kDeductionMethod); }
  uint8_t mainBusinessType() const { return view().U8(kMainBusinessType); }
  // Byte 5, how the books keep amounts: 0 without tax, else amount plus its
  // tax. The tax summary rule takes it as its tax-treatment argument.
  uint8_t taxInclusive() const { return view().U8(kTaxInclusive); }
};
static_assert(sizeof(TaxSettings) == sizeof(StSHOHIZEIINFO));

}  // namespace aggregate
