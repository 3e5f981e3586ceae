// The time-domain equaliser: flat bands are an exact bypass, the preamp's gain and saturation,
// the designed coefficients against the textbook sections, the measured response of the fixed-
// point filter against the designed biquads, every frame filtered, and whole designs published.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "core/output/equalizer.h"
#include "core/output/equalizer_cascade.h"
#include "eq_reference.h"

namespace zb::testing {
namespace {

using Bands = std::array<signed char, kEqBandCount>;

constexpr Bands kFlat = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};

Bands OneBand(int band, int value) {
  Bands bands = kFlat;
  bands[band] = static_cast<signed char>(value);
  return bands;
}

std::vector<SHORT> Noise(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  std::vector<SHORT> out(count);
  for (SHORT& s : out) s = static_cast<SHORT>(sample(random));
  out[0] = -32768;
  out[1] = 32767;
  return out;
}

std::vector<SHORT> Filtered(std::vector<SHORT> pcm, int channels) {
  const int frames = static_cast<int>(pcm.size()) / channels;
  ApplyEqualizer(pcm.data(), static_cast<int>(pcm.size() * sizeof(SHORT)), channels, frames);
  return pcm;
}

TEST(EqualizerBypass, FlatBandsAndPreampLeaveEverySampleAsItWas) {
  DesignEqFilter(1, kFlat.data(), 31);
  const EqDesign design = *CurrentEqDesign();
  EXPECT_TRUE(design.bypass);
  EXPECT_EQ(design.stages[0].b0, 1 << 28);
  for (int channels : {1, 2}) {
    for (size_t frames : {1u, 2u, 3u, 1001u, 4096u}) {
      const std::vector<SHORT> in = Noise(std::max<size_t>(frames * channels, 2), 7 + frames);
      EXPECT_EQ(Filtered(in, channels), in) << channels << " channels, " << frames << " frames";
    }
  }
}

TEST(EqualizerBypass, AnyBandAwayFromTheMiddleSwitchesTheSectionsOn) {
  for (int band = 0; band < kEqBandCount; ++band) {
    for (int value : {0, 30, 32, 63}) {
      EXPECT_FALSE(ComputeEqDesign(OneBand(band, value).data(), 31).bypass) << band << " at " << value;
    }
  }
}

// Preamp 0 is +12 dB: b0 = trunc(10^0.6 x 2^28), and the product is taken as
// ((b0 x (s << 12)) >> 28) >> 12, saturated to 16 bits.
struct PreampCase {
  SHORT in;
  SHORT out;
};
constexpr PreampCase kPreampZero[] = {
    {0, 0},         {1, 3},         {-1, -4},        {1000, 3981},    {-1000, -3982}, {8230, 32764},
    {8231, 32767},  {-8230, -32765}, {-8231, -32768}, {-8232, -32768}, {32767, 32767}, {-32768, -32768},
};

TEST(EqualizerPreamp, PreampZeroGivesTwelveDecibelsAndSaturates) {
  DesignEqFilter(1, kFlat.data(), 0);
  const EqDesign design = *CurrentEqDesign();
  EXPECT_TRUE(design.bypass);
  EXPECT_EQ(design.stages[0].b0, 1068660798);
  std::vector<SHORT> in;
  for (const PreampCase& c : kPreampZero) in.push_back(c.in);
  const std::vector<SHORT> out = Filtered(in, 1);
  for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(out[i], kPreampZero[i].out) << "input " << in[i];
}

TEST(EqualizerPreamp, GainFollowsTheValueInStepsOfTwelveOverThirtyOne) {
  for (int value = 0; value <= kEqMaxValue; ++value) {
    const double gain = ComputeEqDesign(kFlat.data(), value).stages[0].b0 / 268435456.0;
    EXPECT_NEAR(20 * std::log10(gain), ValueToDb(value), 1e-6) << value;
  }
  EXPECT_NEAR(ValueToDb(63), -12.387, 0.001);
}

TEST(EqualizerDesign, ValuesOutsideTheRangeCountAsTheNearestEnd) {
  const EqDesign low = ComputeEqDesign(OneBand(4, -20).data(), -5);
  const EqDesign high = ComputeEqDesign(OneBand(4, 100).data(), 120);
  const EqDesign zero = ComputeEqDesign(OneBand(4, 0).data(), 0);
  const EqDesign top = ComputeEqDesign(OneBand(4, 63).data(), 63);
  EXPECT_EQ(std::memcmp(&low, &zero, sizeof low), 0);
  EXPECT_EQ(std::memcmp(&high, &top, sizeof high), 0);
  const EqDesign none = ComputeEqDesign(nullptr, 31);
  EXPECT_TRUE(none.bypass);
}

LONG Q28(double v) { return static_cast<LONG>(v * 268435456.0); }

// Every stage of the worked designs against the textbook sections: c1 feeds back y[n-1] for
// the shelves and weighs x[n-1] - y[n-1] for the peaks (whose b1 word is then 0).
TEST(EqualizerDesign, CoefficientsMatchTheTextbookSections) {
  const Bands designs[] = {
      kFlat,
      OneBand(0, 0),
      OneBand(9, 63),
      {0, 63, 31, 10, 50, 31, 0, 63, 20, 40},
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {63, 63, 63, 63, 63, 63, 63, 63, 63, 63},
  };
  for (const Bands& bands : designs) {
    const EqDesign design = ComputeEqDesign(bands.data(), 31);
    for (int stage = 1; stage < kEqStageCount; ++stage) {
      const ReferenceBiquad r = ReferenceSection(stage, bands[stage - 1]);
      const bool shelf = stage == 1 || stage == 10;
      const EqStage& k = design.stages[stage];
      SCOPED_TRACE(::testing::Message() << "stage " << stage << " value " << int(bands[stage - 1]));
      EXPECT_NEAR(k.reciprocalA0, Q28(1 / r.a0), 2);
      EXPECT_NEAR(k.c1, shelf ? Q28(-r.a1 / r.a0) : Q28(r.b1 / r.a0), 2);
      EXPECT_NEAR(k.c2, Q28(-r.a2 / r.a0), 2);
      EXPECT_NEAR(k.b0, Q28(r.b0 / r.a0), 2);
      EXPECT_NEAR(k.b1, shelf ? Q28(r.b1 / r.a0) : 0, 2);
      EXPECT_NEAR(k.b2, Q28(r.b2 / r.a0), 2);
    }
  }
}

TEST(EqualizerDesign, ShelvesReachTheirFullGainAtTheEnds) {
  // Low shelf at 0 (+12 dB): gain at DC; high shelf at 63: gain at Nyquist.
  const EqStage low = ComputeEqDesign(OneBand(0, 0).data(), 31).stages[1];
  const double dc = (double(low.b0) + low.b1 + low.b2) / (268435456.0 - low.c1 - low.c2);
  EXPECT_NEAR(20 * std::log10(dc), 12.0, 0.01);
  const EqStage high = ComputeEqDesign(OneBand(9, 63).data(), 31).stages[10];
  const double nyquist = (double(high.b0) - high.b1 + high.b2) / (268435456.0 + high.c1 - high.c2);
  EXPECT_NEAR(20 * std::log10(nyquist), ValueToDb(63), 0.01);
}

// A sine through the fixed-point filter, measured by projection onto sine and cosine after the
// sections have settled.
double MeasuredGainDb(double hz, double amplitude) {
  constexpr int kRate = 44100, kSettle = kRate / 2, kMeasure = kRate;
  std::vector<SHORT> pcm((kSettle + kMeasure) * 2);
  for (size_t n = 0; n < pcm.size() / 2; ++n) {
    const SHORT s = static_cast<SHORT>(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * n / kRate)));
    pcm[2 * n] = s;
    pcm[2 * n + 1] = static_cast<SHORT>(-s);
  }
  constexpr int kBlock = 1152;  // a decoder-sized block; histories carry over
  for (size_t done = 0; done < pcm.size() / 2; done += kBlock) {
    const int frames = static_cast<int>(std::min<size_t>(kBlock, pcm.size() / 2 - done));
    ApplyEqualizer(&pcm[done * 2], frames * 4, 2, frames);
  }
  double sl = 0, cl = 0, sr = 0, cr = 0;
  for (int n = kSettle; n < kSettle + kMeasure; ++n) {
    const double w = 2 * std::numbers::pi * hz * n / kRate;
    sl += pcm[2 * n] * std::sin(w);
    cl += pcm[2 * n] * std::cos(w);
    sr -= pcm[2 * n + 1] * std::sin(w);
    cr -= pcm[2 * n + 1] * std::cos(w);
  }
  const double left = 2 * std::hypot(sl, cl) / kMeasure, right = 2 * std::hypot(sr, cr) / kMeasure;
  EXPECT_NEAR(left, right, amplitude * 1e-3) << "both channels take the same sections";
  return 20 * std::log10(left / amplitude);
}

double DesignedGainDb(const Bands& bands, double hz) {
  double gain = 1;
  for (int stage = 1; stage < kEqStageCount; ++stage) gain *= ReferenceSection(stage, bands[stage - 1]).Gain(hz);
  return 20 * std::log10(gain);
}

// Within 0.01 dB of the designed response at every frequency of the sweep.
TEST(EqualizerResponse, SineSweepsMatchTheDesignedBiquads) {
  const Bands curves[] = {
      OneBand(0, 0),                           // +12 dB low shelf at 60 Hz
      OneBand(4, 0),                           // +12 dB peak at 1 kHz
      OneBand(6, 63),                          // -12.4 dB dip at 6 kHz
      OneBand(9, 0),                           // +12 dB high shelf at 16 kHz
      {0, 63, 31, 10, 50, 31, 0, 63, 20, 40},  // a mixed curve
  };
  constexpr double kSweep[] = {30, 60, 100, 170, 240, 310, 450, 600, 800, 1000, 1500, 2000,
                               3000, 4500, 6000, 9000, 12000, 14000, 16000, 18000, 20000};
  for (const Bands& bands : curves) {
    DesignEqFilter(1, bands.data(), 31);
    double peak = 0;
    for (double hz : kSweep) peak = std::max(peak, DesignedGainDb(bands, hz));
    const double amplitude = 28000 / std::pow(10.0, std::max(peak, 0.0) / 20);  // never saturates
    for (double hz : kSweep) {
      EXPECT_NEAR(MeasuredGainDb(hz, amplitude), DesignedGainDb(bands, hz), 0.01)
          << hz << " Hz, bands " << ::testing::PrintToString(bands);
    }
  }
}

// Band 1 at 0 lifts what lies below 60 Hz by 12 dB; 60 Hz itself is the shelf's midpoint.
TEST(EqualizerResponse, ABoostedLowShelfLiftsTheBassByTwelveDecibels) {
  DesignEqFilter(1, OneBand(0, 0).data(), 31);
  EXPECT_NEAR(MeasuredGainDb(15, 4000), 12.0, 0.5);
  EXPECT_NEAR(MeasuredGainDb(60, 4000), 6.0, 0.1);
  EXPECT_NEAR(MeasuredGainDb(5000, 4000), 0.0, 0.05);
}

// Whatever way a stream is cut into blocks, odd frame counts included, every frame is filtered
// and the histories carry over: the output is the same as filtering it in one piece.
TEST(EqualizerFrames, OddBlocksGiveTheSameOutputAsOneBlock) {
  const Bands bands = {0, 63, 31, 10, 50, 31, 0, 63, 20, 40};
  const std::vector<SHORT> in = Noise(2 * 3001, 11);
  for (int preamp : {31, 0}) {
    DesignEqFilter(1, bands.data(), preamp);
    const std::vector<SHORT> whole = Filtered(in, 2);
    DesignEqFilter(1, bands.data(), preamp);
    std::vector<SHORT> pieces = in;
    const int cuts[] = {1, 3, 2, 7, 5, 1, 1, 999, 1024, 513};
    int done = 0;
    for (int i = 0; done < 3001; ++i) {
      const int frames = std::min(cuts[i % std::size(cuts)], 3001 - done);
      ApplyEqualizer(&pieces[done * 2], frames * 4, 2, frames);
      done += frames;
    }
    EXPECT_EQ(pieces, whole) << "preamp " << preamp;
    EXPECT_NE(whole, in);
  }
}

TEST(EqualizerFrames, TheLastOfThreeFramesGoesThroughThePreamp) {
  DesignEqFilter(1, kFlat.data(), 0);
  std::vector<SHORT> pcm = {1000, -1000, 1000, -1000, 1000, -1000};
  ApplyEqualizer(pcm.data(), 12, 2, 3);
  EXPECT_EQ(pcm, (std::vector<SHORT>{3981, -3982, 3981, -3982, 3981, -3982}));
}

TEST(EqualizerFrames, OnlyTheFramesTheBufferHoldsAreTouched) {
  DesignEqFilter(1, kFlat.data(), 0);
  std::vector<SHORT> pcm(8, 1000);
  ApplyEqualizer(pcm.data(), 6 * 2, 2, 4);  // four frames claimed, three in the bytes
  EXPECT_EQ(pcm, (std::vector<SHORT>{3981, 3981, 3981, 3981, 3981, 3981, 1000, 1000}));
  const std::vector<SHORT> before = pcm;
  ApplyEqualizer(pcm.data(), 16, 3, 2);  // three channels: not a layout the filter takes
  ApplyEqualizer(pcm.data(), 16, 0, 2);
  ApplyEqualizer(pcm.data(), 16, 2, -1);
  ApplyEqualizer(pcm.data(), -4, 2, 2);
  ApplyEqualizer(nullptr, 16, 2, 4);
  EXPECT_EQ(pcm, before);
}

TEST(EqualizerFrames, ADesignStartsTheHistoriesAfresh) {
  const Bands bands = OneBand(2, 0);
  const std::vector<SHORT> in = Noise(2 * 500, 5);
  DesignEqFilter(1, bands.data(), 31);
  const std::vector<SHORT> first = Filtered(in, 2);
  const std::vector<SHORT> carried = Filtered(in, 2);  // histories from the first pass
  DesignEqFilter(1, bands.data(), 31);
  EXPECT_EQ(Filtered(in, 2), first);
  EXPECT_NE(carried, first);
}

// The filter as written down, one sample at a time through every section (the sample-pair
// history scheme is left out: it is only a way of not moving words).
std::vector<SHORT> PlainFilter(const EqDesign& d, std::vector<SHORT> pcm, int channels) {
  LONG hist[kEqStageCount][2][4] = {};  // x1, x2, y1, y2
  for (size_t i = 0; i < pcm.size(); ++i) {
    LONG x = static_cast<LONG>((static_cast<int64_t>(d.stages[0].b0) * (pcm[i] * 4096)) >> 28);
    for (int s = 1; s < kEqStageCount && !d.bypass; ++s) {
      const EqStage& k = d.stages[s];
      LONG* h = hist[s][i % channels];
      const bool shelf = s == 1 || s == kEqStageCount - 1;
      const int64_t sum = shelf ? int64_t{k.c2} * h[3] + int64_t{k.c1} * h[2] + int64_t{k.b2} * h[1] +
                                      int64_t{k.b1} * h[0] + int64_t{k.b0} * x
                                : int64_t{k.c2} * h[3] + int64_t{k.b2} * h[1] +
                                      int64_t{k.c1} * (int64_t{h[0]} - h[2]) + int64_t{k.b0} * x;
      const LONG y = static_cast<LONG>((sum >> 32) * 16);
      h[1] = h[0];
      h[0] = x;
      h[3] = h[2];
      h[2] = y;
      x = y;
    }
    pcm[i] = static_cast<SHORT>(std::clamp<LONG>(x >> 12, -32768, 32767));
  }
  return pcm;
}

// Bands at the middle are skipped by the filter; the output is still that of every section.
TEST(EqualizerFrames, TheOutputIsThatOfEverySectionInTurn) {
  const Bands curves[] = {
      {0, 63, 31, 10, 50, 31, 0, 63, 20, 40}, {31, 31, 31, 31, 40, 31, 31, 31, 31, 31},
      {20, 31, 31, 31, 31, 31, 31, 31, 31, 31}, {31, 31, 31, 31, 31, 31, 31, 31, 31, 5},
      {31, 0, 31, 63, 31, 0, 31, 63, 31, 31},
  };
  for (const Bands& bands : curves) {
    for (int preamp : {31, 25, 40}) {
      for (int channels : {1, 2}) {
        const std::vector<SHORT> loud = Noise(2 * 2000, 17);
        std::vector<SHORT> quiet = loud;
        for (SHORT& s : quiet) s = static_cast<SHORT>(s / 8);  // mostly clear of saturation
        for (const std::vector<SHORT>* pcm : {&loud, &std::as_const(quiet)}) {
          DesignEqFilter(1, bands.data(), preamp);
          EXPECT_EQ(Filtered(*pcm, channels), PlainFilter(*CurrentEqDesign(), *pcm, channels))
              << ::testing::PrintToString(bands) << " preamp " << preamp << ", " << channels << " channels";
        }
      }
    }
  }
}

// Every way of running the cascade takes the stream in blocks of any length, odd ones and ones
// that are not whole rounds of the wide ways (which hand what is left over to the plain way),
// and agrees with the model to the bit, saturation and skipped middle bands included.
struct CascadeWay {
  const char* name;
  int bits;  // 0: the plain way
};
constexpr CascadeWay kCascadeWays[] = {{"plain", 0}, {"256-bit", 256}, {"512-bit", 512}};

TEST(EqualizerCascade, EveryWayAgreesWithTheModelOverBlocksOfAnyLength) {
  const Bands curves[] = {
      {5, 60, 20, 45, 10, 55, 0, 63, 25, 40},   // every band active
      {0, 63, 31, 10, 50, 31, 0, 63, 20, 40},   // two in the middle
      {31, 31, 31, 31, 31, 31, 31, 31, 31, 12},  // the high shelf alone
      {31, 0, 31, 31, 31, 31, 31, 31, 31, 31},  // one peak
      kFlat,                                     // the preamp alone
  };
  constexpr int kFrames = 4001;
  const int cuts[] = {1, 3, 2, 7, 5, 999, 1024, 513, 31, 32, 33, 64, 65, 1152, 17};
  for (const CascadeWay& way : kCascadeWays) {
    if (way.bits && !EqWideAvailable(way.bits)) {
      std::printf("this processor has no %s vectors\n", way.name);
      continue;
    }
    for (const Bands& bands : curves) {
      for (int preamp : {31, 0, 45}) {
        for (int channels : {1, 2}) {
          SCOPED_TRACE(::testing::Message() << way.name << ", " << ::testing::PrintToString(bands) << " preamp "
                                            << preamp << ", " << channels << " channels");
          const EqDesign design = ComputeEqDesign(bands.data(), preamp);
          const std::vector<SHORT> in = Noise(size_t{kFrames} * channels, 23);
          EqHistory rows[kEqStageCount][kEqMaxChannels] = {};
          const EqCascade cascade = MakeEqCascade(design, rows);
          std::vector<SHORT> pcm = in;
          int done = 0;
          for (int i = 0; done < kFrames; ++i) {
            const int frames = std::min(cuts[i % std::size(cuts)], kFrames - done);
            SHORT* block = &pcm[static_cast<size_t>(done) * channels];
            if (way.bits) {
              ASSERT_TRUE(RunEqCascadeWide(cascade, block, frames, channels, way.bits));
            } else {
              RunEqCascadePlain(cascade, block, frames, channels);
            }
            done += frames;
          }
          EXPECT_EQ(pcm, PlainFilter(design, in, channels));
        }
      }
    }
  }
}

// A design published while another thread keeps reading: every reading is one whole design.
TEST(EqualizerPublication, ReadersNeverSeeHalfADesign) {
  const Bands a = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, b = {63, 63, 63, 63, 63, 63, 63, 63, 63, 63};
  const EqDesign designA = ComputeEqDesign(a.data(), 0), designB = ComputeEqDesign(b.data(), 63);
  DesignEqFilter(1, a.data(), 0);
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, reads{0};
  std::thread reader([&] {
    std::vector<SHORT> pcm = Noise(2 * 64, 3);
    while (!done) {
      const std::shared_ptr<const EqDesign> seen = CurrentEqDesign();
      if (std::memcmp(seen.get(), &designA, sizeof designA) != 0 &&
          std::memcmp(seen.get(), &designB, sizeof designB) != 0)
        ++torn;
      ApplyEqualizer(pcm.data(), 256, 2, 64);
      ++reads;
    }
  });
  for (int i = 0; i < 20000; ++i) {
    if (i % 2) {
      DesignEqFilter(1, a.data(), 0);
    } else {
      DesignEqFilter(1, b.data(), 63);
    }
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
  EXPECT_GT(reads, 0);
}

}  // namespace
}  // namespace zb::testing
