// Which entry plays next or before. In order the list wraps; with shuffle each round plays every
// entry once in random order, recorded in the history so that Previous, and a peek made to
// prepare the next file, see the same order that Next later plays.
#include <algorithm>

#include "playlist.h"

void CPlaylist::EndRound(BOOL repeat, int& position, int current) {
  if (position < GetCount()) return;
  PruneHistory(position);
  // A new round: the oldest four fifths may play again, the most recent fifth not yet.
  if (repeat && position >= GetCount()) TrimHistory(position, 0.8f, current);
}

int CPlaylist::ChooseNext(IPlaylistCore* core, BOOL manual, int& current, int& position, BOOL& changed) {
  const int count = GetCount();
  if (count < 1 || !core) return 0;
  const BOOL shuffle = core->GetShuffle();
  // An entry that ends does not start the next one; the user still can.
  const bool holdAtEnd = !manual && core->GetManualPlaylistAdvance() != 0;

  if (core->GetRepeat()) {
    if (holdAtEnd) {  // the entry plays again
      current = std::max(current, 0);
      changed = TRUE;
      return 1;
    }
  } else if (holdAtEnd) {
    if (current != -1) return 0;
    current = 0;
    changed = TRUE;
    return 1;
  } else if (shuffle) {
    EndRound(FALSE, position, current);
    if (position >= count) return 0;  // every entry has played once
  } else if (current == count - 1) {
    // Past the last entry: rewind; an automatic advance stops there, a manual one plays.
    current = 0;
    changed = TRUE;
    return manual ? 1 : 0;
  }

  if (!shuffle) {
    current = current >= count ? 0 : (current + 1) % count;
    changed = TRUE;
    return 1;
  }

  EndRound(TRUE, position, current);
  if (position < static_cast<int>(history_.size())) {
    current = history_[static_cast<size_t>(position)];
    ++position;
    changed = TRUE;
    return 1;
  }
  const int random = GetShuffleRandom();
  const int left = count - position;
  int entry = draw_.Pick(history_, position, count, left >= 2 ? random % left : 0);
  if (entry < 0) {
    const int fallback = GetShuffleRandom();
    entry = count >= 2 ? fallback % count : 0;
  }
  history_.resize(static_cast<size_t>(position) + 1, 0);
  history_[static_cast<size_t>(position)] = entry;
  current = entry;
  ++position;
  changed = TRUE;
  return 1;
}

int CPlaylist::Next(BOOL manual) {
  if (!core_) return 0;
  BOOL changed = FALSE;
  const int result = ChooseNext(core_, manual, current_, position_, changed);
  if (changed) SendCurrent();
  return result;
}

int CPlaylist::PeekAhead(int steps, LPWSTR buffer, int size) {
  int result = 0;
  int current = current_;
  int position = position_;
  if (core_ && steps > 0) {
    const BOOL shuffle = core_->GetShuffle();
    // At the end of a round the next one starts now, as the coming Next would start it, so the
    // entry drawn here is the entry that Next plays.
    if (shuffle && !core_->GetManualPlaylistAdvance()) {
      EndRound(core_->GetRepeat(), position_, current_);
      position = position_;
    }
    // Entries drawn for later steps stay in the history for Next to take, but a round ending
    // within the peek must not reshape the history under the position Next starts from.
    std::vector<int> beforeRoundEnd;
    bool reshaped = false;
    for (int step = 0; step < steps; ++step) {
      if (shuffle && position >= GetCount() && !reshaped) {
        beforeRoundEnd = history_;
        reshaped = true;
      }
      BOOL changed = FALSE;
      result = ChooseNext(core_, FALSE, current, position, changed);
    }
    if (reshaped) {
      history_ = std::move(beforeRoundEnd);
      HistoryChanged();
    }
  }
  if (!buffer || size <= 0) return result;
  buffer[0] = 0;
  if (result && IsValid(current) && items_[static_cast<size_t>(current)].path.size() < static_cast<size_t>(size)) {
    wcscpy(buffer, items_[static_cast<size_t>(current)].path.c_str());
  }
  return result;
}

int CPlaylist::Previous() {
  if (items_.empty()) return 0;
  if (core_ && core_->GetShuffle()) {
    position_ = std::min(position_, static_cast<int>(history_.size()));
    if (position_ < 2) return 0;
    --position_;
    current_ = history_[static_cast<size_t>(position_ - 1)];
  } else if (current_ > 0) {
    --current_;
  } else if (current_ == 0 && core_ && core_->GetRepeat()) {
    current_ = GetCount() - 1;
  } else {
    return 0;
  }
  SendCurrent();
  return 1;
}
