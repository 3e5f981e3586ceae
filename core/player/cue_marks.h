// The cue marks plug-ins set on the playing item: each is a position (ms) with a cookie, and the
// now-playing refresh tells the hooks of every mark playback went past since its last run.
#pragma once
#include <windows.h>

#include <atomic>
#include <vector>

#include "core/common/critical_section.h"

class CCueMarks {
 public:
  // A new mark; its cookie (the first one handed out is 2).
  DWORD Add(LONG position);
  // Every mark with that cookie goes.
  void Remove(DWORD cookie);
  // The cookies of the marks above `from` and at or below `to`, in the order they were added.
  std::vector<DWORD> Passed(LONG from, LONG to);

 private:
  struct Mark {
    DWORD cookie;
    LONG position;
  };
  CCriticalSection lock_;
  std::vector<Mark> marks_;
  std::atomic<LONG> counter_{1};
};
