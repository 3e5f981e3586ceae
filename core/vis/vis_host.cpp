// The host's life, its two sections, the decoder threads' calls (the sample ring), the events
// it passes to the module, and the hand-over of module work to the interface thread.
#include "core/vis/vis_host.h"

#include <cstring>

#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/vis/vis_refresh.h"
#include "core/window/main_window_protocol.h"
#include "mediaitem.h"

namespace {

constexpr WCHAR kMailboxClass[] = u"ZonbrelVisHost";
constexpr UINT kHandOverMessage = WM_USER + 1;
enum : UINT { kHandOverUnload = 1, kHandOverReload = 2 };

// The core's one host; a window word is too narrow for a pointer on every platform.
CVisHost* volatile g_mailboxHost = nullptr;

}  // namespace

LRESULT CALLBACK VisHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kHandOverMessage) {
    if (CVisHost* host = g_mailboxHost) host->RunHandOver(static_cast<UINT>(wParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

CVisHost::CVisHost(CPlayerCore* core) : core_(core) {
  if (CSettings* settings = GetSettings()) {
    visSpeed_ = settings->visSpeed ? static_cast<int>(settings->visSpeed) : 10;
    mode_ = savedMode_ = static_cast<int>(settings->visMode & ~0x10u);
    moduleView_ = (settings->visMode & 0x10) != 0;
  }
  interfaceThread_ = GetCurrentThreadId();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = VisHostWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kMailboxClass;
  RegisterClassW(&wc);  // fails harmlessly when a host made it before
  mailbox_ = CreateWindowExW(0, kMailboxClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  if (mailbox_) g_mailboxHost = this;
}

CVisHost::~CVisHost() {
  StopRefresh();
  if (mailbox_) {
    if (g_mailboxHost == this) g_mailboxHost = nullptr;
    DestroyWindow(mailbox_);
  }
  Lock(3);
  UnloadLocked();
  ring_.Free();
  DropSurface();
  if (artwork_) artwork_->Release();
  artwork_ = nullptr;
  Unlock(3);
}

void CVisHost::Lock(int mask) {
  if (mask & 1) ringSection_.Enter();
  if (mask & 2) moduleSection_.Enter();
}

void CVisHost::Unlock(int mask) {
  if (mask & 2) moduleSection_.Leave();
  if (mask & 1) ringSection_.Leave();
}

// Work with windows and module libraries belongs to the interface thread: from any other
// thread it is posted to the host's window there.
void CVisHost::HandOver(UINT what) {
  if (GetCurrentThreadId() == interfaceThread_ || !mailbox_) {
    RunHandOver(what);
    return;
  }
  PostMessageW(mailbox_, kHandOverMessage, what, 0);
}

void CVisHost::RunHandOver(UINT what) {
  if (what == kHandOverUnload) {
    LoadModule(0);
  } else if (what == kHandOverReload) {
    const BOOL wasLoaded = module_ != nullptr;
    LoadModule(0);
    if (wasLoaded) LoadModule(1);
  }
}

void CVisHost::Init(int maxLatencyMs, int sampleRate) {
  Lock(3);
  maxLatency_ = maxLatencyMs;
  sampleRate_ = sampleRate;
  bool made = false;
  if (PrepareSurface()) {
    if (CSettings* settings = GetSettings()) visSpeed_ = settings->visSpeed ? static_cast<int>(settings->visSpeed) : 10;
    made = ring_.Allocate(visSpeed_, maxLatencyMs);
  }
  Unlock(3);
  HWND window = core_ ? core_->GetMainWindow() : nullptr;
  if (made && window) PostMessageW(window, WM_ZB_PRIORITY_BOOST, 1, 1000 / visSpeed_);
}

void CVisHost::Deinit() {
  Lock(3);
  ring_.Free();
  DropSurface();
  Unlock(3);
  if (HWND window = core_ ? core_->GetMainWindow() : nullptr) PostMessageW(window, WM_ZB_PRIORITY_BOOST, 0, 0);
  HandOver(kHandOverUnload);
}

void CVisHost::AddPCM(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs) {
  CSectionLock hold(ringSection_);
  ring_.Feed(static_cast<const BYTE*>(samples), bytes, channels, bitsPerSample, sampleRate_, timeStampMs);
}

void CVisHost::SetInfo(int sampleRate, int channels) {
  Lock(3);
  channels_ = channels;
  const bool differs = module_ && module_ != nullptr &&
                       (module_->sampleRate != sampleRate || module_->channels != channels);
  sampleRate_ = sampleRate;
  Unlock(3);
  // The next load fills the new format in.
  if (differs) HandOver(kHandOverReload);
}

void CVisHost::ClearRing() {
  CSectionLock hold(ringSection_);
  ring_.Clear();
}

DWORD CVisHost::OnDecoderStatus(UINT, void*, UINT, void*, UINT) {
  LogSeam(u"CVisHost::OnDecoderStatus");
  return 0;
}

void CVisHost::RecreateWindow(int) { LogSeam(u"CVisHost::RecreateWindow"); }

void CVisHost::SetItem(IMediaItem* item) {
  Lock(3);
  if (item) item->AddRef();
  if (artwork_) artwork_->Release();
  artwork_ = item;
  Unlock(3);
}

int CVisHost::Notify(UINT message, void* in, UINT inSize, void* out, UINT outSize) {
  CSectionLock hold(moduleSection_);
  if (!module_ || !(module_->flags & ZB_VIS_FLAG_HOST_CALLBACK) || !module_->notify) return 0;
  return module_->notify(message, in, inSize, out, outSize);
}

void CVisHost::VisHostSetRect1(const RECT& rect) {
  Lock(3);
  const bool resized = rect.right - rect.left != smallRect_.right - smallRect_.left ||
                       rect.bottom - rect.top != smallRect_.bottom - smallRect_.top;
  smallRect_ = rect;
  // A surface of the old size would be stretched: make it anew for the area while a run lasts.
  if (resized && bitmap_) PrepareSurface();
  Unlock(3);
  MarkRefreshPainted();
}

void CVisHost::SetLargeRect(const RECT& rect) {
  Lock(3);
  largeRect_ = rect;
  if (module_) module_->drawRect = rect;
  Unlock(3);
  MarkRefreshPainted();
}

void CVisHost::VisHostSetColors(const DWORD* table) {
  if (!table) return;
  Lock(3);
  std::memcpy(colours_, table, sizeof colours_);
  std::memcpy(savedColours_, table, sizeof savedColours_);
  Unlock(3);
  MarkRefreshPainted();
}

void CVisHost::Paint(int value, BOOL) {
  if (RefreshThreadId() == GetCurrentThreadId()) {
    Render(value);
  } else {
    MarkRefreshPainted();
  }
}
