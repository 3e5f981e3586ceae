// The view-mode cycle: steps the built-in modes (oscilloscope, spectrum, album art, none) and
// moves the module view from off to the large area, to full screen and off again.
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/vis/vis_host.h"

namespace {

bool Skipped(int mode, CSettings* settings, VisModule* module) {
  if (mode == 1) return settings && settings->visOscilloMode == -1;
  if (mode == 2) return settings && static_cast<LONG>(settings->visSpectrumMode) == -1;
  if (mode == 3) return module && (module->flags & ZB_VIS_FLAG_SKIP_ALBUM_ART);
  return false;
}

}  // namespace

void CVisHost::CycleMode(int request) {
  CSettings* settings = GetSettings();
  if (video_ && module_) {
    ToggleFullscreen();
    return;
  }
  Lock(3);
  int m = mode_ < 0 ? 0 : mode_ > 3 ? 3 : mode_;
  const int old = m;
  if (request == -1) {
    if (old == 3) m = 0;
    else if (old == 0) m = 3;
  } else {
    do m = (m + 1) % 4; while (m != 0 && Skipped(m, settings, module_));
  }
  const BOOL fullscreen = settings && settings->visFullscreen;
  bool switches;
  if (m == old) {
    switches = true;
  } else if (module_ && fullscreen) {
    switches = true;
    m = 0;
  } else if (request == -1) {
    switches = false;
  } else if (!IsOverlay()) {
    switches = module_ || m == 0;
    if (module_) m = 0;
  } else {
    switches = m < old;
  }
  int toSave = old;
  if (request == 1) {
    switches = true;
    m = IsOverlay() ? old : module_ ? savedMode_ : 0;
  } else if (switches) {
    toSave = 0;
  }

  const BOOL fsBefore = fullscreen;
  if (switches) {
    if (module_ && settings && !settings->visFullscreen) {
      LoadModule(0);
      settings->visFullscreen = 1;
      m = 0;
      toSave = 0;
    } else if (settings) {
      settings->visFullscreen = 0;
    }
    moduleView_ = module_ ? FALSE : TRUE;
    if (module_) {
      LoadModule(0);
    } else {
      savedMode_ = toSave;
    }
    if (moduleView_) {
      LoadModule(1);
      if (!module_) {
        m = 0;
        moduleView_ = FALSE;
        switches = false;
      }
    }
    if (module_) SetInfo(sampleRate_, channels_);
  }
  mode_ = m;
  if (settings) settings->visMode = static_cast<DWORD>(m) | (moduleView_ ? 0x10 : 0);
  HWND window = core_ ? core_->GetMainWindow() : nullptr;
  if (window) {
    if (switches) {
      if (fsBefore) {
        InvalidateRect(window, nullptr, FALSE);
      } else {
        InvalidateRect(window, &smallRect_, FALSE);
        InvalidateRect(window, &largeRect_, FALSE);
      }
    } else if (m == 0 || m == 3) {
      InvalidateRect(window, &smallRect_, FALSE);
    }
  }
  Unlock(3);
}
