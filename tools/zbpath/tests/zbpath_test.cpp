// zbpath on a test's device: a file on the storage card and one in the device folder become
// device paths; switches and paths that do not exist pass unchanged; each argument comes out as
// one, whatever blanks or line breaks it holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "testing/test_device.h"

namespace zb::testing {
namespace {

// zbpath's answers, one per argument (each ends with a NUL). The arguments go through the shell
// in single quotes, which none of them holds.
std::vector<std::string> RunZbpath(const std::vector<std::string>& args) {
  std::string command = ZBPATH_PATH;
  for (const std::string& a : args) command += " '" + a + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[512];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  std::vector<std::string> answers;
  if (!pipe || pclose(pipe) != 0) return answers;
  for (size_t start = 0, end; (end = out.find('\0', start)) != std::string::npos; start = end + 1)
    answers.push_back(out.substr(start, end - start));
  return answers;
}

TEST(Zbpath, HostPathsOfTheDeviceBecomeDevicePaths) {
  TestDevice device;
  std::filesystem::create_directories(device.card() / "My Album");
  std::ofstream(device.card() / "My Album" / "a song.mp3") << "x";
  std::ofstream(device.Host("a.mp3")) << "x";
  const std::string song = (device.card() / "My Album" / "a song.mp3").string();
  const std::string own = device.Host("a.mp3").string();
  EXPECT_EQ(RunZbpath({song, own, "/VOLUME=40", "/ENQUEUE", "/no/such/file.mp3"}),
            (std::vector<std::string>{"\\Storage Card\\My Album\\a song.mp3", "\\a.mp3", "/VOLUME=40", "/ENQUEUE",
                                      "/no/such/file.mp3"}));
}

TEST(Zbpath, AnArgumentWithALineBreakStaysOne) {
  TestDevice device;
  std::ofstream(device.Host("two\nlines.mp3")) << "x";
  EXPECT_EQ(RunZbpath({device.Host("two\nlines.mp3").string(), "not\na file"}),
            (std::vector<std::string>{"\\two\nlines.mp3", "not\na file"}));
}

TEST(Zbpath, AHostFileOutsideTheDevicePassesUnchanged) {
  TestDevice device;
  const auto outside = std::filesystem::temp_directory_path() / "zbpath-outside.mp3";
  std::ofstream(outside) << "x";
  EXPECT_EQ(RunZbpath({outside.string()}), std::vector<std::string>{outside.string()});
  std::filesystem::remove(outside);
}

}  // namespace
}  // namespace zb::testing
