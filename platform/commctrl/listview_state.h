// The list view's state and the pieces its files share. Items are rows of a report: the item's
// own text and image in the first column, sub-item texts in the others; a row's state holds
// the selection, the focus, the overlay and the state image (a check box's state). Other views
// than the report are laid out as one column, as the player's lists use none of them.
#pragma once
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "commctrl/hold_gesture.h"
#include "gwes/scroll_bar.h"

namespace zb::cc {

struct LvText {
  std::u16string text;
  bool callback = false;  // LPSTR_TEXTCALLBACKW: the parent gives it when asked
  int image = I_IMAGENONE;
};

struct LvItem {
  std::vector<LvText> cells{LvText{}};  // cell 0 is the item itself
  UINT state = 0;
  LPARAM lParam = 0;
  int indent = 0;
};

struct LvColumn {
  int fmt = LVCFMT_LEFT;
  int cx = 0;
  std::u16string text;
  int image = -1;
  int subItem = 0;
};

struct ListView {
  std::vector<LvItem> items;
  std::vector<LvColumn> columns;
  HWND header = nullptr;
  HFONT font = nullptr;
  HIMAGELIST normal = nullptr, small = nullptr, stateImages = nullptr;
  HIMAGELIST checkImages = nullptr;  // made for LVS_EX_CHECKBOXES, ours to free
  DWORD exStyle = 0;
  COLORREF bk = 0, text = 0, textBk = CLR_NONE;
  UINT callbackMask = 0;
  int top = 0;          // the first row shown
  int xOffset = 0;      // pixels the columns are moved left
  int mark = -1;        // the selection mark
  int rowHeight = 0;    // 0: from the font and the images
  bool redraw = true;
  bool focused = false;
  int pressed = -1;     // the row under a press of the stylus, until it is let go
  POINT pressAt{0, 0};
  bool dragStarted = false;
  HoldGesture hold;
  zb::wm::BarTracker bar;
  ~ListView();
};

std::shared_ptr<ListView> ListViewOf(HWND hwnd);

// Geometry.
int RowHeight(HWND hwnd, ListView& lv);
int HeaderHeight(HWND hwnd, ListView& lv);
RECT RowsArea(HWND hwnd, ListView& lv);  // client area less the header, border and bar
int PageRows(HWND hwnd, ListView& lv);
RECT RowRect(HWND hwnd, ListView& lv, int index);  // the whole row, in client coordinates
RECT CellRect(HWND hwnd, ListView& lv, int index, int column);
int TotalWidth(const ListView& lv, HWND hwnd);
bool IsReport(HWND hwnd);
// What the row shows in its first cell before the text: state image, small image.
RECT StateImageRect(HWND hwnd, ListView& lv, int index);
RECT IconRect(HWND hwnd, ListView& lv, int index);
RECT LabelRect(HWND hwnd, ListView& lv, int index);

// State changes, with LVN_ITEMCHANGING (which may refuse) and LVN_ITEMCHANGED.
bool ChangeState(HWND hwnd, ListView& lv, int index, UINT state, UINT mask);
void SelectOnly(HWND hwnd, ListView& lv, int index);  // the row selected and focused, no other
int NextItem(const ListView& lv, int start, UINT flags);
void EnsureVisible(HWND hwnd, ListView& lv, int index, bool partial);
void SetTop(HWND hwnd, ListView& lv, int top);
void Relayout(HWND hwnd, ListView& lv);  // bar, header and scroll range after a change
void RedrawRow(HWND hwnd, ListView& lv, int index);

// Text and image of a cell as shown, asking the parent for callbacks (LVN_GETDISPINFOW).
std::u16string CellText(HWND hwnd, ListView& lv, int index, int column);
int CellImage(HWND hwnd, ListView& lv, int index, int column);
UINT ItemState(HWND hwnd, ListView& lv, int index, UINT mask);

LRESULT Notify(HWND hwnd, UINT code, NMHDR* header);
LRESULT NotifyItem(HWND hwnd, UINT code, int item, int subItem = 0, POINT at = {0, 0});

void PaintListView(HWND hwnd, ListView& lv);
LRESULT ListViewInput(HWND hwnd, ListView& lv, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zb::cc
