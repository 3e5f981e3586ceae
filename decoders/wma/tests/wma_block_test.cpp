// The block decoding on hand-built blocks: the header, exponents and run-level codes read back to
// the spectrum values the quantiser step gives in double precision; escape runs up to and past
// the coefficient end; gains above 255; exponents reused by a smaller block; noise-coded bands at
// their gains against the last noise band's exponent; block sizes the stream does not have.
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

#include <gtest/gtest.h>

#include "wma_audio.h"
#include "wma_audio_internal.h"
#include "wma_block_fixture.h"

namespace {

using namespace wma_test;

TEST_F(WmaBlock, EndSymbolFirstLeavesTheSpectrumSilent) {
  Init(1, 4000, 1);
  w_.Put(1, 1);
  Gain(60);
  Exponents(std::vector<int>(25, 40));
  End();
  Load();
  ASSERT_EQ(DecodeSpectrum(), 0);
  for (int i = 0; i < 2048; ++i) ASSERT_EQ(d_.spectrum[0][i], 0) << i;
}

TEST_F(WmaBlock, LevelsBecomeTheirStepAtTheirPosition) {
  Init(1, 4000, 1);
  std::vector<int> exps(25, 50);
  exps[0] = 30;  // coefficients 0-3
  w_.Put(1, 1);
  Gain(63);
  Exponents(exps);
  RunLevel(2, 1, true);   // position 2
  RunLevel(0, 3, false);  // 3
  RunLevel(5, 2, true);   // 9
  End();
  Load();
  ASSERT_EQ(DecodeSpectrum(), 0);
  const struct {
    int position, level, difference;
  } cases[] = {{2, 1, -20}, {3, -3, -20}, {9, 2, 0}};
  for (const auto& c : cases) {
    const double want = Expected(c.level, c.difference, 63);
    EXPECT_NEAR(d_.spectrum[0][c.position], want, std::fabs(want) * 1e-6 + 1) << c.position;
  }
  for (int i : {0, 1, 4, 8, 10, 2047}) EXPECT_EQ(d_.spectrum[0][i], 0) << i;
}

TEST_F(WmaBlock, EscapeRunsMayReachTheLastCodedPositionButNotPastIt) {
  for (const uint32_t run : {1863u, 1864u, 4000u}) {
    d_ = WmaAudioDecoder{};
    w_ = BitWriter{};
    Init(1, 4000, 1);
    w_.Put(1, 1);
    Gain(70);
    Exponents(std::vector<int>(25, 40));
    Escape(300, run, true);
    End();
    Load();
    if (run < 1864) {
      ASSERT_EQ(DecodeSpectrum(), 0);
      EXPECT_NEAR(d_.spectrum[0][run], Expected(300, 0, 70), Expected(300, 0, 70) * 1e-6 + 1);
    } else {
      EXPECT_EQ(DecodeSpectrum(), WMA_MALFORMED) << run;
    }
  }
}

TEST_F(WmaBlock, GainsAbove255KeepTheirFullValue) {
  Init(1, 4000, 1);
  std::vector<int> exps(25, 156);  // the largest: band 0 sits 120 below it
  exps[0] = 36;
  exps[1] = 96;
  w_.Put(1, 1);
  Gain(266);
  Exponents(exps);
  RunLevel(0, 1, true);
  End();
  Load();
  ASSERT_EQ(DecodeSpectrum(), 0);
  EXPECT_EQ(d_.totalGain, 266u);
  EXPECT_EQ(d_.coefficientBits, 9);
  EXPECT_NEAR(d_.spectrum[0][0], Expected(1, -120, 266), Expected(1, -120, 266) * 1e-6 + 1);
}

// Reservoir and variable block sizes, three of them (index 0 to 2 of 2 bits): 2048 to 512; no
// noise coding at this byte rate.
TEST_F(WmaBlock, BlockSizeIndexPastTheLargestIsMalformed) {
  Init(1, 3500, 0x0F);
  ASSERT_EQ(d_.blockSizeCount, 2);
  ASSERT_EQ(d_.blockSizeIndexBits, 2);
  d_.resetBlockSizes = 1;
  w_.Put(0, 2);
  w_.Put(3, 2);
  Load();
  EXPECT_EQ(DecodeSpectrum(), WMA_MALFORMED);
}

TEST_F(WmaBlock, SmallerBlockReusesTheExponentsAtItsScaledPositions) {
  Init(1, 3500, 0x0F);
  // 1024 after a 2048, then 512: the first reads exponents, the second reuses them.
  FirstBlock(0, 1, 2, 50, true);
  std::vector<int> exps;
  for (int i = 0; i < 25; ++i) exps.push_back(36 + i);
  Exponents(exps);
  End();
  w_.Put(2, 2);  // the next after the 512
  w_.Put(1, 1);
  Gain(50);
  w_.Put(0, 1);  // exponents reused
  RunLevel(100, 1, true);
  End();
  Load();
  ASSERT_EQ(DecodeSpectrum(), 0);
  ASSERT_EQ(d_.blockLength, 1024);
  ASSERT_EQ(DecodeSpectrum(), 0);
  ASSERT_EQ(d_.blockLength, 512);
  // Position 100 of 512 is 200 of 1024, in band 17 (edges 172 to 204) of that row: 53 of 60.
  EXPECT_NEAR(d_.spectrum[0][100], Expected(1, 53 - 60, 50), Expected(1, -7, 50) * 1e-6 + 1);
}

TEST_F(WmaBlock, ReusingExponentsNeverReadIsMalformed) {
  Init(1, 3500, 0x0F);
  FirstBlock(0, 1, 1, 50, false);
  Load();
  EXPECT_EQ(DecodeSpectrum(), WMA_MALFORMED);
}

// The worked example's stream (44.1 kHz stereo, 4000 bytes a second) codes noise above 819 for
// blocks of 2048. Every high band of channel 0 is noise: gain 10 dB each, the last band's
// exponent 16 above the others.
TEST_F(WmaBlock, NoiseBandsFollowTheirGainAgainstTheLastNoiseBandsExponent) {
  Init(2, 4000, 1);
  ASSERT_TRUE(d_.noiseCoding);
  w_.Put(0b010, 3);  // channel 0 alone
  Gain(40);
  const int first = 21, bands = 25;  // the first band above 819 (716 to 884) in the row for 2048
  for (int i = first; i < bands; ++i) w_.Put(1, 1);
  w_.Put(10 + 19, 7);
  for (int i = first + 1; i < bands; ++i) Symbol("gain", 18);
  std::vector<int> exps(25, 40);
  exps[24] = 56;
  Exponents(exps);
  End();
  Load();
  ASSERT_EQ(DecodeSpectrum(), 0);
  ASSERT_EQ(d_.firstHighBand, first);
  ASSERT_EQ(d_.highBandStart, 819);
  const int32_t* s = d_.spectrum[0];
  for (int i = 0; i < 819; ++i) ASSERT_EQ(s[i], 0) << i;
  for (int i = 1864; i < 2048; ++i) ASSERT_EQ(s[i], 0) << i;
  auto rms = [&](int from, int to) {
    double sum = 0;
    for (int i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / (to - from));
  };
  const int lastFrom = 1440;  // band 24 runs from 1440 to the coefficient end
  // About one step of noise: 10^(10/20) in the last band, a tenth of that below it.
  EXPECT_NEAR(rms(lastFrom, 1864) / Expected(1, 0, 10), 1.0, 0.25);
  EXPECT_NEAR(rms(819, lastFrom) / Expected(1, -16, 10), 1.0, 0.25);
}

}  // namespace
