// The fixture of the block tests: a decoder set up for version 2 at 44.1 kHz over hand-written
// packets, and writers for each part of a block (sizes, gain, exponents, run-level codes).
#pragma once
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wma_audio.h"
#include "wma_audio_internal.h"
#include "wma_test_support.h"

namespace wma_test {

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

}  // namespace wma_test
