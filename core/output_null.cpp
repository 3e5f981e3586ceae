// NullOut: takes everything at once and plays nothing, for decoders that run only to read an
// item's information.
#include "core/output_registry.h"

namespace {

constexpr int kNullRoom = 0x100000;

void NoDialog(HWND) {}
int Init(int) {
  OutputDebugStringW(u"NullOutInit\r\n");
  return 0;
}
int Quit(int previous) { return previous; }
int Open(int, int, int) { return kNullRoom; }
void Close() {}
int Write(void*, int bytes) { return bytes; }
int CanWrite() { return kNullRoom; }
int Zero() { return 0; }
int Pause(int) { return 0; }
void Ignore(int) {}

}  // namespace

OutputModule NullOut = {OUTPUT_MODULE_VERSION, u"", nullptr, nullptr, NoDialog, NoDialog, Init, Quit, Open, Close,
                        Write, CanWrite, Zero, Pause, Ignore, Ignore, Ignore, Zero, Zero};
