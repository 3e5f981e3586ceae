// Laying out, painting and hit-testing a scroll bar (see scroll_bar.h).
#include <algorithm>

#include "gwes/ctl_common.h"
#include "gwes/scroll_bar.h"

namespace zb::wm {

int MaxScrollPos(const SCROLLINFO& info) {
  return std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage) - 1, 0));
}

BarGeometry LayBar(const RECT& bar, bool vertical, const SCROLLINFO& info) {
  BarGeometry g;
  g.bar = bar;
  g.vertical = vertical;
  const int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
  const int breadth = vertical ? bar.right - bar.left : bar.bottom - bar.top;
  const int arrow = std::min(breadth, length / 2);
  auto span = [&](int from, int to) {
    return vertical ? RECT{bar.left, bar.top + from, bar.right, bar.top + to}
                    : RECT{bar.left + from, bar.top, bar.left + to, bar.bottom};
  };
  g.before = span(0, arrow);
  g.after = span(length - arrow, length);
  g.track = span(arrow, length - arrow);
  const int trackLength = std::max(length - 2 * arrow, 0);
  const int range = info.nMax - info.nMin + 1;
  if (range <= 0 || trackLength <= 0 || (info.nPage && static_cast<int>(info.nPage) >= range)) {
    g.thumb = RECT{0, 0, 0, 0};
    return g;
  }
  int thumb = info.nPage ? static_cast<int>(static_cast<int64_t>(trackLength) * info.nPage / range) : breadth;
  thumb = std::clamp(thumb, std::min(breadth / 2 + 2, trackLength), trackLength);
  const int steps = MaxScrollPos(info) - info.nMin;
  const int room = trackLength - thumb;
  const int at = steps > 0 ? static_cast<int>(static_cast<int64_t>(room) * (std::clamp(info.nPos, info.nMin, MaxScrollPos(info)) - info.nMin) / steps) : 0;
  g.thumb = span(arrow + at, arrow + at + thumb);
  return g;
}

void PaintBar(HDC dc, const BarGeometry& g, bool enabled) {
  const COLORREF ink = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
  Fill(dc, g.bar, GetSysColor(COLOR_SCROLLBAR));
  for (const RECT* r : {&g.before, &g.after}) {
    Fill(dc, *r, GetSysColor(COLOR_WINDOW));
    Frame(dc, *r, ink);
  }
  if (g.vertical) {
    Arrow(dc, g.before, true, ink);
    Arrow(dc, g.after, false, ink);
  } else {
    SideArrow(dc, g.before, false, ink);
    SideArrow(dc, g.after, true, ink);
  }
  if (!IsRectEmpty(&g.thumb)) {
    Fill(dc, g.thumb, GetSysColor(COLOR_WINDOW));
    Frame(dc, g.thumb, ink);
  }
}

int HitBar(const BarGeometry& g, POINT p) {
  if (!PtInRect(&g.bar, p)) return -1;
  if (PtInRect(&g.before, p)) return SB_LINEUP;
  if (PtInRect(&g.after, p)) return SB_LINEDOWN;
  if (IsRectEmpty(&g.thumb)) return -1;
  if (PtInRect(&g.thumb, p)) return SB_THUMBTRACK;
  const bool before = g.vertical ? p.y < g.thumb.top : p.x < g.thumb.left;
  return before ? SB_PAGEUP : SB_PAGEDOWN;
}

int PosFromThumbEdge(const BarGeometry& g, const SCROLLINFO& info, int edge) {
  const int trackStart = g.vertical ? g.track.top : g.track.left;
  const int trackLength = g.vertical ? g.track.bottom - g.track.top : g.track.right - g.track.left;
  const int thumb = g.vertical ? g.thumb.bottom - g.thumb.top : g.thumb.right - g.thumb.left;
  const int room = trackLength - thumb;
  const int steps = MaxScrollPos(info) - info.nMin;
  if (room <= 0 || steps <= 0) return info.nMin;
  const int at = std::clamp(edge - trackStart, 0, room);
  return info.nMin + static_cast<int>((static_cast<int64_t>(at) * steps + room / 2) / room);
}

}  // namespace zb::wm
