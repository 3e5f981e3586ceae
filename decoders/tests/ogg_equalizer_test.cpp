// The Ogg decoding's equaliser on its own: the worked gains of flat settings, the shape of a
// table (the lowest coefficient at the 60 Hz band, the larger and smaller tables drawn from the
// 256 one), the saturating multiply, and when a block is left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "ogg_equalizer.h"

namespace {

constexpr int64_t kUnity = 2147483647;

struct Tables {
  Tables() : block(kVorbisEqTableBytes / sizeof(int64_t)) { eq.eqTables = block.data(); }
  const int64_t* For(int n) const { return block.data() + n; }
  std::vector<int64_t> block;
  VorbisEqState eq{0, nullptr};
};

void Flat(signed char* bands, signed char value) {
  for (int i = 0; i < 10; ++i) bands[i] = value;
}

TEST(OggEqualizer, FlatSettingsGiveTheWorkedGainsEverywhere) {
  const struct {
    signed char bands, preamp;
    int64_t gain;
  } kCases[] = {{31, 31, 2310339988}, {32, 32, 1996107082}, {0, 0, 214748301633}, {63, 63, 21474842},
                {31, 32, kUnity},     {32, 31, kUnity}};
  for (const auto& c : kCases) {
    signed char bands[10];
    Flat(bands, c.bands);
    std::vector<int64_t> table(256);
    VorbisEqBuildTable(table.data(), 256, 10, bands, c.preamp);
    for (int k = 0; k < 256; ++k)
      ASSERT_EQ(table[k], c.gain) << "bands " << int{c.bands} << ", preamp " << int{c.preamp} << ", entry " << k;
  }
}

TEST(OggEqualizer, ValuesBeyondTheSlidersAreHeldAtNinetySixDecibels) {
  signed char bands[10];
  Flat(bands, -128);  // a preset file may hold any byte: about +200 dB, more than 64 bits hold
  Tables t;
  VorbisEqSet(&t.eq, 1, 10, bands, -128);
  for (int n : {32, 256, 8192})
    for (int k = 0; k < n; ++k) ASSERT_EQ(t.For(n)[k], int64_t{1} << 47) << n << " " << k;
  int32_t block[32] = {1, -1, 40000, -40000};
  VorbisEqApply(&t.eq, block, 32);
  EXPECT_EQ((std::vector<int32_t>(block, block + 4)),
            (std::vector<int32_t>{65536, -65536, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}));
}

TEST(OggEqualizer, TheLowestCoefficientTakesTheSixtyHertzBandAndTheTopTheSixteenKilohertzOne) {
  signed char bands[10];
  Flat(bands, 31);
  bands[0] = bands[1] = 0;  // 60 and 170 Hz: +20 dB, so that the first entries' spans are flat
  bands[9] = 63;            // 16 kHz: -20 dB
  Tables t;
  VorbisEqSet(&t.eq, 1, 10, bands, 32);
  for (int n : {32, 64, 128, 256, 512, 1024, 2048, 4096, 8192}) {
    // Below 60 Hz and above 16 kHz the level is flat at those bands' levels.
    EXPECT_NEAR(std::log10(t.For(n)[0] / double(kUnity)) * 20, 20 - 0 * 40 / 63.0 + 20 - 32 * 40 / 63.0, 0.01) << n;
    EXPECT_NEAR(std::log10(t.For(n)[n - 1] / double(kUnity)) * 20, 20 - 63 * 40 / 63.0 + 20 - 32 * 40 / 63.0, 0.01)
        << n;
  }
  // Between band points the level runs on a line: halfway from 1 kHz (band 4) to 3 kHz (band 5).
  bands[4] = 63;
  bands[5] = 0;
  VorbisEqSet(&t.eq, 1, 10, bands, 32);
  const int k2000 = static_cast<int>(2000.0 * 256 / 22050);
  const double at = std::log10(t.For(256)[k2000] / double(kUnity)) * 20;
  EXPECT_NEAR(at, 0.0, 1.5) << "about midway between -20 and +20 dB";
}

TEST(OggEqualizer, TheOtherTablesAreDrawnFromTheOneOf256) {
  signed char bands[10] = {0, 7, 14, 21, 28, 35, 42, 49, 56, 63};
  Tables t;
  VorbisEqSet(&t.eq, 1, 10, bands, 20);
  const int64_t* base = t.For(256);
  for (int n : {32, 64, 128, 512, 1024, 2048, 4096, 8192})
    for (int k = 0; k < n; ++k) ASSERT_EQ(t.For(n)[k], base[static_cast<long long>(k) * 256 / n]) << n << " " << k;
  // The first 256 bytes of the block are no table's.
  for (int i = 0; i < kVorbisEqSmallest; ++i) EXPECT_EQ(t.block[i], 0);
}

TEST(OggEqualizer, TheProductSaturatesAndRoundsTowardZero) {
  Tables t;
  t.eq.eqEnabled = 1;
  int64_t* g = t.block.data() + 32;
  const int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
  const struct {
    int32_t in;
    int64_t gain;
    int32_t out;
  } kCases[] = {
      {kMax, 10 * kUnity, kMax},             // about +20 dB past the top
      {kMin, 10 * kUnity, kMin},             // and past the bottom
      {kMax, 214748301633, kMax},            // +40 dB: the product needs more than 64 bits
      {kMin, 214748301633, kMin},
      {kMax, kUnity, kMax - 1},              // unity is one step short of 2^31
      {kMin, kUnity, kMin + 1},              // and the step goes toward zero
      {-3, kUnity, -2},                      // -2.9999... truncated toward zero, not floored
      {3, kUnity, 2},
      {1000000, 2 * kUnity, 1999999},        // twice, a hair under
      {-1000000, 21474842, -10000},          // -40 dB
      {0, 214748301633, 0},
  };
  for (int k = 0; k < 32; ++k) g[k] = kUnity;
  for (const auto& c : kCases) {
    int32_t block[32] = {};
    g[0] = c.gain;
    block[0] = c.in;
    VorbisEqApply(&t.eq, block, 32);
    EXPECT_EQ(block[0], c.out) << c.in << " x " << c.gain;
  }
}

TEST(OggEqualizer, TheProductAgreesWithA128BitOneForEveryGainUpToTheLargest) {
  Tables t;
  t.eq.eqEnabled = 1;
  std::mt19937_64 random(7);
  int32_t block[4096];
  int64_t* g = t.block.data() + 4096;
  for (int round = 0; round < 20; ++round) {
    for (int k = 0; k < 4096; ++k) {
      block[k] = static_cast<int32_t>(random());
      if (k % 3 == 0) block[k] >>= random() % 31;  // small coefficients as well
      g[k] = static_cast<int64_t>(random() % ((uint64_t{1} << 47) + 1));
      if (k % 5 == 0) g[k] >>= random() % 47;
    }
    int32_t want[4096];
    for (int k = 0; k < 4096; ++k) {
      const __int128 exact = static_cast<__int128>(block[k]) * g[k] / (static_cast<__int128>(1) << 31);
      want[k] = static_cast<int32_t>(std::clamp<__int128>(exact, std::numeric_limits<int32_t>::min(),
                                                          std::numeric_limits<int32_t>::max()));
    }
    VorbisEqApply(&t.eq, block, 4096);
    for (int k = 0; k < 4096; ++k) ASSERT_EQ(block[k], want[k]) << "gain " << g[k];
  }
}

TEST(OggEqualizer, ABlockIsLeftAloneWhenOffOrWithoutATableOfItsSize) {
  signed char bands[10];
  Flat(bands, 0);  // +40 dB: any pass would show
  Tables t;
  VorbisEqSet(&t.eq, 1, 10, bands, 0);
  std::vector<int32_t> block(8192 * 2, 1000);
  for (int n : {16, 48, 100, 16384}) {
    VorbisEqApply(&t.eq, block.data(), n);
    EXPECT_EQ(block[0], 1000) << "no table for " << n;
  }
  VorbisEqState noTables{1, nullptr};
  VorbisEqApply(&noTables, block.data(), 256);
  EXPECT_EQ(block[0], 1000);

  // Off keeps the tables; on again rebuilds them from the values given then.
  VorbisEqSet(&t.eq, 0, 10, bands, 63);
  EXPECT_EQ(t.For(256)[7], 214748301633) << "not rebuilt while off";
  VorbisEqApplyChannel(&t.eq, block.data(), 256);
  EXPECT_EQ(block[0], 1000) << "off";
  Flat(bands, 63);
  VorbisEqSet(&t.eq, 1, 10, bands, 63);
  EXPECT_EQ(t.For(256)[7], 21474842);
  VorbisEqApplyChannel(&t.eq, block.data(), 256);
  EXPECT_EQ(block[0], 10);
  EXPECT_EQ(block[256], 1000) << "only n coefficients";
}

}  // namespace
