// Bytes held in memory as the WMA library's file: the read callback over them, for the commands,
// the tests and the fuzz target, which have the whole file at hand.
#pragma once
#include <cstddef>
#include <cstdint>

#include "wma_lib.h"

struct WmaMemorySource {
  const uint8_t* data;
  size_t size;
};

// A WmaReadCallback whose host is a WmaMemorySource.
uint32_t WmaReadMemory(void* host, uint32_t offset, uint32_t bytes, const uint8_t** data);

// Points the library's reads at `source`, which must outlive it.
inline void WmaReadFrom(WmaLibState* lib, WmaMemorySource* source) {
  lib->read = WmaReadMemory;
  lib->host = source;
}
