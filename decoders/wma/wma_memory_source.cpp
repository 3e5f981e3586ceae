// See wma_memory_source.h: the read callback over bytes in memory.
#include "wma_memory_source.h"

#include <algorithm>

uint32_t WmaReadMemory(void* host, uint32_t offset, uint32_t bytes, const uint8_t** data) {
  const auto* source = static_cast<const WmaMemorySource*>(host);
  if (offset >= source->size) return 0;
  *data = source->data + offset;
  return static_cast<uint32_t>(std::min<size_t>(bytes, source->size - offset));
}
