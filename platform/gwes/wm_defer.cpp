// Placing several windows in one go (BeginDeferWindowPos, DeferWindowPos, EndDeferWindowPos)
// and window regions. A window's region limits where it draws to the region's bounds; the
// window owns the region from then on and deletes it when it is replaced or the window goes.
#include <memory>
#include <vector>

#include "gwes/wm_session.h"

using namespace zb::wm;

namespace {

struct Batch {
  std::vector<WINDOWPOS> moves;
};

}  // namespace

extern "C" HDWP BeginDeferWindowPos(int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* batch = new Batch;
  batch->moves.reserve(static_cast<size_t>(count));
  return reinterpret_cast<HDWP>(batch);
}

extern "C" HDWP DeferWindowPos(HDWP handle, HWND hwnd, HWND insertAfter, int x, int y, int width, int height,
                               UINT flags) {
  auto* batch = reinterpret_cast<Batch*>(handle);
  if (!batch) {
    SetLastError(ERROR_INVALID_DWP_HANDLE);
    return nullptr;
  }
  if (!IsWindow(hwnd)) {
    // The platform gives the batch up when one of its windows is bad.
    delete batch;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  batch->moves.push_back(WINDOWPOS{hwnd, insertAfter, x, y, width, height, flags});
  return handle;
}

extern "C" BOOL EndDeferWindowPos(HDWP handle) {
  std::unique_ptr<Batch> batch(reinterpret_cast<Batch*>(handle));
  if (!batch) {
    SetLastError(ERROR_INVALID_DWP_HANDLE);
    return FALSE;
  }
  BOOL ok = TRUE;
  for (const WINDOWPOS& m : batch->moves) {
    if (!SetWindowPos(m.hwnd, m.hwndInsertAfter, m.x, m.y, m.cx, m.cy, m.flags)) ok = FALSE;
  }
  return ok;
}

extern "C" int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  auto window = LocalWindowOrFail(hwnd);
  if (!window) return 0;
  HRGN previous;
  {
    std::lock_guard lock(CurrentSession().lock);
    previous = window->region;
    window->region = region;
  }
  if (previous && previous != region) DeleteObject(previous);
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return 1;
}

extern "C" int GetWindowRgn(HWND hwnd, HRGN region) {
  auto window = LocalWindowOrFail(hwnd);
  if (!window || !region) return ERROR;
  HRGN own;
  {
    std::lock_guard lock(CurrentSession().lock);
    own = window->region;
  }
  if (!own) return ERROR;
  return CombineRgn(region, own, nullptr, RGN_COPY);
}
