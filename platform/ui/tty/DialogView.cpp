#include "platform/ui/tty/DialogView.h"

#include <algorithm>

namespace platform::ui::tty {
namespace {

constexpr uint32_t kStaticAlignMask = 0x3u;

GlyphRun Ascii(const char* s) {
  GlyphRun run;
  for (; *s; ++s) run.push_back(Glyph{std::string(1, *s), 1, false});
  return run;
}

// Cells of control `i` of the dialog's template, on the canvas.
Rect ControlRect(const Dialog& dialog, size_t i, const Rect& client) {
  Rect r = ControlCells(dialog.Template()->controls[i]);
  r.row += client.row;
  r.col += client.col;
  return r;
}

void PaintText(Canvas& canvas, const Rect& r, const Control& c, uint32_t attr) {
  const GlyphRun run = ToGlyphs(c.GetText(), true);
  const std::vector<GlyphRun> lines = WrapLines(run, std::max(r.cols, 1));
  for (int k = 0; k < r.rows && k < static_cast<int>(lines.size()); ++k) {
    const int w = Width(lines[k]);
    int col = r.col;
    switch (c.style() & kStaticAlignMask) {
      case kSsCenter: col += std::max(0, (r.cols - w) / 2); break;
      case kSsRight: col += std::max(0, r.cols - w); break;
      default: break;
    }
    canvas.Text(r.row + k, col, lines[k], attr, r.col, r.right());
  }
}

// "[ text ]"; focused, the text stands between ">" and "<" (over the
// brackets when the button has no room to spare).
void PaintButton(Canvas& canvas, const Rect& r, const Control& c, uint32_t attr, bool focused, bool enabled) {
  const int inner = std::max(0, r.cols - 2);
  const GlyphRun text = FitTo(ToGlyphs(c.GetText(), true), inner);
  canvas.Fill(Rect{r.row, r.col, 1, r.cols}, attr);
  const int start = r.col + 1 + (inner - Width(text)) / 2;
  const int end = canvas.Text(r.row, start, text, attr, r.col, r.right());
  if (!enabled) return;
  canvas.Text(r.row, r.col, Ascii("["), attr, r.col, r.right());
  canvas.Text(r.row, r.right() - 1, Ascii("]"), attr, r.col, r.right());
  // The focus marks go in the blank cells beside the text. Where the text
  // leaves none on a side (キャンセル(Esc) fills its button) they are left
  // out rather than drawn over a bracket; the reversed face still shows the
  // focus.
  if (focused && start - 1 > r.col && end < r.right() - 1) {
    canvas.Text(r.row, start - 1, Ascii(">"), attr, r.col, r.right());
    canvas.Text(r.row, end, Ascii("<"), attr, r.col, r.right());
  }
}

void PaintEdit(Canvas& canvas, const Rect& r, const Control& c, EditLine& line, uint32_t attr, bool focused,
               bool enabled, int* cursorRow, int* cursorCol) {
  canvas.Fill(Rect{r.row, r.col, 1, r.cols}, attr);
  if (enabled) {
    canvas.Text(r.row, r.col, Ascii("["), attr, r.col, r.right());
    canvas.Text(r.row, r.right() - 1, Ascii("]"), attr, r.col, r.right());
  }
  const int room = std::max(0, r.cols - 2);
  const std::string& text = line.text();
  // Columns count bytes: a double-byte character is two bytes and two columns.
  const size_t from = focused ? line.ScrollFor(static_cast<size_t>(room)) : 0;
  const int textCol = r.col + 1;
  const uint32_t fieldAttr = attr | (focused ? kUnderline : 0);
  canvas.Fill(Rect{r.row, textCol, 1, room}, fieldAttr);
  canvas.Text(r.row, textCol, ToGlyphs(std::string_view(text).substr(from)), fieldAttr, textCol, textCol + room);
  // Columns of the text from the first byte shown up to a byte offset (a
  // character the terminal draws narrow counts one column, whatever its bytes).
  auto column = [&](size_t at) {
    return Width(ToGlyphs(std::string_view(text).substr(from, std::max(at, from) - from)));
  };
  if (focused && line.HasSelection()) {
    const int s = column(line.selStart());
    const int e = column(line.selEnd());
    canvas.AddAttr(Rect{r.row, textCol + s, 1, std::min(e, room) - s}, kReverse);
  }
  if (focused) {
    *cursorRow = r.row;
    *cursorCol = std::min(textCol + column(line.caret()), textCol + std::max(room - 1, 0));
  }
  (void)c;
}

void PaintBar(Canvas& canvas, const Rect& r, const Control& c) {
  const int span = c.RangeMax() - c.RangeMin();
  const int pos = std::clamp(c.GetPos() - c.RangeMin(), 0, std::max(span, 0));
  const int inner = std::max(0, r.cols - 2);
  const int filled = span > 0 ? static_cast<int>(static_cast<long long>(inner) * pos / span) : 0;
  const bool segmented = (c.style() & kPbsSmooth) == 0;
  for (int row = r.row; row < r.bottom(); ++row) {
    canvas.Text(row, r.col, Ascii("["), kColorWindow, r.col, r.right());
    for (int k = 0; k < inner; ++k) {
      const bool on = k < filled && !(segmented && k % 3 == 2);
      canvas.Text(row, r.col + 1 + k, Ascii(on ? "#" : "."), on ? (kColorBusy | kBold) : kColorWindow, r.col,
                  r.right());
    }
    canvas.Text(row, r.right() - 1, Ascii("]"), kColorWindow, r.col, r.right());
  }
}

}  // namespace

EditLine& EditLineOf(EditLines& edits, const Control& edit) {
  auto it = edits.find(&edit);
  if (it == edits.end()) {
    it = edits.emplace(&edit, EditLine(edit.GetText(), edit.TextLimit(), (edit.style() & kEsNumber) != 0)).first;
  }
  it->second.Sync(edit.GetText(), edit.SelStart(), edit.SelEnd());
  return it->second;
}

Rect DialogWindow(const Dialog& dialog) {
  return dialog.Template() ? WindowCells(*dialog.Template()) : Rect{0, 0, 3, 20};
}

void FocusCell(const Dialog& dialog, int* row, int* col) {
  *row = *col = -1;
  const Control* focus = dialog.GetFocus();
  if (!focus || !dialog.Template()) return;
  const auto& controls = dialog.Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].get() != focus) continue;
    const Rect r = ControlCells(dialog.Template()->controls[i]);
    *row = r.row + 1;
    *col = r.right();  // the whole control, up to its right edge, in view
  }
}

PaintedDialog PaintDialog(Canvas& canvas, const Dialog& dialog, EditLines& edits, Origin origin) {
  PaintedDialog out;
  const Rect size = DialogWindow(dialog);
  out.window = Rect{origin.row, origin.col, size.rows, size.cols};
  canvas.Fill(out.window, kColorWindow);
  canvas.Frame(out.window, kColorWindow, ToGlyphs(dialog.GetText()), kColorCaption | kReverse | kBold);
  if (!dialog.Template()) return out;
  const Rect client{out.window.row + 1, out.window.col + 1, out.window.rows - 2, out.window.cols - 2};
  const auto& controls = dialog.Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = *controls[i];
    if (!c.IsWindowVisible()) continue;
    const Rect r = ControlRect(dialog, i, client);
    const bool enabled = c.IsWindowEnabled();
    const bool focused = c.HasFocus();
    const uint32_t attr = kColorWindow | (enabled ? 0 : kDim);
    const uint32_t face = attr | (focused ? kReverse : 0);
    switch (c.kind()) {
      case ControlKind::Static:
        PaintText(canvas, r, c, attr);
        break;
      case ControlKind::GroupBox:
        canvas.Frame(r, attr, ToGlyphs(c.GetText(), true), attr);
        break;
      case ControlKind::RadioButton:
      case ControlKind::CheckBox: {
        const bool radio = c.kind() == ControlKind::RadioButton;
        const char* mark = radio ? (c.GetCheck() ? "(*)" : "( )") : (c.GetCheck() ? "[x]" : "[ ]");
        canvas.Fill(Rect{r.row, r.col, 1, r.cols}, attr);
        const int after = canvas.Text(r.row, r.col, Ascii(mark), attr, r.col, r.right());
        canvas.Text(r.row, after + 1, FitTo(ToGlyphs(c.GetText(), true), r.right() - after - 1), face, r.col,
                    r.right());
        if (focused) out.cursorRow = r.row, out.cursorCol = r.col + 1;
        out.hits.push_back({r, c.id()});
        break;
      }
      case ControlKind::PushButton:
        PaintButton(canvas, r, c, face, focused, enabled);
        if (focused) out.cursorRow = r.row, out.cursorCol = r.col + 1;
        out.hits.push_back({r, c.id()});
        break;
      case ControlKind::Edit:
        PaintEdit(canvas, r, c, EditLineOf(edits, c), attr, focused, enabled, &out.cursorRow, &out.cursorCol);
        out.hits.push_back({r, c.id()});
        break;
      case ControlKind::Bitmap:
        canvas.Text(r.row, r.col, Ascii("(?)"), face | kBold, r.col, r.right());
        out.hits.push_back({r, c.id()});
        break;
      case ControlKind::ProgressBar:
        PaintBar(canvas, r, c);
        break;
    }
  }
  return out;
}

}  // namespace platform::ui::tty
