#include "aggregate/TaxSummaryPass.h"

#include <array>
#include <cstring>
#include <string_view>

#include "aggregate/FixedDecimal.h"
#include "aggregate/RefundRules.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"

namespace aggregate {

namespace {

constexpr std::array<uint32_t, 2> kTaxSummaryClasses = {0x40888000, 0x40848000};

// Room for twenty clauses, as the host's clause area has.
constexpr size_t kClassChainClauses = 20;

// The old rates in hundredths of a percent, in sum-slot order.
constexpr std::array<uint32_t, 2> kOldRates = {500, 300};
constexpr int16_t kSumTypeByAccount = 2;

std::string_view RowAccountCode(const StTAXSUMINFO& row) {
  const auto* text = reinterpret_cast<const char*>(row.data() + StTAXSUMINFO::kAccountCode);
  return std::string_view(text, strnlen(text, StTAXSUMINFO::kAccountCodeWidth));
}

}  // namespace

std::span<const uint32_t> AccountClassCodes(int16_t kind) {
  switch (kind) {
    case kTaxSummaryAccountList: return kTaxSummaryClasses;
    case kCorporateAccountList: return CorporateListClassCodes();
    case kDepartmentAccountList: return DepartmentListClassCodes();
    default: return {};
  }
}

void LoadAccountList(AggregationContext& context, Activity& activity, int16_t kind) {
  AccountList& list = context.accounts;
  list.clear();

  // One "class code equal to" clause per code, joined by "or"; an unknown kind
  // leaves the area zero (an empty chain).
  std::array<StFINDINFO, kClassChainClauses> chain{};
  const std::span<const uint32_t> codes = AccountClassCodes(kind);
  for (size_t i = 0; i < codes.size(); ++i) {
    const uint16_t joiner = i + 1 < codes.size() ? StFINDINFO::kJoinOr : StFINDINFO::kJoinLast;
    chain[i] = StFINDINFO::Compare(StFINDINFO::kItemAccountClass, StFINDINFO::kSideNone, StFINDINFO::kCompareEqual,
                                   StFINDINFO::kValueCode, codes[i], joiner);
  }

  auto* accounts = dynamic_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(kSetKindKamoku, 1));
  if (accounts != nullptr) {
    int32_t cursor = 0;
    accounts->GetCursor(&cursor);
    accounts->ReadyCursor(cursor);
    StKAMOKUINFO record;
    while (accounts->WalkFind(chain.data(), &record, cursor) == host::kOk) {
      activity.Tick();
      if (record.view().U8(StKAMOKUINFO::kListExcluded) == 0) {
        AccountNode& node = list.emplace_back();
        std::memcpy(node.record.data(), record.data(), StKAMOKUINFO::kRecordBytes);
      }
      record = StKAMOKUINFO();
    }
    accounts->ReleaseCursor(cursor);
  }
  activity.Finish();
}

int32_t SumOldRateTax(AggregationContext& context, Activity& activity, int64_t oldRateTaxSums[2],
                      const TaxSettings& settings) {
  ClRuleShohizei* rule = context.TaxSummaryRule();
  if (rule == nullptr) return kPassStopped;

  activity.Reset();
  LoadAccountList(context, activity, kTaxSummaryAccountList);

  const int16_t firstMonth = context.periodCondition.FirstMonthNumber();
  const int16_t lastMonth = context.periodCondition.LastMonthNumber();
  for (size_t slot = 0; slot < kOldRates.size(); ++slot) {
    const uint32_t rate = kOldRates[slot];
    // As the host does: the answers of the ready step and of the count are not
    // examined; a failing host leaves the count 0 and the sums smaller.
    rule->MoveReady(kSumTypeByAccount, &firstMonth, &lastMonth, &rate, nullptr, settings.taxInclusive(), 0, 0, 0);
    uint32_t count = 0;
    rule->GetSumInfoCount(&count);
    for (uint32_t row = 0; row < count; ++row) {
      activity.Tick();
      StTAXSUMINFO info;
      if (const int32_t status = rule->MoveNext(&info); status != host::kOk) {
        context.NoteWalkEnd(status);
        continue;
      }
      const std::string_view code = RowAccountCode(info);
      const int64_t amount = info.view().I64(StTAXSUMINFO::kAmount);
      // Every node is visited, each with a sweep before its match, even after a
      // match. The sweeps are made as one, ahead of the matches: any number of
      // sweeps ends where one ends, and a sum out of range (which stops the
      // run) still finds the sweep made.
      activity.Sweeps(context.accounts.size());
      for (const AccountNode& node : context.accounts) {
        if (node.code() == code) {
          oldRateTaxSums[slot] = FixedDecimal::Add(amount, FixedDecimal::FromScaled(oldRateTaxSums[slot])).ToScaled();
        }
      }
    }
    rule->MoveFinish();
  }
  activity.Finish();
  return kPassDone;
}

}  // namespace aggregate
