#include "app/RunPieces.h"

#include "report/DataSection.h"
#include "report/SavedReturnData.h"

using aggregate::TaxAggregate;

namespace app {

int WriteDataSection(report::XmlWriter& writer, const StDATAINFO& company, const StSHOHIZEIINFO& taxSettings,
                     const TaxAggregate& aggregate, uint8_t taxMethod, uint8_t taxRounding) {
  const report::DataSectionFacts facts =
      report::DataSectionFacts::Of(aggregate, company, taxSettings, taxMethod, taxRounding);
  return report::WriteDataSection(writer, facts);
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
