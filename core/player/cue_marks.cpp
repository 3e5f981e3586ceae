// See cue_marks.h.
#include "core/player/cue_marks.h"

#include <algorithm>

DWORD CCueMarks::Add(LONG position) {
  const DWORD cookie = static_cast<DWORD>(++counter_);
  CSectionLock hold(lock_);
  marks_.push_back({cookie, position});
  return cookie;
}

void CCueMarks::Remove(DWORD cookie) {
  CSectionLock hold(lock_);
  std::erase_if(marks_, [cookie](const Mark& mark) { return mark.cookie == cookie; });
}

std::vector<DWORD> CCueMarks::Passed(LONG from, LONG to) {
  std::vector<DWORD> passed;
  CSectionLock hold(lock_);
  for (const Mark& mark : marks_)
    if (mark.position > from && mark.position <= to) passed.push_back(mark.cookie);
  return passed;
}
