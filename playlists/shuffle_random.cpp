// The shuffle's random numbers: the C runtime's generator, seeded from the tick count on first
// use, with a few draws thrown away per call so that picks made in quick succession differ more.
#include <cstdlib>

#include "playlist.h"

namespace {
bool g_seeded = false;
}

int GetShuffleRandom() {
  if (!g_seeded) {
    std::srand(GetTickCount());
    g_seeded = true;
  }
  for (DWORD discard = (GetTickCount() / 100) % 5; discard > 0; --discard) std::rand();
  return std::rand();
}
