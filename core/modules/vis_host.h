// The visualisation host as the core reaches it: the decoder threads' sample feed (through the
// host callbacks) and the player events it passes to the loaded visualisation module.
#pragma once
#include <windows.h>

class CPlayerCore;
struct IMediaItem;

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
  // Decoder status 0 to 3 (running, stopped, ...); the host's answer is the decoder's.
  DWORD OnDecoderStatus(UINT code, void* in, UINT inSize, void* out, UINT outSize);
  // Between the small view and the full-screen visualisation.
  void ToggleMode();
  // Makes its window anew for the view mode.
  void RecreateWindow(int mode);
  // The open item jumps: the sample history no longer follows it.
  void OnSeek();
  // The item now open (not kept beyond the call without a reference of its own).
  void SetItem(IMediaItem* item);
  // The paint step with the core's visualisation flag.
  void Paint(int value, BOOL flag);
  // Where the skin puts the small and the large view.
  void VisHostSetRect1(const RECT& rect);
  void SetLargeRect(const RECT& rect);
  // The skin's 24 colours (red | green << 8 | blue << 16).
  void VisHostSetColors(const DWORD* table);

 private:
  CPlayerCore* core_;
};
