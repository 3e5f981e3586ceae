// The player's named events: client numbers, names already taken in the system, and one raise
// reaching a client in another process both through its own event and through the pulse.
#include <gtest/gtest.h>

#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "core/common/named_events.h"
#include "product_device.h"

namespace zb::testing {
namespace {

constexpr char16_t kTitle[] = u"Zonbrel/Stream/Title";

bool IsSet(const std::u16string& name) {
  HANDLE h = CreateEventW(nullptr, FALSE, FALSE, name.c_str());
  bool set = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
  CloseHandle(h);
  return set;
}

class NamedEvents : public ::testing::Test {
 protected:
  void TearDown() override { CloseEventWaiters(); }
  ProductDevice device;
};

TEST_F(NamedEvents, ClientsAreNumberedFromTwoAndSkipNamesThatExist) {
  EXPECT_EQ(RegisterEventWaiter(kTitle), 2u);
  EXPECT_EQ(RegisterEventWaiter(kTitle), 3u);
  HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, u"Zonbrel/Stream/Open5");  // someone else's
  EXPECT_EQ(RegisterEventWaiter(u"Zonbrel/Stream/Open"), 4u);
  EXPECT_EQ(RegisterEventWaiter(u"Zonbrel/Stream/Open"), 6u);
  CloseHandle(taken);
  EXPECT_EQ(RegisterEventWaiter(nullptr), 0u);
  EXPECT_EQ(RegisterEventWaiter(u""), 0u);
}

TEST_F(NamedEvents, RaisingSetsOnlyTheClientsOfThatName) {
  const DWORD title = RegisterEventWaiter(kTitle);
  const DWORD open = RegisterEventWaiter(u"Zonbrel/Stream/Open");
  // Holding the client events keeps them alive when this test opens and closes them below.
  HANDLE titleEvent = CreateEventW(nullptr, FALSE, FALSE, (kTitle + std::u16string(u"2")).c_str());
  HANDLE openEvent = CreateEventW(nullptr, FALSE, FALSE, u"Zonbrel/Stream/Open3");
  ASSERT_EQ(title, 2u);
  ASSERT_EQ(open, 3u);
  RaiseNamedEvent(kTitle);
  EXPECT_EQ(WaitForSingleObject(titleEvent, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(openEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  RaiseNamedEvent(u"zonbrel/stream/title");  // names compare exactly
  EXPECT_EQ(WaitForSingleObject(titleEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(titleEvent);
  CloseHandle(openEvent);
}

TEST_F(NamedEvents, UnregisteringClosesOneClientAndAnUnknownNumberChangesNothing) {
  RegisterEventWaiter(kTitle);
  RegisterEventWaiter(kTitle);
  HANDLE three = CreateEventW(nullptr, FALSE, FALSE, (kTitle + std::u16string(u"3")).c_str());
  UnregisterEventWaiter(99);
  UnregisterEventWaiter(2);
  // Number 2 is gone from the system (nobody holds it); 3 still gets the raise.
  SetLastError(0);
  HANDLE two = CreateEventW(nullptr, FALSE, FALSE, (kTitle + std::u16string(u"2")).c_str());
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(two);
  RaiseNamedEvent(kTitle);
  EXPECT_EQ(WaitForSingleObject(three, 0), WAIT_OBJECT_0);
  CloseHandle(three);
}

// Starts the client program; the device reaches it through ZONBREL_DEVICE.
pid_t StartClient(std::vector<std::string> args) {
  std::string path = EVENT_CLIENT_PATH;
  std::vector<char*> argv{path.data()};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

TEST_F(NamedEvents, ARaiseReachesAClientInAnotherProcessThroughItsEventsAndThePulse) {
  ASSERT_EQ(RegisterEventWaiter(kTitle), 2u);
  ASSERT_EQ(RegisterEventWaiter(kTitle), 3u);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (kTitle + std::u16string(u"/ready")).c_str());
  pid_t client = StartClient({"Zonbrel/Stream/Title", "2", "3"});
  ASSERT_GT(client, 0);
  ASSERT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
  // The client may not be waiting yet at the first pulse; raises repeat until it has seen one.
  int status = 0;
  bool ended = false;
  for (int round = 0; round < 1500 && !ended; ++round) {
    RaiseNamedEvent(kTitle);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ended = waitpid(client, &status, WNOHANG) == client;
  }
  if (!ended) {
    kill(client, SIGKILL);
    waitpid(client, &status, 0);
  }
  ASSERT_TRUE(ended);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "3: no pulse arrived, 4: a client event was not set, 5: the event stayed set";
  // The plain event is pulsed, never left set.
  EXPECT_FALSE(IsSet(kTitle));
  CloseHandle(ready);
}

}  // namespace
}  // namespace zb::testing
