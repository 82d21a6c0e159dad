// Shared pieces of the UI tests: a script backend installed for one test, and
// the lines of its transcript.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/Backend.h"
#include "platform/ui/script/ScriptBackend.h"

namespace uitest {

// Script and transcript texts are UTF-8, while the program's narrow literals
// are Shift_JIS: expectations about them are written as u8"" literals.
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class ScriptedUser {
 public:
  explicit ScriptedUser(const std::string& script)
      : backend_(std::make_unique<platform::ui::script::ScriptBackend>(script, transcript_, "test-script")) {
    platform::ui::InstallBackend(backend_.get());
  }
  ~ScriptedUser() { platform::ui::InstallBackend(nullptr); }

  std::string Transcript() const { return transcript_.str(); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(transcript_.str());
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }
  // Lines that start with `prefix`, in order.
  std::vector<std::string> LinesStarting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& l : Lines()) {
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    }
    return out;
  }
  size_t Remaining() const { return backend_->RemainingActions(); }

 private:
  std::ostringstream transcript_;
  std::unique_ptr<platform::ui::script::ScriptBackend> backend_;
};

}  // namespace uitest
