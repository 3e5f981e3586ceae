// zbdev pulse and wait on named events of the device, as the player and its clients use them
// to tell each other that something happened.
#include <cstdio>
#include <cstdlib>
#include <windows.h>

#include "device/text.h"
#include "commands.h"

namespace zb::zbdev {

int Pulse(int argc, char** args) {
  if (argc != 1) return 2;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, FromUtf8(args[0]).c_str());
  if (!event) return Fail(std::string("cannot open event ") + args[0]);
  PulseEvent(event);
  CloseHandle(event);
  return 0;
}

int Wait(int argc, char** args) {
  if (argc != 2) return 2;
  char* end = nullptr;
  unsigned long ms = std::strtoul(args[1], &end, 10);
  if (!*args[1] || *end) return Fail("MS must be a number");
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, FromUtf8(args[0]).c_str());
  if (!event) return Fail(std::string("cannot open event ") + args[0]);
  DWORD r = WaitForSingleObject(event, static_cast<DWORD>(ms));
  CloseHandle(event);
  std::printf("%s\n", r == WAIT_OBJECT_0 ? "signalled" : "timeout");
  return r == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace zb::zbdev
