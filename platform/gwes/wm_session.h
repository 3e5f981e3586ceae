// This process's side of the window system on the current device: its classes, the parts of
// its windows that only make sense here (procedures, text, update areas, timers), and each
// thread's message queue. Rebuilt when the device changes. Lock order: Session::lock, then the
// segment lock, then the kernel's; window procedures run with none held.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>
#include <windows.h>

#include "device/kernel_objects.h"
#include "gwes/wm_segment.h"

namespace zb::wm {

struct WindowClass {
  std::u16string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  LPCWSTR menuName = nullptr;
  std::vector<uint8_t> classExtra;
  int windows = 0;  // live windows of the class
};

struct Window {
  HWND hwnd = nullptr;
  uint32_t index = 0;
  uint32_t queue = 0;
  int32_t tid = 0;
  uint64_t serial = 0;  // creation order: parents paint before their children
  std::shared_ptr<WindowClass> cls;
  std::atomic<WNDPROC> proc{nullptr};
  // Under Session::lock:
  std::u16string text;
  bool invalid = false;  // has an update area waiting for WM_PAINT
  bool erase = false;
  RECT update{0, 0, 0, 0};  // client coordinates
  HICON icons[2] = {nullptr, nullptr};
  bool destroying = false;
  std::shared_ptr<void> control;  // a built-in control's or dialog's own state
  const void* controlKind = nullptr;
  SCROLLINFO bars[2]{};  // SB_HORZ and SB_VERT, as SetScrollInfo left them
  HRGN region = nullptr;  // SetWindowRgn's, owned by the window
};

struct Timer {
  uint32_t queue;
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  uint64_t due;
  TIMERPROC proc;
};

struct ThreadQueue {
  uint32_t index = kNone;
  uint32_t gen = 0;
  int32_t tid = 0;
  unsigned generation = 0;  // the device's
  kernel::ObjectRef wake;
  ~ThreadQueue();
};

struct Session {
  Segment* seg = nullptr;
  unsigned generation = 0;
  int32_t pid = 0;
  uint64_t startTime = 0;
  std::mutex lock;
  std::map<std::u16string, std::shared_ptr<WindowClass>> classes;  // by upper-case name
  std::unordered_map<uint64_t, std::shared_ptr<Window>> windows;   // this process's, by HWND value
  std::vector<Timer> timers;
  ATOM nextAtom = 0xC000;
  uint64_t nextSerial = 1;
  UINT_PTR nextThreadTimer = 0x10000;
};

Session& CurrentSession();
// The calling thread's id, asked of the host once.
int32_t MyTid();
// The calling thread's queue, made on first use; nullptr when the table is full.
ThreadQueue* MyQueue();
// The calling thread's queue when it has one already.
ThreadQueue* MyQueueIfAny();
// A window of this process (any thread), or nullptr; the second also sets
// ERROR_INVALID_WINDOW_HANDLE.
std::shared_ptr<Window> LocalWindow(HWND hwnd);
std::shared_ptr<Window> LocalWindowOrFail(HWND hwnd);
// Drops the local side of windows whose shared slot is gone.
void ForgetWindow(HWND hwnd);

// Upper-case copy for the case-insensitive names of classes and registered messages.
std::u16string UpperName(std::u16string_view name);
bool SameName(const char16_t* stored, std::u16string_view name);
void CopyName(char16_t* out, size_t capacity, std::u16string_view name);

}  // namespace zb::wm
