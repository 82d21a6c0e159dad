#include "platform/ui/tty/SaveFileView.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/AsciiCase.h"
#include "platform/Encoding.h"
#include "platform/ShiftJis.h"

namespace platform::ui::tty {
namespace {

using K = KeyPress::Kind;
constexpr size_t kMaxPath = 260;

// Windows wildcard match, ASCII case ignored ("*" any run, "?" one byte).
bool Glob(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(name[n]))) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool HasWildcard(std::string_view s) {
  return sjis::FindChar(s, '*') != std::string_view::npos || sjis::FindChar(s, '?') != std::string_view::npos;
}

bool IsFullPath(std::string_view s) {
  return (s.size() >= 2 && s[1] == ':') || (!s.empty() && (s[0] == '\\' || s[0] == '/'));
}

std::string WithSeparator(std::string s) {
  if (!s.empty() && !sjis::EndsWithChar(s, '\\') && !sjis::EndsWithChar(s, '/')) s += '\\';
  return s;
}

std::string CaseKey(const std::string& s) {
  std::string k = s;
  for (char& c : k) c = AsciiUpper(c);
  return k;
}

}  // namespace

SaveFileView::SaveFileView(const SaveFileDialogOptions& options, FileSystem& fs)
    : options_(options), fs_(fs), name_(options.initialName, kMaxPath, false) {
  // "Name|pattern;pattern|Name|pattern||": the first pair is the one in force.
  const std::string& f = options_.filter;
  const size_t bar = f.find('|');
  if (bar != std::string::npos) {
    filterName_ = f.substr(0, bar);
    const size_t end = f.find('|', bar + 1);
    const std::string list = f.substr(bar + 1, end == std::string::npos ? std::string::npos : end - bar - 1);
    for (size_t at = 0; at <= list.size();) {
      const size_t semi = std::min(list.find(';', at), list.size());
      if (semi > at) patterns_.push_back(list.substr(at, semi - at));
      at = semi + 1;
    }
  }
  if (patterns_.empty()) patterns_.push_back("*.*");
  std::string start = options_.initialFolder;
  if (start.empty() || !fs_.PathIsFolder(start)) start = fs_.CurrentFolder().path;
  Open(start);
}

void SaveFileView::Open(std::string folder) {
  folder_ = WithSeparator(std::move(folder));
  selected_ = top_ = 0;
  Refresh();
}

bool SaveFileView::Matches(const std::string& name) const {
  for (const std::string& p : patterns_) {
    if (p == "*.*" || Glob(p, name)) return true;
  }
  return false;
}

void SaveFileView::Refresh() {
  entries_.clear();
  listError_.clear();
  // The parent, unless the folder is a drive's or share's root.
  const std::string_view inner = std::string_view(folder_).substr(0, folder_.size() - 1);
  const size_t up = sjis::FindLastOf(inner, "\\/");
  const bool unc = folder_.rfind("\\\\", 0) == 0;
  if (up != std::string_view::npos && !(unc && sjis::FindChar(inner, '\\', 2) == up)) entries_.push_back({"..", true});

  const HostPath host = fs_.ToHostPath(folder_);
  if (!host.ok()) {
    listError_ = host.error;
    return;
  }
  std::error_code ec;
  std::vector<Entry> folders, files;
  for (std::filesystem::directory_iterator it(host.path, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string utf8 = it->path().filename().string();
    if (utf8.empty() || utf8[0] == '.') continue;
    const std::optional<std::string> name = Utf8ToCp932(utf8);
    if (!name) continue;  // a name Shift_JIS cannot hold could not be chosen
    std::error_code kind;
    if (it->is_directory(kind)) {
      folders.push_back({*name, true});
    } else if (Matches(*name)) {
      files.push_back({*name, false});
    }
  }
  if (ec) listError_ = ec.message();
  auto byName = [](const Entry& a, const Entry& b) { return CaseKey(a.name) < CaseKey(b.name); };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  entries_.insert(entries_.end(), folders.begin(), folders.end());
  entries_.insert(entries_.end(), files.begin(), files.end());
}

std::string SaveFileView::Chosen() const {
  const std::string& n = name_.text();
  if (IsFullPath(n)) {
    if ((n[0] == '\\' || n[0] == '/') && !(n.size() > 1 && (n[1] == '\\' || n[1] == '/')) && folder_.size() >= 2 &&
        folder_[1] == ':') {
      return folder_.substr(0, 2) + n;  // the root of the folder's drive
    }
    return n;
  }
  return folder_ + n;
}

SaveFileView::Check SaveFileView::CheckChoice() const {
  Check c;
  const std::string target = ApplyDefaultExtension(Chosen(), options_.defaultExtension);
  const size_t sep = sjis::FindLastOf(target, "\\/");
  const std::string folder = sep == std::string::npos ? "" : target.substr(0, sep + 1);
  if (fs_.ToHostPath(target).status == PathStatus::kInvalidName) {
    c.problem = target + "\nファイル名が正しくありません。";
    return c;
  }
  if ((options_.flags & kOfnPathMustExist) && !folder.empty() && !fs_.PathIsFolder(folder)) {
    c.problem = target + "\nパスが見つかりません。\nパス名が正しいかどうか確認してください。";
    return c;
  }
  const bool exists = fs_.PathExists(target);
  if ((options_.flags & kOfnFileMustExist) && !exists) {
    c.problem = target + "\nファイルが見つかりません。\nファイル名が正しいかどうか確認してください。";
    return c;
  }
  if ((options_.flags & kOfnOverwritePrompt) && exists) c.question = target + " は既に存在します。\n上書きしますか?";
  return c;
}

SaveFileView::Step SaveFileView::Confirm() {
  const std::string& n = name_.text();
  if (n.empty()) return Step::kRefused;
  if (HasWildcard(n)) {  // a pattern filters the listing
    patterns_ = {n};
    name_ = EditLine("", kMaxPath, false);
    Refresh();
    return Step::kNone;
  }
  const std::string full = Chosen();
  if (fs_.PathIsFolder(full)) {
    Open(full);
    name_ = EditLine("", kMaxPath, false);
    return Step::kNone;
  }
  return Step::kConfirm;
}

SaveFileView::Step SaveFileView::Activate() {
  if (selected_ < 0 || selected_ >= static_cast<int>(entries_.size())) return Step::kRefused;
  const Entry e = entries_[static_cast<size_t>(selected_)];
  if (e.folder) {
    if (e.name == "..") {
      const std::string_view inner = std::string_view(folder_).substr(0, folder_.size() - 1);
      Open(std::string(inner.substr(0, sjis::FindLastOf(inner, "\\/") + 1)));
    } else {
      Open(folder_ + e.name);
    }
    return Step::kNone;
  }
  name_ = EditLine(e.name, kMaxPath, false);
  return Confirm();
}

SaveFileView::Step SaveFileView::Key(const KeyPress& key) {
  const int count = static_cast<int>(entries_.size());
  switch (key.kind) {
    case K::kEscape: return Step::kCancel;
    case K::kTab: focus_ = (focus_ + (key.shift ? 3 : 1)) % 4; return Step::kNone;
    case K::kEnter:
      if (focus_ == 1) return Activate();
      if (focus_ == 3) return Step::kCancel;
      return Confirm();
    case K::kUp:
    case K::kDown:
      if (focus_ != 1 || count == 0) return Step::kNone;
      selected_ = std::clamp(selected_ + (key.kind == K::kUp ? -1 : 1), 0, count - 1);
      return Step::kNone;
    case K::kSpace:
      if (focus_ == 2) return Confirm();
      if (focus_ == 3) return Step::kCancel;
      if (focus_ == 1) {
        if (selected_ < count && !entries_[static_cast<size_t>(selected_)].folder) {
          name_ = EditLine(entries_[static_cast<size_t>(selected_)].name, kMaxPath, false);
        }
        return Step::kNone;
      }
      break;
    default: break;
  }
  if (focus_ != 0) return Step::kNone;
  bool ok = true;
  switch (key.kind) {
    case K::kChar:
    case K::kSpace: {
      const std::optional<std::string> cp932 = TypedTextToCp932(key.text);
      if (!cp932) return Step::kUnwritable;
      ok = name_.Type(*cp932);
      break;
    }
    case K::kBackspace: ok = name_.Backspace(); break;
    case K::kDelete: ok = name_.Delete(); break;
    case K::kHome: name_.Home(); break;
    case K::kEnd: name_.End(); break;
    case K::kLeft: name_.Left(); break;
    case K::kRight: name_.Right(); break;
    case K::kSelectAll: name_.SelectAll(); break;
    default: break;
  }
  return ok ? Step::kNone : Step::kRefused;
}

void SaveFileView::Paint(Canvas& canvas, int* cursorRow, int* cursorCol) {
  const int cols = std::min(canvas.cols(), 76), rows = std::min(canvas.rows(), 20);
  if (cols < 20 || rows < 9) return;
  const Rect r{(canvas.rows() - rows) / 2, (canvas.cols() - cols) / 2, rows, cols};
  const uint32_t face = kColorWindow;
  canvas.Fill(r, face);
  canvas.Frame(r, face, ToGlyphs(options_.title), kColorCaption | kReverse | kBold);
  const int left = r.col + 2, width = cols - 4;

  // The folder, its end kept in view when it is long.
  GlyphRun label = ToGlyphs("保存する場所: ");
  GlyphRun where = ToGlyphs(folder_);
  const int room = width - Width(label);
  while (Width(where) > room && !where.empty()) where.erase(where.begin());
  canvas.Text(r.row + 1, canvas.Text(r.row + 1, left, label, face), where, face | kBold, left, left + width);

  // The listing.
  const Rect list{r.row + 2, left, rows - 7, width};
  canvas.Frame(list, face);
  const int shown = list.rows - 2;
  const int count = static_cast<int>(entries_.size());
  selected_ = std::clamp(selected_, 0, std::max(0, count - 1));
  if (selected_ < top_) top_ = selected_;
  if (selected_ >= top_ + shown) top_ = selected_ - shown + 1;
  if (!listError_.empty()) canvas.Text(list.row + 1, list.col + 2, Utf8Glyphs(listError_), face, list.col + 1, list.right() - 1);
  for (int i = 0; i < shown && top_ + i < count; ++i) {
    const Entry& e = entries_[static_cast<size_t>(top_ + i)];
    const bool sel = top_ + i == selected_;
    const uint32_t attr = face | (sel && focus_ == 1 ? kReverse : 0);
    GlyphRun text = ToGlyphs((sel && focus_ == 1 ? "> " : "  ") + e.name + (e.folder ? "\\" : ""));
    canvas.Text(list.row + 1 + i, list.col + 1, text, attr, list.col + 1, list.right() - 1);
    if (sel && focus_ == 1) *cursorRow = list.row + 1 + i, *cursorCol = list.col + 1;
  }

  // The name field, the type and the buttons.
  const int nameRow = r.bottom() - 5;
  const int fieldCol = canvas.Text(nameRow, left, ToGlyphs("ファイル名: "), face);
  const int fieldWidth = left + width - fieldCol - 2;
  const size_t from = name_.ScrollFor(static_cast<size_t>(std::max(fieldWidth, 1)));
  const uint32_t fieldAttr = face | (focus_ == 0 ? kUnderline : 0);
  canvas.Text(nameRow, fieldCol, ToGlyphs("["), face);
  canvas.Fill(Rect{nameRow, fieldCol + 1, 1, fieldWidth}, fieldAttr);
  canvas.Text(nameRow, fieldCol + 1, ToGlyphs(std::string_view(name_.text()).substr(from)), fieldAttr, fieldCol + 1,
              fieldCol + 1 + fieldWidth);
  auto column = [&](size_t at) {
    return Width(ToGlyphs(std::string_view(name_.text()).substr(from, std::max(at, from) - from)));
  };
  if (focus_ == 0 && name_.HasSelection()) {
    const int s = column(name_.selStart());
    const int e = column(name_.selEnd());
    canvas.AddAttr(Rect{nameRow, fieldCol + 1 + s, 1, std::min(e, fieldWidth) - s}, kReverse);
  }
  canvas.Text(nameRow, fieldCol + 1 + fieldWidth, ToGlyphs("]"), face);
  if (focus_ == 0) *cursorRow = nameRow, *cursorCol = fieldCol + 1 + column(name_.caret());
  canvas.Text(nameRow + 1, left, ToGlyphs("ファイルの種類: " + filterName_), face, left, left + width);

  const int buttonRow = r.bottom() - 2;
  int col = r.right() - 2 - 32;
  const char* labels[] = {"保存", "キャンセル"};
  for (int b = 0; b < 2; ++b) {
    const bool focused = focus_ == 2 + b;
    const uint32_t attr = face | (focused ? kReverse : 0);
    canvas.Fill(Rect{buttonRow, col, 1, 14}, attr);
    canvas.Text(buttonRow, col, ToGlyphs(focused ? "[>" : "["), attr);
    const GlyphRun t = ToGlyphs(labels[b]);
    canvas.Text(buttonRow, col + (14 - Width(t)) / 2, t, attr);
    canvas.Text(buttonRow, col + (focused ? 12 : 13), ToGlyphs(focused ? "<]" : "]"), attr);
    if (focused) *cursorRow = buttonRow, *cursorCol = col + 1;
    col += 16;
  }
}

}  // namespace platform::ui::tty
