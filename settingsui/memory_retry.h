// Allocation for the large buffers of whole-file text: tried again, and a last time after the
// shell was asked to free memory, before it is given up.
#pragma once
#include <cstddef>

// malloc'ed memory (freed with free), or null. `sought` is what the shell is asked to free.
void* AllocWithRetry(size_t bytes, size_t sought);
