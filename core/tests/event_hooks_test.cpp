// Event hooks: the registration probe, the dispatch rules, the button and menu offers, and a
// list that decoder threads walk while the main thread adds and removes hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/modules/event_hooks.h"
#include "core/interface/player_events.h"

namespace {

// Hooks are plain functions, so each slot's behaviour lives in a table the test fills.
struct HookSpec {
  const char* name = "";
  bool answersProbe = true;   // the bare query at registration
  std::vector<UINT> takes;    // answers queries for these and handles them
  int result = 0;             // what handling returns
  UINT writesOutSize = 0;     // non-zero: writes this into *outSize and refuses the event
};

HookSpec g_specs[4];
std::vector<std::string> g_calls;
std::vector<UINT> g_seenOutSizes;
std::vector<DWORD> g_seenData;

template <int Slot>
int Hook(UINT event, void* data, UINT, void*, UINT* outSize) {
  const HookSpec& spec = g_specs[Slot];
  const bool query = (event & PLAYER_EVENT_QUERY) != 0;
  const UINT code = event & ~PLAYER_EVENT_QUERY;
  g_calls.push_back(std::string(spec.name) + (query ? " ?" : " ") + std::to_string(code));
  const bool takes = std::find(spec.takes.begin(), spec.takes.end(), code) != spec.takes.end();
  if (query) return code == 0 ? (spec.answersProbe ? 0 : -1) : (takes ? 0 : -1);
  if (outSize) g_seenOutSizes.push_back(*outSize);
  if (data && !spec.writesOutSize) g_seenData.push_back(*static_cast<DWORD*>(data));
  if (spec.writesOutSize && outSize) {
    *outSize = spec.writesOutSize;
    return -1;
  }
  return takes ? spec.result : -1;
}

class EventHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HookSpec& spec : g_specs) spec = HookSpec{};
    g_calls.clear();
    g_seenOutSizes.clear();
    g_seenData.clear();
  }
  std::vector<std::string> Calls() { return std::exchange(g_calls, {}); }

  CEventHooks hooks;
};

TEST_F(EventHooks, TheProbeAsksForCodes1To101And2301AndNothingBetween) {
  g_specs[0] = {"A", true, {3, 2301}};
  hooks.Add(Hook<0>);
  std::vector<std::string> expected = {"A ?0"};
  for (int code = 1; code <= 101; ++code) expected.push_back("A ?" + std::to_string(code));
  expected.push_back("A ?2301");
  EXPECT_EQ(Calls(), expected);

  // Afterwards the hook is offered its two events without being asked again, and no other.
  const struct {
    UINT event;
    std::vector<std::string> calls;
  } cases[] = {{3, {"A 3"}}, {2301, {"A 2301"}}, {5, {}}, {102, {}}, {0, {}}};
  for (const auto& c : cases) {
    hooks.Dispatch(c.event, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(Calls(), c.calls) << "event " << c.event;
  }
}

TEST_F(EventHooks, AHookRefusingTheProbeIsAskedAtEveryEvent) {
  g_specs[0] = {"B", false, {5}, 7};
  hooks.Add(Hook<0>);
  EXPECT_EQ(Calls(), std::vector<std::string>{"B ?0"});
  const struct {
    UINT event;
    int result;
    std::vector<std::string> calls;
  } cases[] = {
      {5, 7, {"B ?5", "B 5"}},
      {6, E_FAIL, {"B ?6"}},
      {5, 7, {"B ?5", "B 5"}},  // asked again, not remembered
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hooks.Dispatch(c.event, nullptr, 0, nullptr, nullptr), c.result) << "event " << c.event;
    EXPECT_EQ(Calls(), c.calls) << "event " << c.event;
  }
}

TEST_F(EventHooks, WithAnOutBufferOnlyTheFirstTakerSeesTheEventWithoutOneAllDo) {
  g_specs[0] = {"refuses", true, {}};
  g_specs[1] = {"first", true, {9}, 1};
  g_specs[2] = {"second", true, {9}, 2};
  hooks.Add(Hook<0>);
  hooks.Add(Hook<1>);
  hooks.Add(Hook<2>);
  Calls();
  DWORD out = 0;
  UINT outSize = sizeof out;
  EXPECT_EQ(hooks.Dispatch(9, nullptr, 0, &out, &outSize), 1);
  EXPECT_EQ(Calls(), std::vector<std::string>{"first 9"});
  EXPECT_EQ(hooks.Dispatch(9, nullptr, 0, nullptr, nullptr), 2);  // the last result
  EXPECT_EQ(Calls(), (std::vector<std::string>{"first 9", "second 9"}));
}

TEST_F(EventHooks, WithoutHooksDispatchFailsSoCallersDoTheirOwnWork) {
  const int result = hooks.Dispatch(3, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(static_cast<DWORD>(result), 0x80004005u);
  EXPECT_LT(result, 0);
}

TEST_F(EventHooks, AHookIsListedOnceAndRemovedByItsFunction) {
  g_specs[0] = {"A", true, {3}};
  g_specs[1] = {"B", true, {3}};
  hooks.Add(Hook<0>);
  hooks.Add(Hook<0>);  // ignored, not even probed again
  hooks.Add(nullptr);
  EXPECT_EQ(hooks.Count(), 1u);
  EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "A ?0"), 1);
  hooks.Add(Hook<1>);
  hooks.Remove(Hook<0>);
  hooks.Remove(Hook<2>);  // not listed: nothing happens
  EXPECT_EQ(hooks.Count(), 1u);
  Calls();
  hooks.Dispatch(3, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(Calls(), std::vector<std::string>{"B 3"});
}

TEST_F(EventHooks, EachHookGetsItsOwnCopyOfTheOutSize) {
  g_specs[0] = {"writer", true, {12}, 0, 99};
  g_specs[1] = {"reader", true, {12}, 0};
  hooks.Add(Hook<0>);
  hooks.Add(Hook<1>);
  DWORD out = 0;
  UINT outSize = 4;
  EXPECT_EQ(hooks.Dispatch(12, nullptr, 0, &out, &outSize), 0);
  EXPECT_EQ(g_seenOutSizes, (std::vector<UINT>{4, 4}));  // the reader saw 4, not the writer's 99
  EXPECT_EQ(outSize, 4u);
}

TEST_F(EventHooks, ButtonsArePressesInPhases1And4AndReleasesOtherwise) {
  g_specs[0] = {"buttons", true, {PLAYER_EVENT_BUTTON_DOWN, PLAYER_EVENT_BUTTON_UP}};
  hooks.Add(Hook<0>);
  const struct {
    int phase;
    const char* call;
  } cases[] = {{1, "buttons 31"}, {4, "buttons 31"}, {0, "buttons 32"}, {2, "buttons 32"}, {3, "buttons 32"}, {6, "buttons 32"}};
  for (const auto& c : cases) {
    Calls();
    g_seenData.clear();
    EXPECT_TRUE(hooks.OfferButton(0x12345, 7, c.phase)) << "phase " << c.phase;
    EXPECT_EQ(Calls(), std::vector<std::string>{c.call}) << "phase " << c.phase;
    EXPECT_EQ(g_seenData, std::vector<DWORD>{(7u << 16) | 0x2345u}) << "phase " << c.phase;
  }
  hooks.Remove(Hook<0>);
  EXPECT_FALSE(hooks.OfferButton(1, 2, 1));
}

// A hook for the menu events, answering with the words the case sets.
struct MenuAnswers {
  bool takesKind;
  int choose;  // event 33: the answer written, or -1 not handled
  int build;   // event 35
  int chosen;  // event 36
};
MenuAnswers g_menu;
HMENU g_menuSeen;

int MenuHook(UINT event, void* data, UINT, void* out, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return 0;
  auto answer = [out](int value) {
    if (value < 0) return -1;
    *static_cast<int*>(out) = value;
    return 0;
  };
  switch (event) {
    case PLAYER_EVENT_MENU_KIND: return g_menu.takesKind ? 0 : -1;
    case PLAYER_EVENT_MENU_CHOOSE: return answer(g_menu.choose);
    case PLAYER_EVENT_MENU_BUILD: g_menuSeen = static_cast<HMENU>(data); return answer(g_menu.build);
    case PLAYER_EVENT_MENU_CHOSEN: g_menuSeen = static_cast<HMENU>(data); return answer(g_menu.chosen);
    default: return -1;
  }
}

TEST(MenuHooks, PhasesAnswerWhetherAndWhatTheSkinShowsAndRuns) {
  CEventHooks hooks;
  hooks.Add(MenuHook);
  const HMENU menu = reinterpret_cast<HMENU>(0x4000);
  const struct {
    const char* name;
    MenuAnswers answers;
    int phase;
    int result;
  } cases[] = {
      {"kind not taken: show the menu", {false, 77, 88, 55}, 0, -1},
      {"kind taken, a command chosen", {true, 77, 88, 55}, 0, 77},
      {"kind taken, the hook builds the menu", {true, -1, 88, 55}, 0, 88},
      {"kind taken, nothing else", {true, -1, -1, 55}, 0, -1},
      {"after the choice, kind not taken", {false, 77, 88, 55}, 1, 40},
      {"after the choice, the hook replaces it", {true, 77, 88, 55}, 1, 55},
      {"after the choice, the hook leaves it", {true, 77, 88, -1}, 1, 40},
  };
  for (const auto& c : cases) {
    g_menu = c.answers;
    g_menuSeen = nullptr;
    EXPECT_EQ(hooks.RunMenuHooks(menu, 2, c.phase, c.phase == 1 ? 40 : 0), c.result) << c.name;
    if (c.answers.takesKind && c.result != 77) {
      EXPECT_EQ(g_menuSeen, menu) << c.name;
    }
  }
}

// Decoder threads dispatch while the main thread keeps taking the first hook out and putting it
// back, which moves every later entry up. A hook that stays listed must see every dispatch.
std::atomic<int> g_steadyCalls{0};
int SteadyHook(UINT event, void*, UINT, void*, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return (event & ~PLAYER_EVENT_QUERY) == 0 || event == (3 | PLAYER_EVENT_QUERY) ? 0 : -1;
  g_steadyCalls++;
  return -1;
}
int ChurnHookA(UINT event, void*, UINT, void*, UINT*) { return (event & PLAYER_EVENT_QUERY) ? 0 : -1; }
int ChurnHookB(UINT, void*, UINT, void*, UINT*) { return -1; }  // refuses the probe: asked each time
int ChurnHookC(UINT event, void*, UINT, void*, UINT*) { return (event & PLAYER_EVENT_QUERY) ? 0 : 1; }

TEST(EventHooksConcurrency, HooksChangingWhileThreadsDispatchAreNeitherSkippedNorBroken) {
  CEventHooks hooks;
  const PlayerEventHook churn[] = {ChurnHookA, ChurnHookB, ChurnHookC};
  for (PlayerEventHook hook : churn) hooks.Add(hook);
  hooks.Add(SteadyHook);
  g_steadyCalls = 0;

  constexpr int kThreads = 4;
  constexpr int kDispatches = 3000;
  std::atomic<int> running{kThreads};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kDispatches; ++i) hooks.Dispatch(3, nullptr, 0, nullptr, nullptr);
      running--;
    });
  }
  // Bounded: stops when the dispatchers are done, or after a fixed number of rounds.
  for (int round = 0; running.load() > 0 && round < 200000; ++round) {
    PlayerEventHook moved = churn[round % 3];
    hooks.Remove(moved);
    hooks.Add(moved);
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(g_steadyCalls.load(), kThreads * kDispatches);
  EXPECT_EQ(hooks.Count(), 4u);
}

// A decoder thread is inside a hook when the main thread takes out a hook listed before it: the
// hooks after it in the list are still offered the event.
std::atomic<int> g_gate{0};  // 1: the decoder thread is inside the gate hook; 2: the main thread changed the list
std::atomic<int> g_lastCalls{0};
int EarlyHook(UINT event, void*, UINT, void*, UINT*) { return (event & PLAYER_EVENT_QUERY) ? 0 : -1; }
int GateHook(UINT event, void*, UINT, void*, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return 0;
  g_gate = 1;
  for (int i = 0; i < 5000 && g_gate.load() != 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return -1;
}
int LastHook(UINT event, void*, UINT, void*, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return 0;
  g_lastCalls++;
  return -1;
}

TEST(EventHooksConcurrency, TakingOutAnEarlierHookDuringADispatchSkipsNoLaterOne) {
  CEventHooks hooks;
  hooks.Add(EarlyHook);
  hooks.Add(GateHook);
  hooks.Add(LastHook);
  g_gate = 0;
  g_lastCalls = 0;
  std::thread decoder([&] { hooks.Dispatch(3, nullptr, 0, nullptr, nullptr); });
  for (int i = 0; i < 5000 && g_gate.load() != 1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(g_gate.load(), 1) << "the dispatch never reached the gate";
  hooks.Remove(EarlyHook);
  g_gate = 2;
  decoder.join();
  EXPECT_EQ(g_lastCalls.load(), 1);
  EXPECT_EQ(hooks.Count(), 2u);
}

}  // namespace
