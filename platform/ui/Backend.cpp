#include "platform/ui/Backend.h"

#include <cstdio>
#include <cstdlib>

namespace platform::ui {
namespace {

// Stands in when no backend is installed: it shows nothing, and a call that
// needs a user stops the program instead of waiting.
class NoBackend : public Backend {
 public:
  void DeliverInput(Dialog& dialog) override { Stop("a dialog waits for input", dialog.GetText()); }
  int ShowMessageBox(const MessageBoxRequest& box) override { Stop("a message box waits for an answer", box.text); }
  std::optional<std::string> SaveFile(const SaveFileDialogOptions&) override {
    Stop("the save-file dialog waits for an answer", "");
  }

 private:
  [[noreturn]] static void Stop(const char* what, std::string_view) {
    std::fprintf(stderr, "taxbridge: %s, but no user interface is available (no script and no terminal).\n", what);
    std::exit(2);
  }
};

NoBackend noBackend;
Backend* installed = nullptr;

}  // namespace

void InstallBackend(Backend* backend) { installed = backend; }

Backend& CurrentBackend() { return installed ? *installed : noBackend; }

}  // namespace platform::ui
