// The DATA section writers of either method: the run driver hands each the
// company record and its own copies of the taxation method and rounding kind.
// The conditions dialog is driven directly through dialog/ConditionDialog.h;
// the progress window, the run checks and the aggregation passes through
// aggregate/JournalRun.h and aggregate/RunChecks.h.
#pragma once

#include <cstdint>

#include "host/ByteRecord.h"
#include "host/Records.h"

namespace aggregate {
class TaxAggregate;
}

namespace report {
class XmlWriter;
}

namespace app {

// The DATA section from the journal aggregation, with its refund statements:
// 1 written, 0 failed.
int WriteDataSection(report::XmlWriter& writer, const StDATAINFO& company, const StSHOHIZEIINFO& taxSettings,
                     const aggregate::TaxAggregate& aggregate, uint8_t taxMethod, uint8_t taxRounding);

// The DATA section from the return saved in the accounting product's return
// screens: 1 written, 0 failed.
int WriteSavedReturnData(report::XmlWriter& writer, host::RecordView company, host::RecordView savedReturn,
                         uint8_t taxMethod, uint8_t taxRounding);

}  // namespace app
