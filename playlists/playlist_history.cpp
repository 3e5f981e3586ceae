// The play history that shuffle walks: slots before the position have played (the last of them
// is the current entry), slots from it on were already chosen for later. Trimming opens a new
// round; pruning drops what no longer names an entry and repeats beyond one round.
#include <vector>

#include "playlist.h"

void CPlaylist::ClearHistory() { TrimHistory(position_, 1.0f, current_); }

void CPlaylist::TrimHistory(int& position, float fraction, int current) {
  if (fraction == 1.0f) {
    history_.clear();
    if (current != -1) history_.push_back(current);
  } else {
    const int size = static_cast<int>(history_.size());
    int drop = std::max(static_cast<int>(static_cast<float>(size) * fraction), 1);
    drop = std::min(drop, size - 1);
    if (drop > 0) history_.erase(history_.begin(), history_.begin() + drop);
    if (history_.empty()) history_.push_back(0);
    if (current != -1) history_.back() = current;
  }
  position = static_cast<int>(history_.size());
  HistoryChanged();
}

void CPlaylist::PruneHistory(int& position) {
  const int count = GetCount();
  std::erase_if(history_, [count](int entry) { return entry < 0 || entry >= count; });

  // Walking from the first slot while the history is longer than a round, each slot in hand
  // deletes every later slot that repeats it. A slot still in hand is always its value's first.
  if (static_cast<int>(history_.size()) > count) {
    std::vector<int> total(static_cast<size_t>(count), 0);
    for (int entry : history_) ++total[static_cast<size_t>(entry)];
    std::vector<int> keeper(static_cast<size_t>(count), -1);  // the slot that deleted its repeats
    size_t remaining = history_.size();
    for (size_t slot = 0; slot < history_.size() && remaining > static_cast<size_t>(count); ++slot) {
      const size_t entry = static_cast<size_t>(history_[slot]);
      if (keeper[entry] >= 0) continue;  // deleted by an earlier slot
      keeper[entry] = static_cast<int>(slot);
      remaining -= static_cast<size_t>(total[entry] - 1);
    }
    std::vector<int> kept;
    kept.reserve(remaining);
    for (size_t slot = 0; slot < history_.size(); ++slot) {
      const int first = keeper[static_cast<size_t>(history_[slot])];
      if (first < 0 || first == static_cast<int>(slot)) kept.push_back(history_[slot]);
    }
    history_ = std::move(kept);
  }
  position = std::min(position, static_cast<int>(history_.size()));
  HistoryChanged();
}
