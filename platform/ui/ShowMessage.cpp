#include "platform/ui/ShowMessage.h"

#include "platform/ui/Backend.h"

namespace platform::ui {

int ShowMessage(Window* owner, std::string_view text, std::string_view caption, uint32_t style) {
  return CurrentBackend().ShowMessageBox(MessageBoxRequest{owner, text, caption, style});
}

}  // namespace platform::ui
