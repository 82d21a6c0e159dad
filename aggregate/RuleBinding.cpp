#include "aggregate/RuleBinding.h"

#include "host/LedgerCommon.h"
#include "host/LedgerCore.h"
#include "host/Records.h"

namespace aggregate {

std::string SelectedDataId() {
  auto* data = dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(kSetKindData, 1));
  if (data == nullptr) return std::string();
  StDATAINFO info;
  if (data->GetSelectedInfo(&info) != host::kOk) return std::string();
  return info.view().Text(StDATAINFO::kDataId, StDATAINFO::kDataIdWidth);
}

void BindRule(ClRuleBase& rule) {
  rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  rule.SetCurDataID(SelectedDataId().c_str());
  rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
}

}  // namespace aggregate
