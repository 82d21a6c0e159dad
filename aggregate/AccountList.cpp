#include "aggregate/AccountList.h"

#include <cstring>

std::string_view AccountNode::code() const {
  const auto* text = reinterpret_cast<const char*>(record.data() + StKAMOKUINFO::kCode);
  return std::string_view(text, strnlen(text, StKAMOKUINFO::kCodeWidth));
}
