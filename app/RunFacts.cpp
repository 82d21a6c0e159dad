#include "app/RunFacts.h"

#include <memory>
#include <new>

#include "app/SavedReturnCheck.h"

namespace app {
namespace {

constexpr size_t kUserIdBytes = 65;

std::string DataId(const StDATAINFO& company) {
  return company.view().Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth);
}

// The data entry whose data number is `dataNo`; false (and a zero record)
// when the walk ends without it or cannot start.
bool ReadCompanyRecord(ClSetData* data, int32_t dataNo, StDATAINFO& record) {
  record = StDATAINFO();
  if (!data) return false;
  int32_t cursor = 0;
  if (data->GetDatCursor(&cursor) != host::kOk) return false;
  bool found = false;
  data->ReadyDat(cursor, 0);
  StDATAINFO entry;
  while (data->WalkDat(cursor, &entry) == host::kOk) {
    if (entry.view().I32(StDATAINFO::kDataNo) == dataNo) {
      record = entry;
      found = true;
      break;
    }
  }
  data->ReleaseDatCursor(cursor);
  return found;
}

// Binds the settings object to the company's data and reads its settings;
// `settings` stays as it was when the host cannot answer.
void ReadTaxSettings(ClSetShohizei* tax, const StDATAINFO& company, aggregate::TaxSettings& settings) {
  if (!tax) return;
  tax->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  tax->SetCurDataID(DataId(company).c_str());
  StSHOHIZEIINFO read;
  if (tax->Get(&read) == host::kOk) static_cast<StSHOHIZEIINFO&>(settings) = read;
}

// The accounting period's dates and the saved return's months in the host's
// numbering; the status of the month lookup is recorded when it fails.
void ReadPeriodFacts(ClSetData* data, RunFacts& facts) {
  ClAccPeriod* raw = nullptr;
  int32_t status = data ? data->GetAccPeriod(&raw) : host::kNotConnected;
  const std::unique_ptr<ClAccPeriod> period(raw);
  if (status == host::kOk && period) {
    period->GetPeriod(&facts.periodStart, &facts.periodEnd);
    const host::RecordView saved = facts.savedReturn->view();
    status = period->GetAMonthByDate(saved.I32(StSaveTaxInfo::kReturnStart), &facts.returnStartMonth);
    if (status == host::kOk) status = period->GetAMonthByDate(saved.I32(StSaveTaxInfo::kReturnEnd), &facts.returnEndMonth);
  }
  if (status != host::kOk) ClMsgMgr::Inst()->SetLastError(status, __FILE__, __LINE__);
}

// The first and last calendar months of the company record's period, counted
// by a period object of the record's own dates and closing day.
PeriodMonths PeriodMonthsOf(const StDATAINFO& company) {
  const host::RecordView r = company.view();
  const int32_t periodStart = r.I32(StDATAINFO::kPeriodStart);
  const int32_t periodEnd = r.I32(StDATAINFO::kPeriodEnd);
  int16_t first = 0;
  if (const std::unique_ptr<ClAccPeriod> period(new (std::nothrow) ClAccPeriod()); period) {
    period->SetPeriod(periodStart, periodEnd);
    int16_t closingDay = 31;
    period->GetClosingDayByEndDate(periodEnd, &closingDay);
    period->SetClosingDay(closingDay);
    period->GetAMonthByDate(periodStart, &first);
  }
  return PeriodMonthsFrom(first, periodEnd);
}

}  // namespace

RunFacts ReadRunFacts(ClSetData* data, ClSetShohizei* taxSettings) {
  RunFacts facts;
  if (ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject()) {
    char userId[kUserIdBytes] = {};
    user->GetCurUserID(userId, sizeof userId);
    facts.userId = userId;
    user->GetSelectedNo(&facts.selectedNo[0], &facts.selectedNo[1]);
  }
  ReadCompanyRecord(data, facts.selectedNo[1], facts.company);

  facts.savedReturn = std::make_unique<StSaveTaxInfo>();
  const int32_t savedStatus = ReadSavedReturn(facts.savedReturn.get(), DataId(facts.company));
  if (savedStatus != host::kOk) ClMsgMgr::Inst()->SetLastError(savedStatus, __FILE__, __LINE__);

  ReadTaxSettings(taxSettings, facts.company, facts.taxSettings);
  ReadPeriodFacts(data, facts);

  if (savedStatus == host::kOk) {
    CurrentDataFacts current;
    current.periodStart = facts.periodStart;
    current.periodEnd = facts.periodEnd;
    current.closingPattern = facts.company.view().I32(StDATAINFO::kClosingPattern);
    current.taxMethod = facts.taxSettings.taxMethod();
    current.deductionMethod = facts.taxSettings.deductionMethod();
    facts.savedReturnMatches = SavedReturnMatches(facts.savedReturn->view(), current);
  }
  facts.periodMonths = PeriodMonthsOf(facts.company);
  return facts;
}

int32_t ReadSavedReturn(host::StSaveTaxInfo* savedReturn, const std::string& dataId) {
  std::unique_ptr<ClSaveTaxShiryo> reader(new (std::nothrow) ClSaveTaxShiryo());
  if (!reader) return -1;
  reader->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  reader->SetCurDataID(dataId.c_str());
  reader->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  reader->RefreshCache();  // a reader that cannot read answers below
  return reader->GetTaxSaveInfo(savedReturn);
}

}  // namespace app
