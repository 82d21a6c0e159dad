#include "aggregate/AggregationContext.h"

#include "aggregate/RuleBinding.h"
#include "host/LedgerCommon.h"

namespace aggregate {

namespace {

template <class Rule>
Rule* OnFirstUse(std::unique_ptr<Rule>& slot) {
  if (!slot) slot = CreateBoundRule<Rule>();
  return slot.get();
}

}  // namespace

AggregationContext::~AggregationContext() { Release(); }

ClRuleShohizeiShinkoku* AggregationContext::ReturnRule() { return OnFirstUse(returnRule_); }
ClRuleShohizei* AggregationContext::TaxSummaryRule() { return OnFirstUse(taxSummaryRule_); }
ClRuleShiwake* AggregationContext::JournalRule() { return OnFirstUse(journalRule_); }
ClRuleKamoku* AggregationContext::AccountSumsRule() { return OnFirstUse(accountSumsRule_); }
ClRuleGenkashokyaku* AggregationContext::DepreciationRule() { return OnFirstUse(depreciationRule_); }

void AggregationContext::NoteWalkEnd(int32_t status) {
  if (status == host::kStoreFailed) NoteLedgerFault(status);
}

void AggregationContext::Release() {
  accounts.clear();
  depreciationRule_.reset();
  accountSumsRule_.reset();
  journalRule_.reset();
  taxSummaryRule_.reset();
  returnRule_.reset();
}

}  // namespace aggregate
