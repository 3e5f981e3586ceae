// Scroll bars as the controls draw them: the "SCROLLBAR" control and the bar strip that a
// window with WS_VSCROLL or WS_HSCROLL keeps inside its own area (there is no non-client area).
// A bar is two arrow buttons and a track with a thumb sized by the page.
#pragma once
#include <windows.h>

namespace zb::wm {

struct BarGeometry {
  RECT bar{}, before{}, after{}, track{}, thumb{};
  bool vertical = true;
};

BarGeometry LayBar(const RECT& bar, bool vertical, const SCROLLINFO& info);
void PaintBar(HDC dc, const BarGeometry& g, bool enabled);
// What a tap at `p` asks for: SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN or SB_THUMBTRACK
// (on the thumb); -1 outside the bar.
int HitBar(const BarGeometry& g, POINT p);
// The position a thumb dragged so that its leading edge lies at `edge` (in the bar's axis).
int PosFromThumbEdge(const BarGeometry& g, const SCROLLINFO& info, int edge);
// The largest position the bar takes: nMax - max(nPage - 1, 0).
int MaxScrollPos(const SCROLLINFO& info);

// The strip of a window's client area its own bar takes, when it has WS_VSCROLL or WS_HSCROLL.
RECT VerticalBarStrip(HWND hwnd);
RECT HorizontalBarStrip(HWND hwnd);

// A window's own bar as SetScrollInfo keeps it (SB_HORZ, SB_VERT).
SCROLLINFO WindowBar(HWND hwnd, int which);

}  // namespace zb::wm

namespace zb::wm {

// Follows a tap on a bar to its end: arrows and track send their code at once, the thumb sends
// SB_THUMBTRACK while it moves and SB_THUMBPOSITION where it is let go; SB_ENDSCROLL closes.
// `target` gets `message` (WM_VSCROLL or WM_HSCROLL) with `lParam` (the bar control, or 0 for a
// window's own bar).
class BarTracker {
 public:
  // True when the tap landed on the bar and the tracker took it (the caller captures).
  bool Press(const BarGeometry& g, const SCROLLINFO& info, POINT p, HWND target, UINT message, LPARAM lParam);
  void Move(const BarGeometry& g, const SCROLLINFO& info, POINT p);
  void Release(const BarGeometry& g, const SCROLLINFO& info, POINT p);
  bool active() const { return active_; }

  // The same for a window's own vertical bar (its WS_VSCROLL strip), telling the window
  // WM_VSCROLL: a press in the strip is the bar's (and captures the stylus while it tracks); the
  // moves and the release are the bar's while it tracks. Each answers whether the bar took it.
  bool PressOwn(HWND hwnd, POINT p);
  bool MoveOwn(HWND hwnd, POINT p);
  bool ReleaseOwn(HWND hwnd, POINT p);

 private:
  void Send(int code, int pos);
  bool active_ = false;
  bool dragging_ = false;
  int grab_ = 0;  // the tap's distance from the thumb's leading edge
  int pos_ = 0;
  HWND target_ = nullptr;
  UINT message_ = 0;
  LPARAM lParam_ = 0;
};

}  // namespace zb::wm
