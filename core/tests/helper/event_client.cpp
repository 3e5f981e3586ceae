// A client of the player's named events in a process of its own, as the Today item is: it opens
// the client events it was given numbers for and the plain event, says it is ready, and checks
// what one raise of the name delivered. The exit code says what it saw (0 = all as expected).
#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::u16string Wide(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

enum Outcome {
  kAsExpected = 0,
  kNotRegistered = 2,   // a client event did not exist before the client opened it
  kNoPulse = 3,         // the plain event never woke the client
  kClientNotSet = 4,    // a client event was not set by the raise
  kLeftSignalled = 5,   // the plain event stayed signalled after the pulse
  kUsage = 100,
};

}  // namespace

// event_client NAME NUMBER...
int main(int argc, char** argv) {
  if (argc < 3) return kUsage;
  const std::u16string name = Wide(argv[1]);
  std::vector<HANDLE> clients;
  for (int i = 2; i < argc; ++i) {
    SetLastError(0);
    HANDLE h = CreateEventW(nullptr, FALSE, FALSE, (name + Wide(argv[i])).c_str());
    if (!h || GetLastError() != ERROR_ALREADY_EXISTS) return kNotRegistered;
    clients.push_back(h);
  }
  HANDLE plain = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (name + u"/ready").c_str());
  if (!plain || !ready) return kUsage;
  SetEvent(ready);
  if (WaitForSingleObject(plain, 30000) != WAIT_OBJECT_0) return kNoPulse;
  for (HANDLE h : clients) {
    if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) return kClientNotSet;
  }
  if (WaitForSingleObject(plain, 0) != WAIT_TIMEOUT) return kLeftSignalled;
  return kAsExpected;
}
