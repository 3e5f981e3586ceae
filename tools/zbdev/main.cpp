// zbdev: a console tool that works on a running device from outside, on the device of
// $ZONBREL_DEVICE or of --device DIR: its windows, messages to them, named events
// and its screen.
#include <cstdio>
#include <string_view>

#include "commands.h"
#include "device/device.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(int argc, char** argv);
  std::string_view usage;
};

constexpr Command kCommands[] = {
    {"windows", zb::zbdev::Windows, "windows                               (handle, process, class, title, words)"},
    {"send", zb::zbdev::Send, "send HWND|CLASS MSG WPARAM LPARAM     (prints the result)"},
    {"post", zb::zbdev::Post, "post HWND|CLASS MSG WPARAM LPARAM"},
    {"copydata", zb::zbdev::CopyData, "copydata HWND|CLASS DWDATA TEXT       (TEXT as UTF-16 with its end)"},
    {"pulse", zb::zbdev::Pulse, "pulse NAME"},
    {"wait", zb::zbdev::Wait, "wait NAME MS                          (exit 1 on time-out)"},
    {"screenshot", zb::zbdev::Screenshot, "screenshot FILE.png                   (the screen as last drawn)"},
};

// The usage on `to`; asked for (--help) it goes to standard output and is no failure.
int Usage(std::FILE* to = stderr, int status = 2) {
  std::fprintf(to, "usage: zbdev [--device DIR] COMMAND ...\n");
  for (const Command& c : kCommands) std::fprintf(to, "  zbdev %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
  std::fprintf(to, "HWND as `zbdev windows` prints it (0x...); numbers decimal or 0x hex.\n");
  return status;
}

}  // namespace

namespace zb::zbdev {

int Fail(const std::string& why) {
  std::fprintf(stderr, "zbdev: %s\n", why.c_str());
  return 1;
}

}  // namespace zb::zbdev

int main(int argc, char** argv) {
  int i = 1;
  if (argc > 1 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) return Usage(stdout, 0);
  if (i + 1 < argc && std::string_view(argv[i]) == "--device") {
    zb::device::UseRoot(argv[i + 1]);
    i += 2;
  }
  if (i >= argc) return Usage();
  for (const Command& c : kCommands) {
    if (c.name == argv[i]) {
      int status = c.run(argc - i - 1, argv + i + 1);
      return status == 2 ? Usage() : status;
    }
  }
  std::fprintf(stderr, "zbdev: no command \"%s\"\n", argv[i]);
  return Usage();
}
