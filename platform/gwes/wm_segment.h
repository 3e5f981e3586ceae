// The window system's shared segment: one file per device holding every window of every process
// (so FindWindowW, GetWindowLongW and the tree work on another process's windows without its
// help), every thread's message queue, the sends in flight with their copied data, and the
// device-wide input state. Callers of everything here hold the segment lock unless noted.
#pragma once
#include <atomic>
#include <cstdint>
#include <pthread.h>
#include <windows.h>

#include "device/shared_file.h"

namespace zb::wm {

inline constexpr uint32_t kMaxWindows = 1024;
inline constexpr uint32_t kMaxQueues = 128;
inline constexpr uint32_t kQueueMessages = 1024;  // posted messages waiting per thread
inline constexpr uint32_t kMaxSends = 256;
inline constexpr uint32_t kMaxHooks = 16;
inline constexpr uint32_t kMaxHotKeys = 64;
inline constexpr uint32_t kMaxRegistered = 256;  // RegisterWindowMessageW names
inline constexpr uint32_t kClassChars = 64;
inline constexpr uint32_t kTitleChars = 256;
inline constexpr uint32_t kMaxExtraBytes = 256;
inline constexpr uint32_t kChunkBytes = 4096;
inline constexpr uint32_t kChunks = 256;  // copied WM_COPYDATA data in flight: 1 MB
inline constexpr uint32_t kScriptEntries = 32;
inline constexpr uint32_t kShownEntries = 32;
inline constexpr uint32_t kNone = 0xFFFFFFFF;

// What a queued record stands for; input kinds are what MsgWait's wake masks tell apart.
enum class PostKind : uint32_t { Posted, Key, MouseButton, MouseMove, HotKey };

struct Posted {
  uint64_t hwnd;
  uint32_t message;
  PostKind kind;
  uint64_t wParam;
  uint64_t lParam;
  uint32_t time;
  int32_t x, y;
};

struct WindowSlot {
  uint32_t gen;  // bumped on free, so a stale HWND never reaches a newer window
  uint32_t live;
  int32_t pid, tid;
  uint32_t queue;  // the owner thread's queue slot
  uint32_t style, exStyle;
  uint64_t parent, owner;                              // HWND values, 0 for none
  uint32_t firstChild, lastChild, prev, next;          // slot indices, kNone for none; first = top
  RECT rect;                                           // in the parent's client area (screen for top-level)
  int64_t id, userData, wndProc, dlgResult, dlgProc, dlgUser;
  uint32_t dialog;  // DWL_ words answer at offsets 0, 4 and 8
  uint32_t extraBytes;
  uint8_t extra[kMaxExtraBytes];
  char16_t className[kClassChars + 1];
  char16_t title[kTitleChars + 1];
};

struct QueueSlot {
  uint32_t gen;
  uint32_t live;
  int32_t pid, tid;
  uint64_t startTime;           // with pid, tells a dead process from a reused pid
  uint32_t wakeIndex, wakeGen;  // the thread's anonymous auto-reset event in the kernel segment
  uint32_t head, count;
  uint32_t quit;
  int32_t quitCode;
  uint32_t changed;  // QS_ bits of what arrived since the thread last looked
  uint64_t active, focus;
  Posted ring[kQueueMessages];
};

enum class SendKind : uint32_t { Send, Notify, Internal, Hook };
enum class SendState : uint32_t { Free, Pending, Taken, Done };

struct SendSlot {
  SendState state;
  SendKind kind;
  uint64_t seq;
  uint32_t from, fromGen;  // sender's queue (kNone for a notify)
  uint32_t to, toGen;
  int32_t fromPid;
  uint64_t hwnd;
  uint32_t message;
  uint64_t wParam, lParam;
  uint64_t aux[4];  // copied-data tag, internal arguments, hook records
  int64_t result;
  uint32_t firstChunk, chunks, dataSize;
  uint32_t hasData;
};

struct HookSlot {
  uint32_t live;
  uint32_t gen;
  int32_t pid;
  uint32_t queue, queueGen;
  uint64_t seq;  // newest first
  uint64_t proc;
};

struct HotKeySlot {
  uint32_t live;
  int32_t pid;
  uint32_t queue, queueGen;
  uint64_t hwnd;
  int32_t id;
  uint32_t modifiers, vk;
};

struct RegisteredMessage {
  uint32_t used;
  char16_t name[kClassChars + 1];
};

// Message boxes: answers set in advance by tests, and what was shown.
struct ScriptedAnswer {
  uint32_t used;
  uint64_t seq;
  int32_t answer;
  char16_t caption[kClassChars + 1];  // empty: any caption
};
struct ShownBox {
  int32_t pid;
  uint32_t type;
  int32_t answer;
  uint64_t seq;
  char16_t caption[kClassChars + 1];
  char16_t text[kTitleChars + 1];
};

struct Segment {
  uint32_t magic;
  uint32_t version;
  uint64_t size;
  pthread_mutex_t lock;  // process-shared and robust
  uint64_t seq;
  uint64_t foreground, capture;
  uint32_t topFirst, topLast;  // top-level windows, topmost first
  uint64_t cursor;  // SetCursor's, device-wide: the screen shows the wait cursor from here
  uint8_t keys[256];  // 0x80 down, 0x01 pressed since the last GetAsyncKeyState
  uint32_t chunkUsed[kChunks / 32];
  HookSlot hooks[kMaxHooks];
  HotKeySlot hotKeys[kMaxHotKeys];
  RegisteredMessage registered[kMaxRegistered];
  ScriptedAnswer script[kScriptEntries];
  ShownBox shown[kShownEntries];
  WindowSlot windows[kMaxWindows];
  QueueSlot queues[kMaxQueues];
  SendSlot sends[kMaxSends];
  alignas(4096) uint8_t arena[kChunkBytes * kChunks];
};

// The current device's segment, mapped on first use and again after the device changes.
Segment& Current();

// Holds the segment lock; a process that died holding it leaves it to the next taker, which
// sweeps that process's windows and queues.
class Locked : public device::RobustLock {
 public:
  explicit Locked(Segment& s);
};

// HWND values: slot index and generation, low two bits clear (callers set bit 0 as a flag),
// below 2^30 so a window fits any 32-bit word the product keeps it in.
inline HWND HwndOf(uint32_t index, uint32_t gen) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>((gen & 0xFFFF) << 14 | index << 2));
}
inline uint64_t HwndValue(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }
// The live slot of a window, or nullptr; SlotOrFail also sets ERROR_INVALID_WINDOW_HANDLE.
WindowSlot* Slot(Segment& s, HWND hwnd);
WindowSlot* SlotOrFail(Segment& s, HWND hwnd);
inline uint32_t IndexOf(const Segment& s, const WindowSlot& w) { return static_cast<uint32_t>(&w - s.windows); }
inline HWND HandleOf(const Segment& s, const WindowSlot& w) { return HwndOf(IndexOf(s, w), w.gen); }

// Data chunks of the arena; false when there is no room.
bool AllocChunks(Segment& s, uint32_t bytes, uint32_t* first, uint32_t* count);
void FreeChunks(Segment& s, uint32_t first, uint32_t count);
inline uint8_t* ChunkData(Segment& s, uint32_t first) { return s.arena + static_cast<size_t>(first) * kChunkBytes; }

// Removes what processes that no longer run left behind: windows, queues, hooks, hot keys and
// sends (a sender waiting on a dead process gets its answer of 0).
void SweepDead(Segment& s);
bool PidAlive(Segment& s, int32_t pid);

}  // namespace zb::wm
