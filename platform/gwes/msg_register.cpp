// RegisterWindowMessageW: one number per name on the whole device (names compare without
// case), so processes that register the same name talk with the same message.
#include "gwes/wm_session.h"

using namespace zb::wm;

extern "C" UINT RegisterWindowMessageW(LPCWSTR name) {
  if (!name || !*name || std::char_traits<char16_t>::length(name) > kClassChars) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  uint32_t free = kNone;
  for (uint32_t i = 0; i < kMaxRegistered; ++i) {
    if (s.registered[i].used && SameName(s.registered[i].name, name)) return 0xC000 + i;
    if (!s.registered[i].used && free == kNone) free = i;
  }
  if (free == kNone) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  s.registered[free].used = 1;
  CopyName(s.registered[free].name, kClassChars, name);
  return 0xC000 + free;
}
