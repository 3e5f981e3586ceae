// The "msctls_progress32" class: a range, a position and a step; drawn as a flat frame filled
// in the highlight colour up to the position (in blocks, or smooth with PBS_SMOOTH), across or
// upwards with PBS_VERTICAL. Stepping past the end starts over at the beginning.
#include <algorithm>

#include "commctrl/cc_procs.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"

namespace zb::cc {
namespace {

struct Progress {
  int low = 0, high = 100, pos = 0, step = 10;
  COLORREF bar = CLR_DEFAULT, back = CLR_DEFAULT;
};

void Paint(HWND hwnd, const Progress& p) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
  zb::wm::Fill(dc, client, p.back == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : p.back);
  zb::wm::Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  RECT inside = client;
  InflateRect(&inside, -2, -2);
  const bool vertical = (style & PBS_VERTICAL) != 0;
  const int length = vertical ? inside.bottom - inside.top : inside.right - inside.left;
  const int span = std::max(p.high - p.low, 1);
  const int filled = static_cast<int>(static_cast<int64_t>(length) * (std::clamp(p.pos, p.low, p.high) - p.low) / span);
  const COLORREF colour = p.bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : p.bar;
  const int breadth = vertical ? inside.right - inside.left : inside.bottom - inside.top;
  const int block = (style & PBS_SMOOTH) ? length : std::max(breadth * 2 / 3, 2);
  for (int at = 0; at < filled; at += block + ((style & PBS_SMOOTH) ? 0 : 2)) {
    const int end = std::min(at + block, filled);
    const RECT piece = vertical ? RECT{inside.left, inside.bottom - end, inside.right, inside.bottom - at}
                                : RECT{inside.left + at, inside.top, inside.left + end, inside.bottom};
    zb::wm::Fill(dc, piece, colour);
  }
  EndPaint(hwnd, &ps);
}

int SetPos(HWND hwnd, Progress& p, int pos) {
  const int previous = p.pos;
  p.pos = std::clamp(pos, std::min(p.low, p.high), std::max(p.low, p.high));
  if (p.pos != previous) InvalidateRect(hwnd, nullptr, TRUE);
  return previous;
}

LRESULT SetRange(HWND hwnd, Progress& p, int low, int high) {
  const LRESULT previous = MAKELRESULT(static_cast<WORD>(p.low), static_cast<WORD>(p.high));
  p.low = low;
  p.high = high;
  SetPos(hwnd, p, p.pos);
  InvalidateRect(hwnd, nullptr, TRUE);
  return previous;
}

}  // namespace

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = zb::wm::StateOrMake<Progress>(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  Progress& p = *state;
  switch (message) {
    case PBM_SETRANGE: return SetRange(hwnd, p, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32: return SetRange(hwnd, p, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
      if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) *range = PBRANGE{p.low, p.high};
      return wParam ? p.low : p.high;
    case PBM_SETPOS: return SetPos(hwnd, p, static_cast<int>(wParam));
    case PBM_GETPOS: return p.pos;
    case PBM_DELTAPOS: return SetPos(hwnd, p, p.pos + static_cast<int>(wParam));
    case PBM_SETSTEP: {
      const int previous = p.step;
      p.step = static_cast<int>(wParam);
      return previous;
    }
    case PBM_STEPIT: {
      const int next = p.pos + p.step;
      return SetPos(hwnd, p, next > p.high ? p.low + (next - p.low) % std::max(p.high - p.low, 1) : next);
    }
    case PBM_SETBARCOLOR: {
      const COLORREF previous = p.bar;
      p.bar = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return previous;
    }
    case PBM_SETBKCOLOR: {
      const COLORREF previous = p.back;
      p.back = static_cast<COLORREF>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return previous;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(hwnd, p); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace zb::cc
