// The play entry and the play worker: the item is taken from the playlist, opened, given its
// equaliser and resume position, and handed to its decoder; a failure arms the main window's
// timer 4 (the item is then passed over), a probe answer retries as Windows Media or expands
// the item as a playlist, whose first entry then plays. Every step is offered to the event hooks
// first.
#include <string>

#include "core/settings/bookmark_list.h"
#include "core/window/main_window_protocol.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/output/sample_chain.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "playlist.h"

namespace {

constexpr WCHAR kWindowsMediaSuffix[] = u"?ext=.wma";
constexpr UINT kFailedPlayDelayMs = 50;
constexpr int kMaxNestedLists = 4;
constexpr int kDspEventPlay = 1;
// Tag of the current item listing tag ids that go before the item plays.
constexpr DWORD kTagRemovedBeforePlay = 0x80027FFF;

void RemoveListedTags(IMediaItem* item) {
  if (!item) return;
  for (DWORD instance = 0;; ++instance) {
    DWORD tag = 0, size = sizeof tag;
    if (FAILED(item->GetInstance(kTagRemovedBeforePlay, instance, &tag, &size))) break;
    item->RemoveTag(tag);
  }
}

// Why an item did not open, for the debug log: the file is out of the device's reach, no
// decoder takes it, or its decoder refused it.
void LogOpenFailure(const std::u16string& path, const DecModule* decoder, int result) {
  WCHAR why[96];
  const bool local = !path.empty() && (path[0] == u'\\' || path[0] == u'/');
  if (local && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    wsprintfW(why, u"there is no such file on the device (error %u)", static_cast<unsigned>(GetLastError()));
  } else if (!decoder || !decoder->Play) {
    wcscpy(why, u"no decoder module takes it");
  } else {
    wsprintfW(why, u"its decoder refused it (result %d)", result);
  }
  OutputDebugStringW((u"Cannot play \"" + path + u"\": " + why + u"\r\n").c_str());
}

}  // namespace

void CPlayerCore::Play(BOOL startPaused) {
  try {
    EnterPlay(FALSE, startPaused);
  } catch (...) {
    OutputDebugStringW(u"Exception\r\n");
    EnterPlay(TRUE, startPaused);
  }
}

void CPlayerCore::EnterPlay(BOOL reset, BOOL startPaused) {
  if (reset) {
    playCounter_ = 0;
    return;
  }
  struct Leave {
    std::atomic<LONG>& counter;
    ~Leave() { --counter; }
  } leave{playCounter_};
  // A play that a hook or a pumped message starts while one runs is dropped.
  if (++playCounter_ != 1) return;
  CSectionLock hold(playLock_);
  if (playCounter_.load() == 1) OpenAndPlay(startPaused);
}

void CPlayerCore::OpenAndPlay(BOOL startPaused) {
  DecModule* decoder = decoder_.load();
  if (IsPlaying() && decoder && decoder->IsPaused && decoder->IsPaused()) {
    TogglePause();
    return;
  }
  Stop(FALSE);
  if (DispatchToHooks(PLAYER_EVENT_PLAY, nullptr, 0, nullptr, nullptr) >= 0) return;

  KillMainWindowTimer(MAIN_TIMER_DRAIN);
  bool ok = playlist_->GetCurrentIndex() != -1 || playlist_->Next(TRUE) != 0;
  std::u16string path;
  int index = playlist_->GetCurrentPath(path);
  if (path.empty()) {
    ok = false;
    if (playlist_->Next(TRUE)) {
      index = playlist_->GetCurrentPath(path);
      ok = true;
    }
  }
  SetDecoderEqualizes(0);
  if (!ok || path.empty()) return;
  std::u16string title = playlist_->GetItemDisplayName(index);
  int expansions = 0;

  CSettings* settings = GetSettings();
  if (settings && settings->autoResumePlaylists && IsSavablePlaylistName(playlistFileName_.c_str()))
    SetResumeEntry(playlistFileName_.c_str(), index);

  openSuffix_.clear();
  for (;;) {
    OpenItem(path.c_str(), title.c_str());
    AddStateBits(CORE_STATE_OPENING, CORE_STATE_STOPPED | CORE_STATE_VIS_FLAG);
    RemoveListedTags(currentItem_);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    decoder = decoder_.load();
    PrepareEqualizer(path.c_str());
    const int position = ChooseStartPosition();
    if (decoder) {
      decoder->playFlags = (startPaused ? DEC_PLAY_START_PAUSED : 0) | (position >= 0 ? DEC_PLAY_START_AT_POSITION : 0);
      decoder->startPosition = position >= 0 ? position : 0;
    }
    NotifyDspOfTransport(kDspEventPlay);
    if (settings && settings->suspendLibraryWhilePlaying) RequestLibraryFlush(1, 1);

    // Without any record to play it (no module claims the path), the item fails like a bad file.
    const int result = decoder && decoder->Play ? decoder->Play(path.c_str()) : -1;
    if (result >= 0) {
      AddStateBits(CORE_STATE_OPEN, CORE_STATE_OPENING);
      DWORD state = state_.load();
      if (DispatchToHooks(PLAYER_EVENT_PLAY, &state, sizeof state, nullptr, nullptr) < 0) {
        if (position >= 0 && (decoder->playFlags & DEC_PLAY_START_AT_POSITION)) SeekTo(position, 0);
        if (startPaused && (decoder->playFlags & DEC_PLAY_START_PAUSED) && !(decoder->IsPaused && decoder->IsPaused()))
          TogglePause();
      }
      break;
    }
    RequestLibraryFlush(0, 1);
    const DWORD code = static_cast<DWORD>(result);
    if ((code & DEC_PLAY_PROBE_MASK) != DEC_PLAY_PROBE) {
      LogOpenFailure(path, decoder, result);
      // The failed item stays open until timer 4 passes it over (end of stream, kind 2).
      SetMainWindowTimer(MAIN_TIMER_PLAY_FAILED, kFailedPlayDelayMs);
      AddStateBits(CORE_STATE_OPEN, CORE_STATE_OPENING);
      return;
    }
    if ((code & DEC_PLAY_RETRY_AS_WINDOWS_MEDIA) && _wcsicmp(openSuffix_.c_str(), kWindowsMediaSuffix) != 0) {
      openSuffix_ = kWindowsMediaSuffix;
      continue;
    }
    if (code & DEC_PLAY_EXPAND_AS_PLAYLIST) {
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      const BOOL expanded = ExpandPlaylistItem(playlist_.get(), path.c_str(), index, this);
      SetCursor(nullptr);
      // The list's first entry took the item's place: it plays, as the user asked the list to.
      // Lists naming lists are followed only so deep, so a list naming itself ends.
      std::u16string entry;
      const int at = expanded && ++expansions <= kMaxNestedLists ? playlist_->GetCurrentPath(entry) : -1;
      if (at >= 0 && !entry.empty()) {
        path = entry;
        index = at;
        title = playlist_->GetItemDisplayName(index);
        openSuffix_.clear();
        continue;
      }
    }
    break;
  }
  if (state_.load() & CORE_STATE_OPENING) AddStateBits(CORE_STATE_STOPPED, CORE_STATE_OPENING);
}

void CPlayerCore::NotifyDspOfTransport(UINT event) {
  DSPModule* dsp = GetCurrentDSP();
  if (dsp && (dsp->flags & ZB_DSP_FLAG_HOST_CALLBACK) && dsp->OnEvent) dsp->OnEvent(event, nullptr, 0, nullptr, 0);
}

int CPlayerCore::ChooseStartPosition() {
  DWORD mode = 0;
  UINT size = sizeof mode;
  if (DispatchToHooks(PLAYER_EVENT_RESUME_MODE, nullptr, 0, &mode, &size) < 0) {
    CSettings* settings = GetSettings();
    mode = settings ? settings->autoResume : 0;
    // Mode 1 resumes only the item that stopped last.
    if (mode == 1 && _wcsicmp(GetCurrentPath().c_str(), bookmarks_->GetLastPlain().c_str()) != 0) mode = 0;
  }
  LONG position = -1;
  if (mode) {
    size = sizeof position;
    if (DispatchToHooks(PLAYER_EVENT_RESUME_POSITION, nullptr, 0, &position, &size) < 0) position = GetResumePosition();
  }
  return position;
}
