#include "tests/refund_passes/RefundBook.h"

#include <gtest/gtest.h>

#include "aggregate/ProgressDialog.h"
#include "aggregate/RefundPasses.h"
#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"

using aggregate::PeriodCondition;
using aggregate::ProgressDialog;
using aggregate::SumCorporateRefund;
using aggregate::SumIndividualRefund;
using aggregate::TaxSettings;

namespace refund_test {

RefundBook::RefundBook(int32_t kind, int32_t layout, int32_t periodEnd) {
  ledger::testing::DataSpec data;
  data.dataId = kDataId;
  data.periodStart = 20230401;
  data.periodEnd = periodEnd;
  data.companyKind = kind;
  data.incomeLayout = layout;
  fixture_.AddData(data);
  fixture_.AddTax(kDataId, {});
  fixture_.AddUser("001", 1, 1);
  Account(1, 0x10100000);  // cash, in no refund group
}

RefundBook& RefundBook::Account(int64_t id, uint32_t classCode, int32_t balanceSide, int32_t markA, int32_t markB) {
  ledger::testing::AccountSpec account;
  account.id = id;
  account.code = std::to_string(1000 + id);
  account.classCode = classCode;
  account.balanceSide = balanceSide;
  account.markA = markA;
  account.markB = markB;
  fixture_.AddAccount(kDataId, account);
  return *this;
}

RefundBook& RefundBook::Department(int32_t code, int32_t deptClass, int32_t reference, int32_t incomeType) {
  ledger::testing::DepartmentSpec department;
  department.code = code;
  department.name = "D" + std::to_string(code);
  department.deptClass = deptClass;
  department.reference = reference;
  department.incomeType = incomeType;
  fixture_.AddDepartment(kDataId, department);
  return *this;
}

RefundBook& RefundBook::Line(int32_t month, const Side& debit, const Side& credit) {
  auto side = [](const Side& s) {
    ledger::testing::SideSpec out;
    out.account = s.account;
    out.amount = s.amount;
    out.tax = s.tax;
    out.category = s.category;
    if (s.department != 0) out.department = s.department;
    return out;
  };
  // Month numbers 1-12 from April; the closing months on their month's last day.
  const int32_t calendar = month == 15 ? 9 : month == 18 ? 3 : (month + 2) % 12 + 1;
  const int32_t year = calendar >= 4 ? 2023 : 2024;
  ledger::testing::LineSpec line;
  line.lineNo = nextLine_++;
  line.date = year * 10000 + calendar * 100 + 10;
  line.monthNo = month;
  line.debit = side(debit);
  line.credit = side(credit);
  fixture_.AddLine(kDataId, line);
  return *this;
}

RefundBook& RefundBook::Asset(int32_t date, int64_t amount, int64_t kind, int32_t incomeType) {
  ledger::testing::AssetSpec asset;
  asset.assetNo = nextAsset_++;
  asset.kind = kind;
  asset.acquisitionDate = date;
  asset.amount = amount;
  asset.incomeType = incomeType;
  fixture_.AddAsset(kDataId, asset);
  return *this;
}

bool RefundBook::Prepare(aggregate::AggregationContext& context, const Months& months, bool taxInclusive,
                         std::optional<int32_t> closingPattern, StDATAINFO* record, TaxSettings* settings) {
  if (!connected_) {
    std::string error;
    if (!fixture_.Connect(&error)) {
      ADD_FAILURE() << "cannot open the test books: " << error;
      return false;
    }
    connected_ = true;
  }
  auto* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1));
  if (data == nullptr || data->GetSelectedInfo(record) != host::kOk) {
    ADD_FAILURE() << "no selected company record";
    return false;
  }
  if (closingPattern) record->view().SetI32(StDATAINFO::kClosingPattern, *closingPattern);
  settings->view().SetU8(StSHOHIZEIINFO::kTaxInclusive, taxInclusive ? 1 : 0);

  PeriodCondition& period = context.periodCondition;
  period.Clear();
  period.AppendMonthClause(StFINDINFO::kCompareAtLeast, months.first, StFINDINFO::kJoinAnd);
  period.AppendMonthClause(StFINDINFO::kCompareAtMost, months.last, StFINDINFO::kJoinLast);
  for (int16_t closing : months.closings) {
    period.SetLastJoiner(StFINDINFO::kJoinOr);
    period.AppendMonthClause(StFINDINFO::kCompareEqual, closing, StFINDINFO::kJoinLast);
  }
  return true;
}

int32_t RefundBook::RunCorporate(const Months& months, bool taxInclusive, std::optional<int32_t> closingPattern) {
  ProgressDialog progress;
  StDATAINFO record;
  TaxSettings settings;
  if (!Prepare(progress.context(), months, taxInclusive, closingPattern, &record, &settings)) return -1;
  return SumCorporateRefund(progress.context(), progress, aggregate, record, settings);
}

int32_t RefundBook::RunIndividual(const Months& months, bool taxInclusive, std::optional<int32_t> closingPattern) {
  ProgressDialog progress;
  StDATAINFO record;
  TaxSettings settings;
  if (!Prepare(progress.context(), months, taxInclusive, closingPattern, &record, &settings)) return -1;
  return SumIndividualRefund(progress.context(), progress, aggregate, record, settings);
}

int32_t RefundBook::RunCorporate(const Months& months, aggregate::Activity& activity) {
  aggregate::AggregationContext context;
  StDATAINFO record;
  TaxSettings settings;
  if (!Prepare(context, months, false, std::nullopt, &record, &settings)) return -1;
  return SumCorporateRefund(context, activity, aggregate, record, settings);
}

int32_t RefundBook::RunIndividual(const Months& months, aggregate::Activity& activity) {
  aggregate::AggregationContext context;
  StDATAINFO record;
  TaxSettings settings;
  if (!Prepare(context, months, false, std::nullopt, &record, &settings)) return -1;
  return SumIndividualRefund(context, activity, aggregate, record, settings);
}

}  // namespace refund_test
