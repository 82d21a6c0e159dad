// AccountList: the accounts a pass matches its rows against, in the order the
// host delivered them. Each node holds a full copy of the account record and
// one flag byte (always 0). std::list is the circular doubly linked list with
// a sentinel that the passes walk; its size is the element count.
#pragma once

#include <cstdint>
#include <list>
#include <string_view>

#include "host/ByteRecord.h"
#include "host/Records.h"

struct AccountNode {
  host::ByteRecord<StKAMOKUINFO::kRecordBytes> record;
  uint8_t flag = 0;

  uint32_t accountId() const { return record.view().U32(StKAMOKUINFO::kAccountId); }
  uint32_t classCode() const { return record.view().U32(StKAMOKUINFO::kClassCode); }
  // The account code: the text at its offset up to its NUL (or the field's end).
  std::string_view code() const;
};

using AccountList = std::list<AccountNode>;
