#include "aggregate/IndividualRefundPass.h"

#include <array>
#include <memory>

#include "aggregate/JournalCondition.h"
#include "aggregate/RefundPassSupport.h"
#include "aggregate/RefundPasses.h"
#include "aggregate/RuleBinding.h"
#include "aggregate/TaxSummaryPass.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "host/LedgerRules.h"

namespace aggregate {

namespace {

using K = StKAMOKUSUMINFO;
using D = StBUMONINFO;

constexpr uint8_t kLayoutBusiness = 1;
constexpr uint8_t kLayoutRealEstate = 2;
constexpr uint8_t kLayoutByDepartment = 3;
constexpr uint8_t kIncomeBusiness = 1;
constexpr uint8_t kIncomeRealEstate = 3;
constexpr int16_t kAssetIncomeBusiness = 1;
constexpr int16_t kAssetIncomeRealEstate = 2;
// Departments of these classes are summed with their member departments.
constexpr uint8_t kDeptClassGroup = 1;
constexpr uint8_t kDeptClassGroupOther = 2;

bool IsPurchaseClass(uint32_t classCode) { return GroupOfClass(classCode) == RefundGroup::kPurchase; }

uint8_t IncomeLayout(const StDATAINFO& record) { return record.view().U8(StDATAINFO::kIncomeLayout); }

// Adds `amount` to the purchase or expense rows that `route` selects for an
// account of `classCode`, through `field` of each row.
void AddRouted(TaxAggregate& aggregate, uint32_t classCode, const IncomeRoute& route, int64_t RefundLine::*field,
               int64_t amount) {
  if (IsPurchaseClass(classCode)) {
    if (route.business) AddAmount(aggregate.businessPurchases.*field, amount);
    if (route.other) AddAmount(aggregate.otherPurchases.*field, amount);
  } else if (IsIndividualExpenseClass(classCode)) {
    if (route.business) AddAmount(aggregate.businessExpenses.*field, amount);
    if (route.realEstate) AddAmount(aggregate.realEstateExpenses.*field, amount);
    if (route.other) AddAmount(aggregate.otherExpenses.*field, amount);
  }
}

// A department cursor for one sub-pass, released when it ends.
class DepartmentCursor {
 public:
  explicit DepartmentCursor(ClSetBumon* departments) : departments_(departments) {
    if (departments_ != nullptr) departments_->GetCursor(&cursor_);
  }
  ~DepartmentCursor() {
    if (departments_ != nullptr) departments_->ReleaseCursor(cursor_);
  }
  DepartmentCursor(const DepartmentCursor&) = delete;
  DepartmentCursor& operator=(const DepartmentCursor&) = delete;

  // The record of the department with `code`; all zero when there is none.
  StBUMONINFO Lookup(int32_t code) {
    StBUMONINFO department;
    departments_->ReadyCursor(cursor_);
    departments_->GetInfoByCode(code, &department, cursor_);
    return department;
  }

 private:
  ClSetBumon* departments_;
  int32_t cursor_ = 0;
};

}  // namespace

IncomeRoute RouteIncome(uint8_t incomeLayout, bool hasDepartment, const StBUMONINFO* department) {
  const bool given = hasDepartment && department != nullptr;
  const uint8_t incomeType = given ? department->view().U8(D::kIncomeType) : 0;
  const bool classOne = given && department->view().U8(D::kClass) == kDeptClassGroup;
  const bool a = classOne && department->view().I32(D::kReference) == 0;
  const bool b = classOne && department->view().I32(D::kReference) != 0;
  const bool byDepartment = incomeLayout == kLayoutByDepartment;
  IncomeRoute route;
  route.business = incomeLayout == kLayoutBusiness ||
                   (byDepartment && (!hasDepartment || incomeType == kIncomeBusiness || a));
  route.realEstate = incomeLayout == kLayoutRealEstate || (byDepartment && hasDepartment && incomeType == kIncomeRealEstate);
  route.other = byDepartment && hasDepartment && !a &&
                (b || (incomeType != kIncomeBusiness && incomeType != kIncomeRealEstate));
  return route;
}

int64_t AccountNetAmount(const StKAMOKUSUMINFO& sums, const MonthSlots& slots, bool taxInclusive) {
  const int64_t debitMinusCredit = DebitMinusCredit(sums, slots, taxInclusive);
  return sums.view().U8(K::kBalanceSide) == K::kDebitBalance ? debitMinusCredit : Negated(debitMinusCredit);
}

int32_t SumDepartmentAccounts(AggregationContext& context, TaxAggregate& aggregate, const StDATAINFO& record,
                              const TaxSettings& settings, const StBUMONINFO* department) {
  const std::unique_ptr<ClRuleKamoku> rule = CreateBoundRule<ClRuleKamoku>();
  if (!rule) return host::kRuleNotCreated;
  const uint8_t deptClass = department != nullptr ? department->view().U8(D::kClass) : 0;
  const int16_t deptSumType = (deptClass == kDeptClassGroup || deptClass == kDeptClassGroupOther)
                                  ? kDepartmentSumWithMembers
                                  : kDepartmentSumSingle;
  const MonthSlots slots = ChosenSlots(context, record);
  const IncomeRoute route = RouteIncome(IncomeLayout(record), department != nullptr, department);

  int32_t status = rule->MoveReady(kAccountSumsBase, deptSumType, 0, context.periodCondition.chain(), department, 0);
  if (status == host::kOk) {
    StKAMOKUSUMINFO sums;
    while ((status = rule->MoveNext(&sums)) == host::kOk) {
      const host::RecordView v = sums.view();
      const uint32_t classCode = v.U32(K::kClassCode);
      const bool grouped = IsPurchaseClass(classCode) || IsIndividualExpenseClass(classCode);
      const bool skipped = v.U8(K::kExcludeMarkA) != 0 || v.U8(K::kExcludeMarkB) == 1 ||
                           (grouped && v.U8(K::kRowKind) == K::kRowKindHeading);
      if (!skipped) {
        int64_t amount = AccountNetAmount(sums, slots, IsTaxInclusive(settings));
        if (v.U8(K::kBalanceSide) == K::kCreditBalance) amount = Negated(amount);
        AddRouted(aggregate, classCode, route, &RefundLine::bookAmount, amount);
      }
      sums = StKAMOKUSUMINFO();
    }
  }
  rule->MoveFinish();
  context.NoteWalkEnd(status);
  return status == host::kEndOfWalk ? host::kOk : status;
}

int32_t SumIndividualJournals(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                              const StDATAINFO& record, const TaxSettings& settings) {
  ClRuleShiwake* rule = context.JournalRule();
  if (rule == nullptr) return host::kOk;
  LoadAccountList(context, activity, kDepartmentAccountList);
  const JournalCondition condition(context.periodCondition);
  const uint32_t count = ReadyJournalWalk(*rule, condition);

  ClSetBumon* departments = DepartmentSettings();
  if (departments == nullptr) {
    rule->MoveFinish();
    return host::kNotConnected;
  }
  DepartmentCursor cursor(departments);
  int32_t departmentCount = 0;
  departments->GetBmnCount(&departmentCount, 0);
  const bool hasDepartments = departmentCount != 0;
  const uint8_t layout = IncomeLayout(record);
  const bool taxInclusive = IsTaxInclusive(settings);

  int32_t status = host::kOk;
  for (uint32_t i = 0; i < count; ++i) {
    StSWKTINFO line;
    status = rule->MoveNext(&line);
    if (status != host::kOk) break;
    for (const AccountNode& node : context.accounts) {
      const uint32_t classCode = node.classCode();
      if (!IsPurchaseClass(classCode) && !IsIndividualExpenseClass(classCode)) continue;
      for (const JournalSide side : {JournalSide::kDebit, JournalSide::kCredit}) {
        if (node.accountId() != SideAccount(line, side) || !IsNonQualifyingCategory(SideCategory(line, side))) continue;
        // A side's department is looked up only when it can matter.
        StBUMONINFO department;
        if (hasDepartments) department = cursor.Lookup(SideDepartment(line, side));
        const IncomeRoute route = RouteIncome(layout, hasDepartments, &department);
        RefundLine booked;
        AddSideToRow(booked, line, side, taxInclusive);
        AddRouted(aggregate, classCode, route, &RefundLine::nonQualifying, booked.nonQualifying);
        if (booked.undeterminedImport != 0) {
          AddRouted(aggregate, classCode, route, &RefundLine::undeterminedImport, booked.undeterminedImport);
        }
      }
    }
  }
  rule->MoveFinish();
  context.NoteWalkEnd(status);
  return WalkEndedCleanly(status) ? host::kOk : status;
}

int32_t SumIndividualAssets(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                            const StDATAINFO& record) {
  // Without the accounting period the chosen months have no dates: the step
  // is skipped and says so.
  std::unique_ptr<ClAccPeriod> period;
  if (const int32_t opened = OpenAccountingPeriod(&period); opened != host::kOk) return opened;

  const MonthSlots slots = ChosenSlots(context, record);
  int32_t startDate = 0, firstTo = 0, lastFrom = 0, endDate = 0;
  period->GetPeriodByMonthKind(slots.first, &startDate, &firstTo, 0);
  period->GetPeriodByMonthKind(slots.last, &lastFrom, &endDate, 0);

  const std::unique_ptr<ClRuleGenkashokyaku> rule = CreateBoundRule<ClRuleGenkashokyaku>();
  if (!rule) return host::kRuleNotCreated;

  const std::array<StFINDINFO, 2> chain = AcquisitionDateChain(startDate, endDate);
  int32_t status = rule->MoveReady(chain.data(), 0, 0);
  int32_t count = 0;
  if (status == host::kOk) rule->GetCount(&count);
  const uint8_t layout = IncomeLayout(record);
  for (int32_t i = 0; i < count; ++i) {
    activity.Tick();
    StKOTEISHISANINFO asset;
    StKOTEINENINFO yearly;
    StKOTEITSUKIINFO monthly;
    status = rule->Move(i, &asset, &yearly, &monthly);
    if (status != host::kOk) break;
    const int16_t incomeType = asset.view().I16(StKOTEISHISANINFO::kIncomeType);
    const int64_t amount = asset.view().I64(StKOTEISHISANINFO::kAcquisitionAmount);
    if (layout == kLayoutBusiness || (layout == kLayoutByDepartment && incomeType == kAssetIncomeBusiness)) {
      AddAmount(aggregate.businessFixedAssets.bookAmount, amount);
    }
    if (layout == kLayoutRealEstate || (layout == kLayoutByDepartment && incomeType == kAssetIncomeRealEstate)) {
      AddAmount(aggregate.realEstateFixedAssets.bookAmount, amount);
    }
  }
  rule->MoveFinish();
  context.NoteWalkEnd(status);
  return WalkEndedCleanly(status) ? host::kOk : status;
}

int32_t SumIndividualRefund(AggregationContext& context, Activity& activity, TaxAggregate& aggregate,
                            const StDATAINFO& record, const TaxSettings& settings) {
  const uint8_t kind = record.view().U8(StDATAINFO::kCompanyKind);
  if (!StDATAINFO::IsIndividual(kind)) return kPassDone;
  activity.Reset();
  ClSetBumon* departments = DepartmentSettings();
  if (departments == nullptr) return kPassStopped;
  int32_t count = 0;
  departments->GetBmnCount(&count, 0);

  int32_t accounts = host::kOk;
  if (count != 0) {
    int32_t cursor = 0;
    if (departments->GetCursor(&cursor) != host::kOk) return kPassStopped;
    if (departments->ReadyCursor(cursor) != host::kOk) {
      departments->ReleaseCursor(cursor);
      return kPassStopped;
    }
    StBUMONINFO department;
    while (departments->Walk(&department, cursor) == host::kOk) {
      accounts = SumDepartmentAccounts(context, aggregate, record, settings, &department);
      if (accounts != host::kOk) break;
      department = StBUMONINFO();
    }
    departments->ReleaseCursor(cursor);
  } else {
    accounts = SumDepartmentAccounts(context, aggregate, record, settings, nullptr);
  }

  if (SumIndividualJournals(context, activity, aggregate, record, settings) != host::kOk) return kPassStopped;
  const int32_t assets = SumIndividualAssets(context, activity, aggregate, record);
  // A department whose sums failed leaves the book amounts short: the pass
  // did not complete, though the journals and the assets were still summed.
  return assets == host::kOk && accounts == host::kOk ? kPassDone : kPassStopped;
}

}  // namespace aggregate
