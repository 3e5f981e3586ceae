// zbpath on a test's device: a file on the storage card and one in the device folder become
// device paths; switches and paths that do not exist pass unchanged; each argument comes out as
// one, whatever blanks or line breaks it holds; a host file the device cannot see is refused,
// saying how to make it visible.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/wait.h>
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

TEST(Zbpath, AHostFileOutsideTheDeviceIsRefusedWithHowToMakeItVisible) {
  TestDevice device;
  const auto folder = device.root().string() + "-downloads";
  const auto outside = std::filesystem::path(folder) / "song.mp3";
  std::filesystem::create_directories(folder);
  std::ofstream(outside) << "x";
  // Only what it says on its standard error, and its exit status.
  FILE* pipe = popen((std::string(ZBPATH_PATH) + " /VOLUME=40 '" + outside.string() + "' 2>&1 >/dev/null").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string said;
  char buffer[512];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) said.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  const std::vector<std::string> parts = {outside.string() + " is not on the device", device.root().string(),
                                          "[storage cards]", folder + "\n", "Storage Card = " + device.card().string()};
  for (const std::string& part : parts)
    EXPECT_NE(said.find(part), std::string::npos) << part << "\n" << said;
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zb::testing
