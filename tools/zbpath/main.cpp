// zbpath: prints, for each argument that names an existing host file or folder inside the device
// or one of its mounts (a storage card, the program folder), its device path; any other argument
// is printed as given. Each ends with a NUL, so that an argument holding a line break stays one:
// tools/run passes the player's arguments through it.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "device/paths.h"
#include "device/text.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::string out = argv[i];
    std::error_code error;
    const std::filesystem::path host = std::filesystem::absolute(argv[i], error);
    if (!error && std::filesystem::exists(host, error)) {
      if (auto device = zb::device::ToDevice(std::filesystem::canonical(host, error))) out = zb::ToUtf8(*device);
    }
    std::fwrite(out.c_str(), 1, out.size() + 1, stdout);
  }
  return 0;
}
