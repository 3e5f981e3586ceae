// The kernel segment itself: one per device, its lock recovered from a process that died holding
// it, and the references and waits of dead processes reclaimed by the sweep.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "device/device.h"
#include "device/kernel_objects.h"
#include "testing/test_device.h"

namespace zb::kernel {
namespace {

TEST(KernelSegment, EachDeviceHasItsOwnSegment) {
  Segment* first;
  {
    testing::TestDevice a;
    first = &Current();
    EXPECT_EQ(&Current(), first);
    Created e = CreateEvent(u"Only/Here", {});
    ASSERT_EQ(e.status, Status::Ok);
    testing::TestDevice b;
    EXPECT_NE(&Current(), first);
    EXPECT_EQ(OpenNamed(Kind::Event, u"Only/Here").status, Status::Invalid);
    Release(e.ref);
  }
}

TEST(KernelSegment, LockHeldByADeadProcessIsRecovered) {
  testing::TestDevice device;
  Created e = CreateEvent(u"Recovered", {true, false});
  pid_t child = fork();
  if (child == 0) {
    // Dies holding the lock, in the middle of nothing in particular.
    new Locked(Current());
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  // Would hang without robust recovery; a bounded wait keeps the test from hanging instead.
  EXPECT_EQ(ModifyEvent(e.ref, EventOp::Set), Status::Ok);
  const ObjectRef refs[] = {e.ref};
  EXPECT_EQ(Wait(refs, false, 0).status, Status::Ok);
  Release(e.ref);
}

TEST(KernelSegment, ReferencesOfADeadProcessAreSweptAway) {
  testing::TestDevice device;
  Current();
  pid_t child = fork();
  if (child == 0) {
    // A second process (own pid) that makes a named event and dies without closing it.
    RegisterProcess(ThisPid(), ProcessStartTime(ThisPid()));
    CreateEvent(u"Left/Behind", {});
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  Created again = CreateEvent(u"Left/Behind", {});
  EXPECT_EQ(again.status, Status::Ok) << "the dead process's name should be gone";
  Release(again.ref);
}

TEST(KernelSegment, UnusableSegmentFileFallsBackToAPrivateSegment) {
  testing::TestDevice device;
  std::filesystem::create_directories(device::StateFolder() / "kernel-v1.seg");  // in the way
  Created e = CreateEvent(u"Still/Works", {true, true});
  ASSERT_EQ(e.status, Status::Ok);
  const ObjectRef refs[] = {e.ref};
  EXPECT_EQ(Wait(refs, false, 0).status, Status::Ok);
  Release(e.ref);
  std::ifstream log(device::StateFolder() / "debug.log");
  std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("objects stay in this process"), std::string::npos);
}

TEST(KernelSegment, ProcessLivenessKnowsReusedPidsByStartTime) {
  EXPECT_TRUE(ProcessAlive(ThisPid(), ProcessStartTime(ThisPid())));
  EXPECT_FALSE(ProcessAlive(ThisPid(), ProcessStartTime(ThisPid()) + 1));
  EXPECT_FALSE(ProcessAlive(0, 0));
}

}  // namespace
}  // namespace zb::kernel
