#include "ledger/DataAccess.h"

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

}  // namespace ledger
