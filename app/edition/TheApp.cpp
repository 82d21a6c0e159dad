// The program's one application object.
#include "app/LinkApp.h"

platform::ui::Application& platform::ui::TheApplication() {
  static app::LinkApp linkApp;
  return linkApp;
}
