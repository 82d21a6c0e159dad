// ClRuleBase: the binding every rule object needs before it reads the books.
#include "host/LedgerRules.h"
#include "ledger/Text.h"

ClRuleBase::ClRuleBase() = default;
ClRuleBase::~ClRuleBase() = default;

int32_t ClRuleBase::AttachSetMgr(ClSetMgr* setMgr) {
  if (setMgr == nullptr) return host::kBadArgument;
  setMgr_ = setMgr;
  return host::kOk;
}

int32_t ClRuleBase::SetCurDataID(const char* dataId) {
  if (dataId == nullptr || *dataId == '\0') return host::kBadArgument;
  // The data ID comes as the host's Shift_JIS text; the store keeps UTF-8.
  auto utf8 = ledger::Cp932ToUtf8(dataId);
  if (!utf8) return host::kBadArgument;
  dataId_ = *utf8;
  return host::kOk;
}

int32_t ClRuleBase::AttachOptLink(ClOptLink* optLink) {
  if (optLink == nullptr) return host::kBadArgument;
  optLink_ = optLink;
  return host::kOk;
}

int32_t ClRuleBase::CheckBound() const {
  return setMgr_ != nullptr && !dataId_.empty() && optLink_ != nullptr ? host::kOk : host::kNotBound;
}
