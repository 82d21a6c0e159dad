// The corporate refund pass: book amounts from the account sums, the
// non-qualifying parts from the journal lines, and the fixed and deferred
// assets acquired within the chosen months.
#include <algorithm>
#include <array>
#include <memory>

#include "aggregate/JournalCondition.h"
#include "aggregate/RefundPassSupport.h"
#include "aggregate/RefundPasses.h"
#include "aggregate/RefundRules.h"
#include "aggregate/TaxSummaryPass.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "host/LedgerRules.h"

namespace aggregate {

namespace {

using K = StKAMOKUSUMINFO;


RefundLine* GroupRow(TaxAggregate& aggregate, RefundGroup group) {
  switch (group) {
    case RefundGroup::kPurchase: return &aggregate.goodsPurchases;
    case RefundGroup::kSellingAdmin: return &aggregate.sellingAdminExpenses;
    case RefundGroup::kNonOperating: return &aggregate.nonOperatingExpenses;
    case RefundGroup::kOther: return &aggregate.otherProfitLoss;
    case RefundGroup::kNone: break;
  }
  return nullptr;
}

RefundLine* GroupRow(TaxAggregate& aggregate, uint32_t classCode) {
  return GroupRow(aggregate, GroupOfClass(classCode));
}

// The row whose book amount a record of the account sums feeds, or null: by
// the class's own records or by its heading row (row kind 1), as the class
// table says.
RefundLine* BookRow(TaxAggregate& aggregate, uint32_t classCode, uint8_t rowKind) {
  const RefundClass* row = FindRefundClass(classCode);
  if (row == nullptr) return nullptr;
  const bool heading = rowKind == K::kRowKindHeading;
  switch (row->corporateBook) {
    case BookSource::kOwnRecords: return heading ? nullptr : GroupRow(aggregate, row->group);
    case BookSource::kHeadingRow: return heading ? GroupRow(aggregate, row->group) : nullptr;
    case BookSource::kNone: break;
  }
  return nullptr;
}

// Activity ticks counted while a journal line is summed, given in one batch
// when the line is done (also when the line's sums throw).
struct PendingTicks {
  explicit PendingTicks(Activity& activity) : activity(activity) {}
  ~PendingTicks() { activity.Ticks(count); }
  PendingTicks(const PendingTicks&) = delete;
  PendingTicks& operator=(const PendingTicks&) = delete;
  Activity& activity;
  uint64_t count = 0;
};

class CorporatePass {
 public:
  CorporatePass(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                const StDATAINFO& record, const TaxSettings& settings)
      : activity_(activity),
        context_(context),
        aggregate_(aggregate),
        record_(record),
        taxInclusive_(IsTaxInclusive(settings)),
        slots_(ChosenSlots(context, record)) {}

  bool SumAccounts();
  bool SumJournals();
  bool SumAssets();

 private:
  void AddLineSide(const StSWKTINFO& line, JournalSide side, const AccountNode& node);

  Activity& activity_;
  AggregationContext& context_;
  TaxAggregate& aggregate_;
  const StDATAINFO& record_;
  const bool taxInclusive_;
  const MonthSlots slots_;
};

bool CorporatePass::SumAccounts() {
  ClRuleKamoku* rule = context_.AccountSumsRule();
  if (rule == nullptr) return false;
  // As the host does: the ready step's answer is not examined; the count and
  // the first position below are.
  rule->MoveReady(kAccountSumsBase, kDepartmentSumSingle, 0, context_.periodCondition.chain(), nullptr, 0);
  uint32_t count = 0;
  if (rule->GetSumCount(&count) != host::kOk || rule->SetMovePos(0) != host::kOk) {
    rule->MoveFinish();
    return false;
  }
  int32_t status = host::kOk;
  for (uint32_t i = 0; i < count; ++i) {
    activity_.Tick();
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
  LoadAccountList(context_, activity_, kCorporateAccountList);
  const JournalCondition condition(context_.periodCondition);
  const uint32_t count = ReadyJournalWalk(*rule, condition);
  // Each line goes to the list's nodes of its two accounts only, in list
  // order, debit before credit, as a walk of the whole list adds it. The
  // line's tick and the walk's one tick per node are counted as the walk would
  // give them and given in one batch (one repaint) when the line is done, or
  // when a sum out of range stops the run part of the way through the line.
  const AccountIndex index(context_.accounts);
  int32_t status = host::kOk;
  for (uint32_t i = 0; i < count; ++i) {
    PendingTicks ticks(activity_);
    ticks.count = 1;
    StSWKTINFO line;
    status = rule->MoveNext(&line);
    if (status != host::kOk) break;
    size_t ticked = 0;
    index.ForEachOf(SideAccount(line, JournalSide::kDebit), SideAccount(line, JournalSide::kCredit),
                    [&](size_t position, const AccountNode& node) {
                      ticks.count += position + 1 - ticked;
                      ticked = position + 1;
                      AddLineSide(line, JournalSide::kDebit, node);
                      AddLineSide(line, JournalSide::kCredit, node);
                    });
    ticks.count += index.size() - ticked;
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
  std::unique_ptr<ClAccPeriod> period;
  if (OpenAccountingPeriod(&period) != host::kOk) return false;

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

  const std::array<StFINDINFO, 2> chain = AcquisitionDateChain(startDate, endDate);
  // As the host does: the answers of the ready step, the count and each move
  // are not examined; an asset the host cannot deliver adds nothing.
  rule->MoveReady(chain.data(), 0, 0);
  int32_t count = 0;
  rule->GetCount(&count);
  for (int32_t i = 0; i < count; ++i) {
    activity_.Tick();
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

int32_t SumCorporateRefund(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                           const StDATAINFO& record, const TaxSettings& settings) {
  const uint8_t kind = record.view().U8(StDATAINFO::kCompanyKind);
  if (!StDATAINFO::IsCorporation(kind)) return kPassDone;
  activity.Reset();
  CorporatePass pass(context, activity, aggregate, record, settings);
  if (!pass.SumAccounts() || !pass.SumJournals() || !pass.SumAssets()) return kPassStopped;
  return kPassDone;
}

}  // namespace aggregate
