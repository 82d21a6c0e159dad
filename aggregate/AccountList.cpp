#include "aggregate/AccountList.h"

#include <cstring>

namespace aggregate {

std::string_view AccountNode::code() const {
  const auto* text = reinterpret_cast<const char*>(record.data() + StKAMOKUINFO::kCode);
  return std::string_view(text, strnlen(text, StKAMOKUINFO::kCodeWidth));
}

const std::vector<size_t> AccountIndex::kNone;

AccountIndex::AccountIndex(const AccountList& list) {
  nodes_.reserve(list.size());
  for (const AccountNode& node : list) {
    positions_[node.accountId()].push_back(nodes_.size());
    nodes_.push_back(&node);
  }
}

const std::vector<size_t>& AccountIndex::PositionsOf(uint32_t accountId) const {
  const auto found = positions_.find(accountId);
  return found == positions_.end() ? kNone : found->second;
}

}  // namespace aggregate
