// The device profile: what kind of device the device folder stands for (OS version, platform,
// screen, memory and store figures, storage cards, system libraries, the program's folder).
// Read from StateFolder()/profile.ini; whatever the file leaves out or gets wrong is a default.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zb::device {

struct StorageCard {
  std::u16string name;          // the card's folder in the device root, e.g. "Storage Card"
  std::filesystem::path host;   // the host folder it is mounted from; absent while missing
};

struct Profile {
  uint32_t osMajor = 5;
  uint32_t osMinor = 1;
  uint32_t osBuild = 1700;
  std::u16string platformType = u"PocketPC";  // "PocketPC" or "SmartPhone"
  std::u16string oemInfo = u"Zonbrel Host Device";

  uint32_t screenWidth = 240;
  uint32_t screenHeight = 320;
  uint32_t dpi = 96;
  uint32_t colorDepth = 16;

  uint32_t totalPhysical = 64u << 20;
  uint32_t availablePhysical = 32u << 20;
  uint32_t totalVirtual = 32u << 20;
  uint32_t availableVirtual = 24u << 20;
  uint32_t storeSize = 64u << 20;
  uint32_t freeStore = 32u << 20;

  uint32_t ansiCodePage = 1252;

  // The power status the device reports: on mains (1) or battery (0), the battery flag bits
  // (1 high, 2 low, 4 critical, 8 charging, 128 no battery, 255 unknown) and percent (255 unknown).
  uint32_t acLineStatus = 1;
  uint32_t batteryFlag = 1;
  uint32_t batteryPercent = 100;

  std::u16string programFolder = u"\\Program Files\\Zonbrel";  // device path, no trailing "\"
  std::filesystem::path programHost;  // the binaries' folder (the running binary's), read-only

  // Sample rates the sound device accepts; a device without 48000 makes players fall back.
  std::vector<uint32_t> audioRates = {8000, 11025, 16000, 22050, 32000, 44100, 48000};

  // The HTTP proxy the connection manager reports, "host:port"; empty for none.
  std::u16string proxy;

  std::vector<StorageCard> storageCards;
  std::vector<std::u16string> libraries;  // system libraries present, lower case, no ".dll"

  // Whether a system library exists: "aygshell", "AYGSHELL.DLL" and "\Windows\aygshell.dll"
  // all name the same one.
  bool HasLibrary(std::u16string_view name) const;
};

// The profile of the current device, read once per Generation(). A missing file is written
// with the defaults; a faulty one is reported line by line in the debug log.
std::shared_ptr<const Profile> CurrentProfile();

// The profile file of the current device.
std::filesystem::path ProfilePath();

}  // namespace zb::device
