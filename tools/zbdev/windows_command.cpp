// zbdev windows: every window of the device from the shared window table, top-level windows in
// z-order with their children indented below them, each with its owner process and thread, its
// class and title, whether it shows, its style and its extra words.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "device/text.h"
#include "gwes/wm_links.h"
#include "gwes/wm_session.h"
#include "commands.h"

namespace zb::zbdev {

int Windows(int argc, char**) {
  if (argc != 0) return 2;
  using namespace zb::wm;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  SweepDead(s);
  std::function<void(uint32_t, int)> print = [&](uint32_t i, int depth) {
    const WindowSlot& w = s.windows[i];
    std::string words;
    for (uint32_t at = 0; at + 4 <= w.extraBytes; at += 4) {
      uint32_t v;
      std::memcpy(&v, w.extra + at, 4);
      char hex[16];
      std::snprintf(hex, sizeof hex, " %08x", v);
      words += hex;
    }
    std::printf("%*s0x%08llx pid %d tid %d class \"%s\" title \"%s\" visible %d style 0x%08x words%s\n", depth * 2,
                "", static_cast<unsigned long long>(HwndValue(HandleOf(s, w))), w.pid, w.tid,
                zb::ToUtf8(w.className).c_str(), zb::ToUtf8(w.title).c_str(), ShownOnScreen(s, w) ? 1 : 0, w.style,
                words.empty() ? " -" : words.c_str());
    for (uint32_t c = w.firstChild; c != kNone; c = s.windows[c].next) print(c, depth + 1);
  };
  for (uint32_t i = s.topFirst; i != kNone; i = s.windows[i].next) print(i, 0);
  return 0;
}

}  // namespace zb::zbdev
