// The player core object over the fixture plug-in folder: player events broadcast in their
// order, the player messages that reach the hooks and the registered commands, the DSP choice
// and the sample chain, the decoder binding and the host callbacks.
#include <gtest/gtest.h>

#include <thread>

#include "core/modules/host_callbacks.h"
#include "core/interface/player_events.h"
#include "core/interface/player_messages.h"
#include "plugin_device.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

class PlayerCore : public CoreTest {
 protected:
  // Chooses a module of a DSP library by its file and position.
  void ChooseDSP(const char16_t* file, DWORD index, DWORD enabled) {
    CSettings* settings = GetSettings();
    wcscpy(settings->DSPPluginFile, file);
    settings->DSPPluginIndex = index;
    settings->DSPEnabled = enabled;
    core_->ResetDSPCache();
  }
  DecModule* Decoder(const char16_t* description) { return FindDescribed(DecoderList(), description); }
};

TEST_F(PlayerCore, PlayerEventsGoToTheDspModuleTheDecoderAndVersion2GeneralModulesInOrder) {
  MakeCore();
  ChooseDSP(u"dsp_chain.dll", 0, 1);
  core_->BindDecoderRecord(Decoder(u"dec_first#1"), nullptr, nullptr);
  EXPECT_EQ(BroadcastPlayerEvent(core_.get(), PLAYER_EVENT_ITEM_REFRESHED, nullptr, 0, nullptr, 0), 0);
  // gen_mixed#0 is of version 1 and hears nothing.
  const std::vector<std::string> expected = {"dsp_chain#0 event 8202", "dec_first#1 command 8202", "gen_plugin#0 hook 8202",
                                             "gen_plugin#1 hook 8202", "gen_repeat#0 hook 8202"};
  EXPECT_EQ(TakeFixtureLog(), expected);

  // A DSP module without the callback flag, and no bound decoder: only the general modules.
  ChooseDSP(u"dsp_chain.dll", 1, 1);
  core_->BindDecoderRecord(nullptr, nullptr, nullptr);
  BroadcastPlayerEvent(core_.get(), 5, nullptr, 0, nullptr, 0);
  EXPECT_EQ(TakeFixtureLog(), (std::vector<std::string>{"gen_plugin#0 hook 5", "gen_plugin#1 hook 5", "gen_repeat#0 hook 5"}));
}

TEST_F(PlayerCore, TheSettingsChooseTheDspModuleByLibraryAndPosition) {
  MakeCore();
  DSPModule* first = FindDescribed(DSPList(), u"dsp_chain#0");
  DSPModule* second = FindDescribed(DSPList(), u"dsp_chain#1");
  const struct {
    const char16_t* file;
    DWORD index;
    DWORD enabled;
    DSPModule* current;     // without the flag
    DSPModule* chosen;      // with the flag
    DWORD enabledOut;
  } cases[] = {
      {u"dsp_chain.dll", 0, 1, first, first, 1},
      {u"DSP_CHAIN.DLL", 1, 1, second, second, 1},  // the file name is compared without case
      {u"dsp_chain.dll", 2, 1, nullptr, nullptr, 0},  // the library gave two records
      {u"dsp_chain.dll", 1, 0, nullptr, second, 0},   // switched off
      {u"dsp_version2.dll", 0, 1, nullptr, nullptr, 0},
  };
  for (const auto& c : cases) {
    ChooseDSP(c.file, c.index, c.enabled);
    DWORD enabled = 0xFF;
    EXPECT_EQ(core_->GetCurrentDSP(), c.current);
    EXPECT_EQ(core_->GetCurrentDSP(&enabled), c.chosen);
    EXPECT_EQ(enabled, c.enabledOut);
  }
}

TEST_F(PlayerCore, TheSampleChainRunsTheCurrentDspModuleOnEverySampleFormat) {
  MakeCore();
  short samples[64] = {};
  ChooseDSP(u"dsp_chain.dll", 0, 1);
  GetSettings()->preampEnabled = 0;
  for (int bits : {16, 8}) {
    EXPECT_EQ(HostProcessSamples(samples, 10, 2, bits, 44100), 11);  // the fixture adds a sample
    EXPECT_EQ(TakeFixtureLog(), std::vector<std::string>{"dsp_chain#0 samples " + std::to_string(bits)});
  }
  EXPECT_EQ(HostDSPAdjust(10), 20);
  ChooseDSP(u"dsp_chain.dll", 2, 1);  // no such module: the block is left as it is
  EXPECT_EQ(HostProcessSamples(samples, 10, 2, 16, 44100), 10);
  EXPECT_EQ(HostDSPAdjust(10), 10);
  EXPECT_TRUE(TakeFixtureLog().empty());
}

int ServiceHook(UINT event, void* data, UINT size, void* out, UINT* outSize) {
  if (event & PLAYER_EVENT_QUERY) return 0;
  if (event == PLAYER_EVENT_QUERY_SERVICE && size == sizeof(GUID) && out && outSize && *outSize == 8) {
    *static_cast<DWORD*>(out) = static_cast<const GUID*>(data)->Data1;
    return 0;
  }
  if (event == PLAYER_EVENT_OUTPUT_DEVICE) {
    FixtureLog(("2301 in " + std::to_string(size) + " out " + std::to_string(outSize ? *outSize : 0) +
                (out ? " with out" : " no out")).c_str());
    if (out && outSize && *outSize == 4) *static_cast<DWORD*>(out) += 1;
    return 0;
  }
  return -1;
}

TEST_F(PlayerCore, PlayerMessagesAddAndRemoveHooksAndAskThemForServices) {
  MakeCore();
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_ADD_EVENT_HOOK, reinterpret_cast<void*>(ServiceHook), 4, nullptr, 0), 0);
  GUID service = {0x9D07785D, 0xA43D, 0x4E55, {0x88, 0x73, 0xF1, 0x13, 0x23, 0xB2, 0x84, 0xC4}};
  DWORD answer = 0;
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_QUERY_SERVICE, &service, sizeof service, &answer, 8), 0);
  EXPECT_EQ(answer, 0x9D07785Du);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_REMOVE_EVENT_HOOK, reinterpret_cast<void*>(ServiceHook), 4, nullptr, 0), 0);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_QUERY_SERVICE, &service, sizeof service, &answer, 8), E_FAIL);
}

TEST_F(PlayerCore, TheOutputDeviceMessageHasFourFormsAndRefusesTheRest) {
  MakeCore();
  core_->AddEventHook(ServiceHook);
  DWORD in = 5, out = 0;
  BYTE formatIn[18] = {}, formatOut[18] = {};
  const struct {
    const char* name;
    void* in;
    UINT inSize;
    void* out;
    UINT outSize;
    int result;
    const char* hookSaw;  // nullptr: the hooks were not asked
  } cases[] = {
      {"no in", nullptr, 0, &out, 4, 0, "2301 in 0 out 4 with out"},
      {"no out", &in, 4, nullptr, 0, 0, "2301 in 4 out 0 no out"},
      {"a word both ways", &in, 4, &out, 4, 0, "2301 in 4 out 4 with out"},
      {"two formats", formatIn, 18, formatOut, 18, 0, "2301 in 18 out 18 with out"},
      {"no in, wrong out size", nullptr, 0, &out, 8, -1, nullptr},
      {"no out, wrong in size", &in, 8, nullptr, 0, -1, nullptr},
      {"word in, longer out", &in, 4, &out, 8, -1, nullptr},
      {"nothing at all", nullptr, 0, nullptr, 0, -1, nullptr},
  };
  for (const auto& c : cases) {
    out = 0;
    EXPECT_EQ(PlayerCallback(PLAYER_MSG_HOOK_2301, c.in, c.inSize, c.out, c.outSize), c.result) << c.name;
    const auto log = TakeFixtureLog();
    EXPECT_EQ(log, c.hookSaw ? std::vector<std::string>{c.hookSaw} : std::vector<std::string>{}) << c.name;
  }
  // The word form hands the hooks a copy of the in word and returns what they made of it.
  out = 0;
  PlayerCallback(PLAYER_MSG_HOOK_2301, &in, 4, &out, 4);
  EXPECT_EQ(out, 6u);
  EXPECT_EQ(in, 5u);
  TakeFixtureLog();
}

TEST_F(PlayerCore, RegisteringCommandsAnswersMinusOneYetGivesTheIds) {
  MakeCore();
  GenModule* module = FindDescribed(GenList(), u"gen_plugin#0");
  DWORD id = 0;
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_REGISTER_COMMAND, module, 4, &id, 4), -1);
  EXPECT_EQ(id, 33u);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_REGISTER_COMMAND, module, 4, &id, 4), -1);
  EXPECT_EQ(id, 34u);
  id = 0;
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_REGISTER_COMMAND, module, 4, nullptr, 0), -1);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_REGISTER_COMMAND, nullptr, 4, &id, 4), -1);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(core_->RunCommand(35, 1, nullptr), 0);  // the bad calls registered nothing
  EXPECT_EQ(PlayerCallback(0x1234, nullptr, 0, nullptr, 0), -1);
}

TEST_F(PlayerCore, ACallAfterTheCoreIsGoneAnswersMinusOneAndBuildsNoNewCore) {
  MakeCore();
  core_.reset();
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_ADD_EVENT_HOOK, reinterpret_cast<void*>(ServiceHook), 4, nullptr, 0), -1);
  EXPECT_EQ(PeekPlayerCore(), nullptr);
}

TEST_F(PlayerCore, BindingADecoderWritesTheHostWords) {
  MakeCore();
  DecModule record{};
  record.version = 1;
  InputSource source{};
  OutputModule output{};
  core_->BindDecoderRecord(&record, &source, &output);
  EXPECT_EQ(core_->GetDecoder(), &record);
  EXPECT_EQ(record.hwndParent, MainWindow());
  // Words 35 and 38 to 49, as the binding writes them.
  auto v = [](auto pointer) { return reinterpret_cast<const void*>(pointer); };
  const std::vector<const void*> written = {
      v(record.HostDecoderStatus), v(record.PlayerCallback), v(record.HostSetThreadPriority), v(record.HostVisInit),
      v(record.HostVisDeinit), v(record.HostVisAddPCM), v(record.HostVisSetInfo), v(record.HostVisNoop),
      v(record.HostDSPAdjust), v(record.HostProcessSamples), v(record.HostStatusUpdate), v(record.source),
      v(record.outModule)};
  const std::vector<const void*> expected = {
      v(&HostDecoderStatus), v(&PlayerCallback), v(&HostSetThreadPriority), v(&HostVisInit), v(&HostVisDeinit),
      v(&HostVisAddPCM), v(&HostVisSetInfo), v(&HostVisNoop), v(&HostDSPAdjust), v(&HostProcessSamples),
      v(&HostStatusUpdate), v(&source), v(&output)};
  EXPECT_EQ(written, expected);
  // The record has no Command: the core answers for it.
  EXPECT_EQ(core_->DecoderCommand(DEC_CMD_SCHEDULING, nullptr, 0, nullptr, 0), -1);
}

// Takes the decoder's status 9 only.
int StatusHook(UINT event, void*, UINT size, void* out, UINT* outSize) {
  if (event & PLAYER_EVENT_QUERY) return (event & ~PLAYER_EVENT_QUERY) == PLAYER_EVENT_DECODER_STATUS + 9 ? 0 : -1;
  FixtureLog(("status event " + std::to_string(event) + " in " + std::to_string(size) + " out " +
              std::to_string(outSize ? *outSize : 0) + (out ? " with out" : ""))
                 .c_str());
  return 0;
}

TEST_F(PlayerCore, DecoderStatusReachesTheHooksAsEvent70PlusTheCode) {
  MakeCore();
  core_->AddEventHook(StatusHook);
  DWORD in = 1, out = 0;
  HostDecoderStatus(9, &in, 4, &out, 4);
  EXPECT_EQ(TakeFixtureLog(), std::vector<std::string>{"status event 79 in 4 out 4 with out"});
  HostDecoderStatus(4, &in, 4, &out, 4);
  EXPECT_TRUE(TakeFixtureLog().empty());
}

TEST_F(PlayerCore, StreamInformationPassesAtMostOnceASecond) {
  MakeCore();
  TakeOverClock(500000);
  const struct {
    uint64_t advance;
    int bitrate;
    int shown;
  } steps[] = {{0, 128, 128}, {400, 192, 128}, {600, 256, 128}, {1, 320, 320}, {1001, 96, 96}};
  for (const auto& s : steps) {
    AdvanceClock(s.advance);
    HostStatusUpdate(s.bitrate, 44100, 2);
    EXPECT_EQ(core_->GetBitrate(), s.shown) << "after " << s.advance << " ms";
  }
  core_->SetStreamInfo(-666, 22050, -666);  // -666 keeps what is shown
  EXPECT_EQ(core_->GetBitrate(), 96);
  EXPECT_EQ(core_->GetSampleRate(), 22050);
  EXPECT_EQ(core_->GetChannelMode(), 2);
  ReleaseClock();
}

TEST_F(PlayerCore, TheThreadPrioritySettingMapsToPlatformPriorities) {
  MakeCore();
  const struct {
    DWORD setting;
    int priority;  // from a thread at THREAD_PRIORITY_ABOVE_IDLE
  } cases[] = {{1, 5}, {2, 4}, {3, 3}, {4, 2}, {5, 1}, {6, 0}, {0, 6}, {8, 6}, {7, 6}};
  for (const auto& c : cases) {
    GetSettings()->threadPriority = c.setting;
    int seen = -1;
    std::thread([&] {
      SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_IDLE);
      HostSetThreadPriority();
      seen = GetThreadPriority(GetCurrentThread());
    }).join();
    EXPECT_EQ(seen, c.priority) << "threadPriority " << c.setting;
  }
}

TEST_F(PlayerCore, EqualiserValuesComeFromTheSettings) {
  CSettings* settings = GetSettings();
  settings->preampEnabled = 1;
  settings->preampValue2 = 40;
  settings->autoLoadEqEnabled = 1;
  for (int band = 0; band < 10; ++band) settings->eqValues[band] = static_cast<BYTE>(20 + band);
  wcscpy(settings->eqName, u"Rock");
  MakeCore();
  const struct {
    int index;
    int value;
  } cases[] = {{0, 20}, {9, 29}, {-1, 40}, {-2, 1}, {-3, 1}, {-12, 1}, {10, 0}, {-4, 0}};
  for (const auto& c : cases) EXPECT_EQ(core_->GetEqValue(c.index), c.value) << c.index;
  EXPECT_EQ(GetPlayerCoreLink(u"test"), core_.get());
}

}  // namespace
}  // namespace zb::testing
