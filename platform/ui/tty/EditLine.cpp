#include "platform/ui/tty/EditLine.h"

#include <algorithm>

#include "platform/ShiftJis.h"

namespace platform::ui::tty {

EditLine::EditLine(std::string text, size_t limit, bool numeric)
    : text_(std::move(text)), limit_(limit), numeric_(numeric), caret_(text_.size()) {}

void EditLine::Sync(std::string_view text, int selStart, int selEnd) {
  if (text != text_) {
    text_ = std::string(text);
    const size_t want = std::min(caret_, text_.size());
    size_t at = 0;  // back onto a character boundary
    while (at < text_.size() && NextChar(at) <= want) at = NextChar(at);
    caret_ = at;
  }
  if (selStart >= 0 && selEnd > selStart) {
    selStart_ = std::min(static_cast<size_t>(selStart), text_.size());
    selEnd_ = std::min(static_cast<size_t>(selEnd), text_.size());
    caret_ = selEnd_;
  } else {
    selStart_ = selEnd_ = caret_;
  }
}

size_t EditLine::PrevChar(size_t at) const {
  size_t prev = 0;
  for (size_t i = 0; i < at && i < text_.size(); i += sjis::CharLength(text_, i)) prev = i;
  return at == 0 ? 0 : prev;
}

size_t EditLine::NextChar(size_t at) const {
  return at >= text_.size() ? text_.size() : std::min(text_.size(), at + sjis::CharLength(text_, at));
}

bool EditLine::EraseSelection() {
  if (!HasSelection()) return false;
  text_.erase(selStart_, selEnd_ - selStart_);
  caret_ = selStart_;
  selStart_ = selEnd_ = caret_;
  return true;
}

bool EditLine::Type(std::string_view cp932) {
  if (cp932.empty()) return false;
  if (numeric_ && !std::all_of(cp932.begin(), cp932.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  const size_t kept = text_.size() - (selEnd_ - selStart_);
  if (limit_ && kept + cp932.size() > limit_) return false;
  EraseSelection();
  text_.insert(caret_, cp932);
  caret_ += cp932.size();
  selStart_ = selEnd_ = caret_;
  return true;
}

bool EditLine::Backspace() {
  if (EraseSelection()) return true;
  if (caret_ == 0) return false;
  const size_t from = PrevChar(caret_);
  text_.erase(from, caret_ - from);
  caret_ = from;
  selStart_ = selEnd_ = caret_;
  return true;
}

bool EditLine::Delete() {
  if (EraseSelection()) return true;
  if (caret_ >= text_.size()) return false;
  text_.erase(caret_, NextChar(caret_) - caret_);
  selStart_ = selEnd_ = caret_;
  return true;
}

void EditLine::Home() { caret_ = selStart_ = selEnd_ = 0; }
void EditLine::End() { caret_ = selStart_ = selEnd_ = text_.size(); }
void EditLine::Left() {
  caret_ = HasSelection() ? selStart_ : PrevChar(caret_);
  selStart_ = selEnd_ = caret_;
}
void EditLine::Right() {
  caret_ = HasSelection() ? selEnd_ : NextChar(caret_);
  selStart_ = selEnd_ = caret_;
}
void EditLine::SelectAll() {
  selStart_ = 0;
  selEnd_ = caret_ = text_.size();
}

size_t EditLine::ScrollFor(size_t columns) {
  if (columns == 0) return scroll_ = caret_;
  scroll_ = std::min(scroll_, caret_);
  scroll_ = std::min(scroll_, text_.size());
  // Slide right, character by character, until the caret fits.
  while (caret_ - scroll_ >= columns && scroll_ < caret_) scroll_ = NextChar(scroll_);
  // Re-align onto a character start.
  size_t at = 0;
  while (at < scroll_) at = NextChar(at);
  scroll_ = at;
  return scroll_;
}

}  // namespace platform::ui::tty
