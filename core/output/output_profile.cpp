// ProfileOut: takes audio as fast as the decoder makes it and, at close, tells how long the
// decoding took against the length of the audio. Carried for measurements; not registered.
#include <windows.h>

#include <cstdint>

#include "core/output/output_registry.h"

namespace {

struct Profile {
  bool opened = false;
  DWORD startTick = 0;
  DWORD totalBytes = 0;  // since program start: an open does not clear it
  LONG bytesPerSecond = 0;
};

Profile g_profile;

int Init(int) {
  OutputDebugStringW(u"ProfileOutInit\r\n");
  return 0;
}

int Open(int rate, int channels, int bits) {
  g_profile.startTick = GetTickCount();
  g_profile.bytesPerSecond = static_cast<LONG>(int64_t{rate} * channels * bits / 8);
  g_profile.opened = true;
  return static_cast<int>(3 * int64_t{g_profile.bytesPerSecond});
}

DWORD ElapsedMs() { return GetTickCount() - g_profile.startTick; }

void Close() {
  if (!g_profile.opened) return;
  g_profile.opened = false;
  const DWORD elapsed = ElapsedMs();
  if (elapsed <= 1000 || g_profile.bytesPerSecond == 0) return;
  // The share of the audio's own length that decoding it took.
  const float usage = static_cast<float>(elapsed / ((g_profile.totalBytes * 10.0) / g_profile.bytesPerSecond));
  WCHAR text[128];
  swprintf(text, 128, u"%d msec elapsed. %d bytes written. %.2f%% Usage", static_cast<int>(elapsed),
           static_cast<int>(g_profile.totalBytes), static_cast<double>(usage));
  MessageBoxW(ProfileOut.hwndParent, text, u"Profile Output", MB_SETFOREGROUND);
}

int Write(void*, int bytes) {
  if (bytes > 0) g_profile.totalBytes += static_cast<DWORD>(bytes);
  return bytes;
}
int CanWrite() { return static_cast<int>(2 * int64_t{g_profile.bytesPerSecond}); }
int Times() { return static_cast<int>(ElapsedMs()); }

}  // namespace

using namespace output_slots;

OutputModule ProfileOut = {OUTPUT_MODULE_VERSION, u"", nullptr, nullptr, NoDialog, NoDialog, Init, PassOn, Open, Close,
                           Write, CanWrite, Zero, NoPause, Ignore, Ignore, Ignore, Times, Times};
