// The "msctls_trackbar32" class: a thumb on a channel over a range, with ticks. A tap on the
// channel moves a page toward it, dragging the thumb tracks it, the arrow keys move a line; each
// move tells the parent WM_HSCROLL (WM_VSCROLL for TBS_VERT) with the track bar as lParam, and
// TB_ENDTRACK closes. Custom draw is offered for the whole bar and for its parts.
#include <algorithm>
#include <utility>
#include <set>
#include <vector>

#include "commctrl/cc_procs.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

using zb::wm::Scaled;

struct TrackBar {
  int low = 0, high = 100, pos = 0;
  int page = 20, line = 1, frequency = 1;
  std::set<int> ticks;  // set with TBM_SETTIC, inside the range
  bool focused = false;
  bool dragging = false;
  int grab = 0;
};

bool Vertical(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & TBS_VERT) != 0; }

// The channel runs through the middle, less half a thumb at each end.
RECT Channel(HWND hwnd) {
  RECT c;
  GetClientRect(hwnd, &c);
  const int thumbHalf = Scaled(5), depth = Scaled(4);
  if (Vertical(hwnd)) {
    const int x = (c.left + c.right) / 2;
    return RECT{x - depth / 2, c.top + thumbHalf + 2, x + depth / 2, c.bottom - thumbHalf - 2};
  }
  const int y = (c.top + c.bottom) / 2;
  return RECT{c.left + thumbHalf + 2, y - depth / 2, c.right - thumbHalf - 2, y + depth / 2};
}

int Span(const TrackBar& t) { return std::max(t.high - t.low, 1); }

// The pixel along the channel of a position, and back.
int PixelOf(HWND hwnd, const TrackBar& t, int pos) {
  const RECT ch = Channel(hwnd);
  const int length = Vertical(hwnd) ? ch.bottom - ch.top : ch.right - ch.left;
  const int start = Vertical(hwnd) ? ch.top : ch.left;
  return start + static_cast<int>(static_cast<int64_t>(length) * (std::clamp(pos, t.low, t.high) - t.low) / Span(t));
}

int PosOf(HWND hwnd, const TrackBar& t, int pixel) {
  const RECT ch = Channel(hwnd);
  const int length = std::max<int>(Vertical(hwnd) ? ch.bottom - ch.top : ch.right - ch.left, 1);
  const int start = Vertical(hwnd) ? ch.top : ch.left;
  const int64_t offset = std::clamp(pixel - start, 0, length);
  return t.low + static_cast<int>((offset * Span(t) + length / 2) / length);
}

RECT Thumb(HWND hwnd, const TrackBar& t) {
  RECT c;
  GetClientRect(hwnd, &c);
  const int at = PixelOf(hwnd, t, t.pos), half = Scaled(5), reach = Scaled(9);
  if (Vertical(hwnd)) {
    const int x = (c.left + c.right) / 2;
    return RECT{x - reach, at - half, x + reach, at + half};
  }
  const int y = (c.top + c.bottom) / 2;
  return RECT{at - half, y - reach, at + half, y + reach};
}

void Tell(HWND hwnd, int code, int pos) {
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, code == TB_THUMBTRACK || code == TB_THUMBPOSITION ? pos : 0),
                 reinterpret_cast<LPARAM>(hwnd));
}

void SetPos(HWND hwnd, TrackBar& t, int pos, bool redraw) {
  pos = std::clamp(pos, t.low, t.high);
  if (pos == t.pos) return;
  t.pos = pos;
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

// A move the user made: the position changes and the parent hears it.
void UserMove(HWND hwnd, TrackBar& t, int code, int pos) {
  SetPos(hwnd, t, pos, true);
  Tell(hwnd, code, t.pos);
}

std::vector<int> TickPositions(HWND hwnd, const TrackBar& t) {
  std::vector<int> at;
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  if (style & TBS_NOTICKS) return at;
  at.push_back(t.low);
  if (style & TBS_AUTOTICKS)
    for (int p = t.low + t.frequency; p < t.high; p += std::max(t.frequency, 1)) at.push_back(p);
  at.insert(at.end(), t.ticks.begin(), t.ticks.end());
  at.push_back(t.high);
  return at;
}

LRESULT Custom(HWND hwnd, NMCUSTOMDRAW& cd, DWORD stage, DWORD_PTR part, const RECT& rc) {
  cd.dwDrawStage = stage;
  cd.dwItemSpec = part;
  cd.rc = rc;
  return zb::wm::NotifyParent(hwnd, NM_CUSTOMDRAW, &cd.hdr);
}

void Paint(HWND hwnd, TrackBar& t) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const bool enabled = IsWindowEnabled(hwnd);
  FillRect(dc, &client, zb::wm::ParentColours(hwnd, dc, nullptr, WM_CTLCOLORSTATIC));
  NMCUSTOMDRAW cd{};
  cd.hdc = dc;
  cd.uItemState = (t.focused ? CDIS_FOCUS : 0) | (enabled ? 0 : CDIS_DISABLED);
  const LRESULT whole = Custom(hwnd, cd, CDDS_PREPAINT, 0, client);
  if (!(whole & CDRF_SKIPDEFAULT)) {
    const COLORREF ink = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
    const RECT channel = Channel(hwnd), thumb = Thumb(hwnd, t);
    struct Part {
      DWORD_PTR id;
      RECT rect;
    };
    const Part parts[] = {{TBCD_TICS, client}, {TBCD_CHANNEL, channel}, {TBCD_THUMB, thumb}};
    for (const Part& part : parts) {
      const LRESULT own = (whole & CDRF_NOTIFYITEMDRAW) ? Custom(hwnd, cd, CDDS_ITEMPREPAINT, part.id, part.rect) : 0;
      if (!(own & CDRF_SKIPDEFAULT)) {
        if (part.id == TBCD_TICS) {
          // Ticks under (or beside) the channel, and above it too with TBS_BOTH.
          for (int p : TickPositions(hwnd, t)) {
            const int at = PixelOf(hwnd, t, p);
            const int far = Scaled(11), near = Scaled(14);
            if (Vertical(hwnd)) {
              const int x = (client.left + client.right) / 2;
              if (!(style & TBS_LEFT) || (style & TBS_BOTH)) zb::wm::Fill(dc, RECT{x + far, at, x + near, at + 1}, ink);
              if ((style & TBS_LEFT) || (style & TBS_BOTH)) zb::wm::Fill(dc, RECT{x - near, at, x - far, at + 1}, ink);
            } else {
              const int y = (client.top + client.bottom) / 2;
              if (!(style & TBS_TOP) || (style & TBS_BOTH)) zb::wm::Fill(dc, RECT{at, y + far, at + 1, y + near}, ink);
              if ((style & TBS_TOP) || (style & TBS_BOTH)) zb::wm::Fill(dc, RECT{at, y - near, at + 1, y - far}, ink);
            }
          }
        } else if (part.id == TBCD_CHANNEL) {
          zb::wm::Fill(dc, channel, GetSysColor(COLOR_WINDOW));
          zb::wm::Frame(dc, channel, ink);
        } else if (!(style & TBS_NOTHUMB)) {
          zb::wm::Fill(dc, thumb, t.dragging ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW));
          zb::wm::Frame(dc, thumb, ink);
        }
      }
      if (own & CDRF_NOTIFYPOSTPAINT) Custom(hwnd, cd, CDDS_ITEMPOSTPAINT, part.id, part.rect);
    }
    if (t.focused) {
      RECT focus = client;
      DrawFocusRect(dc, &focus);
    }
  }
  if (whole & CDRF_NOTIFYPOSTPAINT) Custom(hwnd, cd, CDDS_POSTPAINT, 0, client);
  EndPaint(hwnd, &ps);
}

LRESULT Handle(HWND hwnd, TrackBar& t, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool redraw = wParam != 0;
  switch (message) {
    case TBM_GETPOS: return t.pos;
    case TBM_GETRANGEMIN: return t.low;
    case TBM_GETRANGEMAX: return t.high;
    case TBM_SETPOS: SetPos(hwnd, t, static_cast<int>(lParam), redraw); return 0;
    case TBM_SETRANGE:
      t.low = static_cast<SHORT>(LOWORD(lParam));
      t.high = static_cast<SHORT>(HIWORD(lParam));
      t.page = std::max(Span(t) / 5, 1);
      SetPos(hwnd, t, t.pos, false);
      if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
      (message == TBM_SETRANGEMIN ? t.low : t.high) = static_cast<int>(lParam);
      SetPos(hwnd, t, t.pos, false);
      if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETTIC:
      if (lParam <= t.low || lParam >= t.high) return FALSE;
      t.ticks.insert(static_cast<int>(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TBM_CLEARTICS:
      t.ticks.clear();
      if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_GETNUMTICS: return (GetWindowLongW(hwnd, GWL_STYLE) & TBS_NOTICKS) ? 0 : static_cast<LRESULT>(TickPositions(hwnd, t).size());
    case TBM_GETTIC: {
      auto it = t.ticks.begin();
      if (static_cast<size_t>(wParam) >= t.ticks.size()) return -1;
      std::advance(it, wParam);
      return *it;
    }
    case TBM_SETTICFREQ:
      t.frequency = std::max(static_cast<int>(wParam), 1);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETPAGESIZE: return std::exchange(t.page, static_cast<int>(lParam));
    case TBM_GETPAGESIZE: return t.page;
    case TBM_SETLINESIZE: return std::exchange(t.line, static_cast<int>(lParam));
    case TBM_GETLINESIZE: return t.line;
    case TBM_GETTHUMBRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = Thumb(hwnd, t);
      return 0;
    case TBM_GETCHANNELRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = Channel(hwnd);
      return 0;
    case TBM_SETSEL:
    case TBM_SETSELSTART:
    case TBM_SETSELEND:
    case TBM_CLEARSEL:
      return 0;  // no selection range is shown on the device's bars
    case TBM_GETSELSTART:
    case TBM_GETSELEND:
      return -1;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      const POINT p = zb::wm::PointOf(lParam);
      const RECT thumb = Thumb(hwnd, t);
      if (PtInRect(&thumb, p)) {
        t.dragging = true;
        t.grab = (Vertical(hwnd) ? p.y : p.x) - PixelOf(hwnd, t, t.pos);
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
      }
      // A tap on the channel moves a page toward it.
      const int towards = PosOf(hwnd, t, Vertical(hwnd) ? p.y : p.x);
      if (towards < t.pos) UserMove(hwnd, t, TB_PAGEUP, std::max(t.pos - t.page, towards));
      else if (towards > t.pos) UserMove(hwnd, t, TB_PAGEDOWN, std::min(t.pos + t.page, towards));
      Tell(hwnd, TB_ENDTRACK, 0);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (t.dragging) {
        const POINT p = zb::wm::PointOf(lParam);
        const int pos = PosOf(hwnd, t, (Vertical(hwnd) ? p.y : p.x) - t.grab);
        if (pos != t.pos) UserMove(hwnd, t, TB_THUMBTRACK, pos);
      }
      return 0;
    case WM_LBUTTONUP:
      if (t.dragging) {
        t.dragging = false;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, TRUE);
        Tell(hwnd, TB_THUMBPOSITION, t.pos);
        Tell(hwnd, TB_ENDTRACK, 0);
      }
      return 0;
    case WM_KEYDOWN: {
      // Left and up lower the position; right and down raise it, as on the platform.
      int code = -1, pos = t.pos;
      switch (wParam) {
        case VK_LEFT: case VK_UP: code = TB_LINEUP; pos -= t.line; break;
        case VK_RIGHT: case VK_DOWN: code = TB_LINEDOWN; pos += t.line; break;
        case VK_PRIOR: code = TB_PAGEUP; pos -= t.page; break;
        case VK_NEXT: code = TB_PAGEDOWN; pos += t.page; break;
        case VK_HOME: code = TB_TOP; pos = t.low; break;
        case VK_END: code = TB_BOTTOM; pos = t.high; break;
        default: return 0;
      }
      UserMove(hwnd, t, code, pos);
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR ||
          wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END)
        Tell(hwnd, TB_ENDTRACK, 0);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      t.focused = message == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, t); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK TrackBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return zb::wm::WithState<TrackBar, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::cc
