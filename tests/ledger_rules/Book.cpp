#include "Book.h"

#include <unistd.h>

#include <filesystem>

#include "ledger/Installation.h"

namespace ledger_rules_test {

Book::Book() {
  char pattern[] = "/tmp/ledger_rules_XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder";
    return;
  }
  folder_ = made;
  ledger::InstallationSettings settings;
  settings.currentUser = "001";
  std::string error;
  const std::string home = folder_ + "/home";
  if (!ledger::Installation::Create(home, settings, &error) || !ledger::Session::Open(home, &error)) {
    ADD_FAILURE() << error;
    return;
  }
  Exec("PRAGMA synchronous = OFF");
  Exec("INSERT INTO data_entry (data_id, data_no, company_name, period_start, period_end, company_kind) "
       "VALUES ('C001', 1, 'Book', 20140401, 20150331, 0)");
  Exec("INSERT INTO app_user (user_id, selected_data_no) VALUES ('001', 1)");
  Exec("INSERT INTO tax_settings (data_id, tax_method, rate_count) VALUES ('C001', 2, 5)");
}

Book::~Book() {
  ledger::Session::Close();
  if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

ledger::Store& Book::store() { return ledger::Session::Current()->store(); }

void Book::Exec(const std::string& sql) {
  std::string error;
  ASSERT_TRUE(store().Exec(sql, &error)) << sql << ": " << error;
}

void Book::Account(uint32_t id, const std::string& code, uint32_t classCode, int balanceSide, int markA, int markB) {
  Exec("INSERT INTO account (data_id, account_id, code, name, class_code, balance_side, sum_mark_a, sum_mark_b) "
       "VALUES ('C001', " + std::to_string(id) + ", '" + code + "', 'A" + code + "', " + std::to_string(classCode) +
       ", " + std::to_string(balanceSide) + ", " + std::to_string(markA) + ", " + std::to_string(markB) + ")");
}

void Book::Department(int code, int deptClass, int reference, int incomeType) {
  Exec("INSERT INTO department (data_id, code, name, dept_class, reference, income_type) VALUES ('C001', " +
       std::to_string(code) + ", 'D" + std::to_string(code) + "', " + std::to_string(deptClass) + ", " +
       std::to_string(reference) + ", " + std::to_string(incomeType) + ")");
}

namespace {
std::string SideValues(const Side& s) {
  return std::to_string(s.account) + ", " + (s.department == 0 ? "NULL" : std::to_string(s.department)) + ", " +
         std::to_string(s.amount) + ", " + std::to_string(s.tax) + ", " + std::to_string(s.category) + ", " +
         std::to_string(s.rate) + ", " + std::to_string(s.reduced) + ", " + std::to_string(s.businessType);
}
}  // namespace

void Book::Line(int32_t date, int monthNo, const Side& debit, const Side& credit) {
  Exec("INSERT INTO journal_line (data_id, line_no, entry_date, month_no, "
       "dr_account, dr_department, dr_amount, dr_tax, dr_category, dr_rate, dr_reduced, dr_business_type, "
       "cr_account, cr_department, cr_amount, cr_tax, cr_category, cr_rate, cr_reduced, cr_business_type) "
       "VALUES ('C001', " + std::to_string(nextLine_++) + ", " + std::to_string(date) + ", " +
       std::to_string(monthNo) + ", " + SideValues(debit) + ", " + SideValues(credit) + ")");
}

void Book::Asset(uint32_t no, uint32_t kind, int32_t date, int64_t amount, int incomeType) {
  Exec("INSERT INTO fixed_asset (data_id, asset_no, name, kind, acquisition_date, acquisition_amount, income_type) "
       "VALUES ('C001', " + std::to_string(no) + ", 'asset', " + std::to_string(kind) + ", " + std::to_string(date) +
       ", " + std::to_string(amount) + ", " + std::to_string(incomeType) + ")");
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
