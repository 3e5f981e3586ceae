// The edit control's text model (see ctl_edit_text.h).
#include "gwes/ctl_edit_text.h"

#include <algorithm>

namespace zb::wm {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

void EditText::SetText(std::u16string text) {
  text_ = std::move(text);
  anchor_ = caret_ = 0;
}

void EditText::Select(size_t anchor, size_t caret) {
  anchor_ = std::min(anchor, text_.size());
  caret_ = std::min(caret, text_.size());
}

void EditText::ReplaceSelection(const std::u16string& with) {
  const size_t start = selStart();
  text_.replace(start, selEnd() - start, with);
  anchor_ = caret_ = start + with.size();
}

void EditText::Layout(const Measure& measure, int wrapWidth) {
  lines_.clear();
  size_t i = 0;
  const size_t n = text_.size();
  for (;;) {
    // The end of this paragraph.
    size_t end = i;
    while (end < n && !IsBreak(text_[end])) ++end;
    size_t start = i;
    // Wrap the paragraph [start, end).
    while (wrapWidth > 0 && start < end && measure(text_.data() + start, end - start) > wrapWidth) {
      // The longest prefix that fits.
      size_t fit = start;
      while (fit < end && measure(text_.data() + start, fit + 1 - start) <= wrapWidth) ++fit;
      if (fit == start) fit = start + 1;  // not even one character fits: show one anyway
      // Break after the last blank within it, when there is one; the blanks end the line unseen.
      size_t cut = fit, shown = fit;
      if (fit < end && IsSpace(text_[fit])) {
        cut = fit + 1;  // the blank that did not fit is where the line ends
      } else {
        for (size_t k = fit; k > start + 1; --k) {
        if (IsSpace(text_[k - 1])) {
          cut = shown = k;
          while (shown > start && IsSpace(text_[shown - 1])) --shown;
          break;
        }
      }
      }
      lines_.push_back(Line{start, shown - start, cut});
      start = cut;
    }
    size_t next = end;
    if (next < n && text_[next] == u'\r') ++next;
    if (next < n && text_[next] == u'\n') ++next;
    lines_.push_back(Line{start, end - start, next});
    if (end >= n) break;
    i = next;
    if (i >= n) {  // the text ends with a line break: an empty last line
      lines_.push_back(Line{n, 0, n});
      break;
    }
  }
}

size_t EditText::LineOf(size_t index) const {
  for (size_t l = 0; l + 1 < lines_.size(); ++l) {
    if (index < lines_[l + 1].start) return l;
  }
  return lines_.empty() ? 0 : lines_.size() - 1;
}

size_t EditText::WordStart(size_t index) const {
  index = std::min(index, text_.size());
  while (index > 0 && !IsSpace(text_[index - 1]) && !IsBreak(text_[index - 1])) --index;
  return index;
}

size_t EditText::WordEnd(size_t index) const {
  while (index < text_.size() && !IsSpace(text_[index]) && !IsBreak(text_[index])) ++index;
  return index;
}

}  // namespace zb::wm
