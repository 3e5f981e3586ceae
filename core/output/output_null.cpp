// NullOut: takes everything at once and plays nothing, for decoders that run only to read an
// item's information.
#include "core/output/output_registry.h"

namespace {

constexpr int kNullRoom = 0x100000;

int Init(int) {
  OutputDebugStringW(u"NullOutInit\r\n");
  return 0;
}
int Open(int, int, int) { return kNullRoom; }
void Close() {}
int Write(void*, int bytes) { return bytes; }
int CanWrite() { return kNullRoom; }

}  // namespace

using namespace output_slots;

OutputModule NullOut = {OUTPUT_MODULE_VERSION, u"", nullptr, nullptr, NoDialog, NoDialog, Init, PassOn, Open, Close,
                        Write, CanWrite, Zero, NoPause, Ignore, Ignore, Ignore, Zero, Zero};
