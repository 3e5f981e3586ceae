// The GDI handle table and the calls that work on any GDI object: DeleteObject, GetObjectW and
// GetObjectType.
#include "gwes/gdi_object.h"

#include <unordered_map>

namespace zb::gdi {
namespace {

struct Table {
  std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
  uintptr_t next = 0x00D00000;  // a range of their own, so GDI and kernel handles are told apart
};

Table& Objects() {
  static Table* table = new Table;  // outlives static destructors elsewhere
  return *table;
}

}  // namespace

std::recursive_mutex& Lock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;
  return *lock;
}

namespace {
thread_local int t_depth = 0;
}

LockGuard::LockGuard() {
  Lock().lock();
  ++t_depth;
}

LockGuard::~LockGuard() {
  if (t_depth == 1) PublishScreenDrawing();
  --t_depth;
  Lock().unlock();
}

HGDIOBJ AddObject(std::shared_ptr<GdiObject> object) {
  if (!object) return nullptr;
  ZB_GDI_LOCK;
  Table& t = Objects();
  HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(t.next);
  t.next += 4;
  object->handle = handle;
  t.objects.emplace(reinterpret_cast<uintptr_t>(handle), std::move(object));
  return handle;
}

std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle) {
  if (!handle) return nullptr;
  ZB_GDI_LOCK;
  Table& t = Objects();
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

bool RemoveObject(HGDIOBJ handle) {
  std::shared_ptr<GdiObject> doomed;  // destroyed after the table entry is gone
  ZB_GDI_LOCK;
  Table& t = Objects();
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end()) return false;
  doomed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" BOOL DeleteObject(HGDIOBJ object) {
  ZB_GDI_LOCK;
  auto found = FindObject(object);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (found->stock) return TRUE;
  if (found->Type() == 0 || found->Type() == OBJ_DC || found->Type() == OBJ_MEMDC) {
    SetLastError(ERROR_INVALID_HANDLE);  // DCs go through DeleteDC or ReleaseDC, icons DestroyIcon
    return FALSE;
  }
  if (!found->CanDelete()) {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  RemoveObject(object);
  return TRUE;
}

extern "C" int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
  ZB_GDI_LOCK;
  auto found = FindObject(object);
  if (!found || size < 0) {
    SetLastError(found ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->Describe(buffer ? size : 0, buffer);
}

extern "C" DWORD GetObjectType(HGDIOBJ object) {
  auto found = FindObject(object);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->Type();
}
