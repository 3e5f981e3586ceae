// zbdev: a console tool that works on a running device from outside, on the device of
// $ZONBREL_DEVICE or of --device DIR.
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
    {"screenshot", zb::zbdev::Screenshot, "screenshot FILE.png"},
};

int Usage() {
  std::fprintf(stderr, "usage: zbdev [--device DIR] COMMAND ...\n");
  for (const Command& c : kCommands) std::fprintf(stderr, "  zbdev %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  if (i + 1 < argc && std::string_view(argv[i]) == "--device") {
    zb::device::UseRoot(argv[i + 1]);
    i += 2;
  }
  if (i >= argc) return Usage();
  for (const Command& c : kCommands) {
    if (c.name == argv[i]) return c.run(argc - i - 1, argv + i + 1);
  }
  std::fprintf(stderr, "zbdev: no command \"%s\"\n", argv[i]);
  return Usage();
}
