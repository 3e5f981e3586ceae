// Loading the module the settings name: finding it in its already loaded library, filling its
// record by its flags, Init with a device context, and telling the core and the main window
// whether the view is on. Also the player state bits and the values the control message reads.
#include <cstring>

#include "core/modules/plugin_scan.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/vis/vis_host.h"
#include "core/window/main_window_protocol.h"
#include "core/window/main_window_state.h"
#include "mediaitem.h"

namespace {

BOOL IsOverlayFlags(WORD flags) { return (flags & ZB_VIS_FLAG_OVERLAY) == ZB_VIS_FLAG_OVERLAY; }

}  // namespace

int CVisHost::CallWithDc(HWND window, VisModule* module, int (*call)(VisModule*)) {
  HDC dc = window ? GetDC(window) : nullptr;
  module->hdc = dc;
  const int answer = call ? call(module) : 0;
  if (dc) ReleaseDC(window, dc);
  module->hdc = nullptr;
  return answer;
}

VisModule* CVisHost::FindModule(HINSTANCE* library) {
  *library = nullptr;
  CSettings* settings = GetSettings();
  if (!settings || !core_) return nullptr;
  std::u16string path = ProgramFolderOf(core_->GetInstance()) + u"\\" + settings->PluginFile;
  if (path.back() == u'\\' || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
  // Only a library the core's scan kept: the host loads nothing new.
  HINSTANCE handle = GetModuleHandleW(path.c_str());
  if (!handle) return nullptr;
  auto get = reinterpret_cast<ZonbrelGetLibraryFn>(reinterpret_cast<void (*)()>(GetProcAddressW(handle, u"ZonbrelGetLibrary")));
  VisLibrary* header = get ? get() : nullptr;
  if (!header || (header->version != VIS_LIBRARY_VERSION_2 && header->version != VIS_LIBRARY_VERSION_3) ||
      !header->getModule)
    return nullptr;
  VisModule* module = header->getModule(static_cast<int>(settings->PluginIndex));
  if (module && header->version == VIS_LIBRARY_VERSION_2) module->flags = 0;
  if (module) *library = handle;
  return module;
}

DWORD CVisHost::PlayerState(BOOL fresh, DWORD previous) {
  CSettings* settings = GetSettings();
  DWORD bits = 0;
  if (core_) {
    if (core_->GetRepeat()) bits |= VIS_STATE_REPEAT;
    if (core_->GetShuffle()) bits |= VIS_STATE_SHUFFLE;
    if (core_->IsPlaying() && core_->IsPaused()) bits |= VIS_STATE_PAUSED;
    if (core_->IsEqOn()) bits |= VIS_STATE_EQ_ON;
    if (core_->IsMuted()) bits |= VIS_STATE_MUTED;
    if (core_->IsPlaying()) bits |= VIS_STATE_OPEN;
    int volume = core_->GetVolume();
    volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    bits |= static_cast<DWORD>(volume) << VIS_STATE_VOLUME_SHIFT;
  }
  if (settings && settings->autoResume) bits |= VIS_STATE_AUTO_RESUME;
  if (fresh ? settings && settings->visFullscreen : (previous & VIS_STATE_FULLSCREEN)) bits |= VIS_STATE_FULLSCREEN;
  return bits;
}

// The fields a module asked for that change while it plays.
void CVisHost::RefreshFrameFields(VisModule* module) {
  if (!core_) return;
  if (module->flags & ZB_VIS_FLAG_POSITION) {
    module->position = core_->IsPlaying() ? core_->GetOutputTime() : 0;
    module->length = core_->IsPlaying() ? core_->GetLength() : 0;
  }
  if (module->flags & ZB_VIS_FLAG_PLAYLIST) {
    module->playlistIndex = core_->GetCurrentIndex();
    module->playlistCount = core_->GetItemCount();
  }
  if (module->flags & ZB_VIS_FLAG_PLAYER_STATE) module->playerState = PlayerState(FALSE, module->playerState);
}

void CVisHost::FillModule(VisModule* module) {
  const WORD flags = module->flags;
  if (flags & ZB_VIS_FLAG_HOST_CALLBACK) module->playerCallback = ::PlayerCallback;
  if (flags & ZB_VIS_FLAG_SHARED_TEXT) module->sharedText = MainWindow().title;
  if (flags & ZB_VIS_FLAG_CURRENT_PATH) {
    const std::u16string current = core_ ? core_->GetCurrentPath() : std::u16string();
    const size_t n = current.size() < 4095 ? current.size() : 4095;
    std::memcpy(path_, current.data(), n * sizeof(WCHAR));
    path_[n] = 0;
    module->currentPath = path_;
  }
  RefreshFrameFields(module);
  if (flags & ZB_VIS_FLAG_PLAYER_STATE) module->playerState = PlayerState(TRUE, 0);
  if (flags & ZB_VIS_FLAG_RESTART_BITS) module->restartBits = 0;
  if (flags & ZB_VIS_FLAG_ARTWORK) {
    if (artwork_) artwork_->AddRef();
    module->artwork = artwork_;
  }
  HWND window = core_ ? core_->GetMainWindow() : nullptr;
  module->hwndParent = window;
  module->hDllInstance = library_;
  module->hdc = nullptr;
  module->sampleRate = sampleRate_;
  module->channels = static_cast<WORD>(channels_);
  module->colours = colours_;
  CSettings* settings = GetSettings();
  module->drawRect = settings && settings->visFullscreen ? FullScreenArea() : largeRect_;
  if (flags & ZB_VIS_FLAG_SCREEN_RECT) {
    module->screenRect = module->drawRect;
    if (window) MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&module->screenRect), 2);
  }
}

RECT CVisHost::FullScreenArea() {
  RECT area = largeRect_;
  if (HWND window = core_ ? core_->GetMainWindow() : nullptr) GetClientRect(window, &area);
  return area;
}

void CVisHost::UnloadLocked() {
  if (!module_) return;
  if (module_->Quit) module_->Quit(module_);
  if ((module_->flags & ZB_VIS_FLAG_ARTWORK) && module_->artwork) {
    module_->artwork->Release();
    module_->artwork = nullptr;
  }
  module_ = nullptr;
  library_ = nullptr;
}

void CVisHost::LoadModule(int on) {
  HWND window = core_ ? core_->GetMainWindow() : nullptr;
  Lock(3);
  std::memcpy(colours_, savedColours_, sizeof colours_);
  if (!on) {
    UnloadLocked();
  } else {
    UnloadLocked();
    HINSTANCE library = nullptr;
    VisModule* module = FindModule(&library);
    if (module) {
      library_ = library;
      FillModule(module);
      module->hwndParent = nullptr;
      const int answer = CallWithDc(window, module, module->Init);
      if (answer < 0) {
        library_ = nullptr;
        if ((module->flags & ZB_VIS_FLAG_ARTWORK) && module->artwork) {
          module->artwork->Release();
          module->artwork = nullptr;
        }
      } else {
        module->hwndParent = window;
        if (module->flags & ZB_VIS_FLAG_RESTART_BITS) {
          if (library == lastLibrary_) module->restartBits |= 1;
        }
        lastLibrary_ = library;
        module_ = module;
      }
    }
  }
  const BOOL loaded = module_ != nullptr;
  Unlock(3);
  if (core_) core_->ToggleVisualization(loaded, 0);
  if (window) PostMessageW(window, WM_ZB_VIS_FULLSCREEN, loaded ? 1 : 0, 0);
}

BOOL CVisHost::IsOverlay() {
  CSettings* settings = GetSettings();
  WORD flags = 0;
  if (module_) {
    flags = module_->flags;
  } else {
    HINSTANCE library = nullptr;
    if (VisModule* named = FindModule(&library)) flags = named->flags;
  }
  if (!IsOverlayFlags(flags) || (settings && settings->visFullscreen)) return FALSE;
  RECT overlap;
  return !IntersectRect(&overlap, &smallRect_, &largeRect_);
}

void CVisHost::SwitchPlugin() {
  const BOOL wasLoaded = module_ != nullptr;
  LoadModule(0);
  if (wasLoaded || moduleView_) LoadModule(1);
  if (module_) SetInfo(sampleRate_, channels_);
}

int CVisHost::GetValue(int which) {
  switch (which) {
    case 0: return mode_;
    case 1: return moduleView_ ? 1 : 0;
    case 2: return module_ ? 1 : 0;
    default: return 0;
  }
}

void CVisHost::ToggleFullscreen() {
  CSettings* settings = GetSettings();
  if (!settings) return;
  settings->visFullscreen = settings->visFullscreen ? 0 : 1;
  LoadModule(0);
  LoadModule(1);
}
