// GetWindowLongW and SetWindowLongW. The words live in the shared table, so another process can
// read a window's extra bytes and user word (as the Today item reads the player's position);
// only the owner process may change them. Extra bytes are 32-bit words at byte offsets.
#include <cstring>

#include "gwes/dialog_words.h"
#include "gwes/wm_session.h"

using namespace zb::wm;

namespace {

struct Word {
  int64_t* wide = nullptr;    // a pointer-sized word of the window
  uint32_t* narrow = nullptr; // style words
  uint8_t* extra = nullptr;   // four extra bytes
};

Word Locate(WindowSlot& w, int index) {
  switch (index) {
    case GWL_WNDPROC: return {&w.wndProc};
    case GWL_ID: return {&w.id};
    case GWL_USERDATA: return {&w.userData};
    case GWL_STYLE: return {nullptr, &w.style};
    case GWL_EXSTYLE: return {nullptr, &w.exStyle};
    default: break;
  }
  if (index < 0) return {};
  if (w.dialog) {
    if (index == DWL_MSGRESULT) return {&w.dlgResult};
    if (index == DWL_DLGPROC) return {&w.dlgProc};
    if (index == DWL_USER) return {&w.dlgUser};
  }
  if (static_cast<uint32_t>(index) + 4 > w.extraBytes) return {};
  return {nullptr, nullptr, w.extra + index};
}

LONG_PTR Read(const Word& word) {
  if (word.wide) return static_cast<LONG_PTR>(*word.wide);
  if (word.narrow) return static_cast<LONG>(*word.narrow);
  int32_t v;
  std::memcpy(&v, word.extra, 4);
  return v;
}

void Write(const Word& word, LONG_PTR value) {
  if (word.wide) {
    *word.wide = value;
  } else if (word.narrow) {
    *word.narrow = static_cast<uint32_t>(value);
  } else {
    int32_t v = static_cast<int32_t>(value);
    std::memcpy(word.extra, &v, 4);
  }
}

}  // namespace

namespace zb::wm {

bool MarkDialogWindow(HWND hwnd) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Slot(s, hwnd);
  if (!w) return false;
  w->dialog = 1;
  return true;
}

}  // namespace zb::wm

extern "C" LONG_PTR GetWindowLongW(HWND hwnd, int index) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return 0;
  Word word = Locate(*w, index);
  if (!word.wide && !word.narrow && !word.extra) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return Read(word);
}

extern "C" LONG_PTR SetWindowLongW(HWND hwnd, int index, LONG_PTR value) {
  auto local = LocalWindow(hwnd);
  if (index == GWL_WNDPROC && local && !value) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = SlotOrFail(s, hwnd);
  if (!w) return 0;
  if (!local) {
    SetLastError(ERROR_ACCESS_DENIED);  // another process's window is read-only here
    return 0;
  }
  Word word = Locate(*w, index);
  if (!word.wide && !word.narrow && !word.extra) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR previous = Read(word);
  Write(word, value);
  if (index == GWL_WNDPROC) local->proc = reinterpret_cast<WNDPROC>(value);
  SetLastError(0);
  return previous;
}
