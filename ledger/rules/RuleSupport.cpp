#include "ledger/rules/RuleSupport.h"

#include "host/HostTypes.h"
#include "ledger/CheckVerdict.h"
#include "ledger/Installation.h"

namespace ledger::rules {

Store* OpenStore() {
  Session* session = Session::Current();
  return session != nullptr ? &session->store() : nullptr;
}

int32_t OpenData(const std::string& dataId, Store** store) {
  Store* open = OpenStore();
  if (open == nullptr) return host::kNotConnected;
  Statement q = open->Prepare("SELECT 1 FROM data_entry WHERE data_id = ?1");
  if (!q.valid()) return host::kStoreFailed;
  q.Bind(1, dataId);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return host::kNotFound;
  if (rc != SQLITE_ROW) return host::kStoreFailed;
  *store = open;
  return host::kOk;
}

const JournalTally* CurrentTally(Store& store, const std::string& dataId) { return SessionTally(store, dataId); }

void BindCondition(Statement& statement, const SqlCondition& condition, int firstParam) {
  for (size_t i = 0; i < condition.params.size(); ++i) {
    statement.Bind(firstParam + static_cast<int>(i), condition.params[i]);
  }
}

int32_t MonthOrder(int32_t monthNumber) {
  if (monthNumber >= 1 && monthNumber <= 6) return monthNumber;
  if (monthNumber == 15) return 7;
  if (monthNumber >= 7 && monthNumber <= 12) return monthNumber + 1;
  if (monthNumber == 18) return 14;
  return 0;
}

int32_t MonthSlot(int32_t monthNumber) {
  if (monthNumber >= 1 && monthNumber <= 12) return monthNumber;
  if (monthNumber == 18) return 13;
  if (monthNumber == 15) return 14;
  return -1;
}

Statement* StatementCache::Get(Store& store, const std::string& sql) {
  if (owner_ != store.handle()) {
    Clear();
    owner_ = store.handle();
  }
  auto it = statements_.find(sql);
  if (it == statements_.end()) {
    Statement prepared = store.Prepare(sql);
    if (!prepared.valid()) return nullptr;
    it = statements_.emplace(sql, std::move(prepared)).first;
  } else {
    it->second.Reset();
  }
  return &it->second;
}

bool AddAmount(int64_t* sum, int64_t value) {
  int64_t result = 0;
  if (__builtin_add_overflow(*sum, value, &result)) return false;
  *sum = result;
  return true;
}

}  // namespace ledger::rules
