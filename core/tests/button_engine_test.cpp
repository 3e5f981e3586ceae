// The key engine, event by event: which events it consumes, which keys it injects (caught by a
// low-level hook of the test's own, newer than any other, that takes every injected key), and
// which button handlers it runs, for presses, held-back arrows and their marker, the two
// modifier keys, the action key, the Windows-key states and the lock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/device/button_block.h"
#include "core/device/button_engine.h"
#include "core/device/button_lock.h"
#include "core/device/button_mapping.h"
#include "core/settings/button_table.h"
#include "core/settings/settings.h"
#include "core/window/program_state.h"
#include "product_device.h"

namespace zb::testing {
namespace {

std::vector<std::string> g_log;

void RecordHandler(int index, DWORD code, void*) {
  g_log.push_back("run " + std::to_string(index) + (code & 0x10000 ? " press " : " release ") +
                  std::to_string(code & 0xFFFF));
}

LRESULT CALLBACK CatchInjected(int, WPARAM message, LPARAM lParam) {
  const auto* record = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (!(record->flags & LLKHF_INJECTED)) return 0;
  g_log.push_back("inject " + std::to_string(record->vkCode) + (message == WM_KEYUP ? " up" : " down"));
  return 1;
}

struct Key {
  DWORD vk;
  bool press;
  LRESULT expected;  // -1 consumed, 0 passed on
};

struct Binding {
  int index;
  DWORD action;
};

struct Scenario {
  const char* name;
  std::vector<Binding> bindings;
  std::vector<Key> keys;
  std::vector<std::string> log;  // handler runs and injections, in order
};

constexpr int kUp = 1, kUpAlternate = 16, kDownAlternate = 17, kAction = 0, kEnter = 15, kButton1 = 5;

class ButtonEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program().instance = GetModuleHandleW(nullptr);
    ASSERT_NE(GetSettings(), nullptr);
    GetSettings()->ApplyButtonCommands(FALSE);  // only the test's own bindings
    ResetButtonEngine();
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, CatchInjected, Program().instance, 0);
    ASSERT_NE(hook_, nullptr);
    g_log.clear();
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook_);
    EndButtons();
  }

  static LRESULT Feed(DWORD vk, bool press) {
    KBDLLHOOKSTRUCT record{vk, 0, 0, GetTickCount(), 0};
    return ButtonEngine(HC_ACTION, press ? WM_KEYDOWN : WM_KEYUP, reinterpret_cast<LPARAM>(&record));
  }

  void Run(const Scenario& s) {
    SCOPED_TRACE(s.name);
    for (const Binding& b : s.bindings) BindButton(b.index, b.action, nullptr, RecordHandler, FALSE);
    for (size_t i = 0; i < s.keys.size(); ++i) {
      const Key& k = s.keys[i];
      EXPECT_EQ(Feed(k.vk, k.press), k.expected) << "event " << i << ": key " << k.vk << (k.press ? " down" : " up");
    }
    EXPECT_EQ(g_log, s.log);
  }

  ProductDevice device_;
  HHOOK hook_ = nullptr;
};

int KeyIndex(DWORD vk) {
  LoadButtonsOnce();
  return FindButtonByKey(vk);
}

TEST_F(ButtonEngineTest, ArrowsAreHeldBackUntilTheirMarkerOrAModifierKey) {
  const Scenario scenarios[] = {
      {"the marker comes back first: the arrow goes to its plain entry",
       {{kUp, 8}},
       {{38, true, -1}, {0, false, -1}, {38, false, -1}},
       {"inject 0 up", "run 1 press 8", "run 1 release 8"}},
      {"no entry takes the arrow: a silent press of it is injected for the system",
       {{kDownAlternate, 9}},
       {{38, true, -1}, {0, false, 0}, {38, false, 0}},
       {"inject 0 up", "inject 38 down"}},
      {"an arrow released before its marker stands for a whole press and release",
       {{kUp, 8}},
       {{38, true, -1}, {38, false, -1}, {0, false, -1}},
       {"inject 0 up", "run 1 press 8", "run 1 release 8"}},
      {"key 131 then an arrow: only entries with modifier bit 32 match",
       {{kUp, 8}, {kUpAlternate, 9}},
       {{131, true, -1}, {38, true, -1}, {38, false, -1}, {131, false, -1}, {38, true, -1}},
       {"run 16 press 9", "run 16 release 9", "inject 0 up"}},
      {"131 before the marker stands for the arrow with mask 32, passes when nobody takes it, and the marker is dropped",
       {{kDownAlternate, 9}},
       {{38, true, -1}, {131, true, 0}, {0, false, -1}},
       {"inject 0 up", "inject 38 down"}},
      {"131 before the marker, with Up (Alternate) bound: that entry takes the arrow",
       {{kUpAlternate, 9}},
       {{38, true, -1}, {131, true, -1}, {0, false, -1}},
       {"inject 0 up", "run 16 press 9"}},
      {"without modifier bit 32 in use, 131 and the arrow match the plain entry",
       {{kUp, 8}},
       {{131, true, -1}, {38, true, -1}, {38, false, -1}},
       {"run 1 press 8", "run 1 release 8"}},
  };
  for (const Scenario& s : scenarios) {
    Run(s);
    for (const Binding& b : s.bindings) BindButton(b.index, 0, nullptr, nullptr, FALSE);
    ResetButtonEngine();
    g_log.clear();
  }
}

TEST_F(ButtonEngineTest, ActionKeyAndWindowsKeyStates) {
  const DWORD letterA = 65;
  const Scenario scenarios[] = {
      {"a taken press of 134 swallows Enter until 134 is released",
       {{kAction, 1}, {kEnter, 2}},
       {{134, true, -1}, {13, true, -1}, {13, false, -1}, {134, false, -1}, {13, true, -1}},
       {"run 0 press 1", "run 0 release 1", "run 15 press 2"}},
      {"91 then a button an entry takes: press and release reach it, the release of 91 is swallowed",
       {{kButton1, 3}},
       {{91, true, -1}, {0xC1, true, -1}, {91, false, -1}, {0xC1, false, -1}, {0xC1, true, -1}},
       {"run 5 press 3", "run 5 release 3", "run 5 press 3"}},
      {"91 then a key nobody takes: the combination is replayed, then four events pass (state 6)",
       {},
       {{91, true, -1}, {letterA, true, -1}, {91, false, -1}, {letterA, false, -1}, {91, true, 0},
        {letterA, true, 0}, {91, false, 0}, {letterA, false, 0}},
       {"inject 91 up", "inject 65 up", "inject 91 down", "inject 65 down"}},
      {"in state 6 a release of the replayed key is swallowed",
       {},
       {{91, true, -1}, {letterA, true, -1}, {91, false, -1}, {letterA, false, -1}},
       {"inject 91 up", "inject 65 up", "inject 91 down", "inject 65 down"}},
      {"92 is swallowed with its release (state 7)",
       {},
       {{92, true, -1}, {92, false, -1}, {92, false, 0}},
       {}},
      {"key 223 passes untouched and a stale marker is swallowed", {}, {{223, true, 0}, {0, false, -1}}, {}},
  };
  for (const Scenario& s : scenarios) {
    Run(s);
    for (const Binding& b : s.bindings) BindButton(b.index, 0, nullptr, nullptr, FALSE);
    ResetButtonEngine();
    g_log.clear();
  }
}

TEST_F(ButtonEngineTest, ReleaseInStateSixAfterCountdown) {
  // The countdown of 4 runs out: the fifth event after the replay is judged normally again.
  Run({"countdown",
       {{kButton1, 3}},
       {{91, true, -1}, {65, true, -1}, {91, false, -1}, {91, true, 0}, {91, false, 0}, {91, true, 0},
        {91, false, 0}, {0xC1, true, -1}},
       {"inject 91 up", "inject 65 up", "inject 91 down", "inject 65 down", "run 5 press 3"}});
}

TEST_F(ButtonEngineTest, LockedButtonsReachOnlyUnlockAndPermittedEntries) {
  const int letterA = KeyIndex('A'), letterB = KeyIndex('B');
  ASSERT_GE(letterA, 0);
  ASSERT_GE(letterB, 0);
  GetSettings()->permitActions = 1;
  BindButton(kButton1, 17, nullptr, RecordHandler, FALSE);
  BindButton(letterA, 4, nullptr, RecordHandler, FALSE);  // stop: not allowed while locked
  BindButton(letterB, 5, nullptr, RecordHandler, FALSE);  // next: allowed while locked
  ButtonState().lockState = 1;
  const Key keys[] = {{'A', true, -1}, {'A', false, -1}, {'C', true, -1}, {'B', true, -1}, {0xC1, true, -1}};
  for (const Key& k : keys) EXPECT_EQ(Feed(k.vk, k.press), k.expected) << k.vk;
  EXPECT_EQ(g_log, (std::vector<std::string>{"run " + std::to_string(letterB) + " press 5", "run 5 press 17"}));

  // Without the permission only the unlock entry is left.
  g_log.clear();
  GetSettings()->permitActions = 0;
  EXPECT_EQ(Feed('B', true), -1);
  EXPECT_TRUE(g_log.empty());

  // A passing event of state 6 still passes while locked.
  ButtonState().engineState = 6;
  ButtonState().heldKey = 4;
  ButtonState().stateKey = 'Z';
  EXPECT_EQ(Feed('Q', true), 0);
}

TEST_F(ButtonEngineTest, CaptureWindowLearnsTheButtonInsteadOfTheHandlers) {
  HWND capture = CreateWindowExW(0, u"STATIC", u"", 0, 0, 0, 10, 10, nullptr, nullptr, Program().instance, nullptr);
  ASSERT_NE(capture, nullptr);
  BindButton(kButton1, 3, nullptr, RecordHandler, FALSE);
  SetCaptureWindow(capture);
  ButtonState().lockState = 1;  // a capture window lifts the lock
  EXPECT_EQ(Feed(0xC1, true), -1);
  EXPECT_EQ(Feed(0xC1, false), -1);
  EXPECT_TRUE(g_log.empty());
  std::vector<std::pair<WPARAM, LPARAM>> got;
  MSG msg;
  while (PeekMessageW(&msg, capture, 1428, 1428, PM_REMOVE)) got.emplace_back(msg.wParam, msg.lParam);
  EXPECT_EQ(got, (std::vector<std::pair<WPARAM, LPARAM>>{{kButton1, 0}, {kButton1, 2}}));
  DestroyWindow(capture);
  // A capture window that is gone no longer lifts the lock nor learns anything.
  EXPECT_EQ(Feed(0xC1, true), -1);
  EXPECT_TRUE(g_log.empty());
}

TEST_F(ButtonEngineTest, KeyMessagesAndHotKeysReachTheEngine) {
  BindButton(kButton1, 3, nullptr, RecordHandler, FALSE);
  BindButton(kEnter, 2, nullptr, RecordHandler, FALSE);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT expected;
    const char* log;  // nullptr: nothing ran
  };
  const Case cases[] = {
      {"a key press", WM_KEYDOWN, 13, 0, 1, "run 15 press 2"},
      {"its release", WM_KEYUP, 13, 0, 1, "run 15 release 2"},
      {"a press of a key from 160 up is left to the hot key", WM_KEYDOWN, 0xC1, 0, 0, nullptr},
      {"a hot key names its key in lParam", WM_HOTKEY, 99, MAKELPARAM(MOD_WIN, 0xC1), 1, "run 5 press 3"},
      {"a hot key release", WM_HOTKEY, 99, MAKELPARAM(MOD_WIN | 0x1000, 0xC1), 1, "run 5 release 3"},
      {"a hot key without a key is named by its id", WM_HOTKEY, kButton1 + 1, 0, 1, "run 5 press 3"},
      {"other messages are not keys", WM_CHAR, 13, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    g_log.clear();
    EXPECT_EQ(OnButtonKey(nullptr, c.message, c.wParam, c.lParam), c.expected) << c.name;
    EXPECT_EQ(g_log, c.log ? std::vector<std::string>{c.log} : std::vector<std::string>{}) << c.name;
  }
}

TEST_F(ButtonEngineTest, TheHookRunsTheEngineForEveryKey) {
  UnhookWindowsHookEx(hook_);  // the engine's hook alone: injected keys go on to it
  hook_ = nullptr;
  BindButton(kButton1, 3, nullptr, RecordHandler, TRUE);
  ASSERT_TRUE(IsButtonHookInstalled());
  keybd_event(0xC1, 0, 0, 0);
  keybd_event(0xC1, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"run 5 press 3", "run 5 release 3"}));
  // An arrow comes back through the hook as its marker at once and reaches its entry.
  BindButton(kUp, 8, nullptr, RecordHandler, TRUE);
  g_log.clear();
  keybd_event(38, 0, 0, 0);
  keybd_event(38, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(g_log, (std::vector<std::string>{"run 1 press 8", "run 1 release 8"}));
  StopButtonMapping();
  EXPECT_FALSE(IsButtonHookInstalled());
}

TEST_F(ButtonEngineTest, ActionHeldAsksTheKeysAndResetsTheirState) {
  BindButton(kButton1, 29, nullptr, RecordHandler, FALSE);
  EXPECT_EQ(IsActionHeld(29, FALSE), 0);
  EXPECT_EQ(IsActionHeld(0, FALSE), 0);
  keybd_event(0xC1, 0, 0, 0);  // taken by the test's hook, but the key is down for the device
  EXPECT_EQ(IsActionHeld(29, FALSE), 1);
  keybd_event(0xC1, 0, KEYEVENTF_KEYUP, 0);
  ButtonState().engineState = 3;
  EXPECT_EQ(IsActionHeld(29, TRUE), 0);
  EXPECT_EQ(ButtonState().engineState, 0);
  ButtonState().engineState = 1;  // the action key's state does not belong to a numbered button
  IsActionHeld(29, TRUE);
  EXPECT_EQ(ButtonState().engineState, 1);
}

}  // namespace
}  // namespace zb::testing
