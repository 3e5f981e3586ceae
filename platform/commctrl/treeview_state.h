// The tree view's state and the pieces its files share. Items are nodes owned by their parent;
// an HTREEITEM is a node's address, checked against the live set before use. "Visible" items
// are those whose ancestors are all expanded; the view shows a window of them.
#pragma once
#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "commctrl/hold_gesture.h"
#include "gwes/scroll_bar.h"

namespace zb::cc {

struct TvNode {
  std::u16string text;
  bool textCallback = false;
  int image = 0, selectedImage = 0;
  UINT state = 0;
  LPARAM lParam = 0;
  int children = 0;  // cChildren: 0, 1, or I_CHILDRENCALLBACK
  TvNode* parent = nullptr;
  std::vector<std::unique_ptr<TvNode>> kids;
  HTREEITEM handle() { return reinterpret_cast<HTREEITEM>(this); }
};

struct TreeView {
  TvNode root;  // holds the top-level items
  std::set<const TvNode*> live;
  TvNode* selected = nullptr;
  TvNode* dropHilite = nullptr;
  TvNode* top = nullptr;       // the first visible row shown
  HFONT font = nullptr;
  HIMAGELIST normal = nullptr, stateImages = nullptr;
  HIMAGELIST checkImages = nullptr;  // made for TVS_CHECKBOXES, ours to free
  int indent = 0;
  int itemHeight = 0;
  COLORREF bk = CLR_NONE, text = CLR_NONE;
  bool focused = false;
  bool redraw = true;
  HWND edit = nullptr;         // the label being edited
  TvNode* editing = nullptr;
  WNDPROC editProc = nullptr;
  TvNode* pressed = nullptr;   // the item a press went down on
  bool pressedSelected = false;
  HoldGesture hold;
  zb::wm::BarTracker bar;
  ~TreeView();
};

std::shared_ptr<TreeView> TreeViewOf(HWND hwnd);

// Finds a node from a handle; TVI_ROOT and null give the root.
TvNode* NodeOf(TreeView& tv, HTREEITEM item, bool rootAllowed);

// Visible rows and geometry.
std::vector<TvNode*> VisibleRows(TreeView& tv);
int RowOf(TreeView& tv, TvNode* node);  // index in VisibleRows, -1 when not visible
int Depth(const TvNode* node);
int ItemHeight(HWND hwnd, TreeView& tv);
int Indent(HWND hwnd, TreeView& tv);
RECT RowsArea(HWND hwnd, TreeView& tv);
int PageRows(HWND hwnd, TreeView& tv);
int TopRow(TreeView& tv);
RECT RowRect(HWND hwnd, TreeView& tv, int row);
// The parts of a shown item's row: the button, the state image, the image and the label.
struct TvParts {
  RECT row, button, state, image, label;
};
TvParts PartsOf(HWND hwnd, TreeView& tv, TvNode* node, int row);
bool HasChildren(HWND hwnd, TreeView& tv, TvNode* node);
bool HasButton(HWND hwnd, TreeView& tv, TvNode* node);

std::u16string TextOf(HWND hwnd, TreeView& tv, TvNode* node);
int ImageOf(HWND hwnd, TreeView& tv, TvNode* node, bool selected);

void Relayout(HWND hwnd, TreeView& tv);
void SetTopRow(HWND hwnd, TreeView& tv, int row);
void Show(HWND hwnd, TreeView& tv, TvNode* node);  // expands its ancestors and scrolls to it
bool Expand(HWND hwnd, TreeView& tv, TvNode* node, UINT code, bool fromUser);
bool Select(HWND hwnd, TreeView& tv, TvNode* node, UINT action);
void DeleteNode(HWND hwnd, TreeView& tv, TvNode* node);
HWND BeginEdit(HWND hwnd, TreeView& tv, TvNode* node);
bool EndEdit(HWND hwnd, TreeView& tv, bool cancel);

LRESULT NotifyTree(HWND hwnd, UINT code, NMTREEVIEWW* n);
void FillItem(TvNode* node, TVITEMW& out);

void PaintTreeView(HWND hwnd, TreeView& tv);
LRESULT TreeViewInput(HWND hwnd, TreeView& tv, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zb::cc
