#include "platform/ui/MessageBox.h"

#include "platform/ui/Backend.h"

namespace platform::ui {

int MessageBox(Window* owner, std::string_view text, std::string_view caption, uint32_t style) {
  return CurrentBackend().MessageBox(MessageBoxRequest{owner, text, caption, style});
}

}  // namespace platform::ui
