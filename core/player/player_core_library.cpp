// The core's side of the media library: the library events that set the main window's timers,
// what those timers do, and the play statistics of a completed play.
#include "core/modules/module_lists.h"
#include "core/player/play_statistics.h"
#include "core/player/player_core.h"
#include "core/player/player_core_neighbours.h"
#include "core/interface/player_events.h"

namespace {

constexpr UINT kRefreshDelayMs = 200;
constexpr UINT kFirstRetryMs = 1000;
constexpr UINT kLaterRetryMs = 5000;
constexpr int kUiCommandItemRefreshed = 21;

bool IsUsable(IMediaLibraryLink* library) {
  MEDIA_LIBRARY_STATUS status = {sizeof status, 0, 0, 0};
  return library && SUCCEEDED(library->GetStatus(&status)) && status.open && !status.writeSuspended;
}

}  // namespace

// Runs on whatever thread the library raises its events on: it only compares and sets timers;
// the work happens on the main window's thread.
void CPlayerCore::OnLibraryEvent(int event, LPCWSTR text, void* context) {
  auto* core = static_cast<CPlayerCore*>(context);
  if (!core) return;
  if (event == LIBRARY_EVENT_ITEM_CHANGED) {
    if (text && _wcsicmp(text, core->GetCurrentPath().c_str()) == 0)
      core->SetMainWindowTimer(CORE_TIMER_ITEM_REFRESH, kRefreshDelayMs);
  } else if (event == LIBRARY_EVENT_UNAVAILABLE) {
    core->SetMainWindowTimer(CORE_TIMER_LIBRARY_RETRY, kFirstRetryMs);
  }
}

void CPlayerCore::OnTimer(UINT_PTR id) {
  if (id == CORE_TIMER_ITEM_REFRESH) {
    KillMainWindowTimer(CORE_TIMER_ITEM_REFRESH);
    BroadcastPlayerEvent(this, PLAYER_EVENT_ITEM_REFRESHED, nullptr, 0, nullptr, 0);
    RunUserInterfaceCommand(kUiCommandItemRefreshed, stateItem_);
    RefreshPlaylistCurrentItem();
    SetEvent(refreshEvent_);
  } else if (id == CORE_TIMER_LIBRARY_RETRY) {
    if (!library_) {
      KillMainWindowTimer(CORE_TIMER_LIBRARY_RETRY);  // nothing that could come back
      return;
    }
    if (!IsUsable(library_)) library_->Reopen();
    if (IsUsable(library_)) {
      KillMainWindowTimer(CORE_TIMER_LIBRARY_RETRY);
    } else {
      SetMainWindowTimer(CORE_TIMER_LIBRARY_RETRY, kLaterRetryMs);
    }
  }
}

void CPlayerCore::RecordPlayCompleted() {
  if (!library_) return;
  IMediaItem* item = nullptr;
  if (FAILED(library_->FindItem(GetCurrentPath().c_str(), &item, 0)) || !item) return;
  SYSTEMTIME utc, local;
  GetSystemTime(&utc);
  GetLocalTime(&local);
  UpdatePlayStatistics(item, utc, local);
  item->Release();
}
