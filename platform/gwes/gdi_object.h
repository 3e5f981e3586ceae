// GDI objects behind HGDIOBJ values, and the one lock every GDI call takes. A handle holds a
// reference, and a DC holds one to each object selected into it, so deleting a handle while a
// DC still draws with its object never leaves the DC with a dangling object.
#pragma once
#include <memory>
#include <mutex>
#include <windows.h>

namespace zb::gdi {

class GdiObject : public std::enable_shared_from_this<GdiObject> {
 public:
  virtual ~GdiObject() = default;
  virtual DWORD Type() const = 0;  // OBJ_PEN, OBJ_BRUSH, ...
  // GetObjectW for this object: bytes written, or the size needed when buffer is null.
  virtual int Describe(int size, void* buffer) const { return 0; }
  // Whether DeleteObject may drop the handle now (bitmaps refuse while selected into a DC).
  virtual bool CanDelete() const { return true; }
  bool stock = false;  // stock objects ignore DeleteObject
  HGDIOBJ handle = nullptr;
};

// Every GDI entry point holds this while it runs; drawing is serialised across threads, and
// entry points may call each other.
std::recursive_mutex& Lock();

// Drawing on a display DC marks the screen; when the outermost lock of the drawing thread is
// released, the marked drawing is announced to the device's other processes, so a reader that
// sees the announcement never misses pixels still being written.
void MarkScreenDrawn();
void PublishScreenDrawing();  // called with the lock held, by the guard below

class LockGuard {
 public:
  LockGuard();
  ~LockGuard();
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;
};
#define ZB_GDI_LOCK ::zb::gdi::LockGuard zb_gdi_guard

// Handle values are never reused within a process, so a stale handle fails cleanly.
HGDIOBJ AddObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle);
bool RemoveObject(HGDIOBJ handle);

template <class T>
std::shared_ptr<T> Find(const void* handle) {
  return std::dynamic_pointer_cast<T>(FindObject(const_cast<void*>(handle)));
}

// Casts for API return values.
template <class H>
H As(HGDIOBJ handle) {
  return reinterpret_cast<H>(handle);
}

}  // namespace zb::gdi
