// The "SysHeader32" class: the column headings of a report list view, each a flat cell with its
// text and an optional image (the sort arrows, shown right of the text with
// HDF_BITMAP_ON_RIGHT). A tap on a heading tells the parent HDN_ITEMCLICK.
#include <algorithm>
#include <utility>
#include <vector>

#include "commctrl/cc_procs.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Scaled;

struct Heading {
  int cxy = 0;
  std::u16string text;
  int fmt = HDF_LEFT | HDF_STRING;
  int image = -1;
  LPARAM lParam = 0;
};

struct Header {
  std::vector<Heading> items;
  HFONT font = nullptr;
  HIMAGELIST images = nullptr;
  int pressed = -1;
};

int Count(const Header& h) { return static_cast<int>(h.items.size()); }

RECT ItemRect(HWND hwnd, const Header& h, int index) {
  RECT client;
  GetClientRect(hwnd, &client);
  int x = 0;
  for (int i = 0; i < index; ++i) x += h.items[i].cxy;
  return RECT{x, 0, x + h.items[index].cxy, client.bottom};
}

void Apply(Heading& heading, const HDITEMW& in) {
  if (in.mask & HDI_WIDTH) heading.cxy = std::max(in.cxy, 0);
  if ((in.mask & HDI_TEXT) && in.pszText && in.pszText != LPSTR_TEXTCALLBACKW) heading.text = in.pszText;
  if (in.mask & HDI_FORMAT) heading.fmt = in.fmt;
  if (in.mask & HDI_IMAGE) heading.image = in.iImage;
  if (in.mask & HDI_LPARAM) heading.lParam = in.lParam;
}

void Read(const Heading& heading, HDITEMW& out) {
  if (out.mask & HDI_WIDTH) out.cxy = heading.cxy;
  if (out.mask & HDI_FORMAT) out.fmt = heading.fmt;
  if (out.mask & HDI_IMAGE) out.iImage = heading.image;
  if (out.mask & HDI_LPARAM) out.lParam = heading.lParam;
  if ((out.mask & HDI_TEXT) && out.pszText && out.cchTextMax > 0) {
    const size_t n = std::min(heading.text.size(), static_cast<size_t>(out.cchTextMax) - 1);
    std::copy_n(heading.text.data(), n, out.pszText);
    out.pszText[n] = 0;
  }
}

void Paint(HWND hwnd, Header& h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  zb::wm::Fill(dc, client, GetSysColor(COLOR_WINDOW));
  HGDIOBJ oldFont = SelectObject(dc, zb::wm::FontOr(h.font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink);
  for (int i = 0; i < Count(h); ++i) {
    const Heading& heading = h.items[i];
    RECT r = ItemRect(hwnd, h, i);
    if (i == h.pressed) zb::wm::Fill(dc, r, GetSysColor(COLOR_BTNFACE));
    zb::wm::Fill(dc, RECT{r.right - 1, r.top + Scaled(2), r.right, r.bottom - Scaled(2)}, GetSysColor(COLOR_BTNSHADOW));
    RECT text{r.left + Scaled(4), r.top, r.right - Scaled(4), r.bottom};
    int cx = 0, cy = 0;
    const bool image = (heading.fmt & HDF_IMAGE) && heading.image >= 0 && h.images && ImageList_GetIconSize(h.images, &cx, &cy);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, heading.text.c_str(), static_cast<int>(heading.text.size()), &size);
    if (image) {
      // Beside the text: right of it with HDF_BITMAP_ON_RIGHT, else before it.
      const int y = (r.top + r.bottom - cy) / 2;
      if (heading.fmt & HDF_BITMAP_ON_RIGHT) {
        const int x = std::min<int>(text.left + size.cx + Scaled(4), text.right - cx);
        ImageList_Draw(h.images, heading.image, dc, x, y, ILD_TRANSPARENT);
        text.right = x - Scaled(2);
      } else {
        ImageList_Draw(h.images, heading.image, dc, text.left, y, ILD_TRANSPARENT);
        text.left += cx + Scaled(4);
      }
    }
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if ((heading.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) format |= DT_RIGHT;
    if ((heading.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) format |= DT_CENTER;
    DrawTextW(dc, heading.text.c_str(), static_cast<int>(heading.text.size()), &text, format);
  }
  zb::wm::Fill(dc, RECT{client.left, client.bottom - 1, client.right, client.bottom}, ink);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

int HitItem(HWND hwnd, const Header& h, POINT p) {
  for (int i = 0; i < Count(h); ++i) {
    const RECT r = ItemRect(hwnd, h, i);
    if (PtInRect(&r, p)) return i;
  }
  return -1;
}

LRESULT Handle(HWND hwnd, Header& h, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case HDM_GETITEMCOUNT: return Count(h);
    case HDM_INSERTITEMW: {
      if (!lParam || index < 0) return -1;
      Heading heading;
      Apply(heading, *reinterpret_cast<const HDITEMW*>(lParam));
      const int at = std::min(index, Count(h));
      h.items.insert(h.items.begin() + at, heading);
      InvalidateRect(hwnd, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM:
      if (index < 0 || index >= Count(h)) return FALSE;
      h.items.erase(h.items.begin() + index);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case HDM_GETITEMW:
      if (index < 0 || index >= Count(h) || !lParam) return FALSE;
      Read(h.items[index], *reinterpret_cast<HDITEMW*>(lParam));
      return TRUE;
    case HDM_SETITEMW:
      if (index < 0 || index >= Count(h) || !lParam) return FALSE;
      Apply(h.items[index], *reinterpret_cast<const HDITEMW*>(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case HDM_GETITEMRECT:
      if (index < 0 || index >= Count(h) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, h, index);
      return TRUE;
    case HDM_SETIMAGELIST: {
      HIMAGELIST previous = h.images;
      h.images = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(h.images);
    case HDM_LAYOUT: {
      auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
      if (!layout || !layout->prc || !layout->pwpos) return FALSE;
      const int textHeight = zb::wm::TextHeight(hwnd, h.font);
      const int height = textHeight + Scaled(6);
      RECT& r = *layout->prc;
      *layout->pwpos = WINDOWPOS{hwnd, nullptr, r.left, r.top, r.right - r.left, height, SWP_NOZORDER};
      r.top += height;
      return TRUE;
    }
    case WM_SETFONT:
      h.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(h.font);
    case WM_LBUTTONDOWN:
      if (!(GetWindowLongW(hwnd, GWL_STYLE) & HDS_BUTTONS)) return 0;
      h.pressed = HitItem(hwnd, h, zb::wm::PointOf(lParam));
      if (h.pressed >= 0) {
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case WM_LBUTTONUP: {
      if (h.pressed < 0) return 0;
      ReleaseCapture();
      const int pressed = std::exchange(h.pressed, -1);
      InvalidateRect(hwnd, nullptr, TRUE);
      if (HitItem(hwnd, h, zb::wm::PointOf(lParam)) == pressed) {
        NMHEADERW n{};
        n.iItem = pressed;
        zb::wm::NotifyParent(hwnd, HDN_ITEMCLICKW, &n.hdr);
      }
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, h); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<Header, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
