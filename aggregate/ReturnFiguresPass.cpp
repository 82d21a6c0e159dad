#include "aggregate/ReturnFiguresPass.h"

#include <array>

#include "aggregate/FixedDecimal.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"

namespace aggregate {

namespace {

constexpr std::array<uint32_t, 3> kLiveRates = {800, 500, 300};
// The host's securities figure is 5 % of the transfers; the return wants the whole.
constexpr int32_t kSecuritiesScale = 20;

}  // namespace

int32_t SumReturnFigures(AggregationContext& context, Activity& activity, TaxAggregate& aggregate) {
  auto* taxSettings = dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(kSetKindShohizei, 1));
  if (taxSettings == nullptr) return kPassStopped;
  const int16_t rateCount = static_cast<int16_t>(taxSettings->GetTaxRateCount());
  if (!aggregate.HasRateTables() || (rateCount > 0 && static_cast<size_t>(rateCount) > aggregate.rateRecordCount()))
    return kPassStopped;

  for (size_t i = 0; i < kLiveRates.size(); ++i)
    aggregate.RateRecord(i).SetU32(StTAXREPORTRATEINFO::kRate, kLiveRates[i]);

  for (int i = 0; i < rateCount; ++i) {
    activity.Sweep();
    const uint32_t rate = aggregate.RateRecord(i).U32(StTAXREPORTRATEINFO::kRate);
    for (int t = 1; t <= TaxAggregate::kBusinessTypes; ++t) {
      host::RecordView record = aggregate.BusinessRecord(i, t);
      record.SetU32(StTAXREPORTBUSINESSTYPEINFO::kRate, rate);
      record.SetU8(StTAXREPORTBUSINESSTYPEINFO::kBusinessType, static_cast<uint8_t>(t));
    }
  }

  ClRuleShohizeiShinkoku* rule = context.ReturnRule();
  if (rule == nullptr) return kPassStopped;
  // The figures of the return come from this one call: when the host could
  // not sum them, the tables hold nothing or part of the books.
  const int32_t status =
      rule->SumTax(context.taxMethod, context.periodCondition.chain(), aggregate.rateTotals(), aggregate.businessTotals());
  if (status != host::kOk) {
    context.NoteLedgerFault(status);
    return kPassStopped;
  }

  for (int i = 0; i < rateCount - 2; ++i) {
    host::RecordView record = aggregate.RateRecord(i);
    const int64_t securities = record.I64(StTAXREPORTRATEINFO::kSecuritiesSales);
    record.SetI64(StTAXREPORTRATEINFO::kSecuritiesSales,
                  FixedDecimal::FromScaled(securities).Multiply(kSecuritiesScale).ToScaled());
  }
  return kPassDone;
}

}  // namespace aggregate
