#include "platform/ui/script/ScriptBackend.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/ShiftJis.h"
#include "platform/Encoding.h"

namespace platform::ui::script {
namespace {

std::string EscapeUtf8(std::string_view utf8) {
  std::string out;
  for (const char ch : utf8) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += ch;
        }
    }
  }
  return out;
}

// A text in double quotes for the transcript, in UTF-8, with \ " and control
// characters escaped so that every event stays on one line. A character that
// is not valid Shift_JIS is written as \xHH escapes of its bytes.
std::string Quote(std::string_view cp932) {
  if (auto whole = platform::Cp932ToUtf8(cp932)) return "\"" + EscapeUtf8(*whole) + "\"";
  std::string out = "\"";
  for (size_t i = 0; i < cp932.size();) {
    size_t n = sjis::CharLength(cp932, i);
    if (n == 2) {  // a lead byte followed by no valid trail byte stands alone
      const unsigned char trail = static_cast<unsigned char>(cp932[i + 1]);
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) n = 1;
    }
    const std::string_view ch = cp932.substr(i, n);
    if (auto one = platform::Cp932ToUtf8(ch)) {
      out += EscapeUtf8(*one);
    } else {
      for (const char b : ch) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(b));
        out += hex;
      }
    }
    i += n;
  }
  return out + "\"";
}

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return "static";
    case ControlKind::Edit: return "edit";
    case ControlKind::PushButton: return "button";
    case ControlKind::RadioButton: return "radio";
    case ControlKind::CheckBox: return "checkbox";
    case ControlKind::GroupBox: return "group";
    case ControlKind::Bitmap: return "bitmap";
    case ControlKind::ProgressBar: return "progress";
  }
  return "?";
}

const char* IconName(uint32_t style) {
  switch (style & 0xF0u) {
    case kMbIconError: return "error";
    case kMbIconQuestion: return "question";
    case kMbIconExclamation: return "exclamation";
    case kMbIconInformation: return "information";
    default: return "none";
  }
}

// The buttons of a box, by their script names.
std::vector<std::pair<std::string, int>> Buttons(uint32_t style) {
  switch (style & 0xFu) {
    case kMbOkCancel: return {{"OK", kIdBoxOk}, {"Cancel", kIdBoxCancel}};
    case kMbYesNoCancel: return {{"Yes", kIdBoxYes}, {"No", kIdBoxNo}, {"Cancel", kIdBoxCancel}};
    case kMbYesNo: return {{"Yes", kIdBoxYes}, {"No", kIdBoxNo}};
    default: return {{"OK", kIdBoxOk}};
  }
}

std::string ButtonSet(uint32_t style) {
  std::string names;
  for (const auto& b : Buttons(style)) names += (names.empty() ? "" : "/") + b.first;
  return names;
}

std::string FlagNames(uint32_t flags) {
  static const std::pair<uint32_t, const char*> kNames[] = {
      {kOfnOverwritePrompt, "OverwritePrompt"}, {kOfnHideReadOnly, "HideReadOnly"},
      {kOfnNoChangeDir, "NoChangeDir"},         {kOfnPathMustExist, "PathMustExist"},
      {kOfnFileMustExist, "FileMustExist"}};
  std::string out;
  for (const auto& [bit, name] : kNames) {
    if (flags & bit) {
      out += (out.empty() ? "" : "|") + std::string(name);
      flags &= ~bit;
    }
  }
  if (flags) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", flags);
    out += (out.empty() ? "" : "|") + std::string(hex);
  }
  return out.empty() ? "0" : out;
}

// Splits a script line into its verb and the rest.
std::pair<std::string, std::string> SplitVerb(const std::string& line) {
  const size_t space = line.find(' ');
  if (space == std::string::npos) return {line, ""};
  size_t rest = line.find_first_not_of(' ', space);
  return {line.substr(0, space), rest == std::string::npos ? "" : line.substr(rest)};
}

// A script argument: "quoted text" with \" \\ \n \t escapes, or the bare rest.
std::optional<std::string> Unquote(const std::string& text) {
  if (text.empty() || text.front() != '"') return text;
  std::string out;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      if (text.find_first_not_of(' ', i + 1) != std::string::npos) return std::nullopt;
      return out;
    }
    if (c == '\\' && i + 1 < text.size()) {
      const char e = text[++i];
      out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
    } else {
      out += c;
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<int> ParseId(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < -1 || v > 65535) return std::nullopt;
  return static_cast<int>(v);
}

std::optional<KeyEvent> ParseKey(const std::string& text) {
  KeyEvent k{Key::Enter};
  std::string rest = text;
  for (;;) {
    const size_t plus = rest.find('+');
    if (plus == std::string::npos) break;
    const std::string mod = rest.substr(0, plus);
    if (mod == "Shift") k.shift = true;
    else if (mod == "Ctrl") k.ctrl = true;
    else if (mod == "Alt") k.alt = true;
    else return std::nullopt;
    rest = rest.substr(plus + 1);
  }
  if (rest == "Enter") k.key = Key::Enter;
  else if (rest == "Escape") k.key = Key::Escape;
  else if (rest == "Tab") k.key = Key::Tab;
  else if (rest == "Space") k.key = Key::Space;
  else if (rest == "F12") k.key = Key::F12;
  else return std::nullopt;
  return k;
}

}  // namespace

ScriptBackend::ScriptBackend(std::string scriptText, std::ostream& transcript, std::string scriptName)
    : transcript_(&transcript), scriptName_(std::move(scriptName)) {
  std::istringstream in(scriptText);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    const size_t last = line.find_last_not_of(" \t");
    lines_.push_back(Line{number, line.substr(first, last - first + 1)});
  }
}

ScriptBackend::~ScriptBackend() = default;

std::unique_ptr<ScriptBackend> ScriptBackend::FromEnvironment(std::string* error) {
  const char* scriptPath = std::getenv("TAXBRIDGE_SCRIPT");
  if (!scriptPath || !*scriptPath) {
    *error = "TAXBRIDGE_SCRIPT names no script";
    return nullptr;
  }
  std::ifstream scriptFile(scriptPath, std::ios::binary);
  std::ostringstream text;
  if (!scriptFile || !(text << scriptFile.rdbuf())) {
    // An empty file reads as nothing at all, which is still a script.
    if (!scriptFile.is_open()) {
      *error = std::string("cannot read the script ") + scriptPath;
      return nullptr;
    }
  }
  std::unique_ptr<std::ostream> owned;
  std::ostream* transcript = &std::cout;
  if (const char* path = std::getenv("TAXBRIDGE_TRANSCRIPT"); path && *path) {
    auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::app);
    if (!*file) {
      *error = std::string("cannot open the transcript ") + path;
      return nullptr;
    }
    transcript = file.get();
    owned = std::move(file);
  }
  auto backend = std::make_unique<ScriptBackend>(text.str(), *transcript, scriptPath);
  backend->ownedTranscript_ = std::move(owned);
  return backend;
}

size_t ScriptBackend::RemainingActions() const { return lines_.size() - next_; }

const ScriptBackend::Line* ScriptBackend::Next() {
  if (next_ >= lines_.size()) return nullptr;
  return &lines_[next_++];
}

void ScriptBackend::Write(const std::string& line) {
  *transcript_ << line << '\n';
  transcript_->flush();
}

void ScriptBackend::Fail(const std::string& message) {
  Write("error " + message);
  std::fprintf(stderr, "%s: script error: %s\n", scriptName_.c_str(), message.c_str());
  std::fflush(nullptr);
  std::exit(kScriptErrorExitStatus);
}

void ScriptBackend::DumpControls(const Dialog& dialog) {
  for (const auto& c : dialog.Controls()) {
    std::string line = "  " + std::to_string(c->id()) + " " + KindName(c->kind());
    if (c->kind() == ControlKind::ProgressBar) {
      line += " pos=" + std::to_string(c->GetPos()) + " range=" + std::to_string(c->RangeMin()) + ".." +
              std::to_string(c->RangeMax()) + " step=" + std::to_string(c->Step());
    } else {
      line += " " + Quote(c->GetText());
    }
    if (!c->IsWindowEnabled()) line += " disabled";
    if (!c->IsWindowVisible()) line += " hidden";
    if (c->GetCheck()) line += " checked";
    if (c->HasFocus()) line += " focus";
    if (c->SelStart() >= 0 && c->SelEnd() > c->SelStart()) {
      line += " sel=" + std::to_string(c->SelStart()) + ".." + std::to_string(c->SelEnd());
    }
    if (c->TextLimit()) line += " limit=" + std::to_string(c->TextLimit());
    if (!c->ToolTip().empty()) line += " tip=" + Quote(c->ToolTip());
    Write(line);
  }
}

void ScriptBackend::DialogShown(const Dialog& dialog) {
  Write("dialog " + dialog.Describe() + " shown " + Quote(dialog.GetText()) +
        (dialog.IsModal() ? " modal" : " modeless") + " owner=" + (dialog.Owner() ? dialog.Owner()->Describe() : "none"));
  DumpControls(dialog);
}

void ScriptBackend::DialogEnded(const Dialog& dialog) {
  Write("dialog " + dialog.Describe() + " ended " + std::to_string(dialog.Result()));
  DumpControls(dialog);
}

void ScriptBackend::CaptionChanged(const Dialog& dialog) {
  Write("caption " + dialog.Describe() + " " + Quote(dialog.GetText()));
}

void ScriptBackend::ToolTipAdded(const Control& control) {
  Write("tooltip " + control.Describe() + " " + Quote(control.ToolTip()));
}

void ScriptBackend::WaitCursorChanged(bool shown) { Write(shown ? "cursor wait" : "cursor normal"); }

void ScriptBackend::CallerEvent(const CallerEventNotice& event) {
  std::string line = "caller ";
  switch (event.kind) {
    case CallerEventNotice::Kind::kEnable: line += event.enable ? "enable 1" : "enable 0"; break;
    case CallerEventNotice::Kind::kForeground: line += "foreground"; break;
    case CallerEventNotice::Kind::kPost:
      line += "post " + std::to_string(event.message) + " " + std::to_string(event.wparam) + " " +
              std::to_string(event.lparam);
      break;
  }
  if (!event.delivered) line += " undelivered";
  Write(line);
}

void ScriptBackend::DeliverInput(Dialog& dialog) {
  const std::string where = "dialog " + dialog.Describe();
  const Line* line = Next();
  if (!line) Fail("the script ran out of actions while " + where + " waits for one");
  const std::string at = "line " + std::to_string(line->number) + ": ";
  auto [verb, rest] = SplitVerb(line->text);
  InputResult result = InputResult::kDone;
  std::string target;
  if (verb == "click") {
    const auto id = ParseId(rest);
    if (!id) Fail(at + "\"click\" needs a control ID, not \"" + rest + "\"");
    target = std::to_string(*id);
    Write("input click " + target);
    result = dialog.Click(*id);
  } else if (verb == "type") {
    const auto [idText, textPart] = SplitVerb(rest);
    const auto id = ParseId(idText);
    const auto text = Unquote(textPart);
    if (!id || !text) Fail(at + "\"type\" needs a control ID and a text, as in: type 1014 \"4\"");
    const auto cp932 = platform::TypedTextToCp932(*text);
    if (!cp932) Fail(at + "the text cannot be written in Shift_JIS");
    target = std::to_string(*id);
    Write("input type " + target + " " + Quote(*cp932));
    result = dialog.TypeText(*id, *cp932);
  } else if (verb == "key") {
    const auto key = ParseKey(rest);
    if (!key) Fail(at + "unknown key \"" + rest + "\" (Enter, Escape, Tab, Space, F12, with Shift+, Ctrl+, Alt+)");
    Write("input key " + rest);
    result = dialog.PressKey(*key);
  } else if (verb == "answer" || verb == "save") {
    Fail(at + "\"" + line->text + "\" answers a box, but " + where + " waits for an action (no box is open)");
  } else {
    Fail(at + "unknown action \"" + verb + "\"");
  }
  switch (result) {
    case InputResult::kDone: break;
    case InputResult::kIgnored: Write("ignored " + target + " (disabled or hidden)"); break;
    case InputResult::kNoSuchControl: Fail(at + where + " has no control " + target);
    case InputResult::kWrongKind: Fail(at + "control " + target + " of " + where + " is not an edit box");
  }
}

int ScriptBackend::ShowMessageBox(const MessageBoxRequest& box) {
  Write("messagebox owner=" + (box.owner ? box.owner->Describe() : std::string("none")) + " caption=" +
        Quote(box.caption) + " icon=" + IconName(box.style) + " buttons=" + ButtonSet(box.style) +
        " text=" + Quote(box.text));
  const Line* line = Next();
  if (!line) Fail("the script ran out of answers while a message box waits for one: " + Quote(box.text));
  const std::string at = "line " + std::to_string(line->number) + ": ";
  auto [verb, rest] = SplitVerb(line->text);
  if (verb != "answer") Fail(at + "\"" + line->text + "\" is not an answer, but a message box waits for one");
  for (const auto& [name, id] : Buttons(box.style)) {
    if (name == rest) {
      Write("answer " + name);
      return id;
    }
  }
  Fail(at + "the message box has no button \"" + rest + "\" (it has " + ButtonSet(box.style) + ")");
}

std::optional<std::string> ScriptBackend::SaveFile(const SaveFileDialogOptions& o) {
  Write("savefile owner=" + (o.owner ? o.owner->Describe() : std::string("none")) + " title=" + Quote(o.title) +
        " ext=" + Quote(o.defaultExtension) + " name=" + Quote(o.initialName) + " folder=" + Quote(o.initialFolder) +
        " filter=" + Quote(o.filter) + " flags=" + FlagNames(o.flags));
  const Line* line = Next();
  if (!line) Fail("the script ran out of answers while the save-file dialog waits for one");
  const std::string at = "line " + std::to_string(line->number) + ": ";
  auto [verb, rest] = SplitVerb(line->text);
  if (verb != "save") Fail(at + "\"" + line->text + "\" is not a save-file answer, but the save-file dialog waits for one");
  if (rest == "cancel") {
    Write("save cancel");
    return std::nullopt;
  }
  const auto path = Unquote(rest);
  if (!path || path->empty() || rest.front() != '"') Fail(at + "\"save\" needs a quoted path or the word cancel");
  const auto cp932 = platform::TypedTextToCp932(*path);
  if (!cp932) Fail(at + "the path cannot be written in Shift_JIS");
  Write("save " + Quote(*cp932));
  return *cp932;
}

}  // namespace platform::ui::script
