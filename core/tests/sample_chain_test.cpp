// The sample chain: the DSP module chosen by library file and position (two copies of a fixture
// DSP library), the enabled switch and the cache, when the equaliser runs, 8-bit samples
// reaching the DSP past the equaliser, and modules that hand back more samples.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "core/modules/bound_function.h"
#include "core/output/dsp_choice.h"
#include "core/output/equalizer.h"
#include "core/output/sample_chain.h"
#include "core/settings/settings.h"
#include "product_device.h"

namespace zb::testing {
namespace {

// Loads the fixture library under two names from the program's folder and lists their
// records in load order, as the core's plug-in scan does.
class SampleChain : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.Load();
    settings.preampEnabled = 0;
    for (const char16_t* name : {u"dsp_first.dll", u"dsp_second.dll"}) {
      std::filesystem::copy_file(DSP_FIXTURE_PATH, device.ProgramFile(std::string(name, name + wcslen(name))));
      HMODULE library = LoadLibraryW((std::u16string(u"\\Program Files\\Zonbrel\\") + name).c_str());
      ASSERT_NE(library, nullptr);
      libraries.push_back(library);
      auto get = BoundFunction<ZonbrelGetDSPModuleFn>(library, u"ZonbrelGetDSPModule");
      ASSERT_NE(get, nullptr);
      for (int i = 0; DSPModule* module = get(library, i); ++i) {
        module->hDllInstance = library;
        modules.push_back(module);
      }
    }
    ASSERT_EQ(modules.size(), 4u);
  }
  void TearDown() override {
    for (HMODULE library : libraries) FreeLibrary(library);
  }

  void Choose(const char16_t* file, DWORD index, DWORD enabled = 1) {
    wcscpy(settings.DSPPluginFile, file);
    settings.DSPPluginIndex = index;
    settings.DSPEnabled = enabled;
    choice.Reset();
  }

  // The chain as the core runs it for a block.
  int Process(std::vector<BYTE>& block, int count, int channels, int bits, const DecModule* decoder = nullptr) {
    DSPModule* dsp = choice.Get(modules, settings);
    return RunSampleChain(dsp, EqualizerRunsOn(settings, decoder, bits), block.data(), count, channels, bits, 44100);
  }

  ProductDevice device;
  CSettings settings;
  CDspChoice choice;
  std::vector<HMODULE> libraries;
  std::vector<DSPModule*> modules;  // first #0, first #1, second #0, second #1
};

std::vector<BYTE> Pcm16(std::initializer_list<SHORT> samples) {
  std::vector<BYTE> out(samples.size() * 2);
  std::memcpy(out.data(), samples.begin(), out.size());
  return out;
}

std::vector<SHORT> Samples16(const std::vector<BYTE>& bytes, int count) {
  std::vector<SHORT> out(count);
  std::memcpy(out.data(), bytes.data(), count * 2);
  return out;
}

TEST_F(SampleChain, TheModuleIsFoundByLibraryFileAndPosition) {
  const struct {
    const char16_t* file;
    DWORD index;
    int expected;  // position in `modules`, -1 for none
  } cases[] = {
      {u"dsp_first.dll", 0, 0},  {u"dsp_first.dll", 1, 1},  {u"dsp_second.dll", 0, 2},
      {u"DSP_Second.DLL", 1, 3}, {u"dsp_second.dll", 2, -1}, {u"dsp_third.dll", 0, -1},
      {u"", 0, -1},              {u"dsp_first", 0, -1},
  };
  for (const auto& c : cases) {
    Choose(c.file, c.index);
    EXPECT_EQ(choice.Get(modules, settings), c.expected < 0 ? nullptr : modules[c.expected])
        << std::string(c.file, c.file + wcslen(c.file)) << " #" << c.index;
  }
}

TEST_F(SampleChain, ThePositionBeyondTheLibrarysModulesLeavesSamplesUnchanged) {
  Choose(u"dsp_second.dll", 2);
  std::vector<BYTE> block = Pcm16({1, -2, 300, -400});
  const std::vector<BYTE> before = block;
  EXPECT_EQ(AdjustSampleCount(choice.Get(modules, settings), 2), 2);
  EXPECT_EQ(Process(block, 2, 2, 16), 2);
  EXPECT_EQ(block, before);
}

TEST_F(SampleChain, TheChosenModuleProcessesTheBlockAndMayLengthenIt) {
  Choose(u"dsp_first.dll", 0);
  std::vector<BYTE> block = Pcm16({1, -2, 300, -400});
  EXPECT_EQ(Process(block, 2, 2, 16), 2);
  EXPECT_EQ(Samples16(block, 4), (std::vector<SHORT>{101, 98, 400, -300}));

  Choose(u"dsp_second.dll", 1);
  EXPECT_EQ(AdjustSampleCount(choice.Get(modules, settings), 2), 4);
  block = Pcm16({1, -2, 300, -400, 0, 0, 0, 0});  // room for what the module promised
  EXPECT_EQ(Process(block, 2, 2, 16), 4);
  EXPECT_EQ(Samples16(block, 8), (std::vector<SHORT>{201, 198, 201, 198, 500, -200, 500, -200}));
}

TEST_F(SampleChain, DisabledModulesAreChosenButNotRun) {
  Choose(u"dsp_first.dll", 1, 0);
  EXPECT_EQ(choice.Get(modules, settings), nullptr);
  DWORD enabled = 7;
  EXPECT_EQ(choice.Get(modules, settings, &enabled), modules[1]);
  EXPECT_EQ(enabled, 0u);
  settings.DSPEnabled = 1;
  EXPECT_EQ(choice.Get(modules, settings, &enabled), modules[1]);
  EXPECT_EQ(enabled, 1u);
  Choose(u"dsp_third.dll", 0, 1);
  enabled = 7;
  EXPECT_EQ(choice.Get(modules, settings, &enabled), nullptr);
  EXPECT_EQ(enabled, 0u);
}

TEST_F(SampleChain, TheChoiceIsKeptUntilReset) {
  Choose(u"dsp_first.dll", 0);
  EXPECT_EQ(choice.Get(modules, settings), modules[0]);
  wcscpy(settings.DSPPluginFile, u"dsp_second.dll");
  EXPECT_EQ(choice.Get(modules, settings), modules[0]);
  choice.Reset();
  EXPECT_EQ(choice.Get(modules, settings), modules[2]);
}

TEST_F(SampleChain, EightBitSamplesSkipTheEqualizerAndStillReachTheModule) {
  const signed char flat[kEqBandCount] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  DesignEqFilter(1, flat, 0);  // +12 dB: any sample it touches is multiplied by 3.98
  settings.preampEnabled = 1;
  Choose(u"dsp_first.dll", 0);
  std::vector<BYTE> eight = {128, 130, 0, 255};
  EXPECT_EQ(Process(eight, 2, 2, 8), 2);
  EXPECT_EQ(eight, (std::vector<BYTE>{129, 131, 1, 0}));
  std::vector<BYTE> sixteen = Pcm16({1000, -1000});
  EXPECT_EQ(Process(sixteen, 1, 2, 16), 1);
  EXPECT_EQ(Samples16(sixteen, 2), (std::vector<SHORT>{3981 + 100, -3982 + 100}));
}

int DecoderEqualizer(int, int, const signed char*, int, int) { return 1; }

TEST_F(SampleChain, TheEqualizerRunsUnlessTheDecoderEqualizesOrItIsOff) {
  DecModule plain{}, equalizing{};
  equalizing.SetEqualizer = DecoderEqualizer;
  const struct {
    DWORD preampEnabled;
    int bits;
    DWORD wmaEqDisabled;
    const DecModule* decoder;
    LONG decoderFlag;
    bool runs;
  } cases[] = {
      {1, 16, 0, nullptr, 0, true},     {0, 16, 0, nullptr, 0, false},   {1, 8, 0, nullptr, 0, false},
      {1, 24, 0, nullptr, 0, false},    {1, 16, 1, nullptr, 0, false},   {1, 16, 0, &plain, 1, true},
      {1, 16, 0, &equalizing, 0, true}, {1, 16, 0, &equalizing, 1, false}, {1, 16, 2, &equalizing, 1, true},
      {1, 16, 1, &equalizing, 0, false},
  };
  for (const auto& c : cases) {
    settings.preampEnabled = c.preampEnabled;
    settings.wmaEqDisabled = c.wmaEqDisabled;
    SetDecoderEqualizes(c.decoderFlag);
    EXPECT_EQ(EqualizerRunsOn(settings, c.decoder, c.bits), c.runs)
        << "on " << c.preampEnabled << ", bits " << c.bits << ", wmaEqDisabled " << c.wmaEqDisabled << ", decoder "
        << (c.decoder == &equalizing ? "equalizing" : c.decoder ? "plain" : "none") << ", flag " << c.decoderFlag;
  }
  SetDecoderEqualizes(0);
}

TEST_F(SampleChain, EmptyBlocksCallNothing) {
  Choose(u"dsp_second.dll", 1);
  std::vector<BYTE> block = Pcm16({5, 5});
  DSPModule* dsp = choice.Get(modules, settings);
  EXPECT_EQ(RunSampleChain(dsp, true, block.data(), 0, 2, 16, 44100), 0);
  EXPECT_EQ(RunSampleChain(dsp, true, nullptr, 1, 2, 16, 44100), 1);
  EXPECT_EQ(block, Pcm16({5, 5}));
}

}  // namespace
}  // namespace zb::testing
