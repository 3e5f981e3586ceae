// SetScrollInfo and the scroll-bar calls, the "SCROLLBAR" control, and the tracker that turns a
// tap on any bar into the WM_VSCROLL / WM_HSCROLL codes.
#include <algorithm>

#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/ctl_procs.h"
#include "gwes/scroll_bar.h"
#include "gwes/wm_session.h"

namespace zb::wm {
namespace {

// Applies the masked fields of `in` to `bar` and keeps the position inside the range.
void Apply(SCROLLINFO& bar, const SCROLLINFO& in) {
  if (in.fMask & SIF_RANGE) {
    bar.nMin = in.nMin;
    bar.nMax = std::max(in.nMin, in.nMax);
  }
  if (in.fMask & SIF_PAGE) bar.nPage = in.nPage;
  bar.nPage = std::min<UINT>(bar.nPage, static_cast<UINT>(bar.nMax - bar.nMin + 1));
  if (in.fMask & SIF_POS) bar.nPos = in.nPos;
  bar.nPos = std::clamp(bar.nPos, bar.nMin, MaxScrollPos(bar));
  bar.nTrackPos = bar.nPos;
}

void Copy(const SCROLLINFO& bar, SCROLLINFO& out) {
  if (out.fMask & SIF_RANGE) {
    out.nMin = bar.nMin;
    out.nMax = bar.nMax;
  }
  if (out.fMask & SIF_PAGE) out.nPage = bar.nPage;
  if (out.fMask & SIF_POS) out.nPos = bar.nPos;
  if (out.fMask & SIF_TRACKPOS) out.nTrackPos = bar.nTrackPos;
}

struct BarControl {
  SCROLLINFO info{sizeof(SCROLLINFO), 0, 0, 100, 0, 0, 0};
  BarTracker tracker;
};

}  // namespace

SCROLLINFO WindowBar(HWND hwnd, int which) {
  auto window = LocalWindow(hwnd);
  if (!window || (which != SB_HORZ && which != SB_VERT)) return SCROLLINFO{};
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  return window->bars[which];
}

RECT VerticalBarStrip(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  if (!(style & WS_VSCROLL)) return RECT{0, 0, 0, 0};
  const int border = (style & WS_BORDER) ? 1 : 0;
  RECT strip{client.right - border - GetSystemMetrics(SM_CXVSCROLL), client.top + border, client.right - border,
             client.bottom - border};
  if (style & WS_HSCROLL) strip.bottom -= GetSystemMetrics(SM_CYHSCROLL);
  return strip;
}

RECT HorizontalBarStrip(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  if (!(style & WS_HSCROLL)) return RECT{0, 0, 0, 0};
  const int border = (style & WS_BORDER) ? 1 : 0;
  RECT strip{client.left + border, client.bottom - border - GetSystemMetrics(SM_CYHSCROLL), client.right - border,
             client.bottom - border};
  if (style & WS_VSCROLL) strip.right -= GetSystemMetrics(SM_CXVSCROLL);
  return strip;
}

bool BarTracker::Press(const BarGeometry& g, const SCROLLINFO& info, POINT p, HWND target, UINT message,
                       LPARAM lParam) {
  const int code = HitBar(g, p);
  if (code < 0) return false;
  active_ = true;
  target_ = target;
  message_ = message;
  lParam_ = lParam;
  pos_ = info.nPos;
  dragging_ = code == SB_THUMBTRACK;
  if (dragging_) {
    grab_ = g.vertical ? p.y - g.thumb.top : p.x - g.thumb.left;
    return true;
  }
  Send(code, 0);
  return true;
}

void BarTracker::Move(const BarGeometry& g, const SCROLLINFO& info, POINT p) {
  if (!active_ || !dragging_) return;
  const int pos = PosFromThumbEdge(g, info, (g.vertical ? p.y : p.x) - grab_);
  if (pos == pos_) return;
  pos_ = pos;
  Send(SB_THUMBTRACK, pos);
}

void BarTracker::Release(const BarGeometry& g, const SCROLLINFO& info, POINT p) {
  if (!active_) return;
  if (dragging_) {
    Move(g, info, p);
    Send(SB_THUMBPOSITION, pos_);
  }
  Send(SB_ENDSCROLL, 0);
  active_ = dragging_ = false;
}

bool BarTracker::PressOwn(HWND hwnd, POINT p) {
  const RECT strip = VerticalBarStrip(hwnd);
  if (!PtInRect(&strip, p)) return false;
  const SCROLLINFO info = WindowBar(hwnd, SB_VERT);
  if (Press(LayBar(strip, true, info), info, p, hwnd, WM_VSCROLL, 0)) SetCapture(hwnd);
  return true;
}

bool BarTracker::MoveOwn(HWND hwnd, POINT p) {
  if (!active_) return false;
  const SCROLLINFO info = WindowBar(hwnd, SB_VERT);
  Move(LayBar(VerticalBarStrip(hwnd), true, info), info, p);
  return true;
}

bool BarTracker::ReleaseOwn(HWND hwnd, POINT p) {
  if (!active_) return false;
  ReleaseCapture();
  const SCROLLINFO info = WindowBar(hwnd, SB_VERT);
  Release(LayBar(VerticalBarStrip(hwnd), true, info), info, p);
  return true;
}

void BarTracker::Send(int code, int pos) {
  if (target_) SendMessageW(target_, message_, MAKEWPARAM(code, pos), lParam_);
}

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOrMake<BarControl>(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  BarControl& b = *state;
  const bool vertical = (GetWindowLongW(hwnd, GWL_STYLE) & SBS_VERT) != 0;
  RECT client;
  GetClientRect(hwnd, &client);
  const BarGeometry g = LayBar(client, vertical, b.info);
  const UINT scrollMessage = vertical ? WM_VSCROLL : WM_HSCROLL;
  switch (message) {
    case SBM_SETSCROLLINFO: {
      if (lParam) Apply(b.info, *reinterpret_cast<const SCROLLINFO*>(lParam));
      if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
      return b.info.nPos;
    }
    case SBM_GETSCROLLINFO:
      if (!lParam) return FALSE;
      Copy(b.info, *reinterpret_cast<SCROLLINFO*>(lParam));
      return TRUE;
    case SBM_SETPOS: {
      const int old = b.info.nPos;
      SCROLLINFO in{sizeof in, SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
      Apply(b.info, in);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case SBM_GETPOS:
      return b.info.nPos;
    case SBM_SETRANGE: {
      SCROLLINFO in{sizeof in, SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
      Apply(b.info, in);
      return b.info.nPos;
    }
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int*>(wParam) = b.info.nMin;
      if (lParam) *reinterpret_cast<int*>(lParam) = b.info.nMax;
      return 0;
    case WM_LBUTTONDOWN:
      if (b.tracker.Press(g, b.info, PointOf(lParam), GetParent(hwnd), scrollMessage, reinterpret_cast<LPARAM>(hwnd)))
        SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      b.tracker.Move(g, b.info, PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (b.tracker.active()) {
        ReleaseCapture();
        b.tracker.Release(g, b.info, PointOf(lParam));
      }
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(hwnd, &ps)) {
        PaintBar(dc, g, IsWindowEnabled(hwnd));
        EndPaint(hwnd, &ps);
      }
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" int SetScrollInfo(HWND hwnd, int which, LPCSCROLLINFO info, BOOL redraw) {
  if (!info) return 0;
  if (which == SB_CTL) {
    return static_cast<int>(SendMessageW(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
  }
  auto window = LocalWindow(hwnd);
  if (!window || (which != SB_HORZ && which != SB_VERT)) {
    SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  int pos;
  {
    Session& session = CurrentSession();
    std::lock_guard lock(session.lock);
    SCROLLINFO& bar = window->bars[which];
    bar.cbSize = sizeof bar;
    Apply(bar, *info);
    pos = bar.nPos;
  }
  if (redraw) {
    RECT strip = which == SB_VERT ? VerticalBarStrip(hwnd) : HorizontalBarStrip(hwnd);
    if (!IsRectEmpty(&strip)) InvalidateRect(hwnd, &strip, FALSE);
  }
  return pos;
}

extern "C" BOOL GetScrollInfo(HWND hwnd, int which, LPSCROLLINFO info) {
  if (!info) return FALSE;
  if (which == SB_CTL) return SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) ? TRUE : FALSE;
  auto window = LocalWindow(hwnd);
  if (!window || (which != SB_HORZ && which != SB_VERT)) {
    SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  const SCROLLINFO& bar = window->bars[which];
  if (!bar.cbSize) {
    SetLastError(ERROR_NO_SCROLLBARS);
    return FALSE;  // nothing set the bar up
  }
  Copy(bar, *info);
  return TRUE;
}

extern "C" int SetScrollPos(HWND hwnd, int which, int pos, BOOL redraw) {
  SCROLLINFO before{sizeof before, SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(hwnd, which, &before);
  SCROLLINFO in{sizeof in, SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, which, &in, redraw);
  return before.nPos;
}

extern "C" int GetScrollPos(HWND hwnd, int which) {
  SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
  return GetScrollInfo(hwnd, which, &info) ? info.nPos : 0;
}

extern "C" BOOL SetScrollRange(HWND hwnd, int which, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO in{sizeof in, SIF_RANGE, minPos, maxPos, 0, 0, 0};
  SetScrollInfo(hwnd, which, &in, redraw);
  return TRUE;
}

extern "C" BOOL GetScrollRange(HWND hwnd, int which, LPINT minPos, LPINT maxPos) {
  SCROLLINFO info{sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hwnd, which, &info)) return FALSE;
  if (minPos) *minPos = info.nMin;
  if (maxPos) *maxPos = info.nMax;
  return TRUE;
}
