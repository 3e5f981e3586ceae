// Where the open item is: its length and output time, seeks (absolute, proportional and
// relative), and the now-playing refresh that moves the last position along with the playback
// and publishes it in the main window's extra memory for other processes.
#include <algorithm>
#include <climits>

#include "core/window/main_window_protocol.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/transport/transport_neighbours.h"
#include "playlist.h"

int CPlayerCore::GetOutputTime() {
  DecModule* decoder = decoder_.load();
  return IsPlaying() && decoder && decoder->GetOutputTime ? decoder->GetOutputTime() : 0;
}

int CPlayerCore::GetLength() {
  DecModule* decoder = decoder_.load();
  return IsPlaying() && decoder && decoder->GetLength ? decoder->GetLength() : 0;
}

int CPlayerCore::IsPaused() {
  DecModule* decoder = decoder_.load();
  if (!IsPlaying() || !decoder) return 1;
  return decoder->IsPaused ? decoder->IsPaused() : 0;
}

int CPlayerCore::IsSeekable() {
  DecModule* decoder = decoder_.load();
  return IsPlaying() && decoder && (decoder->flags & DEC_FLAG_SEEKABLE) ? 1 : 0;
}

int CPlayerCore::SeekTo(int position, int total) {
  if (!IsPlaying()) return 0;
  int request[2] = {total, position};
  if (DispatchToHooks(PLAYER_EVENT_SEEK, request, sizeof request, nullptr, nullptr) >= 0) return 0;
  DecModule* decoder = decoder_.load();
  if (!decoder || !(decoder->flags & DEC_FLAG_SEEKABLE) || !decoder->SetOutputTime) return 0;
  visHost_->OnSeek();
  int target = position;
  if (total != 0) {
    const double length = decoder->GetLength ? decoder->GetLength() : 0;
    const double scaled = length * static_cast<double>(static_cast<unsigned>(position)) /
                          static_cast<double>(static_cast<unsigned>(total));
    target = static_cast<int>(std::clamp(scaled, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
  }
  decoder->SetOutputTime(target);
  SetMainWindowWord(MAIN_WORD_POSITION, decoder->GetOutputTime ? decoder->GetOutputTime() : target);
  DispatchToHooks(PLAYER_EVENT_SEEKED, &target, sizeof target, nullptr, nullptr);
  return 1;
}

int CPlayerCore::SeekRelative(int delta) {
  const int length = GetLength();
  long long target = static_cast<long long>(GetOutputTime()) + delta;
  target = std::min<long long>(target, static_cast<long long>(length) - 1);
  target = std::max<long long>(target, 0);
  return SeekTo(static_cast<int>(target), length);
}

void CPlayerCore::RefreshNowPlaying() {
  DecModule* decoder = decoder_.load();
  if (!IsPlaying() || !decoder) {
    SetMainWindowWord(MAIN_WORD_LENGTH, -1);
    SetMainWindowWord(MAIN_WORD_POSITION, 0);
    // Nothing was opened yet: the playlist's current entry is shown.
    if (GetCurrentPath().empty() && playlist_->GetCurrentIndex() >= 0) OpenCurrentPlaylistItem();
    ShowNowPlaying(this);
    return;
  }
  SetMainWindowWord(MAIN_WORD_LENGTH, decoder->GetLength ? decoder->GetLength() : 0);
  const int position = decoder->GetOutputTime ? decoder->GetOutputTime() : 0;
  // The cue marks passed since the last refresh are told after the new position is stored, so a
  // hook that asks for the position sees the one the mark was passed at.
  const std::vector<DWORD> passed = cueMarks_.Passed(lastPosition_, position);
  lastPosition_ = position;
  SetMainWindowWord(MAIN_WORD_POSITION, lastPosition_);
  for (DWORD cookie : passed) DispatchToHooks(PLAYER_EVENT_CUE_MARK_PASSED, &cookie, sizeof cookie, nullptr, nullptr);
  ShowNowPlaying(this);
}

void CPlayerCore::SetMainWindowWord(int offset, LONG value) {
  if (window_) SetWindowLongW(window_, offset, value);
}
