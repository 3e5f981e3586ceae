// The power manager's notifications, the device's power states, the user-notification database
// and the process snapshot: records reach the queues that asked for them, cut to the queue's
// record size; device requests can fail on their own; database records can be deleted while
// being walked; and the snapshot names each running program.
#include <gtest/gtest.h>
#include <msgqueue.h>
#include <notify.h>
#include <pm.h>
#include <pnp.h>
#include <tlhelp32.h>
#include <windbase.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/notify_store.h"
#include "device/power_state.h"
#include "testing/test_device.h"

namespace {

namespace power = zb::device::power;

class PowerNotifyTest : public ::testing::Test {
 protected:
  void SetUp() override { power::Reset(); }
  void TearDown() override { power::Reset(); }
  static HANDLE ReadQueue(DWORD size) {
    MSGQUEUEOPTIONS options{sizeof options, 0, 0, size, TRUE};
    return CreateMsgQueue(nullptr, &options);
  }
  zb::testing::TestDevice device_;
};

TEST_F(PowerNotifyTest, BroadcastsReachTheQueuesThatAskedCutToTheirRecordSize) {
  HANDLE small = ReadQueue(20), large = ReadQueue(200);
  HANDLE a = RequestPowerNotifications(small, PBT_RESUME);
  HANDLE b = RequestPowerNotifications(large, PBT_RESUME | PBT_TRANSITION);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(power::Broadcast(PBT_TRANSITION, POWER_STATE_ON, u"on"), 1);
  EXPECT_EQ(power::Broadcast(PBT_RESUME, 0, u"resuming"), 2);
  BYTE buffer[200];
  DWORD got = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(small, buffer, sizeof buffer, &got, 0, &flags));
  EXPECT_EQ(got, 20u) << "12 bytes of head and 8 of the name";
  POWER_BROADCAST head;
  std::memcpy(&head, buffer, 12);
  EXPECT_EQ(head.Message, static_cast<DWORD>(PBT_RESUME));
  EXPECT_EQ(head.Length, 8u);
  EXPECT_FALSE(ReadMsgQueue(small, buffer, sizeof buffer, &got, 0, &flags)) << "the transition was not asked for";
  ASSERT_TRUE(ReadMsgQueue(large, buffer, sizeof buffer, &got, 0, &flags));
  std::memcpy(&head, buffer, 12);
  EXPECT_EQ(head.Message, static_cast<DWORD>(PBT_TRANSITION));
  EXPECT_TRUE(StopPowerNotifications(a));
  EXPECT_FALSE(StopPowerNotifications(a));
  EXPECT_EQ(power::Broadcast(PBT_RESUME, 0, u"x"), 1);
  EXPECT_TRUE(StopPowerNotifications(b));
  EXPECT_EQ(RequestPowerNotifications(nullptr, PBT_RESUME), nullptr);
  CloseMsgQueue(small);
  CloseMsgQueue(large);
}

TEST_F(PowerNotifyTest, DeviceRequestsNameTheirClassAndCanFailAlone) {
  const GUID audio{0x25D535D0, 0x5D7A, 0x4A35, {0x97, 0x41, 0xEC, 0xD0, 0xB0, 0x9F, 0xDB, 0x46}};
  HANDLE queue = ReadQueue(160);
  HANDLE request = RequestDeviceNotifications(&audio, queue, TRUE);
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(power::AnnounceDevice(audio, u"Headset", true), 1);
  BYTE buffer[160];
  DWORD got = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof buffer, &got, 0, &flags));
  const auto* detail = reinterpret_cast<const DEVDETAIL*>(buffer);
  EXPECT_TRUE(detail->fAttached);
  EXPECT_EQ(std::u16string(detail->szName), u"Headset");
  EXPECT_TRUE(StopDeviceNotifications(request));

  power::SetDeviceRequestsFail(true);
  EXPECT_EQ(RequestDeviceNotifications(&audio, queue, TRUE), nullptr);
  EXPECT_NE(RequestPowerNotifications(queue, PBT_RESUME), nullptr) << "power notifications still work";
  CloseMsgQueue(queue);
}

TEST_F(PowerNotifyTest, SystemAndDevicePowerStates) {
  WCHAR name[64];
  DWORD flags = 0;
  ASSERT_EQ(GetSystemPowerState(name, 64, &flags), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(std::u16string(name), u"on");
  EXPECT_EQ(flags, static_cast<DWORD>(POWER_STATE_ON));
  EXPECT_EQ(GetSystemPowerState(name, 2, &flags), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_IDLE, 0), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(power::LastRequestedFlags(), static_cast<DWORD>(POWER_STATE_IDLE));

  WCHAR keypad[] = u"KYL0:";
  CEDEVICE_POWER_STATE state = PwrDeviceUnspecified;
  ASSERT_EQ(SetDevicePower(keypad, POWER_NAME, D4), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(GetDevicePower(keypad, POWER_NAME, &state), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(state, D4);
  power::RefuseDeviceState(u"KYL0:", static_cast<int>(PwrDeviceUnspecified));
  EXPECT_NE(SetDevicePower(keypad, POWER_NAME, PwrDeviceUnspecified), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_NE(SetDevicePower(keypad, 0, D0), static_cast<DWORD>(ERROR_SUCCESS)) << "devices go by name";
}

TEST(NotifyDatabaseTest, RecordsCanBeDeletedWhileBeingWalked) {
  zb::testing::TestDevice device;
  std::vector<HANDLE> added;
  for (const WCHAR* app : {u"\\a.exe", u"\\b.exe", u"\\c.exe"}) {
    std::u16string path(app), args(u"x");
    CE_NOTIFICATION_TRIGGER trigger{52, CNT_EVENT, NOTIFICATION_EVENT_WAKEUP, path.data(), args.data(), {}, {}};
    added.push_back(CeSetUserNotificationEx(nullptr, &trigger, nullptr));
    ASSERT_NE(added.back(), nullptr);
  }
  CEOID oid = 0;
  WCHAR name[] = u"DB_notify_events";
  HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
  ASSERT_NE(db, INVALID_HANDLE_VALUE);
  std::vector<std::u16string> seen;
  for (;;) {
    WORD count = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    const CEOID record = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size);
    if (!record) break;
    const auto* values = reinterpret_cast<const CEPROPVAL*>(buffer);
    ASSERT_GE(count, 1);
    ASSERT_EQ(HIWORD(values[0].propid), 1) << "property 1 is the application";
    seen.push_back(values[0].val.lpwstr);
    if (seen.back() != u"\\c.exe") EXPECT_TRUE(CeDeleteRecord(db, record));
    LocalFree(buffer);
    DWORD index = 0;
    if (!CeSeekDatabase(db, CEDB_SEEK_CURRENT, 1, &index)) break;
  }
  CloseHandle(db);
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"\\a.exe", u"\\b.exe", u"\\c.exe"}));
  DWORD left = 0;
  CeGetUserNotificationHandles(nullptr, 0, &left);
  EXPECT_EQ(left, 1u);
  WCHAR other[] = u"DB_other";
  EXPECT_EQ(CeOpenDatabase(&oid, other, 0, 0, nullptr), INVALID_HANDLE_VALUE);
  std::u16string tab(u"\\bad\tname.exe");
  CE_NOTIFICATION_TRIGGER bad{52, CNT_EVENT, NOTIFICATION_EVENT_WAKEUP, tab.data(), nullptr, {}, {}};
  EXPECT_EQ(CeSetUserNotificationEx(nullptr, &bad, nullptr), nullptr) << "a text the store cannot keep";
}

TEST(ToolhelpTest, TheSnapshotNamesThisProcess) {
  zb::testing::TestDevice device;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ProcessID == GetCurrentProcessId()) found = std::u16string(entry.szExeFile) == u"coredll_tests";
  EXPECT_TRUE(found);
  EXPECT_TRUE(CloseToolhelp32Snapshot(snapshot));
}

}  // namespace
