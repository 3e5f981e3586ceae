// Seeded property tests of the next-item choice over thousands of steps: shuffle rounds play each
// entry once, a peek names the entry the following Next plays, Previous walks the history back,
// and every mix of edits, steps, trims and prunes keeps the history's invariants.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "playlist.h"
#include "script_core.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

constexpr unsigned kSeeds[] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89};

class ShuffleProperties : public ::testing::Test {
 protected:
  ShuffleProperties() { zb::testing::TakeOverClock(86400000); }
  ~ShuffleProperties() override { zb::testing::ReleaseClock(); }

  // The playlist's random source and the test's own choices both start from the seed.
  void Seed(unsigned seed) {
    GetShuffleRandom();
    std::srand(seed);
    rng.seed(seed);
  }
  int Pick(int bound) { return static_cast<int>(rng() % static_cast<unsigned>(bound)); }
  static void Fill(CPlaylist& playlist, int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "\\" + std::to_string(i) + ".mp3";
      playlist.InsertItem(std::u16string(name.begin(), name.end()).c_str(), -1, nullptr, -2);
    }
  }

  zb::testing::TestDevice device;
  CScriptCore core;
  std::mt19937 rng;
};

bool IsPermutation(std::vector<int> entries, int count) {
  std::sort(entries.begin(), entries.end());
  std::vector<int> all(static_cast<size_t>(count));
  std::iota(all.begin(), all.end(), 0);
  return entries == all;
}

TEST_F(ShuffleProperties, WithoutRepeatARoundPlaysEveryEntryOnceThenStops) {
  core.shuffle = TRUE;
  for (unsigned seed : kSeeds) {
    for (int count : {1, 2, 3, 7, 31, 100}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(count) + " entries");
      Seed(seed);
      CPlaylist playlist(&core);
      Fill(playlist, count);
      const int start = Pick(count + 1) - 1;  // -1: nothing played yet
      if (start >= 0) playlist.SetCurrentIndex(start);
      playlist.ClearHistory();
      std::vector<int> played;
      if (start >= 0) played.push_back(start);
      for (int step = 0; step < 2 * count && playlist.Next(FALSE); ++step) played.push_back(playlist.GetCurrentIndex());
      EXPECT_TRUE(IsPermutation(played, count));
      EXPECT_EQ(playlist.Next(FALSE), 0);
      EXPECT_EQ(playlist.GetCurrentIndex(), played.back());
    }
  }
}

TEST_F(ShuffleProperties, WithRepeatNoEntryRepeatsWithinARound) {
  core.shuffle = TRUE;
  core.repeat = TRUE;
  for (unsigned seed : kSeeds) {
    for (int count : {2, 3, 5, 17, 64}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(count) + " entries");
      Seed(seed);
      CPlaylist playlist(&core);
      Fill(playlist, count);
      playlist.ClearHistory();
      std::vector<int> lastPlayed(static_cast<size_t>(count), -1);
      int rounds = 0;
      for (int step = 0; step < 4000; ++step) {
        ASSERT_EQ(playlist.Next(FALSE), 1);
        const std::vector<int>& history = playlist.GetHistory();
        const int position = playlist.GetHistoryPosition();
        ASSERT_GE(position, 1);
        ASSERT_EQ(history[static_cast<size_t>(position - 1)], playlist.GetCurrentIndex());
        const std::vector<int> played(history.begin(), history.begin() + position);
        ASSERT_EQ(std::set<int>(played.begin(), played.end()).size(), played.size()) << "a repeat within the round";
        if (position == count) {
          ASSERT_TRUE(IsPermutation(played, count));
          ++rounds;
        }
        // An entry spared by a new round was among the last of the one before, so no entry
        // waits longer than two rounds.
        int& last = lastPlayed[static_cast<size_t>(playlist.GetCurrentIndex())];
        if (last >= 0) {
          ASSERT_LT(step + 1 - last, 2 * count) << "entry " << playlist.GetCurrentIndex();
        }
        last = step + 1;
      }
      EXPECT_GE(rounds, 4000 / count - 1);
    }
  }
}

TEST_F(ShuffleProperties, APeekNamesTheEntryTheFollowingNextPlays) {
  for (int mode = 0; mode < 8; ++mode) {
    core.shuffle = (mode & 1) != 0;
    core.repeat = (mode & 2) != 0;
    core.manualAdvance = (mode & 4) != 0;
    for (unsigned seed : {7u, 11u, 19u}) {
      SCOPED_TRACE("mode " + std::to_string(mode) + ", seed " + std::to_string(seed));
      Seed(seed);
      CPlaylist playlist(&core);
      const int count = 6 + Pick(20);
      Fill(playlist, count);
      playlist.ClearHistory();
      for (int step = 0; step < 1500; ++step) {
        const int choice = Pick(10);
        if (choice < 6) {
          WCHAR peeked[MAX_PATH];
          const int expected = playlist.PeekAhead(1, peeked, MAX_PATH);
          ASSERT_EQ(playlist.Next(FALSE), expected) << "step " << step;
          if (expected) {
            ASSERT_EQ(playlist.GetItemPath(playlist.GetCurrentIndex()), peeked) << "step " << step;
          }
        } else if (choice == 6) {
          // Several steps ahead, within the round when shuffling.
          const int steps = 2 + Pick(3);
          if (core.shuffle && playlist.GetHistoryPosition() + steps > count) continue;
          WCHAR peeked[MAX_PATH];
          const int expected = playlist.PeekAhead(steps, peeked, MAX_PATH);
          int result = 0;
          for (int i = 0; i < steps; ++i) result = playlist.Next(FALSE);
          ASSERT_EQ(result, expected) << "step " << step;
          if (expected) {
            ASSERT_EQ(playlist.GetItemPath(playlist.GetCurrentIndex()), peeked) << "step " << step;
          }
        } else if (choice == 7) {
          playlist.Previous();
        } else if (choice == 8) {
          playlist.Next(TRUE);
        } else {
          // The user picks an entry; the core starts the history afresh as it does on a switch.
          playlist.SetCurrentIndex(Pick(count));
          if (Pick(2)) playlist.ClearHistory();
        }
      }
    }
  }
}

TEST_F(ShuffleProperties, PreviousWalksTheHistoryBackAndNextReplaysIt) {
  core.shuffle = TRUE;
  core.repeat = TRUE;
  for (unsigned seed : kSeeds) {
    SCOPED_TRACE(seed);
    Seed(seed);
    CPlaylist playlist(&core);
    const int count = 9;
    Fill(playlist, count);
    playlist.SetCurrentIndex(Pick(count));
    playlist.ClearHistory();
    std::vector<int> played = {playlist.GetCurrentIndex()};
    for (int steps = 1 + Pick(3 * count); steps > 0; --steps) {
      playlist.Next(FALSE);
      played.push_back(playlist.GetCurrentIndex());
    }
    const std::vector<int> history = playlist.GetHistory();
    const int position = playlist.GetHistoryPosition();
    ASSERT_EQ(position, static_cast<int>(history.size()));
    // The history is the tail of what played.
    ASSERT_TRUE(std::equal(history.begin(), history.end(), played.end() - position));

    for (int slot = position - 2; slot >= 0; --slot) {
      ASSERT_EQ(playlist.Previous(), 1);
      EXPECT_EQ(playlist.GetCurrentIndex(), history[static_cast<size_t>(slot)]);
    }
    EXPECT_EQ(playlist.Previous(), 0);
    for (int slot = 1; slot < position; ++slot) {
      ASSERT_EQ(playlist.Next(FALSE), 1);
      EXPECT_EQ(playlist.GetCurrentIndex(), history[static_cast<size_t>(slot)]);
    }
    EXPECT_EQ(playlist.GetHistory(), history);
  }
}

// The documented trim and prune, written the plain way, to hold the playlist's own against.
std::vector<int> ReferenceTrim(std::vector<int> history, float fraction, int current) {
  if (fraction == 1.0f) {
    history.clear();
    if (current != -1) history.push_back(current);
    return history;
  }
  const int size = static_cast<int>(history.size());
  int drop = std::max(static_cast<int>(static_cast<float>(size) * fraction), 1);
  if (drop > size - 1) drop = size - 1;
  if (drop > 0) history.erase(history.begin(), history.begin() + drop);
  if (history.empty()) history.push_back(0);
  if (current != -1) history.back() = current;
  return history;
}

std::vector<int> ReferencePrune(std::vector<int> history, int count) {
  std::erase_if(history, [count](int entry) { return entry < 0 || entry >= count; });
  for (size_t i = 0; i < history.size() && static_cast<int>(history.size()) > count; ++i) {
    for (size_t j = history.size(); j-- > i + 1;) {
      if (history[j] == history[i]) history.erase(history.begin() + static_cast<long>(j));
    }
  }
  return history;
}

void ExpectInvariants(const CPlaylist& playlist) {
  const int count = playlist.GetCount();
  const int current = playlist.GetCurrentIndex();
  ASSERT_TRUE(current == -1 || (current >= 0 && current < count)) << "current " << current;
  for (int entry : playlist.GetHistory()) ASSERT_TRUE(entry >= 0 && entry < count) << "history names " << entry;
  ASSERT_GE(playlist.GetHistoryPosition(), 0);
  ASSERT_LE(playlist.GetHistoryPosition(), static_cast<int>(playlist.GetHistory().size()));
}

// One random step of what the player and the user do to a playlist.
void RandomStep(CPlaylist& playlist, CScriptCore& core, int& names, const std::function<int(int)>& pick) {
  const int count = playlist.GetCount();
  switch (pick(12)) {
    case 0: {
      const std::string name = "\\" + std::to_string(names++) + ".mp3";
      playlist.InsertItem(std::u16string(name.begin(), name.end()).c_str(), pick(count + 2) - 1, nullptr, -2);
      break;
    }
    case 1:
      if (count > 3) playlist.RemoveItem(pick(count));
      break;
    case 2:
      if (count > 0) playlist.MoveItems(pick(count), pick(count), pick(2));
      break;
    case 3:
      playlist.SetCurrentIndex(pick(count + 1) - 1);
      break;
    case 4:
    case 5:
    case 6:
      playlist.Next(pick(2));
      break;
    case 7:
      playlist.Previous();
      break;
    case 8: {
      WCHAR path[MAX_PATH];
      playlist.PeekAhead(pick(4), path, MAX_PATH);
      break;
    }
    case 9:
      if (pick(2)) {
        core.shuffle = !core.shuffle;
      } else {
        core.repeat = !core.repeat;
      }
      core.manualAdvance = pick(5) == 0;
      break;
    case 10:
      playlist.ClearHistory();
      break;
    default: {
      // A choice on copies, as a peek makes it, from a position anywhere in the round: beyond
      // the history it lengthens the history with zeros, which pruning later has to cope with.
      if (count == 0) break;
      int current = pick(count + 1) - 1;
      int position = pick(count);
      BOOL changed = FALSE;
      playlist.ChooseNext(&core, pick(2), current, position, changed);
      break;
    }
  }
}

// Ten seeded runs of 3000 random steps each from a list of twelve, with `check` after every step.
class RandomRuns : public ShuffleProperties {
 protected:
  void Run(const std::function<void(CPlaylist&)>& check) {
    const auto pick = [this](int bound) { return Pick(bound); };
    for (unsigned seed : kSeeds) {
      SCOPED_TRACE(seed);
      Seed(seed);
      core = CScriptCore();
      CPlaylist playlist(&core);
      Fill(playlist, 12);
      int names = 12;
      for (int step = 0; step < 3000 && !HasFatalFailure(); ++step) {
        RandomStep(playlist, core, names, pick);
        check(playlist);
      }
    }
  }
};

TEST_F(RandomRuns, EditsAndStepsKeepTheInvariants) {
  Run([](CPlaylist& playlist) { ExpectInvariants(playlist); });
}

TEST_F(RandomRuns, TrimAndPruneDoWhatTheyDefine) {
  int deduplicated = 0;
  Run([&](CPlaylist& playlist) {
    const int count = playlist.GetCount();
    if (Pick(6) == 0) {
      const float fractions[] = {0.0f, 0.5f, 0.8f, 1.0f};
      const float fraction = fractions[Pick(4)];
      const int current = playlist.GetCurrentIndex();
      const std::vector<int> expected = ReferenceTrim(playlist.GetHistory(), fraction, current);
      int position = playlist.GetHistoryPosition();
      playlist.TrimHistory(position, fraction, current);
      ASSERT_EQ(playlist.GetHistory(), expected);
      ASSERT_EQ(position, static_cast<int>(expected.size()));
    } else if (Pick(6) == 0) {
      std::vector<int> valid = playlist.GetHistory();
      std::erase_if(valid, [count](int entry) { return entry >= count; });
      const std::vector<int> expected = ReferencePrune(playlist.GetHistory(), count);
      deduplicated += expected.size() < valid.size() ? 1 : 0;
      int position = Pick(static_cast<int>(playlist.GetHistory().size()) + 3);
      const int before = position;
      playlist.PruneHistory(position);
      ASSERT_EQ(playlist.GetHistory(), expected);
      ASSERT_EQ(position, std::min(before, static_cast<int>(expected.size())));
      ASSERT_LE(static_cast<int>(expected.size()), std::max(count, 0));
    }
  });
  // The walk that drops repeats only runs when the history outgrows the list; it must have run.
  EXPECT_GT(deduplicated, 0);
}

}  // namespace
