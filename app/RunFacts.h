// RunFacts: what one run knows of the open company data. ReadRunFacts reads
// it from the host once, right after the system link; from then on every step
// (the conditions dialog's inputs, the run checks, the passes and either
// method's document) takes its facts from this value and asks the host again
// only for what the user's choice decides (the first chosen month's dates,
// the journal itself).
//
// Where each fact comes from, in the order ReadRunFacts reads them:
//   userId, selectedNo  the current user (ClSysUser): id, group and data number
//   company             the data entry (ClSetData) with the selected data
//                       number; a zero record when there is none
//   savedReturn         the return saved in the host's return screens for the
//                       company's data id (ClSaveTaxShiryo); never null, zero
//                       bytes when it could not be read
//   taxSettings         the data's consumption-tax settings (ClSetShohizei);
//                       zero bytes when they could not be read
//   periodStart/End     the host's accounting period (ClAccPeriod)
//   savedReturnMatches  1 when the saved return was read and belongs to the
//                       data as it is now (app/SavedReturnCheck.h), else 0
//   returnStart/EndMonth the saved return's first and last dates as the host's
//                       period-relative months (0 when they cannot be)
//   periodMonths        the period's first and last calendar months, worked
//                       out from the company record's period
// A read that fails leaves its fact as stated and the run goes on; the host
// statuses of a failed saved-return read and of a failed month lookup are
// recorded with ClMsgMgr::SetLastError, in that order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "aggregate/TaxSettings.h"
#include "app/PeriodMonths.h"
#include "host/Host.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"

namespace app {

struct RunFacts {
  std::string userId;
  int32_t selectedNo[2] = {0, 0};  // group number, data number
  StDATAINFO company;
  std::unique_ptr<StSaveTaxInfo> savedReturn;
  aggregate::TaxSettings taxSettings;
  int32_t periodStart = 0;  // yyyymmdd, the host's accounting period
  int32_t periodEnd = 0;
  int32_t savedReturnMatches = 0;
  int16_t returnStartMonth = 0;
  int16_t returnEndMonth = 0;
  PeriodMonths periodMonths;
};

// Reads the run's facts through the host's data and consumption-tax settings
// objects (either may be null: its facts stay zero). The settings object is
// left bound to the company's data for the run's later questions.
RunFacts ReadRunFacts(ClSetData* data, ClSetShohizei* taxSettings);

// Reads the return saved in the accounting product's return screens for the
// data `dataId` into `savedReturn`; the host's status (0 read). A return that
// cannot be read leaves `savedReturn` as it was.
int32_t ReadSavedReturn(host::StSaveTaxInfo* savedReturn, const std::string& dataId);

}  // namespace app
