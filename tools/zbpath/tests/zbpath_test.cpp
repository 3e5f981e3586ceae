// zbpath on a test's device: a file on the storage card and one in the device folder become
// device paths; switches and paths that do not exist pass unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "testing/test_device.h"

namespace zb::testing {
namespace {

std::string RunZbpath(const std::string& args) {
  std::string command = std::string(ZBPATH_PATH) + " " + args;
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[512];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  if (pipe) pclose(pipe);
  return out;
}

TEST(Zbpath, HostPathsOfTheDeviceBecomeDevicePaths) {
  TestDevice device;
  std::filesystem::create_directories(device.card() / "Album");
  std::ofstream(device.card() / "Album" / "song.mp3") << "x";
  std::ofstream(device.Host("a.mp3")) << "x";
  const std::string song = (device.card() / "Album" / "song.mp3").string();
  const std::string own = device.Host("a.mp3").string();
  EXPECT_EQ(RunZbpath("'" + song + "' '" + own + "' /VOLUME=40 /ENQUEUE /no/such/file.mp3"),
            "\\Storage Card\\Album\\song.mp3\n\\a.mp3\n/VOLUME=40\n/ENQUEUE\n/no/such/file.mp3\n");
}

TEST(Zbpath, AHostFileOutsideTheDevicePassesUnchanged) {
  TestDevice device;
  const auto outside = std::filesystem::temp_directory_path() / "zbpath-outside.mp3";
  std::ofstream(outside) << "x";
  EXPECT_EQ(RunZbpath(outside.string()), outside.string() + "\n");
  std::filesystem::remove(outside);
}

}  // namespace
}  // namespace zb::testing
