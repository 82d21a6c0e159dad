#include "Book.h"

namespace ledger_rules_test {

using namespace ledger::testing;

Book::Book() {
  DataSpec data;
  data.dataId = kDataId;
  data.company = "Book";
  data.periodStart = 20140401;
  data.periodEnd = 20150331;
  fixture_.Exec("PRAGMA synchronous = OFF");
  fixture_.AddData(data).AddTax(kDataId, TaxSpec{}).AddUser("001", 0, data.dataNo);
  std::string error;
  EXPECT_TRUE(fixture_.Connect(&error)) << error;
}

Book::~Book() = default;

void Book::Exec(const std::string& sql) { fixture_.Exec(sql); }

void Book::Account(uint32_t id, const std::string& code, uint32_t classCode, int balanceSide, int markA, int markB) {
  AccountSpec a;
  a.id = id;
  a.code = code;
  a.name = "A" + code;
  a.classCode = classCode;
  a.balanceSide = balanceSide;
  a.markA = markA;
  a.markB = markB;
  fixture_.AddAccount(kDataId, a);
}

void Book::Department(int code, int deptClass, int reference, int incomeType) {
  DepartmentSpec d;
  d.code = code;
  d.name = "D" + std::to_string(code);
  d.deptClass = deptClass;
  d.reference = reference;
  d.incomeType = incomeType;
  fixture_.AddDepartment(kDataId, d);
}

namespace {
SideSpec ToSpec(const Side& s) {
  SideSpec spec;
  spec.account = s.account;
  if (s.department != 0) spec.department = s.department;
  spec.amount = s.amount;
  spec.tax = s.tax;
  spec.category = s.category;
  spec.rate = s.rate;
  spec.reduced = s.reduced != 0;
  spec.businessType = s.businessType;
  return spec;
}
}  // namespace

void Book::Line(int32_t date, int monthNo, const Side& debit, const Side& credit) {
  LineSpec line;
  line.lineNo = nextLine_++;
  line.date = date;
  line.monthNo = monthNo;
  line.debit = ToSpec(debit);
  line.credit = ToSpec(credit);
  fixture_.AddLine(kDataId, line);
}

void Book::Asset(uint32_t no, uint32_t kind, int32_t date, int64_t amount, int incomeType) {
  AssetSpec a;
  a.assetNo = no;
  a.name = "asset";
  a.kind = kind;
  a.acquisitionDate = date;
  a.amount = amount;
  a.incomeType = incomeType;
  fixture_.AddAsset(kDataId, a);
}

void Book::Bind(ClRuleBase& rule) {
  ASSERT_EQ(rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), host::kOk);
  ASSERT_EQ(rule.SetCurDataID(kDataId), host::kOk);
  ASSERT_EQ(rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink()), host::kOk);
}

std::vector<StFINDINFO> Months(int first, int last, int extra) {
  using F = StFINDINFO;
  std::vector<StFINDINFO> chain;
  chain.push_back(F::Compare(F::kItemMonthNumber, 0, F::kCompareAtLeast, F::kValueMonth, first, F::kJoinAnd));
  chain.push_back(F::Compare(F::kItemMonthNumber, 0, F::kCompareAtMost, F::kValueMonth, last,
                             extra != 0 ? F::kJoinOr : F::kJoinLast));
  if (extra != 0) {
    chain.push_back(F::Compare(F::kItemMonthNumber, 0, F::kCompareEqual, F::kValueMonth, extra, F::kJoinLast));
  }
  return chain;
}

}  // namespace ledger_rules_test
