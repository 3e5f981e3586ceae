// LoadCursorW for the system's arrow and wait cursors, and SetCursor. The device has no mouse
// pointer; the cursor matters only as the wait cursor, which is device-wide so the screen
// presenter of another process can show it.
#include "gwes/cursor_state.h"
#include "gwes/wm_session.h"

using namespace zb::wm;

namespace {

constexpr uintptr_t kCursorTag = 0x5A430000;  // system cursors: tag | resource number

bool IsSystemCursor(HCURSOR cursor) {
  auto v = reinterpret_cast<uintptr_t>(cursor);
  return v == (kCursorTag | 32512) || v == (kCursorTag | 32514);
}

}  // namespace

namespace zb::wm {

bool WaitCursorShown() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return s.cursor == (kCursorTag | 32514);
}

}  // namespace zb::wm

extern "C" HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  auto id = reinterpret_cast<uintptr_t>(name);
  if (instance || (name != IDC_ARROW && name != IDC_WAIT)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HCURSOR>(kCursorTag | id);
}

extern "C" HCURSOR SetCursor(HCURSOR cursor) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  HCURSOR previous = reinterpret_cast<HCURSOR>(s.cursor);
  s.cursor = IsSystemCursor(cursor) ? reinterpret_cast<uintptr_t>(cursor) : 0;
  return previous;
}

extern "C" HCURSOR GetCursor() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  return reinterpret_cast<HCURSOR>(s.cursor);
}
