// What a decoder thread's status calls do (every code reaches the hooks as event 70 + code; 0
// and 1 switch the running bit; 4 to 7 answer or change the view settings; others answer 0),
// the shuffle and repeat switches and the play history they reset, and the equaliser values
// a play starts with.
#include <thread>

#include "core/modules/host_callbacks.h"
#include "settingsui/eq_preset_list.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

using Lines = std::vector<std::string>;

class DecoderStatus : public TransportTest {};

TEST_F(DecoderStatus, EveryCodeReachesTheHooksAndTheCodesUpToSevenDoTheirWork) {
  CSettings* settings = GetSettings();
  settings->visFullscreen = 11;
  settings->videoFullscreenMode = 12;
  settings->videoStretchMode = 13;
  const struct {
    UINT code;
    DWORD in;
    DWORD result;
    DWORD out;  // 0xEE: left alone
    bool running;
  } cases[] = {
      {0, 0, 0, 0xEE, true},   {2, 0, 0, 0xEE, true},  {1, 0, 0, 0xEE, false}, {3, 0, 0, 0xEE, false},
      {4, 0, 1, 11, false},    {5, 11, 1, 0xEE, false}, {6, 0, 1, 12, false},  {7, 0, 1, 13, false},
      {8, 0, 0, 0xEE, false},  {9, 0, 0, 0xEE, false},
  };
  for (const auto& c : cases) {
    DWORD in = c.in, out = 0xEE;
    DWORD result = 0xBAD;
    // From a decoder thread, as the module calls it.
    std::thread([&] { result = HostDecoderStatus(c.code, &in, sizeof in, &out, sizeof out); }).join();
    EXPECT_EQ(result, c.result) << "code " << c.code;
    EXPECT_EQ(out, c.out) << "code " << c.code;
    EXPECT_EQ((core_->GetState() & CORE_STATE_RUNNING) != 0, c.running) << "code " << c.code;
    EXPECT_EQ(ScriptedHooks().TakeSeen(), Lines{"event " + std::to_string(70 + c.code) + " in " + std::to_string(c.in) + " out"})
        << "code " << c.code;
  }
  // The setting codes answer 1 also without an out word.
  EXPECT_EQ(HostDecoderStatus(4, nullptr, 0, nullptr, 0), 1u);
  EXPECT_EQ(HostDecoderStatus(5, nullptr, 0, nullptr, 0), 1u);
}

TEST_F(DecoderStatus, TheBacklightRuleHoldsOnlyWhilePlaybackRuns) {
  EXPECT_EQ(core_->HoldBacklightWhilePlaying(), 0);
  HostDecoderStatus(0, nullptr, 0, nullptr, 0);
  EXPECT_EQ(core_->HoldBacklightWhilePlaying(), 1);
  HostDecoderStatus(1, nullptr, 0, nullptr, 0);
  EXPECT_EQ(core_->HoldBacklightWhilePlaying(), 0);
}

TEST_F(DecoderStatus, ShuffleResetsThePlayHistoryAndRepeatOnlyWhileShuffling) {
  AddItems({u"\\Music\\a.fake", u"\\Music\\b.fake", u"\\Music\\c.fake"});
  core_->SetShuffle(TRUE);
  Playlist().Next(TRUE);
  Playlist().Next(TRUE);
  EXPECT_EQ(Playlist().GetHistory().size(), 2u);
  const int current = Playlist().GetCurrentIndex();
  core_->SetShuffle(TRUE);  // a fresh round from the item now current
  EXPECT_EQ(Playlist().GetHistory(), std::vector<int>{current});
  EXPECT_TRUE(core_->GetShuffle());

  Playlist().Next(TRUE);
  core_->SetRepeat(TRUE);  // shuffle on: the history goes too
  EXPECT_EQ(Playlist().GetHistory().size(), 1u);
  EXPECT_TRUE(core_->GetRepeat());

  core_->SetShuffle(FALSE);
  Playlist().Next(TRUE);
  const std::vector<int> kept = Playlist().GetHistory();
  core_->SetRepeat(FALSE);  // shuffle off: the history stays as it was
  EXPECT_EQ(Playlist().GetHistory(), kept);
  EXPECT_FALSE(core_->GetRepeat());
  EXPECT_FALSE(core_->GetShuffle());
}

int g_equalizerCalls = 0;
signed char g_equalizerValues[11];
int g_equalizerMode = 0;
int TakesEqualizer(int mode, int count, const signed char* values, int, int) {
  ++g_equalizerCalls;
  g_equalizerMode = mode;
  if (count == 11) std::copy(values, values + 11, g_equalizerValues);
  return 1;
}

TEST_F(DecoderStatus, APlayStartsWithTheAutoLoadPresetOrWhatTheHooksGive) {
  CSettings* settings = GetSettings();
  settings->autoLoadEqEnabled = 1;
  core_.reset();  // the core reads the auto-load switch when it is made
  core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
  core_->AddEventHook(ScriptedHook);
  CreateDirectoryW(u"\\Music", nullptr);
  CloseHandle(CreateFileW(u"\\Music\\tuned.fake", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const BYTE bands[10] = {10, 20, 30, 40, 50, 60, 63, 0, 31, 31};
  core_->GetAutoLoadList()->SetPreset(u"tuned.fake", 45, bands);
  const BYTE flat[10] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  core_->GetPresetList()->SetPreset(u"Default", 20, flat);
  AddItems({u"\\Music\\tuned.fake", u"\\Music\\plain.fake"});

  g_equalizerCalls = 0;
  ScriptedRecord().SetEqualizer = TakesEqualizer;
  core_->Play(FALSE);
  EXPECT_EQ(core_->GetEqValue(0), 10);
  EXPECT_EQ(core_->GetEqValue(6), 63);
  EXPECT_EQ(core_->GetEqValue(-1), 45);
  EXPECT_EQ(core_->GetEqValue(-12), 1);
  EXPECT_EQ(std::u16string(settings->eqName), u"Auto");
  EXPECT_EQ(settings->preampValue2, 45u);
  EXPECT_EQ(settings->eqValues[1], 20);
  // The decoder equalises by itself, with the same values and the on word as the mode.
  EXPECT_EQ(g_equalizerCalls, 1);
  EXPECT_EQ(g_equalizerMode, core_->GetEqValue(-2) ? 1 : 2);
  EXPECT_EQ(g_equalizerValues[10], 45);
  EXPECT_EQ(g_equalizerValues[2], 30);

  // No auto-load preset for the next item: the "Default" preset.
  core_->NextItem(TRUE);
  EXPECT_EQ(core_->GetEqValue(-1), 20);
  EXPECT_EQ(std::u16string(settings->eqName), u"Default");

  // A hook that answers event 20 sets the values, named "Custom".
  ScriptedHooks().takes[PLAYER_EVENT_EQ_VALUES] = 0;
  ScriptedHooks().outs[PLAYER_EVENT_EQ_VALUES] = 0x05040302;  // bands 0 to 3
  core_->Stop(FALSE);
  core_->Play(FALSE);
  EXPECT_EQ(core_->GetEqValue(0), 2);
  EXPECT_EQ(core_->GetEqValue(3), 5);
  EXPECT_EQ(core_->GetEqValue(-1), 20);
  EXPECT_EQ(std::u16string(settings->eqName), u"Custom");
  ScriptedRecord().SetEqualizer = nullptr;
}

}  // namespace
}  // namespace zb::testing
