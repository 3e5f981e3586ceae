// Plug-in actions in the button slots across restarts: the slots name actions by number, the
// numbers change when the plug-ins register in another order, and the "Actions" key brings each
// slot back to the action it meant. Button events reach the main window as control messages.
#include <algorithm>

#include "callback_plugin_fixture.h"
#include "core/window/button_command_callback.h"
#include "core/window/main_window_messages.h"
#include "core/window/main_window_neighbours.h"
#include "player_message_support.h"

namespace zb::testing {
namespace {

constexpr WCHAR kActions[] = u"Software\\Kestrane\\Zonbrel\\2.0\\Actions";

std::u16string ActionText(DWORD number, const char16_t* part) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kActions, 0, KEY_READ, &key) != ERROR_SUCCESS) return u"(no key)";
  WCHAR name[64], value[MAX_PATH] = {};
  wsprintfW(name, u"Action.%d.%s", static_cast<int>(number), part);
  DWORD size = sizeof value;
  const LONG read = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS ? std::u16string(value) : u"(missing)";
}

std::vector<std::u16string> ValueNames() {
  std::vector<std::u16string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kActions, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    WCHAR name[128];
    DWORD chars = 128;
    if (RegEnumValueW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, chars);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

void SetActionValue(DWORD number, const char16_t* part, const char16_t* text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kActions, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  WCHAR name[64];
  wsprintfW(name, u"Action.%d.%s", static_cast<int>(number), part);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>((wcslen(text) + 1) * 2));
  const DWORD max = 33;
  RegSetValueExW(key, u"Max", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&max), sizeof max);
  RegCloseKey(key);
}

class ButtonActions : public CallbackPluginTest {
 protected:
  void SetOrder(const char* order) { WriteDeviceFile(u"\\actions_order.txt", order); }
  DWORD Slot(int slot) { return GetSettings()->GetButtonCommand(slot); }
};

TEST_F(ButtonActions, BindingsSurviveARestartInWhichTheIdsChange) {
  SetOrder("AB");
  Start();
  const int alpha = CommandId(u"Alpha"), beta = CommandId(u"Beta");
  ASSERT_EQ(alpha, 34);
  ASSERT_EQ(beta, 35);
  GetSettings()->SetButtonCommand(0, static_cast<DWORD>(alpha));
  GetSettings()->SetButtonCommand(1, static_cast<DWORD>(beta));
  GetSettings()->SetButtonCommand(2, 5);  // a command of the player's own
  GetSettings()->SetButtonCommand(3, 33);

  SetOrder("BA");
  Restart();
  EXPECT_EQ(CommandId(u"Alpha"), 35);
  EXPECT_EQ(CommandId(u"Beta"), 34);
  EXPECT_EQ(Slot(0), 35u);
  EXPECT_EQ(Slot(1), 34u);
  EXPECT_EQ(Slot(2), 5u);
  EXPECT_EQ(Slot(3), 33u);
  EXPECT_EQ(ButtonActionName(static_cast<int>(Slot(0))), u"Alpha");

  // And back again, through a save made with the new numbers.
  SetOrder("AB");
  Restart();
  EXPECT_EQ(Slot(0), 34u);
  EXPECT_EQ(Slot(1), 35u);
  // The key holds what the run before saved: Alpha was 35 then.
  EXPECT_EQ(ActionText(35, u"Name"), u"Alpha");
  EXPECT_EQ(ActionText(34, u"Name"), u"Beta");
  EXPECT_NE(ActionText(35, u"Dll").find(u"gen_callback.dll"), std::u16string::npos);
}

TEST_F(ButtonActions, SavingWritesTheSlotsActionsAndDropsTheRest) {
  SetOrder("AB");
  // A key of an earlier run: action 40 of a library that is gone, and a stray value.
  SetActionValue(40, u"Dll", u"\\Program Files\\Zonbrel\\gen_gone.dll");
  SetActionValue(40, u"Name", u"Gone");
  Start();
  GetSettings()->SetButtonCommand(0, 35);
  Restart();
  EXPECT_EQ(ValueNames(), (std::vector<std::u16string>{u"Action.35.Dll", u"Action.35.Name", u"Max"}));
  EXPECT_EQ(ActionText(35, u"Name"), u"Beta");
  // No plug-in action in any slot: the key keeps "Max" alone.
  GetSettings()->SetButtonCommand(0, 0);
  Restart();
  EXPECT_EQ(ValueNames(), std::vector<std::u16string>{u"Max"});
}

TEST_F(ButtonActions, SlotsWhoseActionIsUnknownAreClearedAndAKeyWithoutMaxChangesNothing) {
  SetOrder("AB");
  Start();
  GetSettings()->SetButtonCommand(0, 40);  // nothing is stored for 40
  GetSettings()->SetButtonCommand(1, 34);
  core_.reset();
  // The key lost its "Max": the slots stay as they were saved.
  DestroySettings();
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kActions, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueW(key, u"Max");
  RegCloseKey(key);
  Start();
  EXPECT_EQ(Slot(0), 40u);
  EXPECT_EQ(Slot(1), 34u);
  // The slots were not mapped in this run: the save leaves the key as it found it.
  core_.reset();
  EXPECT_EQ(ValueNames(), (std::vector<std::u16string>{u"Action.34.Dll", u"Action.34.Name"}));
  DestroySettings();
  // With "Max" back, 40 has no library value and ends up 0.
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kActions, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  const DWORD max = 33;
  RegSetValueExW(key, u"Max", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&max), sizeof max);
  RegCloseKey(key);
  Start();
  EXPECT_EQ(Slot(0), 0u);
  EXPECT_EQ(Slot(1), 34u);
}

TEST_F(ButtonActions, AButtonRunsItsActionAndNamesIt) {
  SetOrder("AB");
  Start();
  EXPECT_EQ(RunButtonAction(34, 1), 1);
  EXPECT_EQ(RunButtonAction(32, 1), 0);  // the player's own commands are not actions
  EXPECT_EQ(RunButtonAction(99, 1), 0);
  EXPECT_EQ(ButtonActionName(35), u"Beta");
  EXPECT_EQ(ButtonActionName(99), u"");
}

TEST_F(ButtonActions, AButtonEventBeforeTheMainWindowIsReadyPostsNothing) {
  SetOrder("AB");
  Start();
  PumpStandIns();
  SetWindowLongW(window_.Handle(), GWL_USERDATA, 0);
  ButtonCommandCallback(0, MAKELONG(34, 1), nullptr);
  std::vector<WindowMessage> seen = PumpStandIns();
  EXPECT_TRUE(std::none_of(seen.begin(), seen.end(), [](const WindowMessage& m) { return m.message == WM_ZB_CONTROL; }));
  SetWindowLongW(window_.Handle(), GWL_USERDATA, 1);
  ButtonCommandCallback(0, MAKELONG(34, 2), nullptr);
  seen = PumpStandIns();
  auto control = std::find_if(seen.begin(), seen.end(), [](const WindowMessage& m) { return m.message == WM_ZB_CONTROL; });
  ASSERT_NE(control, seen.end());
  EXPECT_EQ(control->wParam, 34u);
  EXPECT_EQ(control->lParam, 2);
}

}  // namespace
}  // namespace zb::testing
