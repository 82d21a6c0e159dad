#include "platform/ui/tty/Canvas.h"

#include <algorithm>

namespace platform::ui::tty {

Canvas::Canvas(int rows, int cols)
    : rows_(std::max(rows, 0)), cols_(std::max(cols, 0)), cells_(static_cast<size_t>(rows_) * cols_) {}

// Writing over either half of a double-width glyph blanks its other half, so
// that no half glyph is ever left on the screen.
void Canvas::Put(int row, int col, const Cell& cell) {
  if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
  Cell& here = mut(row, col);
  if (here.width == 0 && col > 0) mut(row, col - 1) = Cell{" ", 1, mut(row, col - 1).attr, Line::kNone};
  if (here.width == 2 && col + 1 < cols_) mut(row, col + 1) = Cell{" ", 1, mut(row, col + 1).attr, Line::kNone};
  here = cell;
  if (cell.width == 2 && col + 1 < cols_) {
    Cell& next = mut(row, col + 1);
    if (next.width == 2 && col + 2 < cols_) mut(row, col + 2) = Cell{" ", 1, next.attr, Line::kNone};
    next = Cell{"", 0, cell.attr, Line::kNone};
  }
}

int Canvas::Text(int row, int col, const GlyphRun& run, uint32_t attr, int clipLeft, int clipRight) {
  const int left = std::max(clipLeft, 0);
  const int right = std::min(clipRight, cols_);
  int c = col;
  for (const Glyph& g : run) {
    if (g.width <= 0) continue;
    const uint32_t a = attr | (g.mnemonic ? kUnderline : 0u);
    if (c >= left && c + g.width <= right) {
      Put(row, c, Cell{g.utf8, g.width, a, Line::kNone});
    } else {
      for (int k = 0; k < g.width; ++k) {  // partly visible: blanks where it would be
        if (c + k >= left && c + k < right) Put(row, c + k, Cell{" ", 1, a, Line::kNone});
      }
    }
    c += g.width;
  }
  return c;
}

void Canvas::Fill(const Rect& r, uint32_t attr) {
  for (int row = r.row; row < r.bottom(); ++row) {
    for (int col = r.col; col < r.right(); ++col) Put(row, col, Cell{" ", 1, attr, Line::kNone});
  }
}

void Canvas::Frame(const Rect& r, uint32_t attr, const GlyphRun& title, uint32_t titleAttr) {
  if (r.rows < 2 || r.cols < 2) return;
  auto line = [&](int row, int col, Line kind) { Put(row, col, Cell{" ", 1, attr, kind}); };
  for (int col = r.col + 1; col < r.right() - 1; ++col) {
    line(r.row, col, Line::kHorizontal);
    line(r.bottom() - 1, col, Line::kHorizontal);
  }
  for (int row = r.row + 1; row < r.bottom() - 1; ++row) {
    line(row, r.col, Line::kVertical);
    line(row, r.right() - 1, Line::kVertical);
  }
  line(r.row, r.col, Line::kTopLeft);
  line(r.row, r.right() - 1, Line::kTopRight);
  line(r.bottom() - 1, r.col, Line::kBottomLeft);
  line(r.bottom() - 1, r.right() - 1, Line::kBottomRight);
  if (!title.empty()) {
    const int room = r.cols - 4;
    if (room > 0) {
      GlyphRun t = FitTo(title, room - 2);
      GlyphRun padded;
      padded.push_back(Glyph{" ", 1, false});
      padded.insert(padded.end(), t.begin(), t.end());
      padded.push_back(Glyph{" ", 1, false});
      Text(r.row, r.col + 2, padded, titleAttr, r.col + 1, r.right() - 1);
    }
  }
}

void Canvas::AddAttr(const Rect& r, uint32_t attr) {
  for (int row = std::max(r.row, 0); row < std::min(r.bottom(), rows_); ++row) {
    for (int col = std::max(r.col, 0); col < std::min(r.right(), cols_); ++col) mut(row, col).attr |= attr;
  }
}

std::vector<std::string> Canvas::Lines() const {
  std::vector<std::string> out;
  for (int row = 0; row < rows_; ++row) {
    std::string s;
    for (int col = 0; col < cols_; ++col) {
      const Cell& c = at(row, col);
      switch (c.line) {
        case Line::kNone: s += c.glyph; break;
        case Line::kHorizontal: s += "-"; break;
        case Line::kVertical: s += "|"; break;
        default: s += "+"; break;
      }
    }
    out.push_back(std::move(s));
  }
  return out;
}

}  // namespace platform::ui::tty
