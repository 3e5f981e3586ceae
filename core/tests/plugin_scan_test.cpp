// The plug-in scan of the core's construction, over a program folder of fixture libraries:
// which records are registered, in which order, with which host words; which libraries stay
// loaded and which are freed; and the quit-all order of the core's destruction.
#include <gtest/gtest.h>

#include "core/modules/plugin_scan.h"
#include "core/output/wave_writer.h"
#include "plugin_device.h"

namespace zb::testing {
namespace {

// A built-in decoder, a stream source and an output module registered before the scan, as the
// core registers its own; they log their start-up and shut-down calls.
template <const char* Line>
void Logs() {
  FixtureLog(Line);
}
template <const char* Line>
void LogsFor(InputSource*) {
  FixtureLog(Line);
}
template <const char* Line>
int LogsAndCounts(int previous) {
  FixtureLog(Line);
  return previous + 1;
}
constexpr char kBuiltInQuit[] = "builtin#0 Quit";
constexpr char kSourceStartUp[] = "source#0 StartUp", kSourceInit[] = "source#0 Init";
constexpr char kSourceRelease[] = "source#0 Release", kSourceCleanUp[] = "source#0 CleanUp";
constexpr char kOutputInit[] = "output#0 Init", kOutputQuit[] = "output#0 Quit";

// Designated initializers: every field not named is 0, as the records want.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
DecModule g_builtIn = {.version = 1, .description = u"builtin#0", .Quit = Logs<kBuiltInQuit>};
InputSource g_source = {.version = 3, .description = u"source#0", .Init = LogsFor<kSourceInit>,
                        .Release = LogsFor<kSourceRelease>, .StartUp = Logs<kSourceStartUp>,
                        .CleanUp = Logs<kSourceCleanUp>};
OutputModule g_output = {.version = 2, .description = u"output#0", .Init = LogsAndCounts<kOutputInit>,
                         .Quit = LogsAndCounts<kOutputQuit>};

class PluginScan : public CoreTest {
 protected:
  void SetUp() override {
    HINSTANCE program = GetModuleHandleW(nullptr);
    RegisterDecModule(&g_builtIn, program, MainWindow());
    RegisterSource(&g_source, program, MainWindow());
    RegisterOutputModule(&g_output, program, MainWindow());
  }
};

struct Accepted {
  const char16_t* description;
  const char16_t* library;
  bool callback;  // the player callback written into the record
};

TEST_F(PluginScan, AcceptedRecordsAreRegisteredInScanOrderWithTheirHostWords) {
  MakeCore();
  const Accepted decoders[] = {{u"dec_first#0", u"dec_first.dll", true}, {u"dec_first#1", u"dec_first.dll", true}};
  const Accepted dsp[] = {{u"dsp_chain#0", u"dsp_chain.dll", true}, {u"dsp_chain#1", u"dsp_chain.dll", false}};
  const Accepted general[] = {
      {u"gen_mixed#0", u"gen_mixed.dll", false},  // version 1: no callback word in use
      {u"gen_plugin#0", u"gen_plugin.dll", true},
      {u"gen_plugin#1", u"gen_plugin.dll", true},
      {u"gen_repeat#0", u"gen_repeat.dll", true},  // handed out again and again, listed once
  };
  auto check = [this](auto& list, std::u16string_view prefix, const auto& expected, auto callbackOf) {
    std::vector<std::u16string> order;
    for (const Accepted& a : expected) order.emplace_back(a.description);
    EXPECT_EQ(Described(list, prefix), order);
    for (const Accepted& a : expected) {
      auto* record = FindDescribed(list, a.description);
      ASSERT_NE(record, nullptr);
      SCOPED_TRACE(std::string(a.description, a.description + std::char_traits<char16_t>::length(a.description)));
      EXPECT_EQ(record->hwndParent, MainWindow());
      EXPECT_EQ(record->hDllInstance, GetModuleHandleW(a.library));
      EXPECT_EQ(callbackOf(*record) == &PlayerCallback, a.callback);
    }
  };
  check(DecoderList(), u"dec_", decoders, [](DecModule& r) { return r.PlayerCallback; });
  check(DSPList(), u"dsp_", dsp, [](DSPModule& r) { return r.hostCallback; });
  check(GenList(), u"gen_", general, [](GenModule& r) { return r.hostCallback; });

  // Records registered before the scan get the callback too: decoders after the decoder pass,
  // stream sources at the end.
  EXPECT_EQ(g_builtIn.PlayerCallback, &PlayerCallback);
  EXPECT_EQ(g_source.hostCallback, &PlayerCallback);
  EXPECT_EQ(g_source.hwndParent, MainWindow());
}

// The whole scan as the libraries saw it: patterns in their order, files by name, getters asked
// by index until a null or refused record, and a library freed right after its last answer when
// nothing of it was taken (dec_noexport has no getter; dec_unloadable never loads).
TEST_F(PluginScan, TheScanAsksEachLibraryInOrderAndFreesTheRefusedOnesAtOnce) {
  TakeFixtureLog();
  core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), MainWindow());
  const std::vector<std::string> expected = {
      "dec_first#0 get",  "dec_first#1 get",  "dec_first#2 get",  // null: the end of its list
      "dec_noexport unloaded",
      "dec_refused#0 get", "dec_refused unloaded",                  // version 2
      "dsp_chain#0 get",  "dsp_chain#1 get",  "dsp_chain#2 get",  // version 2 ends the list
      "dsp_version2#0 get", "dsp_version2 unloaded",
      "gen_empty#0 get",  "gen_empty unloaded",
      "gen_mixed#0 get",  "gen_mixed#1 get",                      // version 3 ends the list
      "gen_plugin#0 get", "gen_plugin#1 get", "gen_plugin#2 get",
      "gen_repeat#0 get", "gen_repeat#1 get",                     // the same record again ends it
      "vis_v2#0 get",     "vis_v3#0 get",     "vis_v4#0 get",     "vis_v4 unloaded",
  };
  EXPECT_EQ(TakeFixtureLog(), expected);
}

TEST_F(PluginScan, LibrariesWithoutAnAcceptedRecordAreFreedTheOthersStay) {
  MakeCore();
  const struct {
    const char16_t* library;
    bool kept;
  } cases[] = {
      {u"dec_first.dll", true},     {u"dec_refused.dll", false}, {u"dec_noexport.dll", false},
      {u"dec_unloadable.dll", false}, {u"dsp_chain.dll", true},   {u"dsp_version2.dll", false},
      {u"gen_empty.dll", false},    {u"gen_mixed.dll", true},    {u"gen_plugin.dll", true},
      {u"gen_repeat.dll", true},    {u"vis_v2.dll", true},       {u"vis_v3.dll", true},
      {u"vis_v4.dll", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetModuleHandleW(c.library) != nullptr, c.kept)
        << std::string(c.library, c.library + std::char_traits<char16_t>::length(c.library));
  }
  // Nothing of the refused libraries reached a list.
  EXPECT_TRUE(Described(DecoderList(), u"dec_refused").empty());
  EXPECT_TRUE(Described(DSPList(), u"dsp_version2").empty());
}

// The lines each record of a list logs for `calls`, in list order. Every record in the lists
// comes from this file or from a fixture library, and logs "<description> <call>" (its
// description names it "<library>#<index>"); the core's own records, registered at
// construction (the MP3 decoder, the file reader, the waveOut writer), log nothing.
template <class Record>
void Expect(std::vector<std::string>& lines, CModuleList<Record>& list, std::initializer_list<const char*> calls) {
  for (Record* record : list.Snapshot()) {
    const std::u16string_view description = record->description;
    if (description.find(u'#') == std::u16string_view::npos) continue;
    for (const char* call : calls) lines.push_back(std::string(description.begin(), description.end()) + " " + call);
  }
}

TEST_F(PluginScan, InitAllStartsEachRecordInListOrder) {
  MakeCore();
  SourceListBroadcastInit();
  // Each output gets the one before's result: 11 from the fixture output reaches the waveOut
  // writer registered after it, which starts afresh and answers 0.
  EXPECT_EQ(OutputList().At(OutputList().Count() - 1)->Init, WaveWriterInit);
  EXPECT_EQ(OutputModulesInit(10), 0);
  ModuleListBroadcastInit();
  GenModuleListBroadcastInit();
  std::vector<std::string> expected;
  Expect(expected, SourceList(), {"StartUp", "Init"});
  Expect(expected, OutputList(), {"Init"});
  Expect(expected, DSPList(), {"Init"});
  Expect(expected, GenList(), {"Init"});
  EXPECT_EQ(TakeFixtureLog(), expected);
}

TEST_F(PluginScan, DestructionQuitsSourcesOutputsDecodersDspAndGeneralModulesInOrder) {
  MakeCore();
  std::vector<std::string> expected;
  Expect(expected, SourceList(), {"Release", "CleanUp"});
  Expect(expected, OutputList(), {"Quit"});
  Expect(expected, DecoderList(), {"Quit"});
  Expect(expected, DSPList(), {"Quit"});
  Expect(expected, GenList(), {"Quit"});
  ASSERT_EQ(expected.size(), 12u);  // the records of this file and of the accepted fixtures
  core_.reset();
  EXPECT_EQ(TakeFixtureLog(), expected);
  EXPECT_EQ(PeekPlayerCore(), nullptr);
}

}  // namespace
}  // namespace zb::testing
