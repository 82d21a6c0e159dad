#include "ledger/HostMessages.h"

#include <cstdio>

#include "ledger/Text.h"

namespace ledger {
namespace {

int32_t StandardErrorBox(host::HostWnd, const std::string& text, const std::string& caption, uint32_t style) {
  std::fprintf(stderr, "[%s] %s\n", Cp932ToUtf8Lossy(caption).c_str(), Cp932ToUtf8Lossy(text).c_str());
  return (style & 0xF) == host::kMbYesNo ? host::kIdNo : host::kIdOk;
}

HostMessageBox& CurrentBox() {
  static HostMessageBox box;
  return box;
}

}  // namespace

int32_t ShowHostMessage(host::HostWnd owner, const std::string& text, const std::string& caption, uint32_t style) {
  const HostMessageBox& box = CurrentBox();
  return box ? box(owner, text, caption, style) : StandardErrorBox(owner, text, caption, style);
}

HostMessageBox SetHostMessageBox(HostMessageBox box) {
  HostMessageBox previous = std::move(CurrentBox());
  CurrentBox() = std::move(box);
  return previous;
}

const std::string& HostCaption() {
  static const std::string caption = "会計データ";
  return caption;
}

}  // namespace ledger
