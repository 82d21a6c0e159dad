#include "ledger/CheckVerdict.h"

#include "host/HostTypes.h"
#include "ledger/DataAccess.h"
#include "ledger/Installation.h"
#include "ledger/Schema.h"

namespace ledger {

namespace {

// Three triggers (insert, update, delete) for each table the check reads.
constexpr int64_t kVerdictTriggers = 24;

std::optional<int64_t> SchemaVersion(Store& store) {
  Statement q = store.Prepare("PRAGMA schema_version");
  if (!q.valid() || q.Step() != SQLITE_ROW) return std::nullopt;
  return q.Int(0);
}

// Whether the verdict table and all its triggers are there.
bool TriggersInPlace(Store& store) {
  Statement q = store.Prepare(
      "SELECT count(*) FILTER (WHERE type = 'trigger' AND name GLOB 'data_check_forget_*'), "
      "count(*) FILTER (WHERE type = 'table' AND name = 'data_check') FROM sqlite_master");
  return q.valid() && q.Step() == SQLITE_ROW && q.Int(0) == kVerdictTriggers && q.Int(1) == 1;
}

}  // namespace

bool EnsureCheckVerdicts(Store& store, std::string* error) {
  if (TriggersInPlace(store)) return true;
  return store.Exec("BEGIN IMMEDIATE;" + CheckVerdictSql() + "COMMIT;", error) || (store.Exec("ROLLBACK"), false);
}

bool RememberCheck(Store& store, const JournalTally& tally, std::string* error) {
  if (!TriggersInPlace(store)) {
    *error = "the database lacks the triggers that keep a verdict true";
    return false;
  }
  const std::optional<int64_t> schema = SchemaVersion(store);
  std::string why;
  Statement q = store.Prepare("INSERT OR REPLACE INTO data_check (data_id, schema_version, tally) VALUES (?1, ?2, ?3)",
                              &why);
  if (!schema || !q.valid()) {
    *error = "the verdict table cannot be written: " + why;
    return false;
  }
  q.Bind(1, tally.dataId()).Bind(2, *schema).BindBlob(3, tally.Serialize());
  if (q.Step() != SQLITE_DONE) {
    *error = "the verdict could not be stored: " + q.ErrorMessage();
    return false;
  }
  return true;
}

int32_t CheckAndRemember(Store& store, const std::string& dataId, std::string* problem, std::string* notKept) {
  JournalTally tally;
  const int32_t status = CheckDataSet(store, dataId, &tally, problem);
  if (status != host::kOk) return status;
  if (!tally.Answers(dataId, store.DataVersion())) {
    *notKept = "the journal has too many combinations of month and categories to be tallied";
    return status;
  }
  RememberCheck(store, tally, notKept);
  return status;
}

bool VerdictStands(Store& store, const std::string& dataId) {
  Statement q = store.Prepare("SELECT schema_version FROM data_check WHERE data_id = ?1");
  if (!q.valid()) return false;  // a database made before verdicts were kept
  q.Bind(1, dataId);
  if (q.Step() != SQLITE_ROW) return false;
  const std::optional<int64_t> schema = SchemaVersion(store);
  return schema && q.Int(0) == *schema;
}

bool RecallCheck(Store& store, const std::string& dataId, JournalTally* tally) {
  tally->Clear();
  Statement q = store.Prepare("SELECT schema_version, tally FROM data_check WHERE data_id = ?1");
  if (!q.valid()) return false;  // a database made before verdicts were kept
  q.Bind(1, dataId);
  if (q.Step() != SQLITE_ROW) return false;
  const std::optional<int64_t> schema = SchemaVersion(store);
  if (!schema || q.Int(0) != *schema) return false;
  if (!tally->Deserialize(q.Blob(1)) || tally->dataId() != dataId) {
    tally->Clear();
    return false;
  }
  tally->Seal(store.DataVersion());
  return tally->Answers(dataId, store.DataVersion());
}

int32_t RecallOrCheckDataSet(const std::string& dataId, std::string* problem) {
  Session* session = Session::Current();
  if (session == nullptr) return host::kNotConnected;
  session->journalTally().Clear();
  session->verdictToRecall().clear();
  if (VerdictStands(session->store(), dataId)) {
    session->verdictToRecall() = dataId;
    return host::kOk;
  }
  return CheckDataSet(session->store(), dataId, &session->journalTally(), problem);
}

const JournalTally* SessionTally(Store& store, const std::string& dataId) {
  Session* session = Session::Current();
  if (session == nullptr || &session->store() != &store) return nullptr;
  JournalTally& tally = session->journalTally();
  if (tally.Answers(dataId, store.DataVersion())) return &tally;
  if (session->verdictToRecall() != dataId) return nullptr;
  // Read once: a verdict forgotten since the connection's check (the books
  // changed under the run) leaves the questions to the lines, as a stale
  // tally does.
  session->verdictToRecall().clear();
  return RecallCheck(store, dataId, &tally) ? &tally : nullptr;
}

}  // namespace ledger
