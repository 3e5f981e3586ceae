// The bit reader, the packet header and the frame state machine on hand-built packets: bits read
// across packets, the reservoir's packet header skipped and its frame count and bit offset obeyed,
// a lost packet abandoning the frame it cut and the next packet skipping that frame's tail, the
// end of the data. A stand-in block decoder reads a frame marker and skips the rest of the frame.
#include <cstdint>
#include <algorithm>
#include <deque>
#include <vector>

#include <gtest/gtest.h>

#include "wma_audio.h"
#include "wma_audio_internal.h"
#include "wma_tables.h"
#include "wma_test_support.h"

namespace {

using namespace wma_test;


// The packets the decoder is fed, one per supply call, and its markers read back.
struct Feed {
  std::deque<std::vector<uint8_t>> packets;
  std::vector<uint8_t> current;
  static uint32_t Supply(void* context, const uint8_t** data) {
    auto* f = static_cast<Feed*>(context);
    if (f->packets.empty()) return 0;
    f->current = f->packets.front();
    f->packets.pop_front();
    *data = f->current.data();
    return static_cast<uint32_t>(f->current.size());
  }
};

constexpr int kFrameBits = 100;  // every stand-in frame, marker included
std::vector<uint32_t>* g_markers = nullptr;

// One block that is the whole frame: a 16-bit marker, then the rest of the frame's bits.
int MarkerBlock(WmaAudioDecoder* d) {
  const uint32_t marker = WmaBitGet(d, 16);
  WmaBitSkip(d, kFrameBits - 16);
  d->framePosition = static_cast<uint8_t>((1u << d->frameBits) / 32);
  d->pcmCount = 1u << d->frameBits;
  if (!d->outOfData && !d->discontinuity) g_markers->push_back(marker);
  return 0;
}

class WmaFrames : public ::testing::Test {
 protected:
  void SetUp() override { g_markers = &markers_; }
  void TearDown() override { g_markers = nullptr; }

  // The worked example's stream: 44.1 kHz stereo at 4000 bytes a second, version 2.
  void Init(uint32_t options, uint32_t blockAlign) {
    WmaAudioConfig c{};
    c.version = 2;
    c.rateIndex = 0;
    c.channels = 2;
    c.avgBytesPerSecond = 4000;
    c.blockAlign = blockAlign;
    c.encodeOptions = options;
    c.supply = Feed::Supply;
    c.supplyContext = &feed_;
    ASSERT_EQ(WmaAudioInit(&d_, &c), WMA_AUDIO_OK);
    d_.decodeBlock = MarkerBlock;
  }

  // `frames` stand-in frames cut into reservoir packets of `size` bytes, headers and all.
  std::vector<std::vector<uint8_t>> ReservoirPackets(int frames, size_t size) {
    const size_t header = d_.headerBits, room = size * 8 - header;
    BitWriter stream;
    for (int i = 0; i < frames; ++i) {
      stream.Put(0xA000 + i, 16);
      for (int b = 16; b < kFrameBits; b += 12) stream.Put(0x5A5, std::min(12, kFrameBits - b));
    }
    const std::vector<uint8_t> all = stream.Take((stream.bits() + 7) / 8);
    std::vector<std::vector<uint8_t>> packets;
    for (size_t start = 0, k = 0; start < stream.bits(); start += room, ++k) {
      // Frames that begin here, and the bits of the frame before them that end here.
      const size_t first = (start + kFrameBits - 1) / kFrameBits;
      int count = 0;
      for (size_t f = first; f < static_cast<size_t>(frames) && f * kFrameBits < start + room; ++f) ++count;
      BitWriter p;
      p.Put(static_cast<uint32_t>(k % 16), 4);
      p.Put(static_cast<uint32_t>(count), 4);
      p.Put(static_cast<uint32_t>(first * kFrameBits - start), d_.byteOffsetBits + 3);
      for (size_t bit = start; bit < start + room; ++bit)
        p.Put(bit < stream.bits() ? (all[bit / 8] >> (7 - bit % 8)) & 1 : 0, 1);
      packets.push_back(p.Take(size));
    }
    return packets;
  }

  // Drives the decoder as the library does, until the data run out.
  void DecodeAll() {
    for (int guard = 0; guard < 1000; ++guard) {
      WmaAudioStartPacket(&d_);
      uint32_t samples = 0;
      int result;
      while ((result = WmaAudioDecode(&d_, &samples)) == WMA_DECODED) {
        EXPECT_EQ(samples, 2048u);
        ++blocks_;
      }
      results_.push_back(result);
      if (WmaAudioIsOutOfData(&d_)) return;
      if (result == WMA_MALFORMED) WmaAudioReset(&d_);
    }
    FAIL() << "the data never ran out";
  }

  static std::vector<uint32_t> Markers(int from, int to) {
    std::vector<uint32_t> m;
    for (int i = from; i < to; ++i) m.push_back(0xA000 + i);
    return m;
  }

  WmaAudioDecoder d_{};
  Feed feed_;
  std::vector<uint32_t> markers_;
  std::vector<int> results_;
  int blocks_ = 0;
};

TEST_F(WmaFrames, BitsReadAcrossPacketsMostSignificantFirst) {
  Init(0, 2);  // no reservoir: packets are bytes alone
  feed_.packets = {{0xAB, 0xCD}, {0xEF, 0x12}, {0x80}};
  WmaBitFetch(&d_);
  EXPECT_EQ(WmaBitGet(&d_, 4), 0xAu);
  EXPECT_EQ(WmaBitGet(&d_, 8), 0xBCu);
  EXPECT_EQ(WmaBitGet(&d_, 12), 0xDEFu);  // runs into the second packet
  EXPECT_EQ(WmaBitGet(&d_, 5), 0x02u);
  EXPECT_EQ(WmaBitGet(&d_, 3), 0x2u);
  EXPECT_EQ(WmaBitGet(&d_, 0), 0u);
  EXPECT_EQ(WmaBitGet(&d_, 1), 1u);  // the third packet
  EXPECT_FALSE(WmaAudioIsOutOfData(&d_));
  EXPECT_EQ(WmaBitGet(&d_, 24), 0u);  // past the end: zeros, and the flag
  EXPECT_TRUE(WmaAudioIsOutOfData(&d_));
  EXPECT_EQ(WmaBitGet(&d_, 8), 0u);
}

TEST_F(WmaFrames, ReservoirPacketHeaderIsSkippedAndAGapMarked) {
  Init(2, 4);
  ASSERT_EQ(d_.headerBits, 19);
  ASSERT_EQ(d_.byteOffsetBits, 8u);
  // Sequence 3, then 4 (in order), then 6 (one lost): 19 header bits, then 13 bits of data.
  feed_.packets = {{0x31, 0x00, 0x1F, 0xFF}, {0x41, 0x00, 0x00, 0x01}, {0x61, 0x00, 0x0A, 0xAA}};
  WmaBitFetch(&d_);
  EXPECT_EQ(d_.sequence, 3);
  EXPECT_EQ(WmaBitGet(&d_, 13), 0x1FFFu);
  EXPECT_EQ(WmaBitGet(&d_, 13), 0x0001u);
  EXPECT_EQ(d_.sequence, 4);
  EXPECT_EQ(d_.discontinuity, 0);
  WmaBitGet(&d_, 1);
  EXPECT_EQ(d_.sequence, 6);
  EXPECT_EQ(d_.discontinuity, 1);
}

TEST_F(WmaFrames, HuffmanSymbolRunsOnIntoTheNextPacket) {
  Init(0, 1);
  // A code of 3 to 8 bits of the exponent code, cut over two packets.
  int length = 0, symbol = -1;
  uint32_t word = 0;
  for (uint32_t w = 0; w < 256 && symbol < 0; ++w) {
    const int s = WmaHuffmanLookup(kWmaExponentCode, w << 24, &length);
    if (s >= 0 && length >= 3 && length <= 8) symbol = s, word = w << 24;
  }
  ASSERT_GE(symbol, 0);
  const uint32_t code = word >> (32 - length);
  // Seven filler bits, then the code: packets of one byte, so the code begins in the first.
  const uint32_t bits = (0x55u << length | code) << (16 - 7 - length);
  feed_.packets = {{static_cast<uint8_t>(bits >> 8)}, {static_cast<uint8_t>(bits)}};
  WmaBitFetch(&d_);
  EXPECT_EQ(WmaBitGet(&d_, 7), 0x55u);
  EXPECT_EQ(WmaBitGetSymbol(&d_, kWmaExponentCode), symbol);
  EXPECT_EQ(WmaBitGet(&d_, 16 - 7 - length), 0u);
  EXPECT_FALSE(WmaAudioIsOutOfData(&d_));
}

TEST_F(WmaFrames, ReservoirFramesRunAcrossPacketsInOrder) {
  Init(2, 32);
  for (auto& p : ReservoirPackets(20, 32)) feed_.packets.push_back(p);
  DecodeAll();
  EXPECT_EQ(markers_, Markers(0, 20));
  EXPECT_EQ(blocks_, 20);
}

TEST_F(WmaFrames, ALostPacketDropsTheFramesItTouchedAndTheNextPacketSkipsTheTail) {
  Init(2, 32);
  auto packets = ReservoirPackets(20, 32);
  // Packet 3 covers bits 711..947 of the frame stream: frame 7 runs into it, frames 8 and 9 begin
  // in it and 9 runs on into packet 4.
  ASSERT_GT(packets.size(), 5u);
  packets.erase(packets.begin() + 3);
  for (auto& p : packets) feed_.packets.push_back(p);
  DecodeAll();
  std::vector<uint32_t> want = Markers(0, 7);
  for (uint32_t m : Markers(10, 20)) want.push_back(m);
  EXPECT_EQ(markers_, want);
  EXPECT_NE(std::find(results_.begin(), results_.end(), WMA_PACKET_LOST), results_.end());
}

TEST_F(WmaFrames, APacketWithNoFramesIsDoneAtOnce) {
  Init(2, 8);
  BitWriter p;
  p.Put(0, 4);
  p.Put(0, 4);  // no frame begins here
  p.Put(0, 11);
  feed_.packets = {p.Take(8)};
  WmaAudioStartPacket(&d_);
  uint32_t samples = 1;
  EXPECT_EQ(WmaAudioDecode(&d_, &samples), WMA_PACKET_DONE);
  EXPECT_EQ(samples, 0u);
  EXPECT_EQ(blocks_, 0);
}

TEST_F(WmaFrames, WithoutTheReservoirEachPacketIsOneFrame) {
  Init(0, 16);  // 128 bits a packet, 100 of them the frame
  for (int i = 0; i < 5; ++i) {
    BitWriter p;
    p.Put(0xA000 + i, 16);
    p.Put(0x3FF, 10);
    feed_.packets.push_back(p.Take(16));
  }
  DecodeAll();
  EXPECT_EQ(markers_, Markers(0, 5));
}

TEST_F(WmaFrames, ResetForgetsThePositionAndTheNextPacketIsADiscontinuity) {
  Init(2, 32);
  for (auto& p : ReservoirPackets(6, 32)) feed_.packets.push_back(p);
  WmaAudioStartPacket(&d_);
  uint32_t samples = 0;
  ASSERT_EQ(WmaAudioDecode(&d_, &samples), WMA_DECODED);
  EXPECT_EQ(WmaAudioReset(&d_), -2);
  EXPECT_EQ(d_.lastSequence, -2);
  EXPECT_EQ(d_.sequence, 255);
  EXPECT_EQ(d_.reader.bits, 0);
  EXPECT_EQ(d_.payloadStart, nullptr);
  // From here on the stream picks up at the next packet's first frame.
  DecodeAll();
  ASSERT_FALSE(markers_.empty());
  EXPECT_EQ(markers_.back(), 0xA005u);
}

}  // namespace
