// The text of an edit control without the window: the characters, the selection (an anchor and
// the caret), the lines as laid out for a width, and the edits the control makes. Kept apart so
// the rules (where a line breaks, what a word is, how a replacement moves the selection) read
// and test on their own.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zb::wm {

class EditText {
 public:
  struct Line {
    size_t start = 0;   // first character
    size_t length = 0;  // characters shown, without the line break
    size_t next = 0;    // where the following line starts
  };
  // The width in pixels of `count` characters from `text`.
  using Measure = std::function<int(const char16_t* text, size_t count)>;

  const std::u16string& text() const { return text_; }
  size_t anchor() const { return anchor_; }
  size_t caret() const { return caret_; }
  size_t selStart() const { return std::min(anchor_, caret_); }
  size_t selEnd() const { return std::max(anchor_, caret_); }
  bool HasSelection() const { return anchor_ != caret_; }

  void SetText(std::u16string text);
  // Both ends are kept inside the text; the caret goes to `caret`.
  void Select(size_t anchor, size_t caret);
  // Replaces the selection by `with` and leaves the caret after it.
  void ReplaceSelection(const std::u16string& with);

  // Lays the text out: at line breaks ("\r\n", or a lone "\n"), and when `wrapWidth` is above
  // 0 also where the next word would pass that width (a word longer than a line is cut).
  void Layout(const Measure& measure, int wrapWidth);
  const std::vector<Line>& lines() const { return lines_; }
  size_t LineOf(size_t index) const;

  // Word bounds around `index`, for a double tap.
  size_t WordStart(size_t index) const;
  size_t WordEnd(size_t index) const;

 private:
  std::u16string text_;
  size_t anchor_ = 0;
  size_t caret_ = 0;
  std::vector<Line> lines_{Line{}};
};

}  // namespace zb::wm
