// A stream object over bytes in memory, for the fuzz targets: the readers and the first-frame
// scan see exactly the input, without a file in between.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/interface/input_source.h"

InputSource MakeMemorySource(const uint8_t* data, size_t size);
