// Local and global heap blocks (one heap, as on the device). Fixed blocks are their own handle;
// movable ones have a handle that stays while GlobalReAlloc moves the bytes, which is what
// streams on global memory grow by. Every handle is looked up before use, so a stale or foreign
// handle fails with ERROR_INVALID_HANDLE instead of corrupting the heap.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <windows.h>

namespace {

struct Block {
  void* data;
  SIZE_T size;
  bool movable;
  UINT locks;
};

struct Heap {
  std::mutex lock;
  std::unordered_map<uintptr_t, Block> blocks;  // by handle
  uintptr_t movableCount = 0;
};

Heap& TheHeap() {
  static Heap* heap = new Heap;  // blocks may be freed by static destructors elsewhere
  return *heap;
}

uintptr_t Key(HLOCAL handle) { return reinterpret_cast<uintptr_t>(handle); }

// Runs `use` on the block of `handle` under the heap lock; `failed` when there is no such block.
template <class R, class Use>
R WithBlock(HLOCAL handle, R failed, Use use) {
  Heap& heap = TheHeap();
  std::lock_guard lock(heap.lock);
  auto it = heap.blocks.find(Key(handle));
  if (it == heap.blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return failed;
  }
  return use(heap, it);
}

void* Allocate(SIZE_T bytes, UINT flags) {
  void* data = (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
  if (!data) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return data;
}

}  // namespace

extern "C" HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  if (flags & ~(LMEM_MOVEABLE | LMEM_ZEROINIT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* data = Allocate(bytes, flags);
  if (!data) return nullptr;
  Heap& heap = TheHeap();
  std::lock_guard lock(heap.lock);
  bool movable = flags & LMEM_MOVEABLE;
  // Movable handles are not 16-byte aligned, so they never equal a pointer that malloc returns.
  uintptr_t handle = movable ? (++heap.movableCount << 4 | 6) : reinterpret_cast<uintptr_t>(data);
  heap.blocks[handle] = Block{data, bytes, movable, 0};
  return reinterpret_cast<HLOCAL>(handle);
}

extern "C" HLOCAL LocalReAlloc(HLOCAL memory, SIZE_T bytes, UINT flags) {
  return WithBlock(memory, HLOCAL{}, [&](Heap& heap, auto it) -> HLOCAL {
    Block block = it->second;
    if (bytes <= block.size && !block.movable) {  // shrinking a fixed block keeps it in place
      it->second.size = bytes;
      return memory;
    }
    // A fixed block may move only when the caller allows it; the old block stays valid on failure.
    if (!block.movable && !(flags & LMEM_MOVEABLE)) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    void* data = std::realloc(block.data, bytes ? bytes : 1);
    if (!data) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if ((flags & LMEM_ZEROINIT) && bytes > block.size)
      std::memset(static_cast<char*>(data) + block.size, 0, bytes - block.size);
    block.data = data;
    block.size = bytes;
    if (block.movable) {
      it->second = block;
      return memory;
    }
    heap.blocks.erase(it);
    heap.blocks[reinterpret_cast<uintptr_t>(data)] = block;
    return reinterpret_cast<HLOCAL>(data);
  });
}

extern "C" SIZE_T LocalSize(HLOCAL memory) {
  return WithBlock(memory, SIZE_T{0}, [](Heap&, auto it) { return it->second.size; });
}

extern "C" HLOCAL LocalFree(HLOCAL memory) {
  if (!memory) return nullptr;
  return WithBlock(memory, memory, [](Heap& heap, auto it) -> HLOCAL {
    std::free(it->second.data);
    heap.blocks.erase(it);
    return nullptr;
  });
}

extern "C" HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) { return LocalAlloc(flags, bytes); }
extern "C" HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) { return LocalReAlloc(memory, bytes, flags); }
extern "C" SIZE_T GlobalSize(HGLOBAL memory) { return LocalSize(memory); }
extern "C" HGLOBAL GlobalFree(HGLOBAL memory) { return LocalFree(memory); }

extern "C" LPVOID GlobalLock(HGLOBAL memory) {
  return WithBlock(memory, LPVOID{}, [](Heap&, auto it) {
    if (it->second.movable) ++it->second.locks;
    return it->second.data;
  });
}

extern "C" BOOL GlobalUnlock(HGLOBAL memory) {
  return WithBlock(memory, BOOL{FALSE}, [](Heap&, auto it) -> BOOL {
    Block& block = it->second;
    if (!block.movable || block.locks == 0) {
      SetLastError(ERROR_NOT_LOCKED);
      return FALSE;
    }
    if (--block.locks == 0) {
      SetLastError(NO_ERROR);
      return FALSE;
    }
    return TRUE;
  });
}

extern "C" HGLOBAL GlobalHandle(LPCVOID memory) {
  Heap& heap = TheHeap();
  std::lock_guard lock(heap.lock);
  for (const auto& [handle, block] : heap.blocks) {
    if (block.data == memory) return reinterpret_cast<HGLOBAL>(handle);
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}
