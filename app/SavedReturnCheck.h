// Whether the return saved in the accounting product's own return screens
// belongs to the data as it is now, so that its values may be linked
// (aggregation method 1).
//
// The saved return matches when its period start and end are set and equal
// the accounting period's, its closing pattern (stored plus 1) equals the
// data's, its taxation kind is 2 under simplified taxation and 1 otherwise,
// and its deduction method (stored plus 1) equals the data's.
#pragma once

#include <cstdint>

#include "host/ByteRecord.h"
#include "host/SaveTaxInfo.h"

namespace app {

struct CurrentDataFacts {
  int32_t periodStart = 0;
  int32_t periodEnd = 0;
  int32_t closingPattern = 0;
  uint8_t taxMethod = 0;
  uint8_t deductionMethod = 0;
};

int SavedReturnMatches(host::RecordView savedReturn, const CurrentDataFacts& data);

}  // namespace app
