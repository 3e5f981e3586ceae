// The player core object: construction and destruction in their documented order, the player
// callback's entry, the decoder binding, the DSP choice and sample chain, the stream-information
// throttle and the equaliser values (see player_core.h).
#include "core/player/player_core.h"

#include "core/settings/bookmark_list.h"
#include "core/player/core_seam.h"
#include "core/modules/host_callbacks.h"
#include "core/modules/module_lists.h"
#include "core/player/play_statistics.h"
#include "core/player/player_core_neighbours.h"
#include "core/window/skin_host_link.h"
#include "skin/skin_state.h"
#include "core/interface/player_events.h"
#include "core/modules/plugin_scan.h"
#include "core/output/sample_chain.h"
#include "core/settings/settings.h"
#include "core/output/system_volume.h"
#include "cache_file_set.h"
#include "media_item.h"
#include "playlist.h"
#include "playlist_neighbours.h"
#include "recent_list.h"
#include "settingsui/eq_preset_list.h"

namespace {

CPlayerCore* g_core = nullptr;
HINSTANCE g_ownerInstance = nullptr;
HWND g_ownerWindow = nullptr;

constexpr int kPlayLockDestroyed = -1000;
constexpr int kStoredValue = -666;
constexpr DWORD kStatusIntervalMs = 1000;
constexpr UINT kWakeLoopMs = 500;
// The download cache's bound when the settings cannot be had: the setting's own default.
constexpr DWORD kCacheBound = 0x200000;

}  // namespace

CPlayerCore::CPlayerCore(HINSTANCE instance, HWND mainWindow, IMediaLibraryLink* library)
    : instance_(instance), window_(mainWindow) {
  // The core is reachable from here on: a plug-in may call the player while it is loaded.
  g_core = this;
  SetPlayerCoreLink(this);

  library_ = library ? library : CreateCoreMediaLibrary(instance);
  refreshEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  stateItem_ = static_cast<IMediaItem*>(CreateMediaItem());
  skinState_ = std::make_unique<CSkinState>(mainWindow, PlayerSkinHost());

  volume_ = 255;
  volume_ = ReadSystemVolume(this);
  state_ = CORE_STATE_STOPPED;

  RegisterBuiltInModules(instance_, window_);
  ScanPlugins(instance_, window_, ::PlayerCallback);

  playlist_ = std::make_unique<CPlaylist>(this);
  bookmarks_ = std::make_unique<CBookmarkList>(this, u"bookmarks.dat");
  recent_ = std::make_unique<CRecentList>(this, u"mrulist.dat");
  const CSettings* cacheSettings = GetSettings();
  cacheFiles_ = std::make_unique<CCacheFileSet>(this, cacheSettings ? cacheSettings->httpCacheStorageSize : kCacheBound);
  visHost_ = std::make_unique<CVisHost>(this);

  if (CSettings* settings = GetSettings()) {
    eqOn_ = settings->preampEnabled != 0;
    for (int band = 0; band < 10; ++band) eqBands_[band] = static_cast<signed char>(settings->eqValues[band]);
    eqPresetName_ = settings->eqName;
    eqPreamp_ = static_cast<signed char>(settings->preampValue2);
    eqAutoLoad_ = static_cast<BYTE>(settings->autoLoadEqEnabled);
  }
  presets_ = std::make_unique<CEqPresetList>();
  autoLoadPresets_ = std::make_unique<CEqPresetList>();
  ResetDSPCache();
}

CPlayerCore::~CPlayerCore() {
  // A decoder still playing reads through the core's source copy and writes to the outputs
  // that are about to quit: it stops first.
  DecModule* playing = decoder_.load();
  if (IsPlaying() && playing && playing->Stop) playing->Stop();
  SaveActionBindings(this);
  // Stream copies a plug-in never gave back go before the sources' clean-up.
  while (!urlCopies_.empty()) CloseUrlCopy(urlCopies_.back());
  SourceListBroadcastQuit();
  OutputModulesQuit(0);
  QuitDecModules();
  ModuleListBroadcastQuit();
  GenModuleListBroadcastQuit();
  {
    CSectionLock hold(playLock_);
    playLockWord_ = kPlayLockDestroyed;
  }
  if (stateItem_) stateItem_->Release();
  stateItem_ = static_cast<IMediaItem*>(CreateMediaItem());
  if (library_) {
    // Every listener goes, so the library can never call back into a core that is gone.
    for (int event : {LIBRARY_EVENT_ITEM_CHANGED, LIBRARY_EVENT_UNAVAILABLE, LIBRARY_EVENT_OTHER})
      library_->Unadvise(event, OnLibraryEvent, this);
  }
  // What the next start restores.
  if (playlist_) playlist_->SaveState();
  if (recent_) recent_->Save();
  // The scan's lists go before the library they write to.
  DestroyLocalContentLists();
  if (library_) library_->Compact((state_.load() & CORE_STATE_COMPACT) != 0);
  playlist_.reset();
  skinState_.reset();
  recent_.reset();
  cacheFiles_.reset();
  visHost_.reset();
  bookmarks_.reset();
  presets_.reset();
  autoLoadPresets_.reset();
  // The decoders have quit: the source copy they read through can go.
  boundSource_.Reset(nullptr);
  if (currentItem_) currentItem_->Release();
  currentItem_ = nullptr;
  if (stateItem_) stateItem_->Release();
  if (library_) library_->Release();
  if (refreshEvent_) CloseHandle(refreshEvent_);
  SetPlayerCoreLink(nullptr);
  if (g_core == this) g_core = nullptr;
}

std::u16string CPlayerCore::GetCurrentPath() {
  CSectionLock hold(pathLock_);
  return currentPath_;
}

void CPlayerCore::SetCurrentPath(LPCWSTR path) {
  CSectionLock hold(pathLock_);
  currentPath_ = path ? path : u"";
}

void CPlayerCore::BindDecoderRecord(DecModule* record, InputSource* source, OutputModule* output) {
  FillHostWords(record);
  if (record) {
    record->source = source;
    record->outModule = output;
  }
  decoder_ = record;
}

void CPlayerCore::FillHostWords(DecModule* record) {
  if (record) {
    record->hwndParent = window_;
    record->HostDecoderStatus = ::HostDecoderStatus;
    record->PlayerCallback = ::PlayerCallback;
    record->HostSetThreadPriority = ::HostSetThreadPriority;
    record->HostVisInit = ::HostVisInit;
    record->HostVisDeinit = ::HostVisDeinit;
    record->HostVisAddPCM = ::HostVisAddPCM;
    record->HostVisSetInfo = ::HostVisSetInfo;
    record->HostVisNoop = ::HostVisNoop;
    record->HostDSPAdjust = ::HostDSPAdjust;
    record->HostProcessSamples = ::HostProcessSamples;
    record->HostStatusUpdate = ::HostStatusUpdate;
  }
}

int CPlayerCore::DecoderCommand(UINT code, void* in, UINT inSize, void* out, UINT outSize) {
  DecModule* decoder = decoder_.load();
  return decoder && decoder->Command ? decoder->Command(code, in, inSize, out, outSize) : -1;
}

void CPlayerCore::ScheduleCall(HWND window, UINT timerId, DWORD intervalMs) {
  timers_.Schedule(window, timerId, intervalMs);
  SetMainWindowTimer(CORE_TIMER_WAKE_LOOP, kWakeLoopMs);
}

int CPlayerCore::RunScheduledCall(DWORD* waitMs) {
  DWORD flags = 0;
  if (waitMs && IsPlaying()) DecoderCommand(DEC_CMD_SCHEDULING, nullptr, 0, &flags, sizeof flags);
  const bool keepPriority = (flags & DEC_SCHEDULING_KEEP_PRIORITY) != 0;
  auto deliver = [keepPriority](HWND window, UINT timerId) {
    HANDLE thread = GetCurrentThread();
    const int saved = GetThreadPriority(thread);
    if (!keepPriority) {
      // The timers' work runs one step below the player's own priority.
      HostSetThreadPriority();
      SetThreadPriority(thread, std::min(GetThreadPriority(thread) + 1, THREAD_PRIORITY_IDLE));
    }
    SendMessageW(window, WM_TIMER, timerId, 0);
    if (!keepPriority) SetThreadPriority(thread, saved);
  };
  return timers_.Run(deliver, (flags & DEC_SCHEDULING_HOLD_TIMERS) != 0, waitMs);
}

DSPModule* CPlayerCore::GetCurrentDSP(DWORD* enabled) {
  CSettings* settings = GetSettings();
  if (!settings) {
    if (enabled) *enabled = 0;
    return nullptr;
  }
  const std::vector<DSPModule*> modules = DSPList().Snapshot();
  return dspChoice_.Get(modules, *settings, enabled);
}

void CPlayerCore::ResetDSPCache() {
  dspChoice_.Reset();
  RefreshSkinDsp();
}

int CPlayerCore::AdjustSampleCount(int count) { return ::AdjustSampleCount(GetCurrentDSP(), count); }

int CPlayerCore::ProcessSamples(void* samples, int count, int channels, int bitsPerSample, int sampleRate) {
  CSettings* settings = GetSettings();
  const bool equalize = settings && EqualizerRunsOn(*settings, decoder_.load(), bitsPerSample);
  // The DSP module runs on the decoder thread outside every core lock.
  return RunSampleChain(GetCurrentDSP(), equalize, samples, count, channels, bitsPerSample, sampleRate);
}

void CPlayerCore::OnStatusUpdate(int bitrate, int sampleRate, int channelMode) {
  {
    CSectionLock hold(statusLock_);
    const DWORD now = GetTickCount();
    if (statusUpdated_ && now - lastStatusUpdate_ <= kStatusIntervalMs) return;
    statusUpdated_ = true;
    lastStatusUpdate_ = now;
  }
  SetStreamInfo(bitrate, sampleRate, channelMode);
}

void CPlayerCore::SetStreamInfo(int bitrate, int sampleRate, int channelMode) {
  {
    CSectionLock hold(statusLock_);
    if (channelMode != kStoredValue) channelMode_ = channelMode;
    if (bitrate != kStoredValue) bitrate_ = bitrate;
    if (sampleRate != kStoredValue) sampleRate_ = sampleRate;
  }
  ShowStreamInfo(bitrate, sampleRate, channelMode);
}

int CPlayerCore::VolumeChangedOutside() {
  const int system = ReadSystemVolume(this);
  return system != volume_ ? system : kStoredValue;
}

int CPlayerCore::GetEqValue(int index) {
  if (index >= 0 && index < 10) return eqBands_[index];
  switch (index) {
    case -1: return eqPreamp_;
    case -2: return eqOn_;
    case -3: return eqAutoLoad_;
    case -12: return eqPresetName_.empty() ? 0 : 1;
    default: return 0;
  }
}

void CPlayerCore::PostControlCommand(WORD command, WORD source) {
  // A button event before the main window is set up is dropped.
  if (window_ && GetWindowLongW(window_, GWL_USERDATA) != MAIN_WINDOW_CREATED)
    PostMessageW(window_, WM_ZB_CONTROL, command, source);
}

void CPlayerCore::SetMainWindowTimer(UINT_PTR id, UINT ms) {
  // Without a main window SetTimer would make a thread timer nobody handles.
  if (window_) SetTimer(window_, id, ms, nullptr);
}

void CPlayerCore::KillMainWindowTimer(UINT_PTR id) {
  if (window_) KillTimer(window_, id);
}

CPlayerCore* GetPlayerCore() {
  if (!g_core) new CPlayerCore(g_ownerInstance ? g_ownerInstance : GetModuleHandleW(nullptr), g_ownerWindow);
  return g_core;
}

CPlayerCore* PeekPlayerCore() { return g_core; }

void SetPlayerCoreOwner(HINSTANCE instance, HWND mainWindow) {
  g_ownerInstance = instance;
  g_ownerWindow = mainWindow;
}

void DestroyPlayerCore() { delete g_core; }

extern "C" int PlayerCallback(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  // Only a core that exists answers: a plug-in thread calling in after the core was destroyed
  // must not build a new one while the program shuts down.
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->HandleMessage(id, in, inSize, out, outSize) : -1;
}

int BroadcastPlayerEvent(CPlayerCore* core, UINT event, void* in, UINT inSize, void* out, UINT outSize) {
  if (!core) return 0;
  DSPModule* dsp = core->GetCurrentDSP();
  if (dsp && (dsp->flags & ZB_DSP_FLAG_HOST_CALLBACK) && dsp->OnEvent) dsp->OnEvent(event, in, inSize, out, outSize);
  DecModule* decoder = core->GetDecoder();
  if (decoder && decoder->Command) decoder->Command(event, in, inSize, out, outSize);
  for (GenModule* module : GenList().Snapshot())
    if (module->version == GEN_MODULE_VERSION_2 && module->CommandHook) module->CommandHook(event, in, inSize, out, outSize);
  return core->GetVisHost()->Notify(event, in, inSize, out, outSize);
}
