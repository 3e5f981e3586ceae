// The one place the layer reads the wall clock for file times, so a test clock can stand in
// for the host's later without touching the callers.
#pragma once
#include <cstdint>

namespace zb {

// Now, in FILETIME units (100 ns since 1601-01-01 UTC).
uint64_t HostNowFileTime();

}  // namespace zb
