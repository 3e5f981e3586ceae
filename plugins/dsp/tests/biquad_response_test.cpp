// Bass Boost and Variable Filters measured: the magnitude response from the FFT of each filter's
// impulse response against a double-precision evaluation of the textbook designs; +50 dB designs
// that do not overflow; the design check that clears the memory; refused formats and rates.
#include <complex>

#include "dsp_test_support.h"
#include "plugins/dsp/biquad_modules.h"

namespace zb::testing {
namespace {

constexpr int kRate = 44100;
constexpr int kFrames = 8192;
constexpr int kTail = 2048;
constexpr double kPi = std::numbers::pi;

// |H| of the textbook design at `hz`, written out here apart from the module's own design code.
double ReferenceMagnitude(int type, double f0, double gainDb, double q, double hz) {
  const double w0 = 2 * kPi * f0 / kRate, c = std::cos(w0), s = std::sin(w0);
  const double A = std::pow(10.0, gainDb / 40), G = std::pow(10.0, gainDb / 20);
  const double alpha = s / (2 * q), shelf = 2 * std::sqrt(A) * (s / 2 * std::sqrt(2.0));
  double b[3] = {G, 0, 0}, a[3] = {1, 0, 0};
  auto set = [&](std::initializer_list<double> bs, std::initializer_list<double> as) {
    std::copy(bs.begin(), bs.end(), b), std::copy(as.begin(), as.end(), a);
  };
  switch (type) {
    case 1: set({G * (1 - c) / 2, G * (1 - c), G * (1 - c) / 2}, {1 + alpha, -2 * c, 1 - alpha}); break;
    case 2: set({G * (1 + c) / 2, -G * (1 + c), G * (1 + c) / 2}, {1 + alpha, -2 * c, 1 - alpha}); break;
    case 3: set({G * alpha, 0, -G * alpha}, {1 + alpha, -2 * c, 1 - alpha}); break;
    case 4: set({G, -2 * G * c, G}, {1 + alpha, -2 * c, 1 - alpha}); break;
    case 5:
      set({A * ((A + 1) - (A - 1) * c + shelf), 2 * A * ((A - 1) - (A + 1) * c), A * ((A + 1) - (A - 1) * c - shelf)},
          {(A + 1) + (A - 1) * c + shelf, -2 * ((A - 1) + (A + 1) * c), (A + 1) + (A - 1) * c - shelf});
      break;
    case 6:
      set({A * ((A + 1) + (A - 1) * c + shelf), -2 * A * ((A - 1) + (A + 1) * c), A * ((A + 1) + (A - 1) * c - shelf)},
          {(A + 1) - (A - 1) * c + shelf, 2 * ((A - 1) - (A + 1) * c), (A + 1) - (A - 1) * c - shelf});
      break;
    case 7: set({1 + alpha * A, -2 * c, 1 - alpha * A}, {1 + alpha / A, -2 * c, 1 - alpha / A}); break;
    default: break;
  }
  const std::complex<double> z1 = std::polar(1.0, -2 * kPi * hz / kRate), z2 = z1 * z1;
  return std::abs((b[0] + b[1] * z1 + b[2] * z2) / (a[0] + a[1] * z1 + a[2] * z2));
}

struct FilterCase {
  const char* name;
  DSPModule* module;
  int type, frequency, gain, q100;
  double amplitude;      // of the impulse, low enough that nothing saturates
  double probeHz, probeDb;  // a point the design is known for
  double floorDb = -20;      // compared in dB above this, linearly below
  double below = 0.01;       // the linear tolerance there
};

class BiquadResponse : public ::testing::TestWithParam<FilterCase> {
 protected:
  void SetUp() override {
    kBoostSettings.Write(u"q", GetParam().q100);
    g_bassBoostModule.Init();
    g_variableFiltersModule.Init();
    BiquadValues().frequency = GetParam().frequency;
    BiquadValues().gain = GetParam().gain;
    BiquadValues().type = GetParam().type;
  }
  // The impulse response measured as the halved difference of a positive and a negative impulse,
  // each less the level its tail settles at, so that the filter's rounding toward minus infinity
  // (a constant offset of a least step or so once the response has died away) drops out.
  std::vector<double> Impulse(double amplitude) {
    std::vector<double> h(kFrames);
    for (int sign : {1, -1}) {
      Samples in(kFrames);
      in[0] = static_cast<SHORT>(sign * amplitude);
      // A redesign with other inputs clears the memory between the two runs.
      BiquadValues().frequency = GetParam().frequency + 1;
      RunModule(*GetParam().module, Samples(1), 1, kRate, 1);
      BiquadValues().frequency = GetParam().frequency;
      const Samples out = RunModule(*GetParam().module, in, 1, kRate, 1152);
      double settled = 0;
      for (int i = kFrames - kTail; i < kFrames; ++i) settled += out[i] / double{kTail};
      for (int i = 0; i < kFrames; ++i) h[i] += sign * (out[i] - settled) / (2 * amplitude);
    }
    return h;
  }
  TestDevice device_;
};

TEST_P(BiquadResponse, MagnitudeFollowsTheDoublePrecisionDesign) {
  const FilterCase& c = GetParam();
  const std::vector<double> h = Impulse(c.amplitude);
  const int type = c.module == &g_bassBoostModule ? 5 : c.type;
  for (double hz = 20; hz < 21000; hz *= 1.12) {
    const double want = ReferenceMagnitude(type, c.frequency, c.gain, c.q100 / 100.0, hz);
    const double got = std::abs(Dtft(h, hz, kRate));
    // Below 150 Hz the poles sit near 1, where the filter's 8-bit memory fraction rounds audibly.
    const double toleranceDb = hz < 150 ? 0.6 : 0.15;
    if (Db(want) > c.floorDb) {
      EXPECT_NEAR(Db(got), Db(want), toleranceDb) << c.name << " at " << hz << " Hz";
    } else {
      EXPECT_NEAR(got, want, c.below) << c.name << " at " << hz << " Hz";
    }
  }
  EXPECT_NEAR(Db(std::abs(Dtft(h, c.probeHz, kRate))), c.probeDb, c.probeHz < 150 ? 0.6 : 0.3) << c.name << " at " << c.probeHz << " Hz";
}

INSTANTIATE_TEST_SUITE_P(
    Designs, BiquadResponse,
    ::testing::Values(
        FilterCase{"BassBoost", &g_bassBoostModule, 0, 150, 15, 100, 16000, 20, 14.9},
        FilterCase{"BassCut", &g_bassBoostModule, 0, 200, -12, 100, 16000, 20, -11.9},
        FilterCase{"Preamp", &g_variableFiltersModule, 0, 1000, 6, 100, 8000, 5000, 6.0},
        FilterCase{"LowpassAtMinus3dB", &g_variableFiltersModule, 1, 1000, 0, 71, 16000, 1000, -2.97},
        FilterCase{"HighpassAtMinus3dB", &g_variableFiltersModule, 2, 2000, 0, 71, 16000, 2000, -2.97},
        FilterCase{"Bandpass", &g_variableFiltersModule, 3, 3000, 0, 200, 16000, 3000, 0.0},
        FilterCase{"Notch", &g_variableFiltersModule, 4, 5000, 0, 100, 16000, 1000, -0.42},
        FilterCase{"LowShelf", &g_variableFiltersModule, 5, 300, 10, 100, 16000, 20, 10.0},
        FilterCase{"HighShelf", &g_variableFiltersModule, 6, 4000, 9, 100, 8000, 20000, 9.0},
        FilterCase{"Peaking", &g_variableFiltersModule, 7, 2500, 12, 150, 16000, 2500, 12.0},
        // At the gains the pages allow the coefficients leave the 32-bit Q24 range.
        FilterCase{"PreampPlus50dB", &g_variableFiltersModule, 0, 1000, 50, 100, 60, 3000, 50.0},
        FilterCase{"HighShelfPlus50dB", &g_variableFiltersModule, 6, 1000, 50, 100, 60, 15000, 50.0, 20, 0.5},
        FilterCase{"PeakingPlus50dB", &g_variableFiltersModule, 7, 3000, 50, 100, 60, 3000, 50.0, 20, 0.5}),
    [](const auto& info) { return std::string(info.param.name); });

class BiquadModules : public ::testing::Test {
 protected:
  void SetUp() override {
    g_bassBoostModule.Init();
    g_variableFiltersModule.Init();
  }
  TestDevice device_;
};

TEST_F(BiquadModules, TheNotchSilencesItsFrequency) {
  BiquadValues().type = 4, BiquadValues().frequency = 1000;
  const Samples out = RunModule(g_variableFiltersModule, Sine(1000, 44100, 1, kRate, 20000), 1, kRate, 1152);
  const std::vector<double> all = Channel(out, 1, 0);
  const std::vector<double> tail(all.begin() + 22050, all.end());
  EXPECT_LT(*std::max_element(tail.begin(), tail.end()), 40.0);
}

TEST_F(BiquadModules, LoudOutputSaturatesWithItsSignInsteadOfWrapping) {
  BiquadValues().type = 0, BiquadValues().gain = 50;
  Samples in{1000, -1000, 30000, -30000, 5};
  const Samples out = RunModule(g_variableFiltersModule, in, 1, kRate, 5);
  EXPECT_EQ(out, (Samples{32767, -32768, 32767, -32768, 1581}));
}

TEST_F(BiquadModules, DefaultsComeFromTheRegistryOrTheirOwnValues) {
  EXPECT_EQ(BiquadValues().frequency, 60);
  EXPECT_EQ(BiquadValues().gain, 15);
  EXPECT_EQ(BiquadValues().q, 1.0);
  kBoostSettings.Write(u"frequency", 120);
  kBoostSettings.Write(u"q", 250);
  g_bassBoostModule.Init(), g_variableFiltersModule.Init();
  EXPECT_EQ(BiquadValues().frequency, 120);
  EXPECT_EQ(BiquadValues().q, 2.5);
  BiquadValues().gain = -7;
  g_bassBoostModule.Quit();
  EXPECT_EQ(kBoostSettings.Read(u"gain", 0), -7);
  EXPECT_EQ(kBoostSettings.Read(u"q", 0), 250);
}

TEST_F(BiquadModules, SwitchingModulesClearsTheMemory) {
  BiquadValues().type = 5;  // Variable Filters' low shelf is Bass Boost's design
  const Samples loud = Sine(50, 4410, 2, kRate, 8000);
  const Samples quiet(2000, 0);
  RunModule(g_bassBoostModule, loud, 2, kRate, 576);
  // Silence after the switch: the other module starts from a cleared memory.
  const Samples after = RunModule(g_variableFiltersModule, quiet, 2, kRate, 576);
  EXPECT_EQ(after, quiet);
  RunModule(g_variableFiltersModule, loud, 2, kRate, 576);
  EXPECT_EQ(RunModule(g_bassBoostModule, quiet, 2, kRate, 576), quiet);
}

struct Untouched {
  const char* name;
  int channels, bits, rate;
};

TEST_F(BiquadModules, BlocksItCannotFilterPassUntouched) {
  for (const Untouched& c : {Untouched{"8-bit", 2, 8, kRate}, Untouched{"three channels", 3, 16, kRate},
                             Untouched{"rate 0", 2, 16, 0}, Untouched{"negative rate", 1, 16, -44100}}) {
    for (DSPModule* module : {&g_bassBoostModule, &g_variableFiltersModule}) {
      Samples block = Sine(100, 300, 3, kRate, 9000);
      const Samples before = block;
      EXPECT_EQ(module->ModifySamples(block.data(), 100, c.channels, c.bits, c.rate), 100) << c.name;
      EXPECT_EQ(block, before) << c.name;
    }
  }
}

}  // namespace
}  // namespace zb::testing
