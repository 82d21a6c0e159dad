// The settings objects, the settings manager and the user.
#include <cstring>
#include <map>

#include "host/LedgerCommon.h"
#include "ledger/Clause.h"
#include "ledger/DataAccess.h"
#include "ledger/Installation.h"
#include "ledger/Text.h"

namespace {

ledger::Store* CurrentStore() {
  ledger::Session* session = ledger::Session::Current();
  return session != nullptr ? &session->store() : nullptr;
}

// One walk of a settings object: a handle, the data it walks, its statement
// and what it delivered last (so a walk can go on under a changed chain).
struct Cursor {
  std::string dataId;
  bool ready = false;
  ledger::Statement statement;
  std::string where;  // the condition the statement was prepared with
  std::string lastKey;
  int64_t lastNumber = 0;
  bool delivered = false;
};

class CursorTable {
 public:
  int32_t Open(int32_t* handle) {
    if (handle == nullptr) return host::kBadArgument;
    *handle = next_++;
    cursors_[*handle] = Cursor();
    return host::kOk;
  }
  Cursor* Find(int32_t handle) {
    auto it = cursors_.find(handle);
    return it == cursors_.end() ? nullptr : &it->second;
  }
  int32_t Close(int32_t handle) { return cursors_.erase(handle) == 1 ? host::kOk : host::kBadCursor; }

 private:
  int32_t next_ = 1;
  std::map<int32_t, Cursor> cursors_;
};

int32_t MakeReady(CursorTable& table, int32_t handle, const std::string& dataId) {
  Cursor* cursor = table.Find(handle);
  if (cursor == nullptr) return host::kBadCursor;
  *cursor = Cursor();
  cursor->dataId = dataId;
  cursor->ready = true;
  return host::kOk;
}

}  // namespace

struct ClSetData::Cursors : CursorTable {};
struct ClSetKamoku::Cursors : CursorTable {};
struct ClSetBumon::Cursors : CursorTable {};

// ---- ClSetMgr ----

struct ClSetMgr::Objects {
  ClSetKamoku kamoku;
  ClSetBumon bumon;
  ClSetShohizei shohizei;
  ClSetData data;
};

ClSetMgr::ClSetMgr() : objects_(std::make_unique<Objects>()) {}
ClSetMgr::~ClSetMgr() = default;

ClSetBase* ClSetMgr::GetSetObject(int32_t kind, int32_t) {
  if (ledger::Session::Current() == nullptr) return nullptr;
  switch (kind) {
    case kSetKindKamoku: return &objects_->kamoku;
    case kSetKindBumon: return &objects_->bumon;
    case kSetKindShohizei: return &objects_->shohizei;
    case kSetKindData: return &objects_->data;
    default: return nullptr;
  }
}

// ---- ClSetBase ----

int32_t ClSetBase::AttachSetMgr(ClSetMgr* setMgr) {
  if (setMgr == nullptr) return host::kBadArgument;
  setMgr_ = setMgr;
  return host::kOk;
}

int32_t ClSetBase::SetCurDataID(const char* dataId) {
  if (dataId == nullptr || *dataId == '\0') return host::kBadArgument;
  auto utf8 = ledger::Cp932ToUtf8(dataId);
  if (!utf8) return host::kBadArgument;
  dataId_ = *utf8;
  return host::kOk;
}

int32_t ClSetBase::ResolveDataID(std::string* dataId) const {
  if (ledger::Session::Current() == nullptr) return host::kNotConnected;
  if (!dataId_.empty()) {
    *dataId = dataId_;
    return host::kOk;
  }
  return ledger::SelectedDataId(dataId);
}

// ---- ClSysUser ----

int32_t ClSysUser::GetCurUserID(char* out, size_t capacity) {
  if (out == nullptr || capacity == 0) return host::kBadArgument;
  out[0] = '\0';
  ledger::UserSelection selection;
  if (int32_t status = ledger::CurrentSelection(&selection); status != host::kOk) return status;
  auto text = ledger::Utf8ToCp932(selection.userId);
  if (!text) return host::kStoreFailed;
  if (text->size() >= capacity) return host::kBadArgument;
  std::memcpy(out, text->data(), text->size());
  out[text->size()] = '\0';
  return host::kOk;
}

int32_t ClSysUser::GetSelectedNo(int32_t* groupNo, int32_t* dataNo) {
  if (groupNo == nullptr || dataNo == nullptr) return host::kBadArgument;
  ledger::UserSelection selection;
  if (int32_t status = ledger::CurrentSelection(&selection); status != host::kOk) return status;
  *groupNo = selection.groupNo;
  *dataNo = selection.dataNo;
  return host::kOk;
}

// ---- ClSetData ----

ClSetData::ClSetData() : cursors_(std::make_unique<Cursors>()) {}
ClSetData::~ClSetData() = default;

int32_t ClSetData::GetSelectedInfo(StDATAINFO* info) {
  if (info == nullptr) return host::kBadArgument;
  std::string dataId;
  if (int32_t status = ledger::SelectedDataId(&dataId); status != host::kOk) return status;
  return ledger::ReadDataInfo(dataId, info);
}

int32_t ClSetData::GetAccPeriod(ClAccPeriod** period) {
  if (period == nullptr || *period != nullptr) return host::kBadArgument;
  std::string dataId;
  if (int32_t status = ResolveDataID(&dataId); status != host::kOk) return status;
  StDATAINFO info;
  if (int32_t status = ledger::ReadDataInfo(dataId, &info); status != host::kOk) return status;
  auto made = std::make_unique<ClAccPeriod>();
  const host::RecordView v = info.view();
  if (made->SetPeriod(v.I32(StDATAINFO::kPeriodStart), v.I32(StDATAINFO::kPeriodEnd)) != host::kOk ||
      made->SetClosingDay(static_cast<int16_t>(v.I32(StDATAINFO::kClosingDay))) != host::kOk) {
    return host::kStoreFailed;
  }
  *period = made.release();
  return host::kOk;
}

int32_t ClSetData::GetDatCursor(int32_t* cursor) { return cursors_->Open(cursor); }

int32_t ClSetData::ReadyDat(int32_t cursor, int32_t) {
  if (ledger::Session::Current() == nullptr) return host::kNotConnected;
  return MakeReady(*cursors_, cursor, std::string());
}

int32_t ClSetData::WalkDat(int32_t cursor, StDATAINFO* info) {
  if (info == nullptr) return host::kBadArgument;
  Cursor* c = cursors_->Find(cursor);
  if (c == nullptr) return host::kBadCursor;
  if (!c->ready) return host::kNotReady;
  ledger::Store* store = CurrentStore();
  if (store == nullptr) return host::kNotConnected;
  if (!c->statement.valid()) {
    c->statement = store->Prepare(std::string("SELECT ") + ledger::kDataEntryColumns +
                                  " FROM data_entry WHERE data_no > ?1 ORDER BY data_no");
    if (!c->statement.valid()) return host::kStoreFailed;
    c->statement.Bind(1, c->lastNumber);
  }
  const int rc = c->statement.Step();
  if (rc == SQLITE_DONE) return host::kEndOfWalk;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  c->lastNumber = c->statement.Int(1);
  return ledger::FillDataInfo(c->statement, info);
}

int32_t ClSetData::ReleaseDatCursor(int32_t cursor) { return cursors_->Close(cursor); }

// ---- ClSetShohizei ----

namespace {

int32_t ReadTaxSettings(const std::string& dataId, StSHOHIZEIINFO* info, int32_t* rateCount) {
  ledger::Store* store = CurrentStore();
  if (store == nullptr) return host::kNotConnected;
  ledger::Statement q = store->Prepare(
      "SELECT tax_method, rounding, deduction_method, main_business_type, tax_inclusive, rate_count "
      "FROM tax_settings WHERE data_id = ?1");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, dataId);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  if (info != nullptr) {
    *info = StSHOHIZEIINFO();
    host::RecordView v = info->view();
    v.SetU8(StSHOHIZEIINFO::kTaxMethod, static_cast<uint8_t>(q.Int(0)));
    v.SetU8(StSHOHIZEIINFO::kRounding, static_cast<uint8_t>(q.Int(1)));
    v.SetU8(StSHOHIZEIINFO::kDeductionMethod, static_cast<uint8_t>(q.Int(2)));
    v.SetU8(StSHOHIZEIINFO::kMainBusinessType, static_cast<uint8_t>(q.Int(3)));
    v.SetU8(StSHOHIZEIINFO::kTaxInclusive, static_cast<uint8_t>(q.Int(4)));
  }
  if (rateCount != nullptr) *rateCount = static_cast<int32_t>(q.Int(5));
  return host::kOk;
}

}  // namespace

int32_t ClSetShohizei::Get(StSHOHIZEIINFO* info) {
  if (info == nullptr) return host::kBadArgument;
  std::string dataId;
  if (int32_t status = ResolveDataID(&dataId); status != host::kOk) return status;
  return ReadTaxSettings(dataId, info, nullptr);
}

int32_t ClSetShohizei::GetTaxRateCount() {
  std::string dataId;
  int32_t count = 0;
  if (ResolveDataID(&dataId) != host::kOk || ReadTaxSettings(dataId, nullptr, &count) != host::kOk) return 0;
  return count;
}

// ---- ClSetKamoku ----

ClSetKamoku::ClSetKamoku() : cursors_(std::make_unique<Cursors>()) {}
ClSetKamoku::~ClSetKamoku() = default;

int32_t ClSetKamoku::GetCursor(int32_t* cursor) { return cursors_->Open(cursor); }

int32_t ClSetKamoku::ReadyCursor(int32_t cursor) {
  std::string dataId;
  if (int32_t status = ResolveDataID(&dataId); status != host::kOk) return status;
  return MakeReady(*cursors_, cursor, dataId);
}

int32_t ClSetKamoku::ReleaseCursor(int32_t cursor) { return cursors_->Close(cursor); }

int32_t ClSetKamoku::WalkFind(const StFINDINFO* chain, StKAMOKUINFO* record, int32_t cursor) {
  if (record == nullptr) return host::kBadArgument;
  Cursor* c = cursors_->Find(cursor);
  if (c == nullptr) return host::kBadCursor;
  if (!c->ready) return host::kNotReady;
  ledger::Store* store = CurrentStore();
  if (store == nullptr) return host::kNotConnected;
  ledger::SqlCondition condition;
  if (int32_t status = ledger::ChainToSql(chain, ledger::AccountColumns, 3, &condition); status != host::kOk) {
    return status;
  }
  if (!c->statement.valid() || condition.where != c->where) {
    // A new walk, or the same walk under another chain: go on after the last
    // account delivered.
    c->statement = store->Prepare(std::string("SELECT ") + ledger::kAccountColumns +
                                  " FROM account WHERE data_id = ?1 AND code > ?2 AND " + condition.where +
                                  " ORDER BY code");
    if (!c->statement.valid()) return host::kStoreFailed;
    c->where = condition.where;
    c->statement.Bind(1, c->dataId).Bind(2, c->lastKey);
    for (size_t i = 0; i < condition.params.size(); ++i) c->statement.Bind(3 + static_cast<int>(i), condition.params[i]);
  }
  const int rc = c->statement.Step();
  if (rc == SQLITE_DONE) return host::kEndOfWalk;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  c->lastKey = c->statement.Text(1);
  return ledger::FillAccountInfo(c->statement, record);
}

// ---- ClSetBumon ----

ClSetBumon::ClSetBumon() : cursors_(std::make_unique<Cursors>()) {}
ClSetBumon::~ClSetBumon() = default;

int32_t ClSetBumon::GetBmnCount(int32_t* count, int32_t) {
  if (count == nullptr) return host::kBadArgument;
  std::string dataId;
  if (int32_t status = ResolveDataID(&dataId); status != host::kOk) return status;
  ledger::Statement q = CurrentStore()->Prepare("SELECT count(*) FROM department WHERE data_id = ?1");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, dataId);
  if (q.Step() != SQLITE_ROW) return host::kStoreFailed;
  *count = static_cast<int32_t>(q.Int(0));
  return host::kOk;
}

int32_t ClSetBumon::GetCursor(int32_t* cursor) { return cursors_->Open(cursor); }

int32_t ClSetBumon::ReadyCursor(int32_t cursor) {
  std::string dataId;
  if (int32_t status = ResolveDataID(&dataId); status != host::kOk) return status;
  return MakeReady(*cursors_, cursor, dataId);
}

int32_t ClSetBumon::Walk(StBUMONINFO* record, int32_t cursor) {
  if (record == nullptr) return host::kBadArgument;
  Cursor* c = cursors_->Find(cursor);
  if (c == nullptr) return host::kBadCursor;
  if (!c->ready) return host::kNotReady;
  ledger::Store* store = CurrentStore();
  if (store == nullptr) return host::kNotConnected;
  if (!c->statement.valid()) {
    c->statement = store->Prepare(std::string("SELECT ") + ledger::kDepartmentColumns +
                                  " FROM department WHERE data_id = ?1 AND code > ?2 ORDER BY code");
    if (!c->statement.valid()) return host::kStoreFailed;
    c->statement.Bind(1, c->dataId).Bind(2, c->lastNumber);
  }
  const int rc = c->statement.Step();
  if (rc == SQLITE_DONE) return host::kEndOfWalk;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  c->lastNumber = c->statement.Int(0);
  return ledger::FillDepartmentInfo(c->statement, record);
}

int32_t ClSetBumon::ReleaseCursor(int32_t cursor) { return cursors_->Close(cursor); }

int32_t ClSetBumon::GetInfoByCode(int32_t code, StBUMONINFO* record, int32_t cursor) {
  if (record == nullptr) return host::kBadArgument;
  if (cursors_->Find(cursor) == nullptr) return host::kBadCursor;
  std::string dataId;
  if (int32_t status = ResolveDataID(&dataId); status != host::kOk) return status;
  ledger::Statement q = CurrentStore()->Prepare(std::string("SELECT ") + ledger::kDepartmentColumns +
                                                " FROM department WHERE data_id = ?1 AND code = ?2");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, dataId).Bind(2, code);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  return ledger::FillDepartmentInfo(q, record);
}
