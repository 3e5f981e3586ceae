// Moving through the playlist: next, previous (which restarts an item more than 7.5 s in), and
// choosing an entry. The hooks may move instead of the playlist (events 1 and 2), skip what it
// chose (event 8) and decide whether the resume position is forgotten (event 12).
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/settings/settings.h"
#include "playlist.h"

namespace {

constexpr int kRestartThresholdMs = 7500;
constexpr int kUiCommandHasStop = 22;

}  // namespace

BOOL CPlayerCore::SkinHasStopElement() { return SendUiCommand(kUiCommandHasStop, nullptr) != 0; }

bool CPlayerCore::ShouldForgetResume() {
  auto byTheSettings = [this] {
    CSettings* settings = GetSettings();
    return static_cast<DWORD>(settings && settings->resetBookmarksAuto && SkinHasStopElement());
  };
  DWORD forget = byTheSettings();
  UINT size = sizeof forget;
  if (DispatchToHooks(PLAYER_EVENT_FORGET_RESUME, nullptr, 0, &forget, &size) < 0) forget = byTheSettings();
  return forget != 0;
}

template <class Move>
int CPlayerCore::SkipTakenItems(int moved, void* data, UINT size, Move move) {
  // Bounded, so hooks that skip everything cannot keep the playlist turning.
  for (int round = 0; round <= playlist_->GetCount(); ++round) {
    if (DispatchToHooks(PLAYER_EVENT_SKIP_ITEM, data, size, nullptr, nullptr) < 0) break;
    moved = move();
  }
  return moved;
}

void CPlayerCore::OpenCurrentPlaylistItem() {
  std::u16string path;
  const int index = playlist_->GetCurrentPath(path);
  OpenItem(path.c_str(), playlist_->GetItemDisplayName(index).c_str());
}

int CPlayerCore::NextItem(BOOL user) {
  const bool forget = ShouldForgetResume();
  if (IsPlaying() && forget) ForgetResumePosition();
  const int old = playlist_->GetCurrentIndex();
  DWORD userWord = user ? 1 : 0;
  DWORD moved = 0;
  UINT size = sizeof moved;
  if (DispatchToHooks(PLAYER_EVENT_NEXT, &userWord, sizeof userWord, &moved, &size) < 0) {
    moved = playlist_->Next(user);
    moved = SkipTakenItems(moved, &userWord, sizeof userWord, [this, user] { return playlist_->Next(user); });
  }

  if (moved && IsPlaying()) {
    DecModule* decoder = decoder_.load();
    const BOOL wasPaused = decoder && decoder->IsPaused && decoder->IsPaused() != 0;
    Stop(FALSE);
    if (forget) ForgetResumePosition();
    // A paused player cues the next item when the skin offers no Stop to leave the pause with.
    if (user && wasPaused && !SkinHasStopElement()) {
      OpenCurrentPlaylistItem();
      SetVisMode(1);
      return 1;
    }
    Play(wasPaused);
    return 1;
  }
  if (moved) {
    OpenCurrentPlaylistItem();
    return 1;
  }
  CSettings* settings = GetSettings();
  if (!user && settings && settings->manualPlaylistAdvance && settings->manualPlaylistCue) {
    // The next item is cued, not played: taken as a user step while the core counts as stopped.
    const DWORD saved = state_.load();
    AddStateBits(CORE_STATE_STOPPED, CORE_STATE_OPEN);
    NextItem(TRUE);
    state_ = saved;
    return 0;
  }
  if (playlist_->GetCurrentIndex() != old) OpenCurrentPlaylistItem();
  return 0;
}

void CPlayerCore::PreviousItem() {
  DWORD moved = 0;
  UINT size = sizeof moved;
  if (DispatchToHooks(PLAYER_EVENT_PREVIOUS, nullptr, 0, &moved, &size) < 0) {
    DecModule* decoder = decoder_.load();
    if (IsPlaying() && decoder) {
      const int length = decoder->GetLength ? decoder->GetLength() : 0;
      const int position = decoder->GetOutputTime ? decoder->GetOutputTime() : 0;
      if (length > kRestartThresholdMs && position > kRestartThresholdMs) {
        restartPosition_ = position;
        if (SeekTo(0, 1)) {
          SetResumeEntry(GetCurrentPath().c_str(), restartPosition_);
          return;
        }
        restartPosition_ = -1;
      }
    }
    moved = playlist_->Previous();
    moved = SkipTakenItems(moved, nullptr, 0, [this] { return playlist_->Previous(); });
  }
  if (!moved) return;
  if (!IsPlaying()) {
    OpenCurrentPlaylistItem();
    return;
  }
  DecModule* decoder = decoder_.load();
  const BOOL wasPaused = decoder && decoder->IsPaused && decoder->IsPaused() != 0;
  Stop(FALSE);
  if (ShouldForgetResume()) ForgetResumePosition();
  if (wasPaused && !SkinHasStopElement()) {
    OpenCurrentPlaylistItem();
    SetVisMode(1);
  } else {
    Play(wasPaused);
  }
}

int CPlayerCore::SelectItem(int index) {
  playlist_->SetCurrentIndex(index);
  if (playlist_->GetCurrentIndex() != index) return 0;
  OpenItem(playlist_->GetItemPath(index).c_str(), playlist_->GetItemDisplayName(index).c_str());
  return 1;
}
