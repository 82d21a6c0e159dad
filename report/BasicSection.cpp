#include "report/BasicSection.h"

#include <string>

#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "report/AdvisorName.h"
#include "report/ElementNameTable.h"

namespace report {
namespace {

constexpr int kDepthSection = 1;
constexpr int kDepthElement = 2;

using Company = host::StDATAINFO;
using Saved = host::StSaveTaxInfo;

const char* Name(int offset) { return ElementNameTable::At(ElementNameTable::kSystemBasicNames + offset); }

}  // namespace

const char* CompanyKindText(uint8_t kind) {
  if (Company::IsCorporation(kind)) return "1";
  if (Company::IsIndividual(kind)) return "2";
  return "";
}

int WriteBasicSection(XmlWriter& writer, const BasicSectionFacts& facts) {
  const host::RecordView& company = facts.company;
  const bool general = facts.taxMethod == host::StSHOHIZEIINFO::kGeneral;
  const bool saved = facts.method == host::kMethodSavedReturn;
  const bool haveSaved = facts.savedReturn != nullptr;
  const host::RecordView savedReturn(const_cast<uint8_t*>(facts.savedReturn), haveSaved ? facts.savedReturnSize : 0);

  if (!writer.WriteStartTag("BASIC", kDepthSection)) return kWriteFailed;
  if (!writer.WriteElement(Name(6), ToAdvisorName(company.Text(Company::kCompanyName, Company::kCompanyNameWidth)), kDepthElement))
    return kWriteFailed;

  // Without the saved return there is no business year to write: the section
  // stops here unfinished rather than carry an invented one.
  if (saved && !haveSaved) return kWriteFailed;
  std::string from, to;
  if (saved) {
    from = std::to_string(savedReturn.I32(Saved::kBusinessYearStart));
    to = std::to_string(savedReturn.I32(Saved::kBusinessYearEnd));
  } else {
    from = std::to_string(company.I32(Company::kPeriodStart));
    to = std::to_string(company.I32(Company::kPeriodEnd));
  }
  if (!writer.WriteElement(Name(7), from, kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(8), to, kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(9), CompanyKindText(company.U8(Company::kCompanyKind)), kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(10), general ? "1" : "2", kDepthElement)) return kWriteFailed;

  const char* transitional;
  const char* salesComputation;
  const char* purchaseComputation = "";
  if (saved) {
    transitional = savedReturn.U8(Saved::kTransitionalFlag) != 0 ? "1" : "2";
    salesComputation = savedReturn.U8(Saved::kSalesTaxChoice) != 0 ? "2" : "1";
    if (general) purchaseComputation = savedReturn.U8(Saved::kPurchaseTaxChoice) != 0 ? "2" : "1";
  } else {
    transitional = (facts.hasOldRateAmounts && facts.hasOldRateAmounts() == 1) ? "1" : "2";
    salesComputation = "1";
    if (general) purchaseComputation = "1";
  }
  if (!writer.WriteElement(Name(11), transitional, kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(12), salesComputation, kDepthElement)) return kWriteFailed;
  if (!writer.WriteElement(Name(13), purchaseComputation, kDepthElement)) return kWriteFailed;
  return writer.WriteEndTag("BASIC", kDepthSection);
}

}  // namespace report
