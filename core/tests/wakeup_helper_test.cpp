// Call handling and the wake-up helper on each system generation: newest systems watch the
// phone's registry state, version-4 systems get the shell's event keys, older ones get the helper
// written out and registered for the wake-up event. The platform's wake-up starts the real
// `zonbrelwakeup`, which removes its entry, finds the player's window and posts 1357 with its
// process id; the player waits for it (on a timer, the window keeps answering) and registers it
// again. A wake-up message naming any other running process is ignored.
#include <gtest/gtest.h>

#include <notify.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "core/device/call_handling.h"
#include "core/settings/registry_values.h"
#include "main_window_fixture.h"
#include "testing/test_clock.h"
#include "testing/test_power.h"

namespace zb::testing {
namespace {

using namespace std::chrono_literals;

struct Registration {
  std::u16string application, arguments;
  DWORD type = 0, event = 0;
};

std::vector<Registration> Registrations() {
  std::vector<Registration> out;
  DWORD count = 0;
  CeGetUserNotificationHandles(nullptr, 0, &count);
  std::vector<HANDLE> handles(count);
  if (count && !CeGetUserNotificationHandles(handles.data(), count, &count)) return out;
  for (HANDLE h : handles) {
    DWORD needed = 0;
    CeGetUserNotification(h, 0, &needed, nullptr);
    std::vector<BYTE> buffer(needed);
    if (!needed || !CeGetUserNotification(h, needed, &needed, buffer.data())) continue;
    const auto* header = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
    out.push_back({header->pcent->lpszApplication, header->pcent->lpszArguments, header->pcent->dwType,
                   header->pcent->dwEvent});
  }
  return out;
}

HANDLE AddRegistration(const WCHAR* application) {
  std::u16string app(application);
  CE_NOTIFICATION_TRIGGER trigger{52, CNT_EVENT, NOTIFICATION_EVENT_WAKEUP, app.data(), nullptr, {}, {}};
  return CeSetUserNotificationEx(nullptr, &trigger, nullptr);
}

class OlderSystemTest : public MainWindowTest {
 protected:
  OlderSystemTest() {
    device.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[os]\nmajor = 3\n");
  }
  void TearDown() override {
    ReleaseClock();
    MainWindowTest::TearDown();
  }
  std::filesystem::path HelperHost() const {
    const std::u16string path = GetWakeupHelperPath(FALSE);
    std::u16string relative = path.substr(1);
    for (auto& c : relative)
      if (c == u'\\') c = u'/';
    return device.Host(ToUtf8(relative));
  }
  // Pumps the window until `done` or `limit` of host time.
  template <class Done>
  bool PumpUntil(Done done, std::chrono::milliseconds limit = 10000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      PumpMainThread();
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
};

TEST_F(OlderSystemTest, StartingWritesOutTheHelperAndRegistersItForTheWakeUp) {
  const std::u16string path = GetWakeupHelperPath(FALSE);
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(path.ends_with(u"\\zonbrelwakeup.exe"));
  EXPECT_EQ(GetFileAttributesW(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(ReadBytes(HelperHost()), ReadBytes(ZONBRELWAKEUP_PATH)) << "the helper program itself";
  const std::vector<Registration> all = Registrations();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].application, path);
  EXPECT_EQ(all[0].arguments, u"Zonbrel") << "the main window's class";
  EXPECT_EQ(all[0].type, static_cast<DWORD>(CNT_EVENT));
  EXPECT_EQ(all[0].event, static_cast<DWORD>(NOTIFICATION_EVENT_WAKEUP));
  EXPECT_NE(WakeupNotificationHandle(), nullptr);
}

TEST_F(OlderSystemTest, TheHelperTellsThePlayerWhichWaitsAndRegistersItAgain) {
  const HANDLE first = WakeupNotificationHandle();
  ASSERT_NE(first, nullptr);
  const std::vector<DWORD> started = RaiseWakeupEvent();
  ASSERT_EQ(started.size(), 1u);
  // The helper ends by itself after its post; its entry goes with it.
  HANDLE helper = OpenProcess(0, FALSE, started[0]);
  if (helper) {
    EXPECT_EQ(WaitForSingleObject(helper, 20000), WAIT_OBJECT_0);
    CloseHandle(helper);
  }
  EXPECT_TRUE(Registrations().empty()) << "the helper removed its own entry";
  MSG peek;
  ASSERT_TRUE(PeekMessageW(&peek, window, WM_ZB_SUSPEND, WM_ZB_SUSPEND, PM_NOREMOVE));
  EXPECT_EQ(static_cast<DWORD>(peek.lParam), started[0]) << "1357 names the helper's process";
  // The player hears 1357 with the helper's id and registers the helper again.
  ASSERT_TRUE(PumpUntil([&] { return Registrations().size() == 1 && WakeupNotificationHandle() != first; }));
  EXPECT_EQ(Registrations()[0].arguments, u"Zonbrel");
  EXPECT_FALSE(IsHelperWaitRunning());
}

TEST_F(OlderSystemTest, AWakeUpMessageFromAnyOtherProcessIsIgnored) {
  const HANDLE registered = WakeupNotificationHandle();
  // A running process that is not the helper.
  PostMessageW(window, WM_ZB_SUSPEND, 0, static_cast<LPARAM>(GetCurrentProcessId()));
  // A process that no longer runs, while the helper's entry is still in place.
  PostMessageW(window, WM_ZB_SUSPEND, 0, 0x7FFFFFF0);
  for (int i = 0; i < 20; ++i) PumpMainThread();
  EXPECT_FALSE(IsHelperWaitRunning());
  ASSERT_FALSE(PumpUntil([&] { return WakeupNotificationHandle() != registered; }, 1500ms));
  EXPECT_EQ(Registrations().size(), 1u);
}

TEST_F(OlderSystemTest, TheWaitForTheHelperIsBoundedAndKeepsTheWindowAnswering) {
  // A helper that does not end: a long-running program under the helper's name.
  const std::filesystem::path host = HelperHost();
  std::filesystem::permissions(host, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  std::filesystem::copy_file("/bin/sleep", host, std::filesystem::copy_options::overwrite_existing);
  std::u16string line = u"60";
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(GetWakeupHelperPath(FALSE).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, nullptr, &info));
  CeClearUserNotification(WakeupNotificationHandle());  // as the helper would have
  const HANDLE registered = WakeupNotificationHandle();
  TakeOverClock(1000000);
  PostMessageW(window, WM_ZB_SUSPEND, 0, static_cast<LPARAM>(info.dwProcessId));
  ASSERT_TRUE(PumpUntil([] { return IsHelperWaitRunning() != FALSE; }));
  // The window answers while it waits.
  EXPECT_EQ(SendMessageW(window, WM_ZB_REPAINT_ALL, 0, 0), 1);
  AdvanceClock(9000);
  for (int i = 0; i < 50; ++i) PumpMainThread();
  EXPECT_TRUE(IsHelperWaitRunning()) << "still within the 10 s";
  AdvanceClock(1100);
  ASSERT_TRUE(PumpUntil([] { return !IsHelperWaitRunning(); }));
  AdvanceClock(600);  // the half second after the wait
  ASSERT_TRUE(PumpUntil([&] { return WakeupNotificationHandle() != registered && Registrations().size() == 1; }));
  kill(static_cast<pid_t>(info.dwProcessId), SIGKILL);  // the stand-in helper this test started
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
}

TEST_F(OlderSystemTest, ClosingUnregistersAndDeletesTheHelper) {
  const std::u16string path = GetWakeupHelperPath(FALSE);
  AddRegistration(u"\\Windows\\other.exe");
  SendMessageW(window, WM_CLOSE, 1, 0);
  PumpMainThread();
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  const std::vector<Registration> left = Registrations();
  ASSERT_EQ(left.size(), 1u) << "only the player's own entries go";
  EXPECT_EQ(left[0].application, u"\\Windows\\other.exe");
}

TEST(ClearUserNotificationsTest, FullPathsMatchWholeOtherTextsMatchAnywhere) {
  ProductDevice device;
  const WCHAR* apps[] = {u"\\Temp\\zonbrelwakeup.exe", u"\\Windows\\ZONBRELWAKEUP.EXE", u"\\Temp\\other.exe"};
  struct Case {
    const WCHAR* clear;
    size_t left;
  };
  const Case cases[] = {{u"\\temp\\ZonbrelWakeup.exe", 2}, {u"zonbrelwakeup.exe", 2}, {u"\\Temp", 3}, {u"other", 2}};
  for (const Case& c : cases) {
    for (HANDLE h : [] {
           DWORD n = 0;
           CeGetUserNotificationHandles(nullptr, 0, &n);
           std::vector<HANDLE> all(n);
           if (n) CeGetUserNotificationHandles(all.data(), n, &n);
           return all;
         }())
      CeClearUserNotification(h);
    for (const WCHAR* app : apps) ASSERT_NE(AddRegistration(app), nullptr);
    ClearUserNotifications(c.clear);
    EXPECT_EQ(Registrations().size(), c.left) << ToUtf8(c.clear);
  }
}

class NewestSystemTest : public MainWindowTest {};

TEST_F(NewestSystemTest, OldEventKeysAreRemovedAndThePhoneStateIsWatched) {
  // Keys an older version of the player left.
  RegKey old;
  ASSERT_EQ(old.Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shell\\Events\\PowerOn\\Zonbrel"), ERROR_SUCCESS);
  old.Close();
  RegisterCallHandling(1, window, 0);
  RegKey probe;
  EXPECT_NE(probe.Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shell\\Events\\PowerOn\\Zonbrel", KEY_READ),
            ERROR_SUCCESS);
  EXPECT_TRUE(Registrations().empty()) << "no helper on a newer system";
  // A change of the phone's state reaches the window as 1361.
  RegKey phone;
  ASSERT_EQ(phone.Create(HKEY_LOCAL_MACHINE, u"System\\State\\Phone"), ERROR_SUCCESS);
  const DWORD inCall = 0x20000000;
  RegSetValueExW(phone.get(), u"Status", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&inCall), sizeof inCall);
  bool heard = false;
  MSG msg;
  for (int i = 0; i < 2000 && !heard; ++i) {
    heard = PeekMessageW(&msg, window, WM_ZB_PHONE_STATE, WM_ZB_PHONE_STATE, PM_NOREMOVE);
    if (!heard) std::this_thread::sleep_for(1ms);
  }
  EXPECT_TRUE(heard);
}

class VersionFourTest : public MainWindowTest {
 protected:
  VersionFourTest() { device.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n[os]\nmajor = 4\n"); }
};

TEST_F(VersionFourTest, TheShellsEventKeysNameTheWindowsMessages) {
  struct Case {
    const WCHAR* key;
    const WCHAR* value;
    DWORD message;
  };
  const Case cases[] = {
      {u"SOFTWARE\\Microsoft\\Shell\\Events\\PowerOn\\Zonbrel", u"On", 1357},
      {u"SOFTWARE\\Microsoft\\Shell\\Event\\CallConnect\\Zonbrel", u"ConnectMsg", 1358},
      {u"SOFTWARE\\Microsoft\\Shell\\Event\\CallConnect\\Zonbrel", u"DisconnectMsg", 1360},
      {u"SOFTWARE\\Microsoft\\Shell\\Event\\IncomingCall\\Zonbrel", u"IncomingBegMsg", 1358},
      {u"SOFTWARE\\Microsoft\\Shell\\Event\\IncomingCall\\Zonbrel", u"IncomingEndMsg", 1360},
  };
  for (const Case& c : cases) {
    RegKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, c.key, KEY_READ), ERROR_SUCCESS) << ToUtf8(c.key);
    DWORD value = 0, type = 0, size = sizeof value;
    ASSERT_EQ(RegQueryValueExW(key.get(), c.value, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, c.message) << ToUtf8(c.value);
  }
  EXPECT_TRUE(Registrations().empty());
}

}  // namespace
}  // namespace zb::testing
