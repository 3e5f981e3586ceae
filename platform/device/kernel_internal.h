// Helpers shared by the kernel segment's own files; callers hold the segment lock.
#pragma once
#include <string_view>

#include "device/kernel_objects.h"

namespace zb::kernel {

// A free object slot, initialised to `kind` with one reference of this process; nullptr when full.
Object* AllocObject(Segment& s, Kind kind, std::u16string_view name);
// Finds the named object or makes it (init fills a new one, and may free it to give up).
Created CreateNamedObject(Kind kind, std::u16string_view name, bool writeEnd,
                          void (*init)(Segment&, Object&, const void*), const void* arg);
Object* FindNamed(Segment& s, Kind kind, std::u16string_view name, bool* wrongKind);
bool AddRefLocked(Object& o, int32_t pid, bool writer);
// Drops one reference of `pid`; the object is freed with its last reference in every process.
void DropRefLocked(Segment& s, Object& o, int32_t pid, bool writer);
void DropAllRefsOf(Segment& s, int32_t pid);
void FreeObject(Segment& s, Object& o);
bool Valid(const ObjectRef& ref);
inline ObjectRef RefTo(Segment& s, Object& o, bool writeEnd = false) {
  return ObjectRef{&s, static_cast<uint32_t>(&o - s.objects), o.gen, writeEnd};
}
Created RegisterProcessLocked(Segment& s, int32_t pid, uint64_t startTime);
void EndProcessLocked(Segment& s, int32_t pid, std::optional<uint32_t> exitCode);
uint64_t ClockNow(Segment& s, bool* test);
void QueueFreeChunks(Segment& s, Object& o);
// Whether one wait entry would be granted now, and the grant itself.
bool Ready(const Object& o, bool writeEnd, int32_t pid, int32_t tid);

}  // namespace zb::kernel
