// The visualisation host's sample ring: its size from visSpeed and the latency, how it shrinks
// when memory is short, the snapshots it takes of 8- and 16-bit PCM (short blocks collected),
// formats it refuses, and which snapshot it chooses for a play position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/vis/vis_sample_ring.h"

namespace zb::testing {
namespace {

std::vector<short> Stereo16(int frames, short left, short right) {
  std::vector<short> pcm(2 * frames);
  for (int k = 0; k < frames; ++k) pcm[2 * k] = left, pcm[2 * k + 1] = right;
  return pcm;
}

std::vector<VisSlot*> ValidSlots(CVisSampleRing& ring) {
  std::vector<VisSlot*> slots;
  for (int i = 0; i < ring.SlotCount(); ++i)
    if (ring.Slot(i)->valid) slots.push_back(ring.Slot(i));
  return slots;
}

TEST(VisSampleRing, SlotsFollowSpeedAndLatency) {
  struct Case {
    int speed, latency, slots;
  } cases[] = {{10, 2000, 41}, {20, 500, 21}, {10, 100, 4}};
  for (const Case& c : cases) {
    CVisSampleRing ring;
    ASSERT_TRUE(ring.Allocate(c.speed, c.latency));
    EXPECT_EQ(ring.SlotCount(), c.slots) << c.speed << " " << c.latency;
  }
}

TEST(VisSampleRing, ShortMemoryShrinksTheRingToNoFewerThanFourSlots) {
  std::vector<size_t> asked;
  auto shortOf = [&](size_t limit) {
    return [&asked, limit](size_t bytes) -> void* {
      asked.push_back(bytes);
      return bytes <= limit ? malloc(bytes) : nullptr;
    };
  };
  CVisSampleRing ring;
  ASSERT_TRUE(ring.Allocate(10, 2000, shortOf((10 + 3) * kVisSlotBytes)));
  EXPECT_EQ(ring.SlotCount(), 10);
  EXPECT_EQ(asked.front(), (41u + 3) * kVisSlotBytes);

  asked.clear();
  EXPECT_FALSE(ring.Allocate(10, 2000, shortOf(0)));
  EXPECT_FALSE(ring.Exists());
  EXPECT_EQ(asked.back(), (4u + 3) * kVisSlotBytes) << "the last try has four slots";
}

TEST(VisSampleRing, Snapshots16BitStereoAsHighBytesWithTimeAndFormat) {
  CVisSampleRing ring;
  ring.Allocate(10, 2000);
  const auto pcm = Stereo16(1152, 0x1234, -0x1234);
  ring.Feed(reinterpret_cast<const BYTE*>(pcm.data()), static_cast<int>(pcm.size() * 2), 2, 16, 44100, 500);
  const auto slots = ValidSlots(ring);
  ASSERT_EQ(slots.size(), 1u);
  EXPECT_EQ(slots[0]->timeStamp, 500u);
  EXPECT_EQ(slots[0]->format, (16u << 16) | 2u);
  EXPECT_EQ(slots[0]->pairs[0], 0x12);
  EXPECT_EQ(slots[0]->pairs[1], static_cast<signed char>((-0x1234 >> 8) & 0xFF));
  EXPECT_EQ(slots[0]->pairs[1151], slots[0]->pairs[1]);
}

TEST(VisSampleRing, EightBitMonoGivesTheSameCentredValueTwice) {
  CVisSampleRing ring;
  ring.Allocate(10, 2000);
  std::vector<BYTE> pcm(576, 200);
  ring.Feed(pcm.data(), 576, 1, 8, 8000, 0);
  const auto slots = ValidSlots(ring);
  ASSERT_EQ(slots.size(), 1u);
  EXPECT_EQ(slots[0]->pairs[0], 72);
  EXPECT_EQ(slots[0]->pairs[1], 72);
}

TEST(VisSampleRing, ShortBlocksAreCollectedUntil576FramesAreTogether) {
  CVisSampleRing ring;
  ring.Allocate(10, 2000);
  const auto pcm = Stereo16(200, 0x0500, 0x0600);
  for (int block = 0; block < 2; ++block)
    ring.Feed(reinterpret_cast<const BYTE*>(pcm.data()), 800, 2, 16, 44100, 1000 + block * 4);
  EXPECT_TRUE(ValidSlots(ring).empty());
  ring.Feed(reinterpret_cast<const BYTE*>(pcm.data()), 800, 2, 16, 44100, 1009);
  const auto slots = ValidSlots(ring);
  ASSERT_EQ(slots.size(), 1u);
  EXPECT_EQ(slots[0]->timeStamp, 1000u) << "the time of the first collected block";
  EXPECT_EQ(slots[0]->pairs[1150], 5);
}

TEST(VisSampleRing, FormatsBeyondSixBytesAFrameAreRefused) {
  CVisSampleRing ring;
  ring.Allocate(10, 2000);
  std::vector<BYTE> pcm(576 * 8, 0x40);
  ring.Feed(pcm.data(), static_cast<int>(pcm.size()), 2, 32, 44100, 0);
  ring.Feed(pcm.data(), static_cast<int>(pcm.size()), 2, 24, 44100, 0);
  ring.Feed(pcm.data(), static_cast<int>(pcm.size()), 4, 16, 44100, 0);
  EXPECT_TRUE(ValidSlots(ring).empty());
}

TEST(VisSampleRing, OneSnapshotPerFramePeriodAndASeekBackStartsAgain) {
  CVisSampleRing ring;
  ring.Allocate(10, 2000);
  const auto pcm = Stereo16(1152, 0x0100, 0x0100);
  const int bytes = static_cast<int>(pcm.size() * 2);
  for (int t : {0, 26, 52, 78, 104, 130, 156, 182, 208, 234})  // 26 ms blocks
    ring.Feed(reinterpret_cast<const BYTE*>(pcm.data()), bytes, 2, 16, 44100, t);
  std::vector<DWORD> stamps;
  for (VisSlot* slot : ValidSlots(ring)) stamps.push_back(slot->timeStamp);
  std::sort(stamps.begin(), stamps.end());
  EXPECT_EQ(stamps, (std::vector<DWORD>{0, 104, 208}));
  ring.Feed(reinterpret_cast<const BYTE*>(pcm.data()), bytes, 2, 16, 44100, 50);
  EXPECT_EQ(ValidSlots(ring).size(), 4u);
}

TEST(VisSampleRing, ChoosesTheSnapshotNearestThePositionAndDropsOlderOnes) {
  CVisSampleRing ring;
  ring.Allocate(10, 2000);
  const auto pcm = Stereo16(576, 0x0100, 0x0100);
  for (int t : {1000, 1101, 1202, 1303})
    ring.Feed(reinterpret_cast<const BYTE*>(pcm.data()), 576 * 4, 2, 16, 44100, t);
  VisSlot* chosen = ring.Choose(1250);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->timeStamp, 1202u);
  EXPECT_EQ(ValidSlots(ring).size(), 2u) << "1000 and 1101 are behind for good";
  chosen->valid = 0;
  EXPECT_EQ(ring.Choose(1150), nullptr) << "1303 lies more than one period ahead";
  ASSERT_NE(ring.Choose(1210), nullptr);
  EXPECT_EQ(ring.Choose(1210)->timeStamp, 1303u) << "within one period ahead";
}

}  // namespace
}  // namespace zb::testing
