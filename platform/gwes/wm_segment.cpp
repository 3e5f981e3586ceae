// Mapping the window system's segment of the current device and its robust lock. The file sits
// beside the kernel segment in the device's state folder; the first process to open it sizes it
// under flock, and a mapping of another layout is started afresh.
#include "gwes/wm_segment.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "device/device.h"
#include "device/shared_file.h"

namespace zb::wm {
namespace {

constexpr uint32_t kMagic = 0x5a425753;  // "ZBWS"
constexpr uint32_t kVersion = 1;

std::mutex g_mapLock;
Segment* g_current = nullptr;
unsigned g_generation = 0;

void Initialise(void* p, bool fresh) {
  auto* s = static_cast<Segment*>(p);
  // A fresh file reads as zeros already; only a stale layout needs clearing.
  if (!fresh) std::memset(p, 0, offsetof(Segment, arena));
  s->topFirst = s->topLast = kNone;
  device::StampLayout(s, kMagic, kVersion);
}

bool HoldsThisLayout(const void* p) { return device::HoldsLayout<Segment>(p, kMagic, kVersion); }

Segment* Map() {
  return static_cast<Segment*>(
      device::MapSharedFile("gwes-v1.seg", sizeof(Segment), HoldsThisLayout, Initialise,
                            "gwes: cannot share the device's window table; windows stay in this process\r\n"));
}

}  // namespace

Segment& Current() {
  std::lock_guard lock(g_mapLock);
  unsigned generation = device::Generation();
  if (!g_current || g_generation != generation) {
    // Older mappings stay mapped: windows of the previous device may still point there.
    Segment* mapped = Map();
    if (!mapped) {
      device::DebugLog("gwes: cannot map the device's window table\r\n");
      std::abort();
    }
    g_current = mapped;
    g_generation = generation;
  }
  return *g_current;
}

Locked::Locked(Segment& s)
    : RobustLock(&s.lock,
                 [](void* table) {
                   device::DebugLog("gwes: recovered the window table's lock from a process that died holding it\r\n");
                   SweepDead(*static_cast<Segment*>(table));
                 },
                 &s) {}

WindowSlot* Slot(Segment& s, HWND hwnd) {
  uint64_t v = HwndValue(hwnd);
  if (v == 0 || (v & 3) || v >= (1ull << 30)) return nullptr;
  uint32_t index = (v >> 2) & 0xFFF;
  if (index >= kMaxWindows) return nullptr;
  WindowSlot& w = s.windows[index];
  if (!w.live || (w.gen & 0xFFFF) != ((v >> 14) & 0xFFFF)) return nullptr;
  return &w;
}

WindowSlot* SlotOrFail(Segment& s, HWND hwnd) {
  WindowSlot* w = Slot(s, hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

bool AllocChunks(Segment& s, uint32_t bytes, uint32_t* first, uint32_t* count) {
  *count = std::max<uint32_t>(1, (bytes + kChunkBytes - 1) / kChunkBytes);
  return *count <= kChunks && device::AllocChunkRun(s.chunkUsed, kChunks, *count, first);
}

void FreeChunks(Segment& s, uint32_t first, uint32_t count) {
  if (first < kChunks) device::FreeChunkRun(s.chunkUsed, first, std::min(count, kChunks - first));
}

}  // namespace zb::wm
