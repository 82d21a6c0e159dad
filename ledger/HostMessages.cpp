#include "ledger/HostMessages.h"

#include "platform/ui/ShowMessage.h"

namespace ledger {
namespace {

int32_t StandardBox(host::HostWnd owner, const std::string& text, const std::string& caption, uint32_t style) {
  return platform::ui::ShowMessage(platform::ui::Window::FromHandle(owner), text, caption, style);
}

HostMessageBox& CurrentBox() {
  static HostMessageBox box;
  return box;
}

}  // namespace

int32_t ShowHostMessage(host::HostWnd owner, const std::string& text, const std::string& caption, uint32_t style) {
  const HostMessageBox& box = CurrentBox();
  return box ? box(owner, text, caption, style) : StandardBox(owner, text, caption, style);
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
