// zbdev pulse and wait on named events of the device, as the player and its clients use them
// to tell each other that something happened.
#include <cstdio>
#include <cstdlib>
#include <windows.h>

#include "device/text.h"
#include "zbdev.h"

namespace zbdev {

int Pulse(const Args& args) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, zb::FromUtf8(args[0]).c_str());
  if (!event) return Fail("cannot open event " + args[0]);
  PulseEvent(event);
  CloseHandle(event);
  return 0;
}

int Wait(const Args& args) {
  char* end = nullptr;
  unsigned long ms = std::strtoul(args[1].c_str(), &end, 10);
  if (args[1].empty() || *end) return Fail("MS must be a number");
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, zb::FromUtf8(args[0]).c_str());
  if (!event) return Fail("cannot open event " + args[0]);
  DWORD r = WaitForSingleObject(event, static_cast<DWORD>(ms));
  CloseHandle(event);
  std::printf("%s\n", r == WAIT_OBJECT_0 ? "signalled" : "timeout");
  return r == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace zbdev
