// The visualisation host inside a player core, over the fixture visualisation libraries: which
// module it loads and which of its fields it fills by flags, rendering from the sample ring,
// the built-in view on the host's own surface, module work handed from a decoder thread to the
// interface thread, and the view-mode cycle with and without an overlay module.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_device.h"

namespace zb::testing {
namespace {

constexpr int kSentinel = 0x5A5A;

VisModule* FixtureModule(const WCHAR* library, int index) {
  HMODULE handle = GetModuleHandleW(library);
  if (!handle) return nullptr;
  auto get = reinterpret_cast<ZonbrelGetLibraryFn>(reinterpret_cast<void (*)()>(GetProcAddressW(handle, u"ZonbrelGetLibrary")));
  return get ? get()->getModule(index) : nullptr;
}

bool Logged(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

class VisHost : public CoreTest {
 protected:
  CVisHost& MakeHost(const WCHAR* library, int index) {
    CSettings* settings = GetSettings();
    wcscpy(settings->PluginFile, library);
    settings->PluginIndex = static_cast<DWORD>(index);
    settings->visMode = 0;
    settings->visOscilloMode = 0;
    settings->visSpectrumMode = 0;
    settings->visFullscreen = 0;
    MakeCore();
    CVisHost& host = *core_->GetVisHost();
    host.VisHostSetRect1(RECT{0, 0, 100, 20});
    host.SetLargeRect(RECT{0, 40, 200, 240});
    DWORD colours[VIS_COLOURS];
    for (int i = 0; i < VIS_COLOURS; ++i) colours[i] = 0x010203u * static_cast<DWORD>(i + 1);
    host.VisHostSetColors(colours);
    return host;
  }
  static void CycleModeTo(CVisHost& host, int mode) {
    for (int i = 0; i < 4 && host.BuiltInMode() != mode; ++i) host.CycleMode(0);
  }
  // What the view shows after a step: built-in mode, whether a module is loaded, full screen.
  static std::string Shown(CVisHost& host) {
    return std::to_string(host.BuiltInMode()) + (host.CurrentModule() ? "+module" : "") +
           (GetSettings()->visFullscreen ? " full" : "");
  }
  static std::vector<std::string> Steps(CVisHost& host, int count) {
    std::vector<std::string> shown;
    for (int i = 0; i < count; ++i) {
      host.CycleMode(0);
      shown.push_back(Shown(host));
    }
    return shown;
  }
  // A second of 16-bit stereo with `bin` cycles per 256 frames, fed at time 0.
  static void FeedTone(CVisHost& host, int bin) {
    std::vector<short> pcm(2 * 1152);
    for (int k = 0; k < 1152; ++k) pcm[2 * k] = pcm[2 * k + 1] = static_cast<short>(20000 * std::sin(2 * M_PI * bin * k / 256.0));
    host.AddPCM(pcm.data(), static_cast<int>(pcm.size() * 2), 2, 16, 0);
  }
};

// Each flag and the fields it asks the host to fill; a module with one flag gets those fields
// and none of the others.
struct FieldGroup {
  WORD flag;
  const char* name;
  bool (*filled)(const VisModule&);
};
const FieldGroup kGroups[] = {
    {ZB_VIS_FLAG_HOST_CALLBACK, "playerCallback", [](const VisModule& m) { return m.playerCallback != reinterpret_cast<PlayerCallbackFn>(kSentinel); }},
    {ZB_VIS_FLAG_POSITION, "position", [](const VisModule& m) { return m.position != kSentinel && m.length != kSentinel; }},
    {ZB_VIS_FLAG_SHARED_TEXT, "sharedText", [](const VisModule& m) { return m.sharedText != reinterpret_cast<const WCHAR*>(kSentinel); }},
    {ZB_VIS_FLAG_CURRENT_PATH, "currentPath", [](const VisModule& m) { return m.currentPath != reinterpret_cast<const WCHAR*>(kSentinel); }},
    {ZB_VIS_FLAG_PLAYLIST, "playlist", [](const VisModule& m) { return m.playlistIndex != kSentinel && m.playlistCount != kSentinel; }},
    {ZB_VIS_FLAG_PLAYER_STATE, "playerState", [](const VisModule& m) { return m.playerState != kSentinel; }},
    {ZB_VIS_FLAG_SCREEN_RECT, "screenRect", [](const VisModule& m) { return m.screenRect.left != kSentinel; }},
    {ZB_VIS_FLAG_RESTART_BITS, "restartBits", [](const VisModule& m) { return m.restartBits != kSentinel; }},
    {ZB_VIS_FLAG_ARTWORK, "artwork", [](const VisModule& m) { return m.artwork != reinterpret_cast<IMediaItem*>(kSentinel); }},
};

void Poison(VisModule& m) {
  m.playerCallback = reinterpret_cast<PlayerCallbackFn>(kSentinel);
  m.position = m.length = m.playlistIndex = m.playlistCount = kSentinel;
  m.sharedText = m.currentPath = reinterpret_cast<const WCHAR*>(kSentinel);
  m.playerState = m.restartBits = kSentinel;
  m.screenRect = RECT{kSentinel, kSentinel, kSentinel, kSentinel};
  m.artwork = reinterpret_cast<IMediaItem*>(kSentinel);
}

TEST_F(VisHost, AModuleGetsExactlyTheFieldsItsFlagsAskFor) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 0);
  VisModule* module = FixtureModule(u"vis_v3.dll", 0);
  ASSERT_NE(module, nullptr);
  std::vector<WORD> flags = {0};
  for (const FieldGroup& g : kGroups) flags.push_back(g.flag);
  for (WORD flag : flags) {
    module->flags = flag;
    Poison(*module);
    host.LoadModule(1);
    ASSERT_EQ(host.CurrentModule(), module) << flag;
    for (const FieldGroup& g : kGroups) EXPECT_EQ(g.filled(*module), g.flag == flag) << g.name << " with flags " << flag;
    EXPECT_EQ(module->hwndParent, MainWindow());
    EXPECT_EQ(module->hDllInstance, GetModuleHandleW(u"vis_v3.dll"));
    EXPECT_EQ(module->hdc, nullptr) << "a device context only during Init and Render";
    EXPECT_EQ(module->drawRect.top, 40);
    ASSERT_NE(module->colours, nullptr);
    EXPECT_EQ(module->colours[5], 0x010203u * 6);
    host.LoadModule(0);
    module->artwork = nullptr;
  }
  const auto log = TakeFixtureLog();
  EXPECT_TRUE(Logged(log, "vis_v3#0 Init window 0 dc 1")) << "Init runs without a window but with a device context";
  EXPECT_TRUE(Logged(log, "vis_v3#0 Quit"));
}

TEST_F(VisHost, FilledFieldsCarryTheirValues) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 2);
  host.SetInfo(22050, 2);
  host.LoadModule(1);
  VisModule* module = host.CurrentModule();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->playerCallback, &PlayerCallback);
  EXPECT_EQ(module->sampleRate, 22050);
  EXPECT_EQ(module->channels, 2);
  EXPECT_EQ(module->restartBits, 0u) << "the first load";
  EXPECT_EQ(module->playerState & VIS_STATE_OPEN, 0u);
  EXPECT_EQ(module->playerState >> VIS_STATE_VOLUME_SHIFT, static_cast<DWORD>(std::clamp(core_->GetVolume(), 0, 255)));
  POINT origin{0, 40};
  MapWindowPoints(MainWindow(), nullptr, &origin, 1);
  EXPECT_EQ(module->screenRect.left, origin.x);
  EXPECT_EQ(module->screenRect.top, origin.y);
  EXPECT_EQ(module->notify ? host.Notify(0x2001, nullptr, 0, nullptr, 0) : 0, 7) << "events reach notify with flag 4";

  host.LoadModule(0);
  host.LoadModule(1);
  EXPECT_EQ(host.CurrentModule()->restartBits & 1, 1u) << "the same library loaded again";
}

struct Refusal {
  const WCHAR* file;
  int index;
  const char* why;
};

TEST_F(VisHost, LibrariesAndModulesItRefuseLeaveNoModule) {
  const Refusal cases[] = {{u"vis_v4.dll", 0, "version 4"}, {u"vis_missing.dll", 0, "no such file"},
                           {u"core_plugins\\", 0, "a folder"}, {u"vis_v3.dll", 7, "no such module"}};
  for (const Refusal& c : cases) {
    CVisHost& host = MakeHost(c.file, c.index);
    host.LoadModule(1);
    EXPECT_EQ(host.CurrentModule(), nullptr) << c.why;
    EXPECT_EQ(host.GetValue(2), 0) << c.why;
    core_.reset();
  }
}

TEST_F(VisHost, AVersionTwoModuleGetsNoFlagsAndNoCallback) {
  CVisHost& host = MakeHost(u"vis_v2.dll", 0);
  VisModule* module = FixtureModule(u"vis_v2.dll", 0);
  ASSERT_NE(module, nullptr);
  module->playerCallback = nullptr;
  host.LoadModule(1);
  ASSERT_EQ(host.CurrentModule(), module);
  EXPECT_EQ(module->flags, 0);
  EXPECT_EQ(module->playerCallback, nullptr);
  EXPECT_FALSE(host.IsOverlay());
}

TEST_F(VisHost, ANegativeInitRefusesTheModule) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 0);
  VisModule* module = FixtureModule(u"vis_v3.dll", 0);
  module->flags = 0;
  module->userData = reinterpret_cast<void*>(-1);
  host.LoadModule(1);
  module->userData = nullptr;
  EXPECT_EQ(host.CurrentModule(), nullptr);
  const auto log = TakeFixtureLog();
  EXPECT_TRUE(Logged(log, "vis_v3#0 Init window 0 dc 1"));
  EXPECT_FALSE(Logged(log, "vis_v3#0 Quit")) << "a refused module is not quit";
}

TEST_F(VisHost, RenderFillsWaveformAndSpectrumFromTheSnapshotThenCallsTheModule) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 2);
  host.Init(2000, 44100);
  ASSERT_EQ(host.Ring().SlotCount(), 41);
  host.SetInfo(44100, 2);
  host.LoadModule(1);
  VisModule* module = host.CurrentModule();
  ASSERT_NE(module, nullptr);
  FeedTone(host, 32);
  TakeFixtureLog();
  host.Render(1);
  EXPECT_EQ(TakeFixtureLog(), std::vector<std::string>{"vis_v3#2 Render window 1 dc 1"});
  EXPECT_EQ(module->waveformChannels, 2);
  EXPECT_EQ(module->waveformData[0][64], static_cast<signed char>(static_cast<short>(20000 * std::sin(2 * M_PI * 32 * 64 / 256.0)) >> 8));
  // 32 cycles per 256 frames is bin 64 of the 512-point transform.
  const unsigned char* spectrum = module->spectrumData[0];
  EXPECT_EQ(std::max_element(spectrum, spectrum + 512) - spectrum, 64);
  EXPECT_EQ(module->restartBits & 2, 2u) << "a painted frame";
  EXPECT_TRUE(std::all_of(spectrum + 512, spectrum + 576, [](unsigned char v) { return v == 0; }));
  host.Render(0);
  EXPECT_EQ(module->restartBits & 2, 0u);
}

TEST_F(VisHost, TheBuiltInSpectrumDrawsTheToneIntoTheSurface) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 0);
  CycleModeTo(host, 2);
  host.Init(2000, 44100);
  ASSERT_NE(host.Surface(), nullptr);
  FeedTone(host, 20);  // bin 20: bar 4
  host.Render(0);
  DIBSECTION section = {};
  ASSERT_EQ(GetObjectW(host.Surface(), sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidth, 100);
  EXPECT_EQ(std::abs(section.dsBm.bmHeight), 40);
  const auto* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
  auto colourAt = [&](int x, int y) {
    const BYTE* p = bits + y * section.dsBm.bmWidthBytes + 3 * x;
    return static_cast<COLORREF>(p[2] | p[1] << 8 | p[0] << 16);
  };
  EXPECT_EQ(colourAt(45, 2), 0x010203u * (kVisColourBarTop + 2 * 14 / 20 + 1)) << "bar 4 stands full";
  EXPECT_NE(colourAt(5, 2), colourAt(45, 2)) << "bar 0 does not";
}

TEST_F(VisHost, WithoutARingAnIdleFrameOnlyNotifiesAModuleThatAsks) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 1);
  host.LoadModule(1);
  ASSERT_NE(host.CurrentModule(), nullptr);
  TakeFixtureLog();
  host.Render(1);
  EXPECT_EQ(TakeFixtureLog(), std::vector<std::string>{"vis_v3#0 notify 0"});
}

DWORD WINAPI ReportNewFormat(LPVOID host) {
  static_cast<CVisHost*>(host)->SetInfo(48000, 1);
  return 0;
}

TEST_F(VisHost, ANewFormatFromADecoderThreadReloadsTheModuleOnTheInterfaceThread) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 2);
  host.SetInfo(44100, 2);
  host.LoadModule(1);
  TakeFixtureLog();
  HANDLE decoder = CreateThread(nullptr, 0, ReportNewFormat, &host, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(decoder, 5000), WAIT_OBJECT_0);
  CloseHandle(decoder);
  EXPECT_TRUE(TakeFixtureLog().empty()) << "no module call on the decoder thread";
  PumpStandIns();
  std::vector<std::string> calls = TakeFixtureLog();
  std::erase(calls, "vis_v3#0 get");  // the library's getter, not a module call
  EXPECT_EQ(calls, (std::vector<std::string>{"vis_v3#2 Quit", "vis_v3#2 Init window 0 dc 1"}));
  ASSERT_NE(host.CurrentModule(), nullptr);
  EXPECT_EQ(host.CurrentModule()->sampleRate, 48000);
  EXPECT_EQ(host.CurrentModule()->channels, 1);
}

TEST_F(VisHost, TheCycleWalksModesThenTheModuleInTheLargeAreaAndFullScreen) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 0);
  FixtureModule(u"vis_v3.dll", 0)->flags = 0;
  EXPECT_EQ(Steps(host, 7), (std::vector<std::string>{"1", "2", "3", "0+module", "0+module full", "0", "1"}));
  EXPECT_EQ(GetSettings()->visMode, 1u);
}

TEST_F(VisHost, BesideAnOverlayModuleTheBuiltInModesGoOn) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 1);  // overlay; small and large areas apart
  EXPECT_EQ(Steps(host, 10), (std::vector<std::string>{"1", "2", "3", "0+module", "1+module", "2+module", "3+module",
                                                         "0+module full", "0", "1"}));
  host.CycleMode(0);
  host.CycleMode(0);
  host.CycleMode(0);
  EXPECT_EQ(Shown(host), "0+module");
  EXPECT_EQ(GetSettings()->visMode, 0x10u) << "the module view is on";
}

TEST_F(VisHost, SkippedModesAndTheNoItemRequest) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 0);
  FixtureModule(u"vis_v3.dll", 0)->flags = 0;
  GetSettings()->visOscilloMode = -1;
  EXPECT_EQ(Steps(host, 3), (std::vector<std::string>{"2", "3", "0+module"}));
  core_.reset();
  // Request -1 in mode 2 keeps the mode and switches the module view on.
  CVisHost& again = MakeHost(u"vis_v3.dll", 0);
  CycleModeTo(again, 2);
  again.CycleMode(-1);
  EXPECT_EQ(Shown(again), "2+module");
}

TEST_F(VisHost, AnOverlayModuleThatSkipsAlbumArtWrapsFromTheSpectrumToFullScreen) {
  CVisHost& host = MakeHost(u"vis_v3.dll", 1);
  VisModule* module = FixtureModule(u"vis_v3.dll", 1);
  module->flags = 0x1003 | ZB_VIS_FLAG_SKIP_ALBUM_ART;
  EXPECT_EQ(Steps(host, 6), (std::vector<std::string>{"1", "2", "3", "0+module", "1+module", "2+module"}));
  host.CycleMode(0);
  EXPECT_EQ(Shown(host), "0+module full");
  module->flags = 0x1003;
}

}  // namespace
}  // namespace zb::testing
