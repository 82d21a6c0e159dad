// The corporate refund pass: book amounts from the account sums, the
// non-qualifying parts from the journal lines, and the fixed and deferred
// assets acquired within the chosen months.
#include <algorithm>
#include <array>
#include <memory>

#include "aggregate/JournalCondition.h"
#include "aggregate/RefundPasses.h"
#include "aggregate/RefundRules.h"
#include "aggregate/TaxSummaryPass.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "host/LedgerRules.h"

namespace {

using K = StKAMOKUSUMINFO;

constexpr int16_t kCorporateAccountList = 2;
constexpr int32_t kJournalCursorAllLines = 4;
constexpr int16_t kYearEndMonthNumber = 18;

bool WalkEndedCleanly(int32_t status) { return status == host::kOk || status == host::kEndOfWalk; }

// The row whose book amount a record of the account sums feeds, or null.
// Purchase accounts count by their own records; the purchase, selling and
// administrative, non-operating and other classes by their heading rows
// (row kind 1), which already hold their sub-classes.
RefundLine* BookRow(TaxAggregate& aggregate, uint32_t classCode, uint8_t rowKind) {
  const bool heading = rowKind == K::kRowKindHeading;
  switch (classCode) {
    case 0x20200000: case 0x20200040: case 0x20400000: case 0x20400004: case 0x20400008: case 0x20804000:
      return heading ? nullptr : &aggregate.goodsPurchases;
    case 0x40884400: return heading ? &aggregate.goodsPurchases : nullptr;
    case 0x40882000: return heading ? &aggregate.sellingAdminExpenses : nullptr;
    case 0x40844000: return heading ? &aggregate.nonOperatingExpenses : nullptr;
    case 0x40440000: return heading ? &aggregate.otherProfitLoss : nullptr;
    default: return nullptr;
  }
}

RefundLine* GroupRow(TaxAggregate& aggregate, uint32_t classCode) {
  switch (GroupOfClass(classCode)) {
    case RefundGroup::kPurchase: return &aggregate.goodsPurchases;
    case RefundGroup::kSellingAdmin: return &aggregate.sellingAdminExpenses;
    case RefundGroup::kNonOperating: return &aggregate.nonOperatingExpenses;
    case RefundGroup::kOther: return &aggregate.otherProfitLoss;
    case RefundGroup::kNone: break;
  }
  return nullptr;
}

class CorporatePass {
 public:
  CorporatePass(ProgressDialog& progress, TaxAggregate& aggregate, const StDATAINFO& record,
                const TaxSettings& settings)
      : progress_(progress),
        context_(progress.context()),
        aggregate_(aggregate),
        record_(record),
        taxInclusive_(settings.bookkeepingFlag() != 0),
        slots_(SelectMonthSlots(context_.periodCondition, record.view().I32(StDATAINFO::kClosingPattern))) {}

  bool SumAccounts();
  bool SumJournals();
  bool SumAssets();

 private:
  void AddLineSide(const StSWKTINFO& line, JournalSide side, const AccountNode& node);

  ProgressDialog& progress_;
  AggregationContext& context_;
  TaxAggregate& aggregate_;
  const StDATAINFO& record_;
  const bool taxInclusive_;
  const MonthSlots slots_;
};

bool CorporatePass::SumAccounts() {
  ClRuleKamoku* rule = context_.AccountSumsRule();
  if (rule == nullptr) return false;
  rule->MoveReady(1, 0, 0, context_.periodCondition.chain(), nullptr, 0);
  uint32_t count = 0;
  if (rule->GetSumCount(&count) != host::kOk || rule->SetMovePos(0) != host::kOk) {
    rule->MoveFinish();
    return false;
  }
  int32_t status = host::kOk;
  for (uint32_t i = 0; i < count; ++i) {
    progress_.ActivityTick();
    StKAMOKUSUMINFO sums;
    status = rule->MoveNext(&sums);
    if (status != host::kOk) break;
    if (sums.view().U8(K::kExcludeMarkA) == 1 || sums.view().U8(K::kExcludeMarkB) == 1) continue;
    RefundLine* row = BookRow(aggregate_, sums.view().U32(K::kClassCode), sums.view().U8(K::kRowKind));
    if (row != nullptr) AddAmount(row->bookAmount, DebitMinusCredit(sums, slots_, taxInclusive_));
  }
  rule->MoveFinish();
  context_.NoteWalkEnd(status);
  return WalkEndedCleanly(status);
}

void CorporatePass::AddLineSide(const StSWKTINFO& line, JournalSide side, const AccountNode& node) {
  if (node.accountId() != SideAccount(line, side)) return;
  if (RefundLine* row = GroupRow(aggregate_, node.classCode())) AddSideToRow(*row, line, side, taxInclusive_);
}

bool CorporatePass::SumJournals() {
  ClRuleShiwake* rule = context_.JournalRule();
  if (rule == nullptr) return false;
  LoadAccountList(progress_, kCorporateAccountList);
  const JournalCondition condition(context_.periodCondition);
  uint32_t count = 0;
  rule->GetSwkCount(condition.chain(), nullptr, &count);
  rule->MoveReady(condition.chain(), nullptr, nullptr, kJournalCursorAllLines);
  // Each line goes to the list's nodes of its two accounts only, in list
  // order, debit before credit, as a walk of the whole list adds it; the walk's
  // one tick per node is given for the nodes passed over in one call.
  const AccountIndex index(context_.accounts);
  int32_t status = host::kOk;
  for (uint32_t i = 0; i < count; ++i) {
    progress_.ActivityTick();
    StSWKTINFO line;
    status = rule->MoveNext(&line);
    if (status != host::kOk) break;
    size_t ticked = 0;
    index.ForEachOf(SideAccount(line, JournalSide::kDebit), SideAccount(line, JournalSide::kCredit),
                    [&](size_t position, const AccountNode& node) {
                      progress_.ActivityTicks(position + 1 - ticked);
                      ticked = position + 1;
                      AddLineSide(line, JournalSide::kDebit, node);
                      AddLineSide(line, JournalSide::kCredit, node);
                    });
    progress_.ActivityTicks(index.size() - ticked);
  }
  rule->MoveFinish();
  context_.NoteWalkEnd(status);
  return WalkEndedCleanly(status);
}

bool CorporatePass::SumAssets() {
  ClRuleGenkashokyaku* rule = context_.DepreciationRule();
  if (rule == nullptr) return false;
  // Without the accounting period the chosen months have no dates: the assets
  // are not summed, and the pass says it stopped early.
  auto* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1));
  if (data == nullptr) return false;
  ClAccPeriod* rawPeriod = nullptr;
  data->GetAccPeriod(&rawPeriod);
  const std::unique_ptr<ClAccPeriod> period(rawPeriod);
  if (!period) return false;

  const int16_t first = slots_.first;
  const int16_t last = slots_.last;
  int32_t firstFrom = 0, firstTo = 0;
  period->GetPeriodByMonthKind(first, &firstFrom, &firstTo, 0);
  const int32_t startDate = std::max(firstFrom, record_.view().I32(StDATAINFO::kPeriodStart));
  int32_t lastFrom = 0, endDate = 0;
  if (period->GetPeriodByMonthKind(last, &lastFrom, &endDate, 0) != host::kOk) {
    endDate = 0;
    if (SelectsClosingMonth(context_.periodCondition, kYearEndMonthNumber)) {
      period->GetPeriodByMonthKind(kYearEndMonthNumber, &lastFrom, &endDate, 0);
    }
  }

  const std::array<StFINDINFO, 2> chain = {
      StFINDINFO::Compare(StFINDINFO::kItemAcquisitionDate, StFINDINFO::kSideNone, StFINDINFO::kCompareAtLeast,
                          StFINDINFO::kValueNumber, startDate, StFINDINFO::kJoinAnd),
      StFINDINFO::Compare(StFINDINFO::kItemAcquisitionDate, StFINDINFO::kSideNone, StFINDINFO::kCompareAtMost,
                          StFINDINFO::kValueNumber, endDate, StFINDINFO::kJoinLast)};
  rule->MoveReady(chain.data(), 0, 0);
  int32_t count = 0;
  rule->GetCount(&count);
  for (int32_t i = 0; i < count; ++i) {
    progress_.ActivityTick();
    StKOTEISHISANINFO asset;
    StKOTEINENINFO yearly;
    StKOTEITSUKIINFO monthly;
    rule->Move(i, &asset, &yearly, &monthly);
    const int64_t amount = asset.view().I64(StKOTEISHISANINFO::kAcquisitionAmount);
    if (asset.view().U32(StKOTEISHISANINFO::kKind) == StKOTEISHISANINFO::kKindDeferred) {
      AddAmount(aggregate_.deferredAssetAcquisitions, amount);
    } else {
      AddAmount(aggregate_.fixedAssetAcquisitions, amount);
    }
  }
  rule->MoveFinish();
  return true;
}

}  // namespace

int32_t SumCorporateRefund(ProgressDialog& progress, TaxAggregate& aggregate, const StDATAINFO& record,
                           const TaxSettings& settings) {
  const uint8_t kind = record.view().U8(StDATAINFO::kCompanyKind);
  if (kind != 0 && kind != 1) return 1;
  progress.ResetActivity();
  CorporatePass pass(progress, aggregate, record, settings);
  if (!pass.SumAccounts() || !pass.SumJournals() || !pass.SumAssets()) return 0;
  return 1;
}
