// Off-screen drawing: a window draws a rectangle into a memory copy that carries the target's
// drawing state, and the finished rectangle goes to the screen in one copy, without flicker.
#include "skin/bitmap_helpers.h"

HDC BeginOffscreen(HDC dc, const RECT* rect, OffscreenState* state) {
  if (!state) return dc;
  *state = {};
  state->target = dc;
  if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) return dc;
  const int w = rect->right - rect->left, h = rect->bottom - rect->top;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, w, h) : nullptr;
  if (!bitmap) {
    if (memory) DeleteDC(memory);
    return dc;  // drawn straight into the target instead
  }
  state->memory = memory;
  state->bitmap = bitmap;
  state->rect = *rect;
  state->previousBitmap = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, dc, rect->left, rect->top, SRCCOPY);
  SetViewportOrgEx(memory, -rect->left, -rect->top, nullptr);
  // The target's objects move to the copy; stock ones hold their places meanwhile.
  state->font = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  state->pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  state->brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(memory, state->font);
  SelectObject(memory, state->pen);
  SelectObject(memory, state->brush);
  SetTextColor(memory, GetTextColor(dc));
  SetBkColor(memory, GetBkColor(dc));
  SetBkMode(memory, GetBkMode(dc));
  SetROP2(memory, GetROP2(dc));
  return memory;
}

void EndOffscreen(HDC result, OffscreenState* state) {
  if (!state || !state->memory || result != state->memory) return;
  const RECT& r = state->rect;
  BitBlt(state->target, r.left, r.top, r.right - r.left, r.bottom - r.top, state->memory, r.left, r.top, SRCCOPY);
  SelectObject(state->memory, GetStockObject(SYSTEM_FONT));
  SelectObject(state->memory, GetStockObject(BLACK_PEN));
  SelectObject(state->memory, GetStockObject(WHITE_BRUSH));
  SelectObject(state->target, state->font);
  SelectObject(state->target, state->pen);
  SelectObject(state->target, state->brush);
  SelectObject(state->memory, state->previousBitmap);
  DeleteObject(state->bitmap);
  DeleteDC(state->memory);
  *state = {};
}
