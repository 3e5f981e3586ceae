// zbdev: drives a device's running programs from outside, for people and tests: lists its
// windows, sends and posts messages (WM_COPYDATA with a text too), and pulses or waits on named
// events, through the layer's own calls on the device of $ZONBREL_DEVICE or --device DIR.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "device/device.h"
#include "zbdev.h"

namespace {

struct Command {
  const char* name;
  const char* arguments;
  const char* does;
  size_t count;
  int (*run)(const zbdev::Args&);
};

// One row per command.
constexpr Command kCommands[] = {
    {"windows", "", "list the windows: handle, process, class, title, words", 0, zbdev::ListWindows},
    {"send", "HWND|CLASS MSG WPARAM LPARAM", "send a message and print its result", 4, zbdev::Send},
    {"post", "HWND|CLASS MSG WPARAM LPARAM", "post a message", 4, zbdev::Post},
    {"copydata", "HWND|CLASS DWDATA TEXT", "send WM_COPYDATA with TEXT (UTF-16, terminated)", 3, zbdev::CopyData},
    {"pulse", "NAME", "pulse the named event", 1, zbdev::Pulse},
    {"wait", "NAME MS", "wait for the named event (exit 1 on time-out)", 2, zbdev::Wait},
};

int Usage() {
  std::fprintf(stderr, "usage: zbdev [--device DIR] COMMAND ...\n\n");
  for (const Command& c : kCommands) std::fprintf(stderr, "  %-8s %-29s %s\n", c.name, c.arguments, c.does);
  std::fprintf(stderr,
               "\nHWND is a handle as windows prints it (0x...), CLASS a window class to look for.\n"
               "Numbers are decimal or 0x hex. The device is $ZONBREL_DEVICE unless --device is given.\n");
  return 2;
}

}  // namespace

namespace zbdev {

int Fail(const std::string& why) {
  std::fprintf(stderr, "zbdev: %s\n", why.c_str());
  return 1;
}

}  // namespace zbdev

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 2 && std::string_view(argv[1]) == "--device") {
    setenv("ZONBREL_DEVICE", argv[2], 1);
    zb::device::UseRoot(argv[2]);
    first = 3;
  }
  if (first >= argc) return Usage();
  std::string_view name = argv[first];
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    zbdev::Args args(argv + first + 1, argv + argc);
    if (args.size() != c.count) return Usage();
    return c.run(args);
  }
  return Usage();
}
