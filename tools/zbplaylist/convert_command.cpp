// The convert command: the host side names files as the person at the shell sees them, the
// playlist code only ever sees the device paths they map to.
#include "convert_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "device/paths.h"
#include "device/text.h"
#include "playlist.h"
#include "playlist_file_writer.h"

namespace {

// A device path as given, or the device path of a host path. A host file that need not exist
// yet (the output) is found through its folder.
std::optional<std::u16string> DevicePathOf(const std::string& argument) {
  if (argument.starts_with("\\")) return zb::FromUtf8(argument);
  std::error_code error;
  const std::filesystem::path host = std::filesystem::absolute(argument, error);
  if (error) return std::nullopt;
  const std::filesystem::path folder = std::filesystem::canonical(host.parent_path(), error);
  if (error || !host.has_filename()) return std::nullopt;
  const std::optional<std::u16string> deviceFolder = zb::device::ToDevice(folder);
  if (!deviceFolder) return std::nullopt;
  const std::u16string name = host.filename().u16string();
  return *deviceFolder == u"\\" ? u"\\" + name : *deviceFolder + u"\\" + name;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zbplaylist: %s\n", message.c_str());
  return 1;
}

}  // namespace

int RunConvert(const char* in, const char* out) {
  const std::optional<std::u16string> source = DevicePathOf(in);
  if (!source) return Fail(std::string(in) + " is not inside the device folder");
  const std::optional<std::u16string> target = DevicePathOf(out);
  if (!target) return Fail(std::string(out) + " is not inside the device folder");
  if (!IsWritablePlaylistName(target->c_str())) return Fail(std::string(out) + ": no playlist layout is written under this name");

  CPlaylist playlist(nullptr);
  if (playlist.LoadFile(source->c_str(), nullptr) < 0) return Fail("no entries read from " + zb::ToUtf8(*source));
  if (!playlist.SaveFile(target->c_str())) {
    return Fail("cannot write " + zb::ToUtf8(WrittenPlaylistName(target->c_str())) + " (error " +
                std::to_string(GetLastError()) + ")");
  }
  std::printf("%d entries from %s\nwritten to %s\n", playlist.GetCount(), zb::ToUtf8(*source).c_str(),
              zb::ToUtf8(WrittenPlaylistName(target->c_str())).c_str());
  return 0;
}
