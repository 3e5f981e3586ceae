// Handle tables of the ACM's open drivers and streams.
#include "mmsystem/acm_objects.h"

#include "mmsystem/handle_table.h"

namespace zb::acm {
namespace {

mm::HandleTable<OpenDriver, HACMDRIVER>& Drivers() {
  static auto* table = new mm::HandleTable<OpenDriver, HACMDRIVER>(0x7A000000);
  return *table;
}

mm::HandleTable<Stream, HACMSTREAM>& Streams() {
  static auto* table = new mm::HandleTable<Stream, HACMSTREAM>(0x7B000000);
  return *table;
}

}  // namespace

HACMDRIVER AddDriver(std::shared_ptr<OpenDriver> driver) { return Drivers().Add(std::move(driver)); }
std::shared_ptr<OpenDriver> FindDriver(HACMDRIVER handle) { return Drivers().Find(handle); }
std::shared_ptr<OpenDriver> RemoveDriver(HACMDRIVER handle) { return Drivers().Remove(handle); }

HACMSTREAM AddStream(std::shared_ptr<Stream> stream) { return Streams().Add(std::move(stream)); }
std::shared_ptr<Stream> FindStream(HACMSTREAM handle) { return Streams().Find(handle); }
std::shared_ptr<Stream> RemoveStream(HACMSTREAM handle) { return Streams().Remove(handle); }

const Driver* DriverOfHandle(HACMDRIVER handle, MMRESULT* error) {
  *error = MMSYSERR_NOERROR;
  if (!handle) return nullptr;
  auto open = FindDriver(handle);
  if (!open) *error = MMSYSERR_INVALHANDLE;
  return open ? open->driver : nullptr;
}

}  // namespace zb::acm
