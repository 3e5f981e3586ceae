// CShuffleDraw against the plain walk it replaces: the k-th entry that the played part of the
// history does not hold, while the position moves both ways, slots beyond it change, and the
// history is reshaped (with values that name no entry) behind an Invalidate.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "shuffle_draw.h"

namespace {

int WalkForKth(const std::vector<int>& history, int position, int count, int k) {
  std::vector<bool> played(static_cast<size_t>(count), false);
  for (int slot = 0; slot < position && slot < static_cast<int>(history.size()); ++slot) {
    const int entry = history[static_cast<size_t>(slot)];
    if (entry >= 0 && entry < count) played[static_cast<size_t>(entry)] = true;
  }
  for (int entry = 0; entry < count; ++entry) {
    if (!played[static_cast<size_t>(entry)] && k-- == 0) return entry;
  }
  return -1;
}

TEST(ShuffleDraw, FindsWhatTheWalkFinds) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    const auto pick = [&rng](int bound) { return static_cast<int>(rng() % static_cast<unsigned>(bound)); };
    int count = 1 + pick(60);
    std::vector<int> history;
    for (int i = pick(2 * count); i > 0; --i) history.push_back(pick(count + 4) - 2);
    int position = pick(static_cast<int>(history.size()) + 1);
    CShuffleDraw draw;
    for (int step = 0; step < 2000; ++step) {
      switch (pick(8)) {
        case 0:  // reshaped: anything may change
          count = 1 + pick(60);
          for (int& entry : history) entry = pick(count + 4) - 2;
          history.resize(static_cast<size_t>(pick(2 * count + 1)));
          position = pick(static_cast<int>(history.size()) + 1);
          draw.Invalidate();
          break;
        case 1:  // a slot at or beyond the position is written, as a draw does
          if (position < static_cast<int>(history.size())) {
            history[static_cast<size_t>(position)] = pick(count);
          } else {
            history.push_back(pick(count));
          }
          break;
        case 2:
        case 3:
          position = std::min(position + 1 + pick(3), static_cast<int>(history.size()));
          break;
        case 4:
          position = std::max(position - 1 - pick(3), 0);
          break;
        default:
          break;
      }
      const int k = pick(count + 2);
      ASSERT_EQ(draw.Pick(history, position, count, k), WalkForKth(history, position, count, k))
          << "step " << step << ", k " << k << ", position " << position;
    }
  }
}

TEST(ShuffleDraw, APositionBeyondTheHistoryCountsTheWholeHistory) {
  CShuffleDraw draw;
  const std::vector<int> history = {2, 0};
  EXPECT_EQ(draw.Pick(history, 5, 4, 0), 1);
  EXPECT_EQ(draw.Pick(history, 5, 4, 1), 3);
  EXPECT_EQ(draw.Pick(history, 5, 4, 2), -1);
  EXPECT_EQ(draw.Pick({}, 0, 0, 0), -1);
}

}  // namespace
