#include "platform/ui/tty/TtyBackend.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/Encoding.h"
#include "platform/ui/tty/DialogInput.h"
#include "platform/ui/tty/SaveFileView.h"

namespace platform::ui::tty {
namespace {

using K = KeyPress::Kind;
constexpr long long kPaintIntervalMs = 33;  // about thirty repaints a second
constexpr int kRequestsPerClockReading = 16;

// Milliseconds of the coarse monotonic clock (<chrono> does not build with
// the Shift_JIS execution character set). The repaint throttle asks the time
// at every step the system reports, millions of times in a large run: the
// coarse clock answers in a few nanoseconds where the precise one can take
// a hundred, which made the steps alone cost a sixth of a run's time.
long long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
  return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The shortest time between throttled paints as measured on that clock: the
// interval plus its resolution (a few milliseconds), so that two paints are
// never less than kPaintIntervalMs apart in real time.
long long PaintIntervalOnClock() {
  static const long long interval = [] {
    timespec res{};
    clock_getres(CLOCK_MONOTONIC_COARSE, &res);
    return kPaintIntervalMs + static_cast<long long>(res.tv_sec) * 1000 + (res.tv_nsec + 999999) / 1000000;
  }();
  return interval;
}

GlyphRun Ascii(const char* s) { return Utf8Glyphs(s); }

struct BoxButton {
  const char* label;  // Shift_JIS, with its mnemonic
  int id;
  char key;           // the letter that presses it, or 0
};

std::vector<BoxButton> BoxButtons(uint32_t style) {
  const BoxButton ok{"OK", kIdBoxOk, 0}, cancel{"キャンセル", kIdBoxCancel, 0};
  const BoxButton yes{"はい(&Y)", kIdBoxYes, 'Y'}, no{"いいえ(&N)", kIdBoxNo, 'N'};
  switch (style & 0xFu) {
    case kMbOkCancel: return {ok, cancel};
    case kMbYesNoCancel: return {yes, no, cancel};
    case kMbYesNo: return {yes, no};
    default: return {ok};
  }
}

const char* IconMark(uint32_t style) {
  switch (style & 0xF0u) {
    case kMbIconError: return "(x)";
    case kMbIconQuestion: return "(?)";
    case kMbIconExclamation: return "(!)";
    case kMbIconInformation: return "(i)";
    default: return "";
  }
}

int ButtonWidth(const BoxButton& b) { return Width(ToGlyphs(b.label, true)) + 6; }

void PaintBoxButton(Canvas& canvas, int row, int col, const BoxButton& b, bool focused) {
  const GlyphRun text = ToGlyphs(b.label, true);
  const int w = Width(text) + 6;
  const uint32_t attr = kColorWindow | (focused ? kReverse : 0);
  canvas.Fill(Rect{row, col, 1, w}, attr);
  canvas.Text(row, col, Ascii(focused ? "[>" : "["), attr);
  canvas.Text(row, col + 3, text, attr);
  canvas.Text(row, col + w - (focused ? 2 : 1), Ascii(focused ? "<]" : "]"), attr);
}

}  // namespace

std::unique_ptr<TtyBackend> TtyBackend::Open(std::string* error) {
  std::unique_ptr<Terminal> t = Terminal::Open(error);
  if (!t) return nullptr;
  return std::unique_ptr<TtyBackend>(new TtyBackend(std::move(t)));
}

TtyBackend::TtyBackend(std::unique_ptr<Terminal> terminal) : term_(std::move(terminal)) { Paint(); }

TtyBackend::~TtyBackend() { term_->Close(); }

// ---------------------------------------------------------------- painting

void TtyBackend::Paint() {
  Canvas canvas(term_->rows(), term_->cols());
  Cursor cursor;
  top_ = PaintedDialog{};
  const Dialog* topDialog = nullptr;
  for (const Dialog* d : windows_) {
    if (!d->IsWindowVisible()) continue;
    const Rect size = DialogWindow(*d);
    int keepRow = -1, keepCol = -1;
    FocusCell(*d, &keepRow, &keepCol);
    const Origin at = PlaceWindow(size.rows, size.cols, canvas.rows(), canvas.cols(), keepRow, keepCol);
    top_ = PaintDialog(canvas, *d, edits_, at);
    topDialog = d;
    cursor = Cursor{top_.cursorRow, top_.cursorCol};
  }
  if (topDialog && ShownTip(*topDialog)) PaintToolTip(canvas, *topDialog, top_);
  for (const Overlay& o : overlays_) {
    cursor = Cursor{};
    o(canvas, cursor);
  }
  if (!note_.empty() && canvas.rows() > 0) {
    const int row = canvas.rows() - 1;
    canvas.Text(row, std::max(0, (canvas.cols() - Width(note_)) / 2), note_, kColorAlert | kReverse | kBold);
  }
  if (busy_) {
    static const char* const kSpin[] = {"|", "/", "-", "\\"};
    const GlyphRun mark = ToGlyphs(std::string("[ 処理中 ") + kSpin[busyFrame_++ % 4] + " ]");
    canvas.Text(0, std::max(0, canvas.cols() - Width(mark)), mark, kColorBusy | kReverse | kBold);
  }
  term_->Show(canvas, cursor.row, cursor.col);
  lastPaintMs_ = NowMs();
  ++paints_;
}

void TtyBackend::PaintThrottled() {
  // The system asks at every step, and the steps come a few hundred
  // nanoseconds apart in a large run: the clock is read at every sixteenth
  // request only, which delays a due paint by fifteen steps at most.
  if (++requestsSinceClock_ < kRequestsPerClockReading) return;
  requestsSinceClock_ = 0;
  if (NowMs() - lastPaintMs_ < PaintIntervalOnClock()) return;
  term_->Poll();  // a size change is picked up by the paint itself
  Paint();
}

const Control* TtyBackend::ShownTip(const Dialog& dialog) const {
  const Control* focus = dialog.GetFocus();
  const Control* first = nullptr;
  for (const Control* c : tips_) {
    if (&c->parent() != &dialog || !c->IsWindowVisible() || c->ToolTip().empty()) continue;
    if (c == focus) return c;
    if (!first) first = c;
  }
  return tipByKey_ ? first : nullptr;
}

void TtyBackend::PaintToolTip(Canvas& canvas, const Dialog& dialog, const PaintedDialog& painted) {
  const Control* tip = ShownTip(dialog);
  Rect anchor{painted.window.row + 1, painted.window.col + 1, 1, 1};
  for (const auto& hit : painted.hits) {
    if (hit.id == tip->id()) anchor = hit.cells;
  }
  // The tip stands inside the dialog's frame, below its caption line: it
  // never covers the caption or draws its corners over the dialog's own.
  const Rect& window = painted.window;
  const int left = window.col + 2, right = window.right() - 2;  // a blank cell inside each side
  const int top = window.row + 1, bottom = window.bottom() - 1;
  const int maxWidth = std::max(10, right - left - 4);
  const std::vector<GlyphRun> lines = WrapLines(ToGlyphs(tip->ToolTip()), maxWidth);
  int width = 0;
  for (const GlyphRun& l : lines) width = std::max(width, Width(l));
  const int rows = static_cast<int>(lines.size()) + 2, cols = width + 4;
  int row = anchor.bottom();
  if (row + rows > bottom) row = anchor.row - rows;
  row = std::clamp(row, top, std::max(top, bottom - rows));
  const int col = std::clamp(anchor.col - cols / 2, left, std::max(left, right - cols));
  const Rect box{row, col, rows, cols};
  canvas.Fill(box, kColorWindow);
  canvas.Frame(box, kColorWindow);
  for (size_t i = 0; i < lines.size(); ++i) canvas.Text(row + 1 + static_cast<int>(i), col + 2, lines[i], kColorWindow);
}

// ------------------------------------------------------------------ notices

void TtyBackend::DialogShown(const Dialog& dialog) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), &dialog), windows_.end());
  windows_.push_back(&dialog);
  Paint();
}

void TtyBackend::DialogEnded(const Dialog& dialog) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), &dialog), windows_.end());
  tips_.erase(std::remove_if(tips_.begin(), tips_.end(), [&](const Control* c) { return &c->parent() == &dialog; }),
              tips_.end());
  for (const auto& c : dialog.Controls()) edits_.erase(c.get());
  tipByKey_ = false;
  Paint();
}

void TtyBackend::CaptionChanged(const Dialog&) { PaintThrottled(); }
void TtyBackend::WindowUpdated(const Dialog&) { PaintThrottled(); }

void TtyBackend::ToolTipAdded(const Control& control) {
  if (std::find(tips_.begin(), tips_.end(), &control) == tips_.end()) tips_.push_back(&control);
}

void TtyBackend::WaitCursorChanged(bool shown) {
  busy_ = shown;
  Paint();
}

// -------------------------------------------------------------------- input

KeyPress TtyBackend::NextKey() {
  int failures = 0;
  for (;;) {
    std::optional<KeyPress> k = term_->ReadKey(busy_ ? 200 : -1);
    if (!k) {
      if (busy_) {
        Paint();  // keeps the busy mark turning
      } else if (++failures > 100) {
        // A wait without a time limit came back empty again and again: the
        // terminal is gone, and no answer can ever come.
        term_->Close();
        std::fprintf(stderr, "taxbridge: the terminal no longer gives input; the run stops unanswered.\n");
        std::exit(2);
      }
      continue;
    }
    failures = 0;
    if (k->kind == K::kResize) {
      Paint();
      continue;
    }
    if (k->kind != K::kNone) {
      note_.clear();
      return *k;
    }
  }
}

void TtyBackend::RefuseUnwritable(const KeyPress& key) {
  term_->Beep();
  // The character's own glyph, and its code point for one that shows nothing.
  uint32_t cp = key.text.empty() ? 0 : static_cast<unsigned char>(key.text[0]);
  const int more = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
  if (more) cp &= 0x3Fu >> more;
  for (int k = 1; k <= more && k < static_cast<int>(key.text.size()); ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(key.text[k]) & 0x3Fu);
  }
  char code[16];
  std::snprintf(code, sizeof code, "(U+%04X)", cp);
  note_ = ToGlyphs(" 「");
  for (const Glyph& g : Utf8Glyphs(key.text)) note_.push_back(g);
  for (const Glyph& g : ToGlyphs(std::string("」") + code + " は Shift_JIS にない文字のため入力できません ")) {
    note_.push_back(g);
  }
}

void TtyBackend::DeliverInput(Dialog& dialog) {
  for (;;) {
    Paint();
    const KeyPress key = NextKey();
    if (HandleKey(dialog, key)) return;
  }
}

// Hands one key to the modal dialog; true when that was an action on it.
bool TtyBackend::HandleKey(Dialog& dialog, const KeyPress& key) {
  if (key.kind == K::kF1) {
    tipByKey_ = !tipByKey_;
    return false;
  }
  tipByKey_ = false;
  if (key.kind == K::kMouse) {
    int row = -1, col = -1;
    if (!term_->LastClick(&row, &col)) return false;
    for (const auto& hit : top_.hits) {
      if (!hit.cells.Contains(row, col)) continue;
      const Control* c = dialog.FindItem(hit.id);
      if (c && c->kind() == ControlKind::Bitmap) {  // the help mark: its tip
        tipByKey_ = !c->ToolTip().empty();
        return false;
      }
      return dialog.Click(hit.id) == InputResult::kDone;
    }
    return false;
  }
  switch (HandleDialogKey(dialog, edits_, key)) {
    case KeyOutcome::kAction: return true;
    case KeyOutcome::kShown: return false;
    case KeyOutcome::kRefused: term_->Beep(); return false;
    case KeyOutcome::kUnwritable: RefuseUnwritable(key); return false;
  }
  return false;
}

// -------------------------------------------------------------- message box

int TtyBackend::ShowMessageBox(const MessageBoxRequest& box) {
  const std::vector<BoxButton> buttons = BoxButtons(box.style);
  size_t focused = std::min<size_t>((box.style >> 8) & 0xFu, buttons.size() - 1);
  std::vector<Rect> buttonCells(buttons.size());
  overlays_.push_back([&](Canvas& canvas, Cursor& cursor) {
    const char* icon = IconMark(box.style);
    const int iconWidth = *icon ? 4 : 0;
    const int maxText = std::max(10, std::min(70, canvas.cols() - 8) - iconWidth);
    const std::vector<GlyphRun> lines = WrapLines(ToGlyphs(box.text), maxText);
    int textWidth = 0;
    for (const GlyphRun& l : lines) textWidth = std::max(textWidth, Width(l));
    int buttonsWidth = -2;
    for (const BoxButton& b : buttons) buttonsWidth += ButtonWidth(b) + 2;
    const GlyphRun caption = ToGlyphs(box.caption);
    const int inner = std::max({iconWidth + textWidth, buttonsWidth, Width(caption) + 4});
    const int cols = inner + 6, rows = static_cast<int>(lines.size()) + 6;
    const Origin at = PlaceWindow(rows, cols, canvas.rows(), canvas.cols());
    const Rect r{at.row, at.col, rows, cols};
    canvas.Fill(r, kColorWindow);
    canvas.Frame(r, kColorWindow, caption, kColorCaption | kReverse | kBold);
    if (*icon) canvas.Text(r.row + 2, r.col + 3, Ascii(icon), kColorAlert | kBold);
    for (size_t i = 0; i < lines.size(); ++i) {
      canvas.Text(r.row + 2 + static_cast<int>(i), r.col + 3 + iconWidth, lines[i], kColorWindow, r.col + 1,
                  r.right() - 1);
    }
    int col = r.col + (cols - buttonsWidth) / 2;
    for (size_t i = 0; i < buttons.size(); ++i) {
      PaintBoxButton(canvas, r.bottom() - 2, col, buttons[i], i == focused);
      buttonCells[i] = Rect{r.bottom() - 2, col, 1, ButtonWidth(buttons[i])};
      if (i == focused) cursor = Cursor{r.bottom() - 2, col + 1};
      col += ButtonWidth(buttons[i]) + 2;
    }
  });
  int pressed = 0;
  while (!pressed) {
    Paint();
    const KeyPress key = NextKey();
    switch (key.kind) {
      case K::kTab:
        focused = (focused + (key.shift ? buttons.size() - 1 : 1)) % buttons.size();
        break;
      case K::kLeft:
      case K::kUp: focused = (focused + buttons.size() - 1) % buttons.size(); break;
      case K::kRight:
      case K::kDown: focused = (focused + 1) % buttons.size(); break;
      case K::kEnter:
      case K::kSpace: pressed = buttons[focused].id; break;
      case K::kEscape:
        // Escape answers Cancel where there is one, and OK on a box with OK alone.
        for (const BoxButton& b : buttons) {
          if (b.id == kIdBoxCancel || (buttons.size() == 1 && b.id == kIdBoxOk)) pressed = b.id;
        }
        if (!pressed) term_->Beep();
        break;
      case K::kChar: {
        const char c = key.text.size() == 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(key.text[0]))) : 0;
        for (const BoxButton& b : buttons) {
          if (c && b.key == c) pressed = b.id;
        }
        if (!pressed) term_->Beep();
        break;
      }
      case K::kMouse: {
        int row = -1, col = -1;
        if (!term_->LastClick(&row, &col)) break;
        for (size_t i = 0; i < buttons.size(); ++i) {
          if (buttonCells[i].Contains(row, col)) pressed = buttons[i].id;
        }
        break;
      }
      default: break;
    }
  }
  overlays_.pop_back();
  Paint();
  return pressed;
}

// --------------------------------------------------------- save-file dialog

std::optional<std::string> TtyBackend::SaveFile(const SaveFileDialogOptions& options) {
  SaveFileView view(options);
  overlays_.push_back([&](Canvas& canvas, Cursor& cursor) {
    view.Paint(canvas, &cursor.row, &cursor.col);
  });
  std::optional<std::string> result;
  for (;;) {
    Paint();
    const KeyPress key = NextKey();
    const SaveFileView::Step step = view.Key(key);
    if (step == SaveFileView::Step::kCancel) break;
    if (step == SaveFileView::Step::kRefused) term_->Beep();
    if (step == SaveFileView::Step::kUnwritable) RefuseUnwritable(key);
    if (step != SaveFileView::Step::kConfirm) continue;
    // The flags: the folder and, when asked, the file must exist; an
    // existing file is overwritten only after a Yes.
    const SaveFileView::Check check = view.CheckChoice();
    if (!check.problem.empty()) {
      ShowMessageBox(MessageBoxRequest{options.owner, check.problem, options.title, kMbOk | kMbIconExclamation});
      continue;
    }
    if (!check.question.empty() &&
        ShowMessageBox(MessageBoxRequest{options.owner, check.question, options.title, kMbYesNo | kMbIconExclamation}) !=
            kIdBoxYes) {
      continue;
    }
    result = view.Chosen();
    break;
  }
  overlays_.pop_back();
  Paint();
  return result;
}

}  // namespace platform::ui::tty
