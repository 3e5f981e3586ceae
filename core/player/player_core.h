// CPlayerCore: the one object that owns the player's engine room. It registers the built-in
// modules and the plug-in libraries beside the program, serves the player callback, keeps the
// event hooks, the registered commands and the deferred timers, and tears all of it down in a
// fixed order. Created on first use by the main window's thread; GetPlayerCore reaches it.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/common/critical_section.h"
#include "core/interface/dec_module.h"
#include "core/modules/deferred_timers.h"
#include "core/output/dsp_choice.h"
#include "core/interface/dsp_module.h"
#include "core/modules/event_hooks.h"
#include "core/window/main_window_messages.h"
#include "core/player/media_library_link.h"
#include "core/player/player_core_link.h"
#include "core/modules/registered_commands.h"
#include "core/modules/stream_sources.h"
#include "core/player/cue_marks.h"
#include "core/player/feature_set.h"
#include "core/vis/vis_host.h"
#include "mediaitem.h"
#include "playlist_core.h"

class CBookmarkList;
class CCacheFileSet;
class CSkin;
class CSkinState;
class CRecentList;
class CEqPresetList;
class CPlaylist;

// State bits of the core.
#define CORE_STATE_OPEN 0x4         // a file is open in a decoder
#define CORE_STATE_STOPPED 0x8      // set at construction
#define CORE_STATE_VIS_FLAG 0x20    // handed to the visualisation host's paint step
#define CORE_STATE_OPENING 0x40     // an open is in progress
#define CORE_STATE_RUNNING 0x80     // the decoder reports playback running
#define CORE_STATE_COMPACT 0x100    // compact the library at exit

class CPlayerCore : public IPlayerCoreLink, public IPlaylistCore {
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

  // The player callback's handler (player_core_messages.cpp and the player_messages_*.cpp groups).
  int HandleMessage(UINT id, void* in, UINT inSize, void* out, UINT outSize);
  CCriticalSection& MessageLock() { return messageLock_; }
  // The player state item: the tags plug-ins set for the skin and the Today item.
  IMediaItem* GetStateItem() const { return stateItem_; }
  IMediaLibraryLink* GetLibraryLink() const { return library_; }
  CCueMarks& GetCueMarks() { return cueMarks_; }
  CFeatureSet& GetFeatures() { return features_; }
  // Initialised copies of the source that claims a URL, handed to plug-ins unopened; only copies
  // handed out here are taken back (FALSE for any other pointer).
  InputSource* OpenUrlCopy(LPCWSTR url);
  BOOL CloseUrlCopy(InputSource* copy);

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

  // ---- Transport and now-playing (transport_*.cpp) ----
  // The guarded play entry every caller uses; a play that arrives while one runs is dropped.
  void Play(BOOL startPaused);
  // reset: only sets the re-entry counter back to 0.
  void EnterPlay(BOOL reset, BOOL startPaused);
  void TogglePause();
  void Stop(BOOL userStop);
  // 1 when another item became current.
  int NextItem(BOOL user);
  void PreviousItem();
  // The main window's message 1123: 0 the stream ended, 1 it ended early, 2 the play failed,
  // 3 the drain check.
  void OnStreamEnded(int kind);
  // Makes playlist entry `index` current and opens it without playing; 0 when it did not become current.
  int SelectItem(int index);
  // 0 when nothing is open, a hook took the seek, or the decoder cannot seek.
  int SeekTo(int position, int total);
  int SeekRelative(int delta);
  int GetOutputTime();
  int GetLength();
  int IsPaused();
  // Whether the open decoder can seek: the same flag bit SeekTo and Stop go by.
  int IsSeekable();
  // -666: the stored (or, unmuted, the device's) volume.
  void SetVolume(int volume);
  void ChangeVolume(int delta) { SetVolume(volume_ + delta); }
  BOOL IsMuted() const { return muted_; }
  BOOL IsEqOn() const { return eqOn_; }
  void SetMute(BOOL muted);
  // -666: the setting `panning`.
  void SetPan(int pan);
  int GetPanSetting();
  // The core's part of the now-playing refresh (the main window's timer 2): the open decoder's
  // output time becomes the last position and the main window's position word.
  void RefreshNowPlaying();
  int GetLastPosition() const { return lastPosition_; }
  int GetRestartPosition() const { return restartPosition_; }
  const std::u16string& GetOpenSuffix() const { return openSuffix_; }

  // ---- Decoder binding and item opening (item_opening.cpp, item_info.cpp) ----
  // The decoder, the registered source and the output for a path. Without out-pointers the
  // result is bound as the core's current decoder (the open suffix steering the choice), with a
  // copy of the source of its own.
  void BindDecoder(LPCWSTR path, DecModule** outRecord, InputSource** outSource, OutputModule** outOutput);
  // Makes the path current (null: keeps it) without playing, and shows it.
  void OpenItem(LPCWSTR path, LPCWSTR title);
  IMediaItem* GetCurrentItem() const { return currentItem_; }
  void ReadItemInfo(CPlaylist* playlist, int index, LPCWSTR path, int skipLibraryCheck, int validate) override;

  // ---- Resume positions, bookmarks, playlist entry points (resume_bookmarks.cpp, playlist_entry.cpp) ----
  CBookmarkList* GetBookmarkList() { return bookmarks_.get(); }
  CRecentList* GetRecentList() { return recent_.get(); }
  CCacheFileSet* GetCacheFileSet() { return cacheFiles_.get(); }
  LONG GetResumePosition();
  void ForgetResumePosition();
  void AddBookmarkForCurrent();
  void ReplaceBookmarkForCurrent();
  // The i-th bookmark's path (empty past the end); its position into *position.
  std::u16string GetBookmarkText(int index, LONG* position);
  void DeleteBookmark(int index);
  void PruneBookmarks(BOOL checkFiles);
  CPlaylist* GetPlaylist() { return playlist_.get(); }
  // The media library object, null when the core has none.
  CMediaLibrary* GetMediaLibrary() const { return library_ ? library_->Object() : nullptr; }
  int GetCurrentIndex();
  int GetItemCount();
  std::u16string GetItemPath(int index);
  std::u16string GetItemDisplayName(int index);
  int RemoveItem(int index);
  int RefreshItemInfo(int index);
  int ClearItemInfo(int index, LPCWSTR path);
  int InsertItem(int index, LPCWSTR path);
  void ReorderPlaylist(int mode);
  // The file the playlist was read from (the playlist object keeps no name of its own yet).
  const std::u16string& GetPlaylistFileName() const { return playlistFileName_; }
  void SetPlaylistFileName(LPCWSTR name) { playlistFileName_ = name ? name : u""; }
  // A plain path, or "*"-entries: "*file", "**folder" with subfolders, "*?folder" without.
  int AddFilesFromPath(LPCWSTR spec);
  void EnqueuePath(LPCWSTR spec, BOOL play);
  void AddPathOrSelect(LPCWSTR path, BOOL play);

  // ---- The skin (player_core_skin.cpp) ----
  // Takes ownership of the skin through the skin state; null detaches the current skin.
  void ApplySkin(CSkin* skin);
  CSkinState* GetSkinState() { return skinState_.get(); }

  // ---- User-interface links (ui_links.cpp) ----
  // Offered to the hooks first (26 as event 38, 29 not at all, others as 39), then to the skin.
  int SendUiCommand(int id, void* value);
  void ForwardVisFlags(int value);
  CEqPresetList* GetPresetList() { return presets_.get(); }
  CEqPresetList* GetAutoLoadList() { return autoLoadPresets_.get(); }

  // ---- Playback flags and the visualisation (decoder_status.cpp) ----
  BOOL GetShuffle() override { return shuffle_; }
  BOOL GetRepeat() override { return repeat_; }
  void SetShuffle(BOOL value) override;
  void SetRepeat(BOOL value) override;
  void SetVisMode(int value);
  int HoldBacklightWhilePlaying();
  int ToggleVisualization(BOOL large, int unused);

  // IPlaylistCore
  DWORD GetManualPlaylistAdvance() override;
  std::u16string GetPlayableExtensions() override;
  IMediaItem* FindLibraryItem(LPCWSTR source) override;
  IMediaItem* GetLibraryItemForSource(LPCWSTR source) override;
  HRESULT FindLibraryEntryForPlaylist(IMediaItem* item, LPCWSTR path) override;
  int DownloadToFile(LPCWSTR url, HANDLE file) override;

  // IPlayerCoreLink
  int GetEqValue(int index) override;
  void ResetDspChoice() override { ResetDSPCache(); }
  void PostControlCommand(WORD command, WORD source) override;

 private:
  void SetMainWindowTimer(UINT_PTR id, UINT ms);
  void KillMainWindowTimer(UINT_PTR id);
  void OpenAndPlay(BOOL startPaused);
  // Steps of the play worker: the equaliser for the item, and the position it resumes at.
  void PrepareEqualizer(LPCWSTR path);
  int ChooseStartPosition();
  // Whether NextItem and PreviousItem forget the resume position (setting and skin, unless a
  // hook answers event 12).
  bool ShouldForgetResume();
  BOOL SkinHasStopElement();
  // Offers event 8 while a hook skips the item the playlist chose, `move` choosing again.
  template <class Move>
  int SkipTakenItems(int moved, void* data, UINT size, Move move);
  void OpenCurrentPlaylistItem();
  void AddStateBits(DWORD set, DWORD clear) {
    DWORD old = state_.load();
    while (!state_.compare_exchange_weak(old, (old & ~clear) | set)) {
    }
  }
  void RequestLibraryFlush(DWORD bits, DWORD mask);
  void SetMainWindowWord(int offset, LONG value);
  // Stores (or with -1 removes) a resume entry and writes the bookmarks file.
  void SetResumeEntry(LPCWSTR key, LONG position);
  // The equaliser values of a play, into the core, the settings and the skin.
  void StoreEqualizer(const signed char* bands, signed char preamp, LPCWSTR presetName);
  // The host words of a decoder record (main window and callbacks), without its source and output.
  void FillHostWords(DecModule* record);
  // The transport's start (1) and stop (2) to the current DSP module, when it asked for events.
  void NotifyDspOfTransport(UINT event);

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
  std::unique_ptr<CSkinState> skinState_;

  int volume_ = 255;
  BOOL eqOn_ = FALSE;
  signed char eqBands_[10] = {};
  signed char eqPreamp_ = 0;
  BYTE eqAutoLoad_ = 0;
  std::u16string eqPresetName_;
  std::u16string eqFileName_;  // the file name the auto-load presets go by

  CDspChoice dspChoice_;

  CCriticalSection playLock_;
  int playLockWord_ = 0;
  CCriticalSection messageLock_;

  // Transport.
  std::atomic<LONG> playCounter_{0};
  int lastPosition_ = -1;
  int restartPosition_ = -1;
  std::u16string openSuffix_;
  CSourceCopy boundSource_;
  IMediaItem* currentItem_ = nullptr;
  BOOL muted_ = FALSE;
  BOOL shuffle_ = FALSE;
  BOOL repeat_ = FALSE;
  CCriticalSection uiLock_;
  std::unique_ptr<CPlaylist> playlist_;
  std::unique_ptr<CBookmarkList> bookmarks_;
  std::unique_ptr<CRecentList> recent_;
  std::unique_ptr<CCacheFileSet> cacheFiles_;
  std::unique_ptr<CEqPresetList> presets_;
  std::unique_ptr<CEqPresetList> autoLoadPresets_;
  std::u16string playlistFileName_;
  // ReadItemInfo's memo of the last path whose open failed.
  std::u16string failedPath_;
  FILETIME failedAt_ = {};

  CRegisteredCommands commands_;
  CCueMarks cueMarks_;
  CFeatureSet features_;
  CCriticalSection urlLock_;
  std::vector<InputSource*> urlCopies_;
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
