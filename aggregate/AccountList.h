// AccountList: the accounts a pass matches its rows against, in the order the
// host delivered them. Each node holds a full copy of the account record and
// one flag byte (always 0). std::list is the circular doubly linked list with
// a sentinel that the passes walk; its size is the element count.
#pragma once

#include <cstdint>
#include <list>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/ByteRecord.h"
#include "host/Records.h"

namespace aggregate {

struct AccountNode {
  host::ByteRecord<StKAMOKUINFO::kRecordBytes> record;
  uint8_t flag = 0;

  uint32_t accountId() const { return record.view().U32(StKAMOKUINFO::kAccountId); }
  uint32_t classCode() const { return record.view().U32(StKAMOKUINFO::kClassCode); }
  // The account code: the text at its offset up to its NUL (or the field's end).
  std::string_view code() const;
};

using AccountList = std::list<AccountNode>;

// AccountIndex: where each account identifier stands in an AccountList, so a
// pass can visit only the nodes of a journal line's two accounts instead of
// walking the whole list for every line. Nodes are numbered from 0 in list
// order; an identifier may stand at several places. Built from the list as it
// is; it does not follow later changes to the list.
class AccountIndex {
 public:
  explicit AccountIndex(const AccountList& list);

  size_t size() const { return nodes_.size(); }

  // Calls visit(position, node) for every node whose identifier is `a` or
  // `b`, in list order, each node once (also when a equals b).
  template <class Visit>
  void ForEachOf(uint32_t a, uint32_t b, Visit&& visit) const {
    const std::vector<size_t>& first = PositionsOf(a);
    const std::vector<size_t>& second = a == b ? kNone : PositionsOf(b);
    size_t i = 0, j = 0;
    while (i < first.size() || j < second.size()) {
      const bool takeFirst = j == second.size() || (i < first.size() && first[i] < second[j]);
      const size_t position = takeFirst ? first[i++] : second[j++];
      visit(position, *nodes_[position]);
    }
  }

 private:
  const std::vector<size_t>& PositionsOf(uint32_t accountId) const;

  static const std::vector<size_t> kNone;
  std::vector<const AccountNode*> nodes_;
  std::unordered_map<uint32_t, std::vector<size_t>> positions_;
};

}  // namespace aggregate
