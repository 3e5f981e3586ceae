// What the dialog manager keeps for each dialog beside its window words: its font and dialog
// units, the default button, the control that had the focus, and how a modal run ends.
#pragma once
#include <memory>
#include <windows.h>

namespace zb::wm {

struct DialogState {
  HFONT font = nullptr;
  bool ownsFont = false;
  int baseX = 0, baseY = 0;  // dialog base units: 4 horizontal and 8 vertical dialog units
  int defaultId = 0;         // 0: none set, IDOK is assumed
  HWND focus = nullptr;      // the control to give the focus back to
  bool initFocus = false;    // WM_INITDIALOG asked for the focus on the first tab stop
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HWND disabledOwner = nullptr;  // the owner a modal run disabled, enabled again at its end
  ~DialogState();
};

std::shared_ptr<DialogState> DialogOf(HWND hwnd);

// `units` dialog units in pixels, with `base` pixels per `per` units (4 across, 8 down).
int DialogToPixels(int units, int base, int per);

// Base units of a font: the average width of the letters and the height of a line.
void BaseUnitsOf(HFONT font, int* x, int* y);

// Gives `control` the focus the dialog way: an edit's text is selected whole, and a push button
// becomes the default while it has the focus.
void DialogFocus(HWND dialog, HWND control);

}  // namespace zb::wm
