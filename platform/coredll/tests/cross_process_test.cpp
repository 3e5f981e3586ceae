// Named objects across real processes of one device: a pulse in one process wakes a waiter in
// another, names report ERROR_ALREADY_EXISTS across processes, queues carry records between
// them, and a process that dies holding a mutex leaves it abandoned rather than lost.
#include <gtest/gtest.h>
#include <windows.h>

#include <csignal>
#include <vector>

#include "coredll/tests/support.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

namespace {

using zb::testing::ReapHelper;
using zb::testing::SpawnHelper;
using zb::testing::TimedWaiters;
using zb::testing::WaitUntil;

class CrossProcessTest : public ::testing::Test {
 protected:
  zb::testing::TestDevice device_;
};

struct PulseCase {
  const char* name;
  DWORD func;
  int expectExit;  // helper: 0 woken, 1 timed out
};

void PrintTo(const PulseCase& c, std::ostream* os) { *os << c.name; }

class CrossProcessSignalTest : public CrossProcessTest, public ::testing::WithParamInterface<PulseCase> {};

TEST_P(CrossProcessSignalTest, ReachesAWaiterInAnotherProcess) {
  const PulseCase& c = GetParam();
  // The device's test clock is shared with the helper: its time-out passes when this test says.
  zb::testing::TakeOverClock(0);
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Zonbrel/Test/Cross");
  ASSERT_NE(event, nullptr);
  pid_t helper = SpawnHelper({"wait-event", "Zonbrel/Test/Cross", "3000"});
  ASSERT_GT(helper, 0);
  ASSERT_TRUE(WaitUntil([] { return TimedWaiters() == 1; })) << "helper never waited";
  ASSERT_TRUE(EventModify(event, c.func));
  zb::testing::AdvanceClock(3000);
  EXPECT_EQ(ReapHelper(helper), c.expectExit);
  CloseHandle(event);
}

constexpr PulseCase kPulseCases[] = {
    {"Pulse", EVENT_PULSE, 0},
    {"Set", EVENT_SET, 0},
    {"ResetWakesNobody", EVENT_RESET, 1},
};

INSTANTIATE_TEST_SUITE_P(Named, CrossProcessSignalTest, ::testing::ValuesIn(kPulseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CrossProcessTest, PulseWithNobodyWaitingIsNotKeptForALaterWaiter) {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Zonbrel/Test/Late");
  ASSERT_TRUE(PulseEvent(event));
  EXPECT_EQ(ReapHelper(SpawnHelper({"wait-event", "Zonbrel/Test/Late", "50"})), 1);
  CloseHandle(event);
}

TEST_F(CrossProcessTest, SecondCreateReportsAlreadyExistsAcrossProcesses) {
  EXPECT_EQ(ReapHelper(SpawnHelper({"create-event", "Zonbrel/Test/Exists"})), 1);  // nobody holds it
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Test/Exists");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(ReapHelper(SpawnHelper({"create-event", "Zonbrel/Test/Exists"})), 0);
  CloseHandle(event);
  EXPECT_EQ(ReapHelper(SpawnHelper({"create-event", "Zonbrel/Test/Exists"})), 1);  // gone with its last handle
}

TEST_F(CrossProcessTest, QueueCarriesRecordsOfTheExactSizesWritten) {
  MSGQUEUEOPTIONS options{sizeof options, MSGQUEUE_ALLOW_BROKEN, 0, 256, TRUE};
  HANDLE reader = CreateMsgQueue(u"Zonbrel/Test/Queue", &options);
  ASSERT_NE(reader, nullptr);
  const std::vector<int> sizes{160, 44, 1, 256, 0, 7};
  std::vector<std::string> args{"write-queue", "Zonbrel/Test/Queue"};
  for (int s : sizes) args.push_back(std::to_string(s));
  ASSERT_EQ(ReapHelper(SpawnHelper(args)), 0);
  for (int size : sizes) {
    BYTE buffer[300];
    DWORD read = 0;
    ASSERT_TRUE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 5000, nullptr)) << size;
    ASSERT_EQ(read, static_cast<DWORD>(size));
    for (int b = 0; b < size; ++b) ASSERT_EQ(buffer[b], static_cast<BYTE>(b + size));
  }
  DWORD read = 0;
  BYTE b;
  EXPECT_FALSE(ReadMsgQueue(reader, &b, 1, &read, 0, nullptr));
  CloseMsgQueue(reader);
}

TEST_F(CrossProcessTest, MutexOfACrashedProcessComesAbandonedAndItsNameIsReclaimed) {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Test/Held/ready");
  pid_t helper = SpawnHelper({"hold-mutex", "Zonbrel/Test/Held"});
  ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, u"Zonbrel/Test/Held");
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
  kill(helper, SIGKILL);
  EXPECT_EQ(ReapHelper(helper), 128 + SIGKILL);
  // The opener that looks next finds the owner dead: the mutex is handed on, abandoned.
  HANDLE probe = CreateMutexW(nullptr, FALSE, u"Zonbrel/Test/Held");
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED_0);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(probe);
  CloseHandle(mutex);
  CloseHandle(ready);
  // The dead process's reference is gone too: the name is free again.
  HANDLE fresh = CreateMutexW(nullptr, FALSE, u"Zonbrel/Test/Held");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(fresh);
}

TEST_F(CrossProcessTest, WaitOnAProcessOpenedByIdEndsWhenItDies) {
  pid_t helper = SpawnHelper({"wait-event", "Zonbrel/Test/Never", "60000"});
  ASSERT_TRUE(WaitUntil([] { return TimedWaiters() == 1; }));
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(helper));
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_TIMEOUT);
  kill(helper, SIGKILL);
  EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  ReapHelper(helper);
  CloseHandle(process);
  EXPECT_EQ(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(helper)), nullptr);
}

}  // namespace
