// Message boxes for tests: answers set in advance (for a caption, or for whatever box comes
// next), read back with what each box showed, across every process of the device; and where a
// shown box's buttons are, so a test can tap one.
#pragma once
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace zb::wm {

// The next box with this caption (any caption when empty) answers `answer` without showing.
// Answers are used once each, in the order they were set.
bool ScriptMessageBox(std::u16string_view caption, int answer);
void ClearMessageBoxScript();

struct ShownMessageBox {
  int pid = 0;
  std::u16string caption;
  std::u16string text;  // its first kTitleChars characters
  UINT type = 0;
  int answer = 0;
};
// Oldest first; the device keeps the last kShownEntries.
std::vector<ShownMessageBox> ShownMessageBoxes();
void ClearShownMessageBoxes();

// The screen point at the middle of a showing box's button for `answer`.
bool MessageBoxButton(HWND box, int answer, POINT* screen);

}  // namespace zb::wm
