// CShuffleDraw: which entries the played part of the history holds, so that a shuffle draw finds
// the k-th entry not yet played in logarithmic time; a round over a long list stays linear.
#pragma once
#include <vector>

class CShuffleDraw {
 public:
  // The history's counted slots or the entry count changed: count again at the next Pick.
  void Invalidate() { valid_ = false; }
  // The k-th index (from 0) of 0..count-1 that history[0..position) does not hold; -1 when
  // fewer are left. Slots below the last position seen must not have changed since, unless
  // Invalidate was called.
  int Pick(const std::vector<int>& history, int position, int count, int k);

 private:
  void Rebuild(const std::vector<int>& history, int position, int count);
  void Count(int entry, int delta);
  void Flip(int entry, int delta);

  std::vector<int> tree_;  // Fenwick tree over "not played yet" flags
  std::vector<int> uses_;  // how often each entry stands in the counted slots
  int count_ = 0;
  int unplayed_ = 0;
  int position_ = 0;
  bool valid_ = false;
};
