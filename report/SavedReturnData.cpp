#include "report/SavedReturnData.h"

#include <string>
#include <vector>

#include "aggregate/FixedDecimal.h"
#include "host/Records.h"
#include "host/SaveTaxInfo.h"
#include "report/ElementNameTable.h"
#include "report/RoundToYen.h"

using aggregate::ArithmeticError;
using aggregate::FixedDecimal;

namespace report {
namespace {

constexpr int kDepthData = 1;
constexpr int kDepthRecord = 2;
constexpr int kDepthLeaf = 3;

// ElementNameTable::DataRecords(): the twelve general-taxation records come
// first, then the nine simplified-taxation records, then KANPUH and KANPUK.
constexpr int kGeneralRecords = 12;
constexpr int kRateRecords = 21;

constexpr uint8_t kGeneralTaxation = host::StSHOHIZEIINFO::kGeneral;
constexpr int32_t kSecuritiesFactor = 20;

// How a leaf of a rate record takes its value.
enum class LeafRule { kOwnAmount, kTwentyfold, kAlwaysEmpty };

LeafRule RuleOf(std::string_view leaf) {
  const std::string_view stem = leaf.substr(0, leaf.size() - 1);  // without the rate digit
  // Securities: the document carries twenty times the saved amount.
  if (stem == "HIKAZEIURIAGEYUUKAZEINUKI") return LeafRule::kTwentyfold;
  // The return screens keep no amount for these.
  if (stem == "HIKAZEISHISANHENKANZEINUKI" || stem.starts_with("KAZEIURIAGEZERO") ||
      stem.starts_with("KAZEIHENKANZERO"))
    return LeafRule::kAlwaysEmpty;
  return LeafRule::kOwnAmount;
}

struct PlannedLeaf {
  int position;     // in ElementNameTable
  int64_t amount;   // yen x 10 000
  bool blank;
};

struct PlannedRecord {
  const char* code;
  std::vector<PlannedLeaf> leaves;
};

// Every value of the 21 rate records, worked out before anything is written
// so that an amount that cannot be formed never leaves half a section behind.
// False when a leaf has no saved amount or a twentyfold does not fit.
bool PlanRateRecords(const SavedReturnFacts& facts, std::vector<PlannedRecord>& plan) {
  const bool blankGeneral = facts.taxMethod != kGeneralTaxation;
  const bool blankSimplified = facts.taxMethod == kGeneralTaxation;
  const auto& records = ElementNameTable::DataRecords();
  plan.reserve(kRateRecords);
  for (int r = 0; r < kRateRecords; ++r) {
    const ElementNameTable::Record& record = records[static_cast<size_t>(r)];
    const bool recordBlank = r < kGeneralRecords ? blankGeneral : blankSimplified;
    PlannedRecord planned{record.code, {}};
    planned.leaves.reserve(static_cast<size_t>(record.count));
    for (int position = record.first; position < record.first + record.count; ++position) {
      const std::string_view leaf = ElementNameTable::At(position);
      const LeafRule rule = RuleOf(leaf);
      PlannedLeaf leafPlan{position, 0, recordBlank || rule == LeafRule::kAlwaysEmpty};
      if (rule != LeafRule::kAlwaysEmpty) {
        const size_t offset = host::SavedAmountOffset(leaf);
        if (offset == 0) return false;
        if (!leafPlan.blank) {
          const int64_t saved = facts.savedReturn.I64(offset);
          if (rule == LeafRule::kTwentyfold) {
            try {
              leafPlan.amount = FixedDecimal::FromScaled(saved).Multiply(kSecuritiesFactor).ToScaled();
            } catch (const ArithmeticError&) {
              return false;
            }
          } else {
            leafPlan.amount = saved;
          }
        }
      }
      planned.leaves.push_back(leafPlan);
    }
    plan.push_back(std::move(planned));
  }
  return true;
}

int64_t StatementAmount(const SavedReturnFacts& facts, size_t k) {
  return facts.savedReturn.I64(StSaveTaxInfo::RefundAmount(k));
}

// The basis code of statement amounts [first, first + count): empty when all
// of them are zero as stored, else "2" when the basis byte is 2 and "1"
// otherwise.
std::string_view BasisCode(const SavedReturnFacts& facts, size_t basisOffset, size_t first, size_t count) {
  for (size_t k = first; k < first + count; ++k) {
    if (StatementAmount(facts, k) != 0) return facts.savedReturn.U8(basisOffset) == 2 ? "2" : "1";
  }
  return {};
}

bool Element(XmlWriter& writer, int position, std::string_view text) {
  return writer.WriteElement(ElementNameTable::At(position), text, kDepthLeaf) == kWritten;
}

bool Amount(XmlWriter& writer, const SavedReturnFacts& facts, int position, size_t k) {
  return WriteSavedAmount(writer, ElementNameTable::At(position), StatementAmount(facts, k), false,
                          facts.roundingKind) == kWritten;
}

// A refund record whose leaves are all empty.
bool EmptyLeaves(XmlWriter& writer, int first, int count) {
  for (int position = first; position < first + count; ++position) {
    if (!Element(writer, position, {})) return false;
  }
  return true;
}

bool HasBlock(const SavedReturnFacts& facts) {
  return facts.savedReturn.data() != nullptr && facts.savedReturn.size() >= StSaveTaxInfo::kSize;
}

}  // namespace

int WriteSavedAmount(XmlWriter& writer, std::string_view leaf, int64_t amount, bool blank, int roundingKind) {
  const std::string text = blank ? std::string() : AmountText(amount, roundingKind);
  return writer.WriteElement(leaf, text, kDepthLeaf) == kWritten ? kWritten : kWriteFailed;
}

int WriteSavedCorporateRefund(XmlWriter& writer, const SavedReturnFacts& facts) {
  if (!HasBlock(facts)) return kWriteFailed;
  if (!writer.WriteStartTag("KANPUH", kDepthRecord)) return kWriteFailed;
  const bool individual = host::StDATAINFO::IsIndividual(facts.companyKind);
  if (individual || facts.taxMethod != kGeneralTaxation) {
    if (!EmptyLeaves(writer, ElementNameTable::kCorporateRefund, ElementNameTable::kCorporateRefundCount)) return kWriteFailed;
  } else {
    // Leaf 0 and leaf 9 are the basis codes; leaves 1-8 are amounts 0-7 (the
    // profit-and-loss rows), leaves 10-15 amounts 8-13 (the asset rows).
    if (!Element(writer, ElementNameTable::CorporateRefundLeaf(0),
                 BasisCode(facts, StSaveTaxInfo::kRefundCorporatePlBasis, 0, 8)))
      return kWriteFailed;
    for (size_t k = 0; k < 8; ++k) {
      if (!Amount(writer, facts, ElementNameTable::CorporateRefundLeaf(1 + static_cast<int>(k)), k)) return kWriteFailed;
    }
    if (!Element(writer, ElementNameTable::CorporateRefundLeaf(9),
                 BasisCode(facts, StSaveTaxInfo::kRefundCorporateAssetBasis, 8, 6)))
      return kWriteFailed;
    for (size_t k = 8; k < 14; ++k) {
      if (!Amount(writer, facts, ElementNameTable::CorporateRefundLeaf(2 + static_cast<int>(k)), k)) return kWriteFailed;
    }
  }
  return writer.WriteEndTag("KANPUH", kDepthRecord) == kWritten ? kWritten : kWriteFailed;
}

int WriteSavedIndividualRefund(XmlWriter& writer, const SavedReturnFacts& facts) {
  if (!HasBlock(facts)) return kWriteFailed;
  if (!writer.WriteStartTag("KANPUK", kDepthRecord)) return kWriteFailed;
  const bool corporation = host::StDATAINFO::IsCorporation(facts.companyKind);
  if (!corporation && facts.taxMethod == kGeneralTaxation) {
    if (!Element(writer, ElementNameTable::IndividualRefundLeaf(0),
                 BasisCode(facts, StSaveTaxInfo::kRefundIndividualBasis, 0, StSaveTaxInfo::kRefundAmountCount)))
      return kWriteFailed;
    for (size_t k = 0; k < StSaveTaxInfo::kRefundAmountCount; ++k) {
      if (!Amount(writer, facts, ElementNameTable::IndividualRefundLeaf(1 + static_cast<int>(k)), k)) return kWriteFailed;
    }
  } else if (!EmptyLeaves(writer, ElementNameTable::kIndividualRefund, ElementNameTable::kIndividualRefundCount)) {
    return kWriteFailed;
  }
  return writer.WriteEndTag("KANPUK", kDepthRecord) == kWritten ? kWritten : kWriteFailed;
}

int WriteSavedReturnData(XmlWriter& writer, const SavedReturnFacts& facts) {
  if (!HasBlock(facts)) return kWriteFailed;
  std::vector<PlannedRecord> plan;
  if (!PlanRateRecords(facts, plan)) return kWriteFailed;

  if (!writer.WriteStartTag("DATA", kDepthData)) return kWriteFailed;
  for (const PlannedRecord& record : plan) {
    if (!writer.WriteStartTag(record.code, kDepthRecord)) return kWriteFailed;
    for (const PlannedLeaf& leaf : record.leaves) {
      if (!WriteSavedAmount(writer, ElementNameTable::At(leaf.position), leaf.amount, leaf.blank,
                            facts.roundingKind))
        return kWriteFailed;
    }
    if (!writer.WriteEndTag(record.code, kDepthRecord)) return kWriteFailed;
  }
  if (!WriteSavedCorporateRefund(writer, facts)) return kWriteFailed;
  if (!WriteSavedIndividualRefund(writer, facts)) return kWriteFailed;
  return writer.WriteEndTag("DATA", kDepthData) == kWritten ? kWritten : kWriteFailed;
}

}  // namespace report
