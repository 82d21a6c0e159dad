#include "ledger/DataAccess.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ledger/Dates.h"
#include "ledger/Installation.h"
#include "ledger/JournalTally.h"
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
// A yyyymmdd integer that is a real calendar day. Days 1 to 28 of months 1
// to 12 are; only the rest go through strftime, which with a modifier moves
// 2014-02-30 on to March (and gives NULL for a thirteenth month).
std::string Date(const std::string& column) {
  return "(" + IntIn(column, "19000101", "29991231") + " AND ((" + column + " % 100 BETWEEN 1 AND 28 AND " + column +
         " / 100 % 100 BETWEEN 1 AND 12) OR CAST(strftime('%Y%m%d', printf('%04d-%02d-%02d', " + column + " / 10000, " +
         column + " / 100 % 100, " + column + " % 100), '+0 days') AS INTEGER) IS " + column + "))";
}
std::string All(const std::vector<std::string>& conditions) {
  std::string out;
  for (const std::string& c : conditions) out += (out.empty() ? "" : " AND ") + c;
  return out;
}

// The sums of magnitudes (yen x 10 000) that the books of one run must stay
// below: 10^14 yen, the limit of the fixed-point arithmetic through which the
// component adds every figure. The journal's amounts and taxes (both sides)
// and the assets' acquisition amounts count together, since a refund row adds
// account sums and acquisitions alike; the saved return's amounts count apart
// (only the return-values document reads them), the non-taxable securities
// sales at twenty times their saved amount, as the document shows them. While
// the books stay below it, no figure of either document, formed in any order
// and with any signs, can reach the limit: such books are refused here,
// before anything is read into a figure, instead of failing in the middle of
// a document.
constexpr uint64_t kTotalLimit = 1'000'000'000'000'000'000;
constexpr char kTooLarge[] =
    " add up to 10^14 yen or more (each by its magnitude), beyond what the consumption-tax figures can hold";
// The saved amounts that the document shows twenty times over.
constexpr char kTwentyfoldSavedAmounts[] = "HIKAZEIURIAGEYUUKAZEINUKI";
constexpr uint64_t kTwentyfold = 20;

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

// The integer keys of `sql` (one column, bound to the data ID), in the order
// read: the accounts or departments the journal lines may name. Keys of
// another type are left out, so a line naming one does not find it.
int32_t ReadKeys(Store& store, const char* sql, const std::string& dataId, std::vector<int64_t>* keys,
                 std::string* problem) {
  Statement q = store.Prepare(sql);
  q.Bind(1, dataId);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW)
    if (int64_t key; q.IntegerAt(0, &key)) keys->push_back(key);
  if (rc != SQLITE_DONE) {
    *problem = std::string(sql) + ": " + q.ErrorMessage();
    return host::kStoreFailed;
  }
  return host::kOk;
}

// The journal lines of a data set are by far its largest table, so they are
// checked in one straight read in key order, each line tested here rather
// than by SQL conditions per line: the accounts and departments are looked up
// in tables read once, and the magnitudes of both sides are added up in the
// same read. Each sound line is counted into `tally`.
// `magnitude` holds what the assets add up to; the journal's amounts and
// taxes are added to it.
int32_t CheckJournal(Store& store, const std::string& dataId, int64_t periodStart, int64_t periodEnd,
                     uint64_t magnitude, JournalTally* tally, std::string* problem) {
  std::vector<int64_t> accountIds, departmentCodes;
  if (int32_t read = ReadKeys(store, "SELECT account_id FROM account WHERE data_id = ?1", dataId, &accountIds, problem);
      read != host::kOk)
    return read;
  if (int32_t read =
          ReadKeys(store, "SELECT code FROM department WHERE data_id = ?1", dataId, &departmentCodes, problem);
      read != host::kOk)
    return read;
  std::unordered_map<int64_t, size_t> accounts;  // ID -> place in accountIds
  for (size_t i = 0; i < accountIds.size(); ++i) accounts.try_emplace(accountIds[i], i);
  const std::unordered_set<int64_t> departments(departmentCodes.begin(), departmentCodes.end());
  tally->Begin(dataId, std::move(accountIds));
  // Columns: line_no, entry_date, month_no, description, then each side's
  // eight from kSide on.
  Statement q = store.Prepare(
      "SELECT line_no, entry_date, month_no, description, "
      "dr_account, dr_department, dr_amount, dr_tax, dr_category, dr_rate, dr_reduced, dr_business_type, "
      "cr_account, cr_department, cr_amount, cr_tax, cr_category, cr_rate, cr_reduced, cr_business_type "
      "FROM journal_line WHERE data_id = ?1 ORDER BY line_no");
  if (!q.valid()) {
    *problem = "journal_line: the table cannot be read";
    return host::kStoreFailed;
  }
  q.Bind(1, dataId);
  constexpr int kSide = 4, kSideColumns = 8;
  constexpr int64_t kAmountLimit = 999999999999999999;
  // The magnitudes of the amounts and taxes of both sides together (after the
  // assets'): any sum of them with any signs, in any order, then stays below
  // the limit, so that every figure added from the journal keeps inside the
  // arithmetic's range and 64 bits whichever way it is added (the journal's
  // tally relies on it). The read stops as soon as the limit is reached, and
  // a side adds less than 2 x 10^18, so the sum stays inside 64 unsigned bits.
  constexpr int kColumns = kSide + 2 * kSideColumns;
  int64_t value[kColumns];
  size_t place[2] = {0, 0};  // each side's account, as its place in the tally's list
  bool integer[kColumns];
  auto integerIn = [&](int column, int64_t low, int64_t high) {
    return integer[column] && value[column] >= low && value[column] <= high;
  };
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW) {
    for (int c = 0; c < kColumns; ++c) integer[c] = q.IntegerAt(c, &value[c]);
    const char* wrong = nullptr;
    if (!integerIn(0, 1, 4294967295)) wrong = "line_no";
    else if (!integerIn(1, periodStart, periodEnd) || !dates::IsValid(static_cast<int32_t>(value[1])))
      wrong = "entry_date";  // (the period's dates have passed their check: they fit 32 bits)
    else if (!integerIn(2, 1, 12) && !integerIn(2, 15, 15) && !integerIn(2, 18, 18)) wrong = "month_no";
    else if (!q.IsText(3)) wrong = "description";
    for (int side = 0; side < 2 && wrong == nullptr; ++side) {
      const int c = kSide + side * kSideColumns;
      const bool dr = side == 0;
      const int64_t rate = value[c + 5];
      const auto account = integer[c] ? accounts.find(value[c]) : accounts.end();
      if (account == accounts.end()) wrong = dr ? "dr_account" : "cr_account";
      else if (!(integer[c + 1] ? departments.contains(value[c + 1]) : q.IsNull(c + 1)))
        wrong = dr ? "dr_department" : "cr_department";
      else if (!integerIn(c + 2, -kAmountLimit, kAmountLimit)) wrong = dr ? "dr_amount" : "cr_amount";
      else if (!integerIn(c + 3, -kAmountLimit, kAmountLimit)) wrong = dr ? "dr_tax" : "cr_tax";
      else if (!integerIn(c + 4, 0, 255)) wrong = dr ? "dr_category" : "cr_category";
      else if (!integer[c + 5] || (rate != 0 && rate != 300 && rate != 500 && rate != 800 && rate != 1000))
        wrong = dr ? "dr_rate" : "cr_rate";
      else if (!integerIn(c + 6, 0, 0) && !(integerIn(c + 6, 1, 1) && rate == 800))
        wrong = dr ? "dr_reduced" : "cr_reduced";
      else if (!integerIn(c + 7, 0, 6)) wrong = dr ? "dr_business_type" : "cr_business_type";
      else if ((magnitude += static_cast<uint64_t>(std::abs(value[c + 2])) +
                                    static_cast<uint64_t>(std::abs(value[c + 3]))) >= kTotalLimit) {
        *problem = "journal_line, line " + std::to_string(value[0]) +
                   ": the journal's amounts and taxes, with the assets' acquisition amounts," + kTooLarge;
        return host::kStoreFailed;
      }
      if (wrong == nullptr) place[side] = account->second;
    }
    if (wrong != nullptr) {
      *problem = "journal_line, line " + (integer[0] ? std::to_string(value[0]) : std::string("?")) + ": " + wrong +
                 " is of the wrong type, out of range, or names a row that does not exist";
      return host::kStoreFailed;
    }
    auto side = [&](int c, size_t account) {
      return JournalTally::LineSide{.account = account,
                                    .amount = value[c + 2],
                                    .tax = value[c + 3],
                                    .category = value[c + 4],
                                    .rate = value[c + 5],
                                    .reduced = value[c + 6],
                                    .businessType = value[c + 7]};
    };
    tally->Add(value[2], static_cast<int32_t>(value[1]), side(kSide, place[0]), side(kSide + kSideColumns, place[1]));
  }
  if (rc != SQLITE_DONE) {
    *problem = "journal_line: " + q.ErrorMessage();
    return host::kStoreFailed;
  }
  return host::kOk;
}

// Adds the magnitudes of `column` over the data set's rows of `table` (whose
// values have passed their check: integers below 10^18) to `total`, refusing
// the books when they reach kTotalLimit. A saved amount that the document
// shows twenty times over counts twenty times.
int32_t SumMagnitudes(Store& store, const char* table, const char* column, const std::string& dataId,
                      const char* what, uint64_t* total, std::string* problem) {
  const bool saved = std::string_view(table) == "saved_amount";
  Statement q = store.Prepare(std::string("SELECT abs(") + column + "), " + (saved ? "name" : "NULL") + " FROM " +
                              table + " WHERE data_id = ?1");
  if (!q.valid()) {
    *problem = std::string(table) + ": the table cannot be read";
    return host::kStoreFailed;
  }
  q.Bind(1, dataId);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW) {
    int64_t magnitude = 0;
    if (!q.IntegerAt(0, &magnitude)) continue;  // (the row check has refused such a value)
    const bool twentyfold = saved && q.Text(1).starts_with(kTwentyfoldSavedAmounts);
    // Each term is below 2 x 10^19 and the sum below 10^18 before it: no wrap.
    *total += static_cast<uint64_t>(magnitude) * (twentyfold ? kTwentyfold : 1);
    if (*total >= kTotalLimit) {
      *problem = std::string(table) + ": " + what + kTooLarge;
      return host::kStoreFailed;
    }
  }
  if (rc != SQLITE_DONE) {
    *problem = std::string(table) + ": " + q.ErrorMessage();
    return host::kStoreFailed;
  }
  return host::kOk;
}

}  // namespace

int32_t CheckDataSet(Store& store, const std::string& dataId, JournalTally* tally, std::string* problem) {
  tally->Clear();
  static const std::vector<TableCheck> kChecks = DataSetChecks();
  for (const TableCheck& check : kChecks) {
    std::string error;
    Statement q = store.Prepare(std::string("SELECT ") + check.row + " FROM " + check.table +
                                               " t WHERE data_id = ?1 AND (" + check.sound + ") IS NOT 1 LIMIT 1",
                                           &error);
    if (!q.valid()) {
      *problem = std::string(check.table) + ": " + error;
      return host::kStoreFailed;
    }
    q.Bind(1, dataId);
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
  // The data entry has passed its check: its period is sound.
  int64_t periodStart = 0, periodEnd = 0;
  Statement period = store.Prepare("SELECT period_start, period_end FROM data_entry WHERE data_id = ?1");
  period.Bind(1, dataId);
  if (period.Step() == SQLITE_ROW) {
    periodStart = period.Int(0);
    periodEnd = period.Int(1);
  }
  uint64_t assets = 0, saved = 0;
  if (int32_t total = SumMagnitudes(store, "fixed_asset", "acquisition_amount", dataId,
                                    "the assets' acquisition amounts", &assets, problem);
      total != host::kOk)
    return total;
  if (int32_t total =
          SumMagnitudes(store, "saved_amount", "amount", dataId, "the saved return's amounts", &saved, problem);
      total != host::kOk)
    return total;
  // The journal's tally answers only for the data the check read: the store
  // must stand where it stood before the read.
  const std::optional<Store::Version> before = store.DataVersion();
  if (int32_t journal = CheckJournal(store, dataId, periodStart, periodEnd, assets, tally, problem);
      journal != host::kOk) {
    tally->Clear();
    return journal;
  }
  const std::optional<Store::Version> after = store.DataVersion();
  tally->Seal(before && after && *before == *after ? after : std::nullopt);
  return host::kOk;
}

int32_t CheckDataSet(const std::string& dataId, std::string* problem) {
  Session* session = Session::Current();
  if (session == nullptr) return host::kNotConnected;
  return CheckDataSet(session->store(), dataId, &session->journalTally(), problem);
}

}  // namespace ledger
