// CreateBoundRule: a new host rule object, bound as every rule is before use:
// AttachSetMgr with the data manager's settings manager, SetCurDataID with the
// ID of the selected data (the data settings object's GetSelectedInfo), then
// AttachOptLink with the link manager's option link.
//
// Null when the object cannot be created. The binding calls' results are not
// examined: a rule whose binding failed answers its own status when used.
#pragma once

#include <memory>
#include <new>
#include <string>

#include "host/LedgerRules.h"

namespace aggregate {

// The data ID of the selected data; empty when there is no data settings
// object or no selected entry.
std::string SelectedDataId();
// Binds `rule` in the stated order.
void BindRule(ClRuleBase& rule);

template <class Rule>
std::unique_ptr<Rule> CreateBoundRule() {
  std::unique_ptr<Rule> rule(new (std::nothrow) Rule());
  if (rule) BindRule(*rule);
  return rule;
}

}  // namespace aggregate
