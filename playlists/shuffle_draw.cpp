// The played-set of a shuffle round as a Fenwick tree: counting a slot in or out is one update,
// and the k-th unplayed entry is one descent, instead of a walk over the whole list per draw.
#include "shuffle_draw.h"

#include <cstddef>

void CShuffleDraw::Rebuild(const std::vector<int>& history, int position, int count) {
  count_ = count;
  uses_.assign(static_cast<size_t>(count), 0);
  for (int slot = 0; slot < position && slot < static_cast<int>(history.size()); ++slot) {
    const int entry = history[static_cast<size_t>(slot)];
    if (entry >= 0 && entry < count) ++uses_[static_cast<size_t>(entry)];
  }
  // Linear build: each node adds itself to its parent.
  tree_.assign(static_cast<size_t>(count) + 1, 0);
  unplayed_ = 0;
  for (int i = 1; i <= count; ++i) {
    const int unplayed = uses_[static_cast<size_t>(i - 1)] == 0 ? 1 : 0;
    unplayed_ += unplayed;
    tree_[static_cast<size_t>(i)] += unplayed;
    const int parent = i + (i & -i);
    if (parent <= count) tree_[static_cast<size_t>(parent)] += tree_[static_cast<size_t>(i)];
  }
  position_ = position;
  valid_ = true;
}

void CShuffleDraw::Flip(int entry, int delta) {
  unplayed_ += delta;
  for (int i = entry + 1; i <= count_; i += i & -i) tree_[static_cast<size_t>(i)] += delta;
}

void CShuffleDraw::Count(int entry, int delta) {
  if (entry < 0 || entry >= count_) return;  // not an entry: never counted
  int& uses = uses_[static_cast<size_t>(entry)];
  if (delta > 0 && uses++ == 0) Flip(entry, -1);
  if (delta < 0 && --uses == 0) Flip(entry, +1);
}

int CShuffleDraw::Pick(const std::vector<int>& history, int position, int count, int k) {
  if (position > static_cast<int>(history.size())) position = static_cast<int>(history.size());
  if (!valid_ || count != count_) {
    Rebuild(history, position, count);
  } else {
    for (; position_ < position; ++position_) Count(history[static_cast<size_t>(position_)], +1);
    for (; position_ > position; --position_) Count(history[static_cast<size_t>(position_ - 1)], -1);
  }
  if (k < 0 || k >= unplayed_) return -1;
  int node = 0;
  int remaining = k + 1;
  int step = 1;
  while (step * 2 <= count_) step *= 2;
  for (; step > 0; step /= 2) {
    if (node + step <= count_ && tree_[static_cast<size_t>(node + step)] < remaining) {
      node += step;
      remaining -= tree_[static_cast<size_t>(node)];
    }
  }
  return node < count_ ? node : -1;
}
