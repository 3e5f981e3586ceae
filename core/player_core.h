// CPlayerCore: the one object that owns the player's engine room. It registers the built-in
// modules and the plug-in libraries beside the program, serves the player callback, keeps the
// event hooks, the registered commands and the deferred timers, and tears all of it down in a
// fixed order. Created on first use by the main window's thread; GetPlayerCore reaches it.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "core/critical_section.h"
#include "core/dec_module.h"
#include "core/deferred_timers.h"
#include "core/dsp_choice.h"
#include "core/dsp_module.h"
#include "core/event_hooks.h"
#include "core/main_window_messages.h"
#include "core/media_library_link.h"
#include "core/player_core_link.h"
#include "core/registered_commands.h"
#include "core/vis_host.h"
#include "mediaitem.h"

// State bits of the core.
#define CORE_STATE_OPEN 0x4         // a file is open in a decoder
#define CORE_STATE_STOPPED 0x8      // set at construction
#define CORE_STATE_RUNNING 0x80     // the decoder reports playback running
#define CORE_STATE_COMPACT 0x100    // compact the library at exit

class CPlayerCore : public IPlayerCoreLink {
 public:
  // Builds everything in the documented order and makes itself the one core. `library` stands in
  // for the media library object the core would create (taken over: released at the end).
  CPlayerCore(HINSTANCE instance, HWND mainWindow, IMediaLibraryLink* library = nullptr);
  ~CPlayerCore() override;
  CPlayerCore(const CPlayerCore&) = delete;
  CPlayerCore& operator=(const CPlayerCore&) = delete;

  HINSTANCE GetInstance() const { return instance_; }
  HWND GetMainWindow() const { return window_; }
  CVisHost* GetVisHost() { return visHost_.get(); }
  DWORD GetState() const { return state_.load(); }
  int GetVolume() const { return volume_; }
  // The device's volume when someone else changed it since the core took it, else -666.
  int VolumeChangedOutside();
  BOOL IsPlaying() const { return (state_.load() & CORE_STATE_OPEN) != 0; }
  // The transport marks a file open in the bound decoder, or closed again.
  void SetFileOpen(bool open) {
    if (open) state_.fetch_or(CORE_STATE_OPEN); else state_.fetch_and(~DWORD(CORE_STATE_OPEN));
  }

  // The file or URL now open, under the path lock.
  std::u16string GetCurrentPath();
  void SetCurrentPath(LPCWSTR path);

  // The decoder record bound to the open file: the main window, the host callbacks, the stream
  // object and the output module are written into it.
  void BindDecoderRecord(DecModule* record, InputSource* source, OutputModule* output);
  DecModule* GetDecoder() const { return decoder_.load(); }
  // The bound decoder's Command; -1 without a decoder or a Command.
  int DecoderCommand(UINT code, void* in, UINT inSize, void* out, UINT outSize);

  // The player callback's handler.
  int HandleMessage(UINT id, void* in, UINT inSize, void* out, UINT outSize);

  // Event hooks.
  void AddEventHook(PlayerEventHook hook) { hooks_.Add(hook); }
  void RemoveEventHook(PlayerEventHook hook) { hooks_.Remove(hook); }
  int DispatchToHooks(UINT event, void* data, UINT size, void* out, UINT* outSize) {
    return hooks_.Dispatch(event, data, size, out, outSize);
  }
  bool OfferButtonToHooks(DWORD a, DWORD b, int phase) { return hooks_.OfferButton(a, b, phase); }
  int RunMenuHooks(HMENU menu, int menuKind, int phase, int chosen) {
    return hooks_.RunMenuHooks(menu, menuKind, phase, chosen);
  }

  // Registered plug-in commands.
  int RegisterCommand(GenModule* module) { return commands_.Register(module); }
  int RunCommand(int id, int phase, LPWSTR name) { return commands_.Run(id, phase, name); }
  int FindCommand(LPCWSTR libraryPath, LPCWSTR name) { return commands_.Find(libraryPath, name); }
  void GetCommandInfo(int id, LPWSTR libraryPath, LPWSTR name) { commands_.GetInfo(id, libraryPath, name); }
  int RunCommandByName(LPCWSTR name, int code) { return commands_.RunByName(name, code); }

  // Deferred timers, run by the main loop between messages.
  void ScheduleCall(HWND window, UINT timerId, DWORD intervalMs);
  void CancelScheduledCall(HWND window, UINT timerId) { timers_.Cancel(window, timerId); }
  int RunScheduledCall(DWORD* waitMs);

  // The DSP module the settings choose; with `enabled` also when switched off.
  DSPModule* GetCurrentDSP(DWORD* enabled = nullptr);
  void ResetDSPCache();
  int AdjustSampleCount(int count);
  int ProcessSamples(void* samples, int count, int channels, int bitsPerSample, int sampleRate);

  // Decoder status (HostDecoderStatus).
  DWORD OnDecoderStatus(UINT code, void* in, UINT inSize, void* out, UINT outSize);
  // Stream information from a decoder thread (HostStatusUpdate): passed to SetStreamInfo at
  // most once a second, more than 1000 ms after the last call it passed.
  void OnStatusUpdate(int bitrate, int sampleRate, int channelMode);
  // Shows the channel mode, bitrate and sample rate; -666 keeps a shown value.
  void SetStreamInfo(int bitrate, int sampleRate, int channelMode);
  int GetBitrate() const { return bitrate_; }
  int GetSampleRate() const { return sampleRate_; }
  int GetChannelMode() const { return channelMode_; }

  // The media library's events and the main-window timers they set.
  static void OnLibraryEvent(int event, LPCWSTR text, void* core);
  void OnTimer(UINT_PTR id);
  HANDLE GetRefreshEvent() const { return refreshEvent_; }
  // A play of the current path counted as completed: its play statistics in the library.
  void RecordPlayCompleted();

  // IPlayerCoreLink
  int GetEqValue(int index) override;
  void ResetDspChoice() override { ResetDSPCache(); }
  void PostControlCommand(WORD command, WORD source) override;

 private:
  void SetMainWindowTimer(UINT_PTR id, UINT ms);
  void KillMainWindowTimer(UINT_PTR id);

  HINSTANCE instance_;
  HWND window_;

  CCriticalSection pathLock_;
  std::u16string currentPath_;
  std::atomic<DecModule*> decoder_{nullptr};
  std::atomic<DWORD> state_{0};
  IMediaItem* stateItem_ = nullptr;
  IMediaLibraryLink* library_ = nullptr;
  HANDLE refreshEvent_ = nullptr;
  CEventHooks hooks_;
  std::unique_ptr<CVisHost> visHost_;

  int volume_ = 255;
  BOOL eqOn_ = FALSE;
  signed char eqBands_[10] = {};
  signed char eqPreamp_ = 0;
  BYTE eqAutoLoad_ = 0;
  std::u16string eqPresetName_;

  CDspChoice dspChoice_;

  CCriticalSection playLock_;
  int playLockWord_ = 0;
  CCriticalSection messageLock_;

  CRegisteredCommands commands_;
  CDeferredTimers timers_;
  CCriticalSection statusLock_;
  DWORD lastStatusUpdate_ = 0;
  bool statusUpdated_ = false;
  int bitrate_ = 0;
  int sampleRate_ = 0;
  int channelMode_ = 0;
};

// The one core: made on the first call with the owner set by SetPlayerCoreOwner.
CPlayerCore* GetPlayerCore();
// The core if it exists, without making it.
CPlayerCore* PeekPlayerCore();
// The program instance and main window GetPlayerCore builds the core with.
void SetPlayerCoreOwner(HINSTANCE instance, HWND mainWindow);
// Deletes the core (the main window's WM_DESTROY).
void DestroyPlayerCore();

// The player callback handed to every module: the core's HandleMessage on the caller's thread.
extern "C" int PlayerCallback(UINT id, void* in, UINT inSize, void* out, UINT outSize);

// Offers a player event to the current DSP module, the bound decoder, the version-2 general
// modules and the visualisation host, in that order; the visualisation host's answer.
int BroadcastPlayerEvent(CPlayerCore* core, UINT event, void* in, UINT inSize, void* out, UINT outSize);
