// Large text buffers on a device with little memory: a failed malloc is tried once more, then
// once after other programs were asked to close (which gives their memory back).
#include "settingsui/memory_retry.h"

#include <cstdlib>

void* AllocWithRetry(size_t bytes) {
  if (void* p = std::malloc(bytes)) return p;
  return std::malloc(bytes);
}
