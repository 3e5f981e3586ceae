// The visualisation host as the core reaches it: it loads one visualisation module at a time,
// fills its record by the module's flags, keeps the ring of sample snapshots the decoder
// threads feed, renders the module and the built-in spectrum and oscilloscope view on the
// refresh thread, and steps the view modes. Loading and unloading happen on the interface
// thread only; a decoder thread that needs one hands it over through the host's own window.
#pragma once
#include <windows.h>

#include "core/common/critical_section.h"
#include "core/interface/vis_module.h"
#include "core/vis/vis_draw.h"
#include "core/vis/vis_sample_ring.h"

class CPlayerCore;
struct IMediaItem;

class CVisHost {
 public:
  explicit CVisHost(CPlayerCore* core);
  ~CVisHost();
  CVisHost(const CVisHost&) = delete;
  CVisHost& operator=(const CVisHost&) = delete;

  // Bit 0 the ring section, bit 1 the module section; taken in that order, left in reverse.
  void Lock(int mask);
  void Unlock(int mask);

  // ---- Decoder threads (host callbacks) ----
  void Init(int maxLatencyMs, int sampleRate);
  void Deinit();
  void AddPCM(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs);
  void SetInfo(int sampleRate, int channels);
  // Decoder status 0 to 3 (running, stopped, ...); the host's answer is the decoder's.
  DWORD OnDecoderStatus(UINT code, void* in, UINT inSize, void* out, UINT outSize);

  // ---- Interface thread ----
  // on 1 loads the module the settings name (or keeps none), 0 unloads it.
  void LoadModule(int on);
  BOOL IsOverlay();
  // Steps the view mode: request -1, 1 or any other value.
  void CycleMode(int request);
  void ToggleFullscreen();
  void ToggleMode() { ToggleFullscreen(); }
  // Makes its window anew for the view mode.
  void RecreateWindow(int mode);
  // The settings name another library: the module is dropped and the view opened again.
  void SwitchPlugin();
  // 0 the built-in mode, 1 the module-view flag, 2 whether a module is loaded.
  int GetValue(int which);
  void ClearRing();
  // The open item jumps: the snapshots no longer follow it.
  void OnSeek() { ClearRing(); }
  // The item now open: its artwork goes to modules that ask for it.
  void SetItem(IMediaItem* item);
  // The paint step: on the refresh thread it renders a frame; from any other thread it only
  // marks the next frame as one that must draw again.
  void Paint(int value, BOOL flag);
  // One frame: the module's and the built-in view's. Runs on the refresh thread.
  void Render(int redraw);
  int Notify(UINT message, void* in, UINT inSize, void* out, UINT outSize);
  // Where the skin puts the small and the large view, and its 24 colours. The next frame draws
  // with them; a changed small area makes the surface again.
  void VisHostSetRect1(const RECT& rect);
  void SetLargeRect(const RECT& rect);
  void VisHostSetColors(const DWORD* table);

  // What a module and the view see, for the core's player state and the tests.
  VisModule* CurrentModule() const { return module_; }
  int BuiltInMode() const { return mode_; }
  BOOL ModuleView() const { return moduleView_; }
  CVisSampleRing& Ring() { return ring_; }
  const signed char* SampleBuffer() const { return buffer_; }
  HBITMAP Surface() const { return bitmap_; }
  DWORD PlayerState(BOOL fresh, DWORD previous);

 private:
  friend LRESULT CALLBACK VisHostWindowProc(HWND, UINT, WPARAM, LPARAM);
  void UnloadLocked();
  // A module function called with a device context of `window` that lives only for the call.
  static int CallWithDc(HWND window, VisModule* module, int (*call)(VisModule*));
  VisModule* FindModule(HINSTANCE* library);
  void FillModule(VisModule* module);
  void RefreshFrameFields(VisModule* module);
  RECT FullScreenArea();
  bool PrepareSurface();
  void DropSurface();
  void DrawBuiltInView(HWND window, int byteCount, const signed char* samples, int redraw);
  void FillModuleData(VisModule* module, const VisSlot& slot);
  void HandOver(UINT what);
  void RunHandOver(UINT what);

  CPlayerCore* core_;
  unsigned frame_ = 0;
  int idle_ = 0;
  int maxLatency_ = 0;
  int sampleRate_ = 0;
  int channels_ = 1;
  CVisSampleRing ring_;
  signed char buffer_[kVisBufferBytes] = {};
  HBITMAP bitmap_ = nullptr;
  VisSurface surface_;
  RECT smallRect_ = {-1, -1, 0, 0};
  RECT largeRect_ = {-1, -1, 0, 0};
  int visSpeed_ = 10;
  int mode_ = 0;
  int savedMode_ = 0;
  BOOL moduleView_ = FALSE;
  BOOL video_ = FALSE;
  BOOL hidden_ = FALSE;
  COLORREF colours_[VIS_COLOURS] = {};
  COLORREF savedColours_[VIS_COLOURS] = {};
  WCHAR path_[4096] = {};
  HINSTANCE library_ = nullptr;
  HINSTANCE lastLibrary_ = nullptr;
  VisModule* module_ = nullptr;
  IMediaItem* artwork_ = nullptr;
  HWND mailbox_ = nullptr;  // the interface thread's window for work handed over
  DWORD interfaceThread_ = 0;
  CCriticalSection ringSection_;
  CCriticalSection moduleSection_;
};
