// Reading the company database into the host's records: the current user
// and their selection, data entries, accounts and departments. Each function
// answers a host status; texts come back in Shift_JIS.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostTypes.h"
#include "host/Records.h"
#include "ledger/JournalTally.h"
#include "ledger/Store.h"

namespace ledger {

struct UserSelection {
  std::string userId;  // UTF-8 as stored
  int32_t groupNo = 0;
  int32_t dataNo = 0;  // 0: nothing selected
};

// The current user of the installation and their selection. kNotConnected
// without a session, kNotFound when ledger.ini names no known user.
int32_t CurrentSelection(UserSelection* selection);
// The data ID of the current user's selected data: kNotFound when nothing is
// selected or the selected number has no data entry.
int32_t SelectedDataId(std::string* dataId);

// Checks every row of a data set against what the store's schema allows
// (types, ranges, real calendar dates, journal dates inside the period) and
// that every account, department and saved return its rows name exists, and
// that the amounts and taxes of the journal (both sides) with the assets'
// acquisition amounts, and apart from them the saved return's amounts, add up
// below 10^14 yen, the limit of the arithmetic through which every figure is
// added (so that no figure, formed in any order, can reach it): a database
// damaged or edited by hand can hold anything, and books too large for the
// figures must be refused before any of them is read, instead of failing in
// the middle of a document. kOk, kStoreFailed with
// `problem` (UTF-8) naming the table, the row and what is wrong, or
// kStoreFailed with the store's own error when the data cannot be read.
// The same read fills the connection's journal tally (JournalTally), which
// answers for the data set only when the whole check has passed.
int32_t CheckDataSet(const std::string& dataId, std::string* problem);
// The same check on any open store, into `tally` (cleared first; sealed
// only when the store did not change during the read).
int32_t CheckDataSet(Store& store, const std::string& dataId, JournalTally* tally, std::string* problem);

// The columns a data entry row is read with, for FillDataInfo.
inline constexpr const char* kDataEntryColumns =
    "data_id, data_no, company_name, period_start, period_end, closing_day, closing_pattern, past_record, "
    "company_kind, income_layout, maintenance_lock";
int32_t FillDataInfo(const Statement& row, StDATAINFO* info);
int32_t ReadDataInfo(const std::string& dataId, StDATAINFO* info);

inline constexpr const char* kAccountColumns =
    "account_id, code, name, class_code, balance_side, list_excluded";
int32_t FillAccountInfo(const Statement& row, StKAMOKUINFO* info);

inline constexpr const char* kDepartmentColumns = "code, name, dept_class, reference, income_type";
int32_t FillDepartmentInfo(const Statement& row, StBUMONINFO* info);

// Stores a UTF-8 text into a Shift_JIS field of `width` bytes: kStoreFailed
// when it does not convert or does not fit.
int32_t PutText(host::RecordView view, size_t offset, size_t width, const std::string& utf8);

}  // namespace ledger
