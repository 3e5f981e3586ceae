// Task memory: the allocator that COM callers and callees share for memory handed across an
// interface. A request of 0 bytes still gets a block of its own.
#include <cstdlib>
#include <objbase.h>

extern "C" LPVOID CoTaskMemAlloc(SIZE_T size) { return std::malloc(size ? size : 1); }

extern "C" LPVOID CoTaskMemRealloc(LPVOID memory, SIZE_T size) { return std::realloc(memory, size ? size : 1); }

extern "C" void CoTaskMemFree(LPVOID memory) { std::free(memory); }
