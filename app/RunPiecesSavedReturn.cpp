// The run pieces of the return-values method: the host's saved-return reader
// and the DATA writer of report/SavedReturnData.h.
#include <memory>
#include <new>

#include "app/RunPieces.h"
#include "host/Host.h"
#include "report/SavedReturnData.h"

namespace app {

int32_t ReadSavedReturn(host::StSaveTaxInfo* savedReturn, const std::string& dataId) {
  std::unique_ptr<ClSaveTaxShiryo> reader(new (std::nothrow) ClSaveTaxShiryo());
  if (!reader) return -1;
  reader->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  reader->SetCurDataID(dataId.c_str());
  reader->AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
  reader->RefreshCache();  // a reader that cannot read answers below
  return reader->GetTaxSaveInfo(savedReturn);
}

int WriteSavedReturnData(report::XmlWriter& writer, host::RecordView company, host::RecordView savedReturn,
                         uint8_t taxMethod, uint8_t taxRounding) {
  report::SavedReturnFacts facts;
  facts.savedReturn = savedReturn;
  facts.taxMethod = taxMethod;
  facts.roundingKind = taxRounding;
  facts.companyKind = company.U8(StDATAINFO::kCompanyKind);
  return report::WriteSavedReturnData(writer, facts);
}

}  // namespace app
