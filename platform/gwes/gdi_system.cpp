// System metrics and colours: sizes of the device's interface parts at its dpi, and the colour
// scheme, each a table walked by one lookup.
#include "gwes/gdi_brush.h"
#include "gwes/gdi_screen.h"

using namespace zb::gdi;

namespace {

struct Metric {
  int index;
  int at96;  // the value at 96 dpi; it grows with the dpi
};
constexpr Metric kMetrics[] = {
    {SM_CXVSCROLL, 13},  {SM_CYHSCROLL, 13},   {SM_CYCAPTION, 26},   {SM_CXBORDER, 1},      {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 1},  {SM_CYDLGFRAME, 1},   {SM_CYVTHUMB, 13},    {SM_CXHTHUMB, 13},     {SM_CXICON, 32},
    {SM_CYICON, 32},     {SM_CXCURSOR, 32},    {SM_CYCURSOR, 32},    {SM_CYMENU, 26},       {SM_CYVSCROLL, 13},
    {SM_CXHSCROLL, 13},  {SM_CXDOUBLECLK, 4},  {SM_CYDOUBLECLK, 4},  {SM_CXICONSPACING, 75}, {SM_CYICONSPACING, 75},
    {SM_CXEDGE, 2},      {SM_CYEDGE, 2},       {SM_CXSMICON, 16},    {SM_CYSMICON, 16},
};

constexpr COLORREF kColours[] = {
    RGB(200, 200, 200),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(255, 255, 255),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(192, 192, 192),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(255, 255, 255),  // COLOR_STATIC: dialogs and their labels are white on the device
    RGB(0, 0, 0),        // COLOR_STATICTEXT
    RGB(0, 0, 128),      // COLOR_GRADIENTACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_GRADIENTINACTIVECAPTION
};
constexpr int kColourCount = static_cast<int>(std::size(kColours));

int ColourIndex(int index) { return index & ~SYS_COLOR_INDEX_FLAG; }

}  // namespace

extern "C" int GetSystemMetrics(int index) {
  const ScreenMode mode = CurrentScreenMode();
  if (index == SM_CXSCREEN || index == SM_CXFULLSCREEN) return mode.width;
  if (index == SM_CYSCREEN) return mode.height;
  for (const Metric& m : kMetrics) {
    if (m.index == index) return m.at96 * mode.dpi / 96;
  }
  if (index == SM_CYFULLSCREEN) return mode.height - 26 * mode.dpi / 96;  // less the caption
  return 0;
}

extern "C" DWORD GetSysColor(int index) {
  const int i = ColourIndex(index);
  return i >= 0 && i < kColourCount ? kColours[i] : 0;
}

extern "C" HBRUSH GetSysColorBrush(int index) {
  static HBRUSH brushes[kColourCount] = {};
  const int i = ColourIndex(index);
  if (i < 0 || i >= kColourCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  if (!brushes[i]) {
    brushes[i] = AddSolidBrush(kColours[i]);
    FindObject(brushes[i])->stock = true;
  }
  return brushes[i];
}
