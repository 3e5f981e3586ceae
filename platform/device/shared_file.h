// Device-wide shared memory for the layer's tables (the kernel's objects, the window system's
// windows): a file in the device's state folder that every process of the device maps, sized
// and initialised once under flock, started afresh when it holds another layout, and a private
// stand-in when the folder cannot hold it. Its lock is a process-shared robust mutex.
#pragma once
#include <cstddef>
#include <pthread.h>
#include <string_view>

namespace zb::device {

// `current` tells whether a mapping holds this layout already; `init` lays it out (under the
// flock), `fresh` when the bytes are known to be zeros. `privateNote` goes to the debug log when
// the mapping has to stay private.
// Returns nullptr only when not even a private mapping can be had.
void* MapSharedFile(std::string_view fileName, size_t size, bool (*current)(const void*),
                    void (*init)(void*, bool fresh), std::string_view privateNote);

void InitRobustMutex(pthread_mutex_t* mutex);
// Locks; true when the previous owner died holding it (the state is then the caller's to mend).
bool LockRobust(pthread_mutex_t* mutex);

// Runs of free chunks in a bitmap of `chunks` bits (used = 1), for the tables' data arenas.
bool AllocChunkRun(uint32_t* bits, uint32_t chunks, uint32_t count, uint32_t* first);
void FreeChunkRun(uint32_t* bits, uint32_t first, uint32_t count);

}  // namespace zb::device
