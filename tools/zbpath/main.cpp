// zbpath: prints, for each argument that names an existing host file or folder inside the device
// or one of its mounts (a storage card, the program folder), its device path; any other argument
// that is no host file (a device path, a URL, a switch) is printed as given. Each ends with a NUL,
// so that an argument holding a line break stays one: tools/run passes the player's arguments
// through it. A host file the device cannot see is refused, with how to make it visible, since
// the player would only find no such file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "device/device.h"
#include "device/paths.h"
#include "device/profile.h"
#include "device/text.h"

namespace {

void ExplainOutside(const std::filesystem::path& host) {
  const std::filesystem::path folder = std::filesystem::is_directory(host) ? host : host.parent_path();
  std::fprintf(stderr,
               "zbpath: %s is not on the device, so the player cannot open it. Copy it into the device\n"
               "folder %s (or a storage card's folder), or make its folder a storage card: add the line\n"
               "  %s = %s\n"
               "under [storage cards] in %s, beside the cards it should keep:\n",
               host.c_str(), zb::device::Root().c_str(), folder.filename().c_str(), folder.c_str(),
               zb::device::ProfilePath().c_str());
  for (const zb::device::StorageCard& card : zb::device::CurrentProfile()->storageCards)
    std::fprintf(stderr, "  %s = %s\n", zb::ToUtf8(card.name).c_str(), card.host.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs("usage: zbpath ARGUMENT...   (each NUL-terminated: its device path, or as given)\n", stdout);
    return 0;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::string out = argv[i];
    std::error_code error;
    const std::filesystem::path host = std::filesystem::absolute(argv[i], error);
    if (!error && std::filesystem::exists(host, error)) {
      const std::filesystem::path real = std::filesystem::canonical(host, error);
      if (auto device = zb::device::ToDevice(real)) {
        out = zb::ToUtf8(*device);
      } else {
        ExplainOutside(real);
        status = 1;
      }
    }
    std::fwrite(out.c_str(), 1, out.size() + 1, stdout);
  }
  return status;
}
