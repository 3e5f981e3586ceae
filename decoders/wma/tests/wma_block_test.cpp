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
#include "wma_test_support.h"

namespace {

using namespace wma_test;

class WmaBlock : public ::testing::Test {
 protected:
  static uint32_t Supply(void* context, const uint8_t** data) {
    auto* self = static_cast<WmaBlock*>(context);
    if (self->packets_.empty()) return 0;
    self->current_ = self->packets_.front();
    self->packets_.pop_front();
    *data = self->current_.data();
    return static_cast<uint32_t>(self->current_.size());
  }

  // Version 2 at 44.1 kHz; the packet is read in once the stream is written.
  void Init(int channels, uint32_t bytesPerSecond, uint32_t options) {
    WmaAudioConfig c{};
    c.version = 2;
    c.channels = static_cast<uint8_t>(channels);
    c.avgBytesPerSecond = bytesPerSecond;
    c.blockAlign = 2048;
    c.encodeOptions = options;
    c.supply = Supply;
    c.supplyContext = this;
    ASSERT_EQ(WmaAudioInit(&d_, &c), WMA_AUDIO_OK);
    if (d_.bitReservoir) w_.Put(0, d_.headerBits);
  }
  void Load() {
    packets_.push_back(w_.Take(2048));
    WmaBitClear(&d_);
    WmaBitFetch(&d_);
  }

  void Symbol(const std::string& table, int symbol) {
    const Code& c = CodeOf(table, symbol);
    ASSERT_GT(c.length, 0) << table << " " << symbol;
    w_.Put(c.bits, c.length);
  }
  // A run-level symbol of the channel-0 code of the decoder's set, and its sign.
  void RunLevel(int run, int level, bool positive) {
    const int table = (d_.tableSet - 1) * 2;
    for (const auto& v : Tables().runLevels)
      if (v[0] == table && v[2] == run && v[3] == level) {
        Symbol("coef" + std::to_string(table), v[1]);
        w_.Put(positive, 1);
        return;
      }
    FAIL() << "no code for run " << run << " level " << level;
  }
  void Escape(uint32_t level, uint32_t run, bool positive) {
    Symbol("coef" + std::to_string((d_.tableSet - 1) * 2), 0);
    w_.Put(level, d_.coefficientBits ? d_.coefficientBits : CoefficientBits(gain_));
    w_.Put(run * 2 + positive, d_.frameBits + 1);
  }
  // A first block of a packet with variable sizes: previous, current and next size indexes, the
  // mono channel bit and the gain, then whether the exponents are present.
  void FirstBlock(int prev, int cur, int next, uint32_t gain, bool exponents) {
    d_.resetBlockSizes = 1;
    for (int index : {prev, cur, next}) w_.Put(index, d_.blockSizeIndexBits);
    w_.Put(1, 1);
    Gain(gain);
    w_.Put(exponents, 1);
  }
  void End() { Symbol("coef" + std::to_string((d_.tableSet - 1) * 2), 1); }
  void Gain(uint32_t g) {
    gain_ = g;
    for (g -= 1; g >= 127; g -= 127) w_.Put(127, 7);
    w_.Put(g, 7);
  }
  // Version 2 exponents: each band's value as steps from 36.
  void Exponents(const std::vector<int>& values) {
    int last = 36;
    for (int e : values) {
      Symbol("exponent", e - last + 60);
      last = e;
    }
  }
  static int CoefficientBits(uint32_t g) { return g < 15 ? 13 : g < 32 ? 12 : g < 40 ? 11 : g < 45 ? 10 : 9; }

  // The header and channel 0's spectrum of the next block.
  int DecodeSpectrum() {
    d_.prevBits = d_.curBits;
    d_.curBits = d_.nextBits;
    const int header = WmaAudioReadBlockHeader(&d_);
    return header ? header : WmaCoefDecode(&d_, 0);
  }

  // What a value of `level` should be: 10^(d/16 + g/20), 16 times (version 2).
  static double Expected(int level, int difference, uint32_t gain) {
    return level * 16.0 * std::pow(10.0, difference / 16.0 + gain / 20.0);
  }

  WmaAudioDecoder d_{};
  BitWriter w_;
  uint32_t gain_ = 0;
  std::deque<std::vector<uint8_t>> packets_;
  std::vector<uint8_t> current_;
};

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

TEST_F(WmaBlock, LineSpectralPairStreamsAreRefusedBlockByBlock) {
  Init(1, 4000, 0);
  w_.Put(1, 1);
  Gain(50);
  Load();
  EXPECT_EQ(DecodeSpectrum(), WMA_MALFORMED);
}

}  // namespace
