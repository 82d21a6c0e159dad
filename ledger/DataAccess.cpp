#include "ledger/DataAccess.h"

#include <string_view>
#include <vector>

#include "ledger/Installation.h"
#include "ledger/Text.h"

namespace ledger {

int32_t CurrentSelection(UserSelection* selection) {
  Session* session = Session::Current();
  if (session == nullptr) return host::kNotConnected;
  const std::string& user = session->settings().currentUser;
  if (user.empty()) return host::kNotFound;
  Statement q = session->store().Prepare(
      "SELECT selected_group, selected_data_no FROM app_user WHERE user_id = ?1");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, user);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  selection->userId = user;
  selection->groupNo = static_cast<int32_t>(q.Int(0));
  selection->dataNo = q.IsNull(1) ? 0 : static_cast<int32_t>(q.Int(1));
  return host::kOk;
}

int32_t SelectedDataId(std::string* dataId) {
  UserSelection selection;
  if (int32_t status = CurrentSelection(&selection); status != host::kOk) return status;
  if (selection.dataNo == 0) return host::kNotFound;
  Statement q = Session::Current()->store().Prepare("SELECT data_id FROM data_entry WHERE data_no = ?1");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, selection.dataNo);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  *dataId = q.Text(0);
  return host::kOk;
}

int32_t PutText(host::RecordView view, size_t offset, size_t width, const std::string& utf8) {
  auto text = Utf8ToCp932(utf8);
  if (!text || text->size() >= width) return host::kStoreFailed;
  view.SetText(offset, width, *text);
  return host::kOk;
}

int32_t FillDataInfo(const Statement& row, StDATAINFO* info) {
  *info = StDATAINFO();
  host::RecordView v = info->view();
  if (PutText(v, StDATAINFO::kDataId, StDATAINFO::kDataIdWidth, row.Text(0)) != host::kOk ||
      PutText(v, StDATAINFO::kCompanyName, StDATAINFO::kCompanyNameWidth, row.Text(2)) != host::kOk) {
    return host::kStoreFailed;
  }
  v.SetI32(StDATAINFO::kDataNo, static_cast<int32_t>(row.Int(1)));
  v.SetI32(StDATAINFO::kPeriodStart, static_cast<int32_t>(row.Int(3)));
  v.SetI32(StDATAINFO::kPeriodEnd, static_cast<int32_t>(row.Int(4)));
  v.SetI32(StDATAINFO::kClosingDay, static_cast<int32_t>(row.Int(5)));
  v.SetI32(StDATAINFO::kClosingPattern, static_cast<int32_t>(row.Int(6)));
  v.SetI16(StDATAINFO::kPastRecord, row.Int(7) != 0 ? StDATAINFO::kPastRecordMark : 0);
  v.SetU8(StDATAINFO::kCompanyKind, static_cast<uint8_t>(row.Int(8)));
  v.SetU8(StDATAINFO::kIncomeLayout, static_cast<uint8_t>(row.Int(9)));
  v.SetU8(StDATAINFO::kMaintenanceLock, static_cast<uint8_t>(row.Int(10)));
  return host::kOk;
}

int32_t ReadDataInfo(const std::string& dataId, StDATAINFO* info) {
  Session* session = Session::Current();
  if (session == nullptr) return host::kNotConnected;
  Statement q =
      session->store().Prepare(std::string("SELECT ") + kDataEntryColumns + " FROM data_entry WHERE data_id = ?1");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, dataId);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  return FillDataInfo(q, info);
}

int32_t FillAccountInfo(const Statement& row, StKAMOKUINFO* info) {
  *info = StKAMOKUINFO();
  host::RecordView v = info->view();
  if (PutText(v, StKAMOKUINFO::kCode, StKAMOKUINFO::kCodeWidth, row.Text(1)) != host::kOk ||
      PutText(v, StKAMOKUINFO::kName, StKAMOKUINFO::kNameWidth, row.Text(2)) != host::kOk) {
    return host::kStoreFailed;
  }
  v.SetU32(StKAMOKUINFO::kAccountId, static_cast<uint32_t>(row.Int(0)));
  v.SetU32(StKAMOKUINFO::kClassCode, static_cast<uint32_t>(row.Int(3)));
  v.SetU8(StKAMOKUINFO::kBalanceSide, static_cast<uint8_t>(row.Int(4)));
  v.SetU8(StKAMOKUINFO::kListExcluded, static_cast<uint8_t>(row.Int(5)));
  return host::kOk;
}

int32_t FillDepartmentInfo(const Statement& row, StBUMONINFO* info) {
  *info = StBUMONINFO();
  host::RecordView v = info->view();
  if (PutText(v, StBUMONINFO::kName, StBUMONINFO::kNameWidth, row.Text(1)) != host::kOk) return host::kStoreFailed;
  v.SetI32(StBUMONINFO::kCode, static_cast<int32_t>(row.Int(0)));
  v.SetU8(StBUMONINFO::kClass, static_cast<uint8_t>(row.Int(2)));
  v.SetI32(StBUMONINFO::kReference, static_cast<int32_t>(row.Int(3)));
  v.SetU8(StBUMONINFO::kIncomeType, static_cast<uint8_t>(row.Int(4)));
  return host::kOk;
}

namespace {

// SQL conditions that hold for a sound value; NULL counts as unsound, as the
// whole condition is tested with IS NOT 1.
std::string IntIn(const std::string& column, const std::string& low, const std::string& high) {
  return "(typeof(" + column + ") = 'integer' AND " + column + " BETWEEN " + low + " AND " + high + ")";
}
std::string Amount(const std::string& column) {
  return IntIn(column, "-999999999999999999", "999999999999999999");
}
std::string Text(const std::string& column, int maxChars) {
  return "(typeof(" + column + ") = 'text' AND length(" + column + ") <= " + std::to_string(maxChars) + ")";
}
// A yyyymmdd integer that is a real calendar day (with a modifier, strftime
// moves 2014-02-30 on to March; it gives NULL for a thirteenth month).
std::string Date(const std::string& column) {
  return "(" + IntIn(column, "19000101", "29991231") + " AND CAST(strftime('%Y%m%d', printf('%04d-%02d-%02d', " +
         column + " / 10000, " + column + " / 100 % 100, " + column + " % 100), '+0 days') AS INTEGER) IS " + column + ")";
}
std::string All(const std::vector<std::string>& conditions) {
  std::string out;
  for (const std::string& c : conditions) out += (out.empty() ? "" : " AND ") + c;
  return out;
}

struct TableCheck {
  const char* table;
  const char* row;  // how the message names a row
  std::string sound;
};

std::vector<TableCheck> DataSetChecks() {
  std::vector<TableCheck> checks;
  checks.push_back({"data_entry", "'data number ' || data_no",
                    All({IntIn("data_no", "1", "2147483647"), Text("company_name", 80), Date("period_start"),
                         Date("period_end"), "period_end >= period_start",
                         "period_end < (period_start / 10000 + 1) * 10000 + period_start % 10000",
                         IntIn("closing_day", "1", "31"), IntIn("closing_pattern", "0", "1"),
                         IntIn("past_record", "0", "1"), "company_kind IN (0, 1, 3, 4)",
                         IntIn("company_kind", "0", "4"), IntIn("income_layout", "0", "3"),
                         IntIn("maintenance_lock", "0", "1")})});
  checks.push_back({"tax_settings", "'the tax settings'",
                    All({IntIn("tax_method", "0", "2"), IntIn("rounding", "0", "2"), IntIn("deduction_method", "0", "1"),
                         IntIn("main_business_type", "0", "6"), IntIn("tax_inclusive", "0", "1"),
                         IntIn("rate_count", "3", "16")})});
  checks.push_back({"account", "'account ' || quote(account_id)",
                    All({IntIn("account_id", "1", "4294967295"), Text("code", 15), Text("name", 30),
                         IntIn("class_code", "0", "4294967295"), IntIn("balance_side", "1", "2"),
                         IntIn("list_excluded", "0", "1"), IntIn("sum_mark_a", "0", "255"),
                         IntIn("sum_mark_b", "0", "255")})});
  checks.push_back({"department", "'department ' || quote(code)",
                    All({IntIn("code", "1", "2147483647"), Text("name", 29), IntIn("dept_class", "0", "255"),
                         IntIn("reference", "-2147483648", "2147483647"), IntIn("income_type", "0", "255")})});
  std::vector<std::string> line = {
      IntIn("line_no", "1", "4294967295"), Date("entry_date"),
      "entry_date BETWEEN ?2 AND ?3",  // the period, checked before
      "(" + IntIn("month_no", "1", "12") + " OR (typeof(month_no) = 'integer' AND month_no IN (15, 18)))"};
  for (const std::string side : {"dr_", "cr_"}) {
    line.push_back("EXISTS (SELECT 1 FROM account a WHERE a.data_id = t.data_id AND a.account_id = t." + side +
                   "account)");
    line.push_back("(" + side + "department IS NULL OR EXISTS (SELECT 1 FROM department d WHERE d.data_id = t.data_id "
                   "AND d.code = t." + side + "department))");
    line.push_back(Amount(side + "amount"));
    line.push_back(Amount(side + "tax"));
    line.push_back(IntIn(side + "category", "0", "255"));
    line.push_back(IntIn(side + "rate", "0", "1000") + " AND " + side + "rate IN (0, 300, 500, 800, 1000)");
    line.push_back("(" + side + "reduced IS 0 OR (" + side + "reduced IS 1 AND " + side + "rate = 800))");
    line.push_back(IntIn(side + "business_type", "0", "6"));
  }
  line.push_back("typeof(description) = 'text'");
  checks.push_back({"journal_line", "'line ' || quote(line_no)", All(line)});
  checks.push_back({"fixed_asset", "'asset ' || quote(asset_no)",
                    All({IntIn("asset_no", "1", "4294967295"), Text("name", 19), IntIn("kind", "0", "4294967295"),
                         Date("acquisition_date"), Amount("acquisition_amount"), IntIn("income_type", "0", "32767")})});
  checks.push_back({"saved_return", "'the saved return'",
                    All({IntIn("taxation_kind", "1", "2"), IntIn("deduction_method", "0", "1"),
                         IntIn("sales_tax_choice", "0", "255"), IntIn("purchase_tax_choice", "0", "255"),
                         IntIn("transitional_flag", "0", "255"), Date("period_start"), Date("period_end"),
                         Date("year_start"), Date("year_end"), Date("return_start"), Date("return_end"),
                         "return_end >= return_start", IntIn("closing_pattern", "0", "1"),
                         IntIn("refund_individual_basis", "0", "255"), IntIn("refund_corporate_pl_basis", "0", "255"),
                         IntIn("refund_corporate_asset_basis", "0", "255")})});
  checks.push_back({"saved_amount", "'amount ' || quote(name)",
                    All({Text("name", 40), Amount("amount"),
                         "EXISTS (SELECT 1 FROM saved_return s WHERE s.data_id = t.data_id)"})});
  return checks;
}

}  // namespace

int32_t CheckDataSet(const std::string& dataId, std::string* problem) {
  Session* session = Session::Current();
  if (session == nullptr) return host::kNotConnected;
  static const std::vector<TableCheck> kChecks = DataSetChecks();
  int64_t periodStart = 0, periodEnd = 0;
  for (const TableCheck& check : kChecks) {
    if (check.table == std::string_view("journal_line")) {
      // The data entry has passed its check: its period is sound.
      Statement period = session->store().Prepare("SELECT period_start, period_end FROM data_entry WHERE data_id = ?1");
      period.Bind(1, dataId);
      if (period.Step() == SQLITE_ROW) {
        periodStart = period.Int(0);
        periodEnd = period.Int(1);
      }
    }
    std::string error;
    Statement q = session->store().Prepare(std::string("SELECT ") + check.row + " FROM " + check.table +
                                               " t WHERE data_id = ?1 AND (" + check.sound + ") IS NOT 1 LIMIT 1",
                                           &error);
    if (!q.valid()) {
      *problem = std::string(check.table) + ": " + error;
      return host::kStoreFailed;
    }
    q.Bind(1, dataId);
    if (check.table == std::string_view("journal_line")) q.Bind(2, periodStart).Bind(3, periodEnd);
    const int rc = q.Step();
    if (rc == SQLITE_ROW) {
      *problem = std::string(check.table) + ", " + q.Text(0) + ": a value is of the wrong type, out of range, or " +
                 "names a row that does not exist";
      return host::kStoreFailed;
    }
    if (rc != SQLITE_DONE) {
      *problem = std::string(check.table) + ": " + q.ErrorMessage();
      return host::kStoreFailed;
    }
  }
  // The host's figures are sums of some of these amounts (a side's amount
  // and tax together at most): while the magnitudes of each side stay below
  // 9 x 10^14 yen, no such sum can leave 64 bits. (Sums beyond what the
  // document's arithmetic holds are the aggregation's own to refuse.)
  static const char* const kTotals[][2] = {
      {"journal_line", "max(total(abs(dr_amount)) + total(abs(dr_tax)), total(abs(cr_amount)) + total(abs(cr_tax)))"},
      {"fixed_asset", "total(abs(acquisition_amount))"},
      {"saved_amount", "total(abs(amount))"}};
  for (const auto& [table, total] : kTotals) {
    Statement q = session->store().Prepare(std::string("SELECT ") + total + " FROM " + table + " WHERE data_id = ?1");
    q.Bind(1, dataId);
    if (q.Step() != SQLITE_ROW) {
      *problem = std::string(table) + ": " + q.ErrorMessage();
      return host::kStoreFailed;
    }
    if (q.Real(0) >= 9e18) {
      *problem = std::string(table) + ": the amounts add up to 9 x 10^14 yen or more";
      return host::kStoreFailed;
    }
  }
  return host::kOk;
}

}  // namespace ledger
