// The "SysTabControl32" class: a row of tabs along the top (or, with TCS_BOTTOM, the bottom, as
// the device's property sheets have them) above a display area. TCM_ADJUSTRECT converts between
// the window and the display area; a tap on a tab asks TCN_SELCHANGING, changes the selection
// and tells TCN_SELCHANGE.
#include <algorithm>
#include <utility>
#include <vector>

#include "commctrl/cc_procs.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Scaled;

struct Tab {
  std::u16string text;
  int image = -1;
  LPARAM lParam = 0;
};

struct TabControl {
  std::vector<Tab> tabs;
  int selection = -1;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
};

int Count(const TabControl& t) { return static_cast<int>(t.tabs.size()); }
bool Bottom(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & TCS_BOTTOM) != 0; }

int StripHeight(HWND hwnd, const TabControl& t) {
  const int textHeight = zb::wm::TextHeight(hwnd, t.font);
  return textHeight + Scaled(8);
}

RECT TabRect(HWND hwnd, const TabControl& t, int index) {
  RECT client;
  GetClientRect(hwnd, &client);
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, zb::wm::FontOr(t.font));
  int x = client.left;
  RECT r{};
  for (int i = 0; i <= index && i < Count(t); ++i) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, t.tabs[i].text.c_str(), static_cast<int>(t.tabs[i].text.size()), &size);
    const int width = size.cx + Scaled(12);
    r = RECT{x, 0, x + width, 0};
    x += width;
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  const int h = StripHeight(hwnd, t);
  r.top = Bottom(hwnd) ? client.bottom - h : client.top;
  r.bottom = r.top + h;
  return r;
}

void Adjust(HWND hwnd, const TabControl& t, BOOL larger, RECT* r) {
  const int h = StripHeight(hwnd, t) + Scaled(2);
  if (larger) {
    // From a display area to the window that holds it.
    InflateRect(r, Scaled(2), Scaled(2));
    (Bottom(hwnd) ? r->bottom : r->top) += Bottom(hwnd) ? h : -h;
  } else {
    InflateRect(r, -Scaled(2), -Scaled(2));
    (Bottom(hwnd) ? r->bottom : r->top) += Bottom(hwnd) ? -h : h;
  }
}

void Paint(HWND hwnd, TabControl& t) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, zb::wm::ParentColours(hwnd, dc, t.font, WM_CTLCOLORSTATIC));
  const COLORREF ink = GetSysColor(COLOR_WINDOWFRAME);
  const int h = StripHeight(hwnd, t);
  const int line = Bottom(hwnd) ? client.bottom - h : client.top + h - 1;
  zb::wm::Fill(dc, RECT{client.left, line, client.right, line + 1}, ink);
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < Count(t); ++i) {
    RECT r = TabRect(hwnd, t, i);
    if (i == t.selection) {
      zb::wm::Fill(dc, r, GetSysColor(COLOR_WINDOW));
    } else {
      zb::wm::Fill(dc, r, GetSysColor(COLOR_BTNFACE));
    }
    zb::wm::Frame(dc, r, ink);
    if (i == t.selection) {
      // The chosen tab opens onto the display area.
      const int y = Bottom(hwnd) ? r.top : r.bottom - 1;
      zb::wm::Fill(dc, RECT{r.left + 1, y, r.right - 1, y + 1}, GetSysColor(COLOR_WINDOW));
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, t.tabs[i].text.c_str(), static_cast<int>(t.tabs[i].text.size()), &r,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  }
  EndPaint(hwnd, &ps);
}

LRESULT Handle(HWND hwnd, TabControl& t, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case TCM_GETITEMCOUNT: return Count(t);
    case TCM_INSERTITEMW: {
      const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
      if (!item || index < 0) return -1;
      Tab tab;
      if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
      if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
      if (item->mask & TCIF_PARAM) tab.lParam = item->lParam;
      const int at = std::min(index, Count(t));
      t.tabs.insert(t.tabs.begin() + at, tab);
      if (t.selection >= at) ++t.selection;
      if (t.selection < 0) t.selection = 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return at;
    }
    case TCM_GETITEMW:
    case TCM_SETITEMW: {
      auto* item = reinterpret_cast<TCITEMW*>(lParam);
      if (!item || index < 0 || index >= Count(t)) return FALSE;
      Tab& tab = t.tabs[index];
      if (message == TCM_SETITEMW) {
        if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
        if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
        if (item->mask & TCIF_PARAM) tab.lParam = item->lParam;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
      }
      if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
      if (item->mask & TCIF_PARAM) item->lParam = tab.lParam;
      if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const size_t n = std::min(tab.text.size(), static_cast<size_t>(item->cchTextMax) - 1);
        std::copy_n(tab.text.data(), n, item->pszText);
        item->pszText[n] = 0;
      }
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (index < 0 || index >= Count(t)) return FALSE;
      t.tabs.erase(t.tabs.begin() + index);
      if (t.selection >= Count(t)) t.selection = Count(t) - 1;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      t.tabs.clear();
      t.selection = -1;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS:
      return t.selection;
    case TCM_SETCURSEL: {
      if (index < 0 || index >= Count(t)) return -1;
      const int previous = t.selection;
      t.selection = index;
      InvalidateRect(hwnd, nullptr, TRUE);
      return previous;
    }
    case TCM_GETITEMRECT:
      if (index < 0 || index >= Count(t) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = TabRect(hwnd, t, index);
      return TRUE;
    case TCM_ADJUSTRECT:
      if (lParam) Adjust(hwnd, t, static_cast<BOOL>(wParam), reinterpret_cast<RECT*>(lParam));
      return 0;
    case TCM_SETIMAGELIST: return reinterpret_cast<LRESULT>(std::exchange(t.images, reinterpret_cast<HIMAGELIST>(lParam)));
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(t.images);
    case WM_SETFONT:
      t.font = reinterpret_cast<HFONT>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t.font);
    case WM_LBUTTONDOWN: {
      const POINT p = zb::wm::PointOf(lParam);
      for (int i = 0; i < Count(t); ++i) {
        const RECT r = TabRect(hwnd, t, i);
        if (!PtInRect(&r, p) || i == t.selection) continue;
        NMHDR n{};
        if (zb::wm::NotifyParent(hwnd, TCN_SELCHANGING, &n)) return 0;  // the parent keeps the tab
        t.selection = i;
        InvalidateRect(hwnd, nullptr, TRUE);
        zb::wm::NotifyParent(hwnd, TCN_SELCHANGE, &n);
        return 0;
      }
      return 0;
    }
    case WM_SIZE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, t); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK TabControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<TabControl, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
