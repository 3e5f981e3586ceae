// The decoder host callbacks (see host_callbacks.h).
#include "core/modules/host_callbacks.h"

#include "core/modules/bound_function.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"

namespace {

// threadPriority 1..6 in platform priorities; 7 asks for the real-time level.
constexpr int kPriorities[] = {THREAD_PRIORITY_LOWEST,       THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                               THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,      THREAD_PRIORITY_TIME_CRITICAL};
constexpr DWORD kRealTimeSetting = 7;
constexpr int kRealTimeLevel = 247;

}  // namespace

DWORD HostDecoderStatus(UINT code, void* in, UINT inSize, void* out, UINT outSize) {
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->OnDecoderStatus(code, in, inSize, out, outSize) : 0;
}

void HostSetThreadPriority() {
  CSettings* settings = GetSettings();
  if (!settings) return;
  const DWORD setting = settings->threadPriority;
  if (setting >= 1 && setting <= std::size(kPriorities)) {
    SetThreadPriority(GetCurrentThread(), kPriorities[setting - 1]);
  } else if (setting == kRealTimeSetting) {
    // The extended priority call is not on every device.
    auto ceSetThreadPriority = BoundFunction<BOOL (*)(HANDLE, int)>(GetModuleHandleW(u"coredll"), u"CeSetThreadPriority");
    if (ceSetThreadPriority) ceSetThreadPriority(GetCurrentThread(), kRealTimeLevel);
  }
}

void HostVisInit(int maxLatencyMs, int sampleRate) {
  if (CPlayerCore* core = PeekPlayerCore()) core->GetVisHost()->Init(maxLatencyMs, sampleRate);
}

void HostVisDeinit() {
  if (CPlayerCore* core = PeekPlayerCore()) core->GetVisHost()->Deinit();
}

void HostVisAddPCM(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs) {
  if (CPlayerCore* core = PeekPlayerCore()) core->GetVisHost()->AddPCM(samples, bytes, channels, bitsPerSample, timeStampMs);
}

void HostVisSetInfo(int sampleRate, int channels) {
  if (CPlayerCore* core = PeekPlayerCore()) core->GetVisHost()->SetInfo(sampleRate, channels);
}

void HostVisNoop(const void*, int, int, int, int) {}

int HostDSPAdjust(int sampleCount) {
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->AdjustSampleCount(sampleCount) : sampleCount;
}

int HostProcessSamples(void* samples, int sampleCount, int channels, int bitsPerSample, int sampleRate) {
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->ProcessSamples(samples, sampleCount, channels, bitsPerSample, sampleRate) : sampleCount;
}

void HostStatusUpdate(int bitrate, int sampleRate, int channelMode) {
  if (CPlayerCore* core = PeekPlayerCore()) core->OnStatusUpdate(bitrate, sampleRate, channelMode);
}
