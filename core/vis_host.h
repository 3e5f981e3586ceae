// The visualisation host as the core reaches it: the decoder threads' sample feed (through the
// host callbacks) and the player events it passes to the loaded visualisation module.
#pragma once
#include <windows.h>

class CPlayerCore;

class CVisHost {
 public:
  explicit CVisHost(CPlayerCore* core);
  ~CVisHost();

  void Init(int maxLatencyMs, int sampleRate);
  void Deinit();
  void AddPCM(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs);
  void SetInfo(int sampleRate, int channels);
  // The loaded module's answer to a player event, 0 without one.
  int Notify(UINT message, void* in, UINT inSize, void* out, UINT outSize);

 private:
  CPlayerCore* core_;
};
