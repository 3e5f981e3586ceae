// CreateCaret and the caret calls: one caret per thread, created hidden, shown while its hide
// count is zero. The owner window repaints the caret's place whenever it changes.
#include "gwes/caret.h"

namespace zb::wm {
namespace {

struct Caret {
  HWND owner = nullptr;
  int width = 0, height = 0;
  POINT pos{0, 0};
  int hidden = 1;  // the caret shows when this is 0
};

thread_local Caret t_caret;

RECT PlaceOf(const Caret& c) { return RECT{c.pos.x, c.pos.y, c.pos.x + c.width, c.pos.y + c.height}; }

void Repaint(const Caret& c) {
  if (!c.owner || !IsWindow(c.owner)) return;
  RECT r = PlaceOf(c);
  InvalidateRect(c.owner, &r, FALSE);
}

bool Owns(HWND hwnd) { return t_caret.owner && (!hwnd || hwnd == t_caret.owner); }

}  // namespace

bool CaretShownIn(HWND hwnd, RECT* rect) {
  if (t_caret.owner != hwnd || t_caret.hidden != 0) return false;
  if (rect) *rect = PlaceOf(t_caret);
  return true;
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  DestroyCaret();
  t_caret = Caret{hwnd, width > 0 ? width : GetSystemMetrics(SM_CXBORDER), height > 0 ? height : GetSystemMetrics(SM_CYBORDER),
                  POINT{0, 0}, 1};
  return TRUE;
}

extern "C" BOOL DestroyCaret() {
  if (!t_caret.owner) return FALSE;
  Caret old = t_caret;
  t_caret = Caret{};
  if (old.hidden == 0) Repaint(old);
  return TRUE;
}

extern "C" BOOL HideCaret(HWND hwnd) {
  if (!Owns(hwnd)) return FALSE;
  if (t_caret.hidden++ == 0) Repaint(t_caret);
  return TRUE;
}

extern "C" BOOL ShowCaret(HWND hwnd) {
  if (!Owns(hwnd) || t_caret.hidden == 0) return FALSE;
  if (--t_caret.hidden == 0) Repaint(t_caret);
  return TRUE;
}

extern "C" BOOL SetCaretPos(int x, int y) {
  if (!t_caret.owner) return FALSE;
  if (t_caret.pos.x == x && t_caret.pos.y == y) return TRUE;
  if (t_caret.hidden == 0) Repaint(t_caret);
  t_caret.pos = POINT{x, y};
  if (t_caret.hidden == 0) Repaint(t_caret);
  return TRUE;
}

extern "C" BOOL GetCaretPos(LPPOINT point) {
  if (!point || !t_caret.owner) return FALSE;
  *point = t_caret.pos;
  return TRUE;
}

extern "C" UINT GetCaretBlinkTime() { return 500; }
