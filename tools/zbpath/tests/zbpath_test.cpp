// zbpath on a test's device: a file on the storage card and one in the device folder become
// device paths; switches and paths that do not exist pass unchanged; each argument comes out as
// one, whatever blanks or line breaks it holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "testing/test_device.h"

namespace zb::testing {
namespace {

// zbpath's answers, one per argument (each ends with a NUL); empty when it failed.
std::vector<std::string> RunZbpath(std::vector<std::string> args) {
  args.insert(args.begin(), ZBPATH_PATH);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  FILE* out = std::tmpfile();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
  pid_t pid = -1;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  std::string text;
  std::rewind(out);
  for (int c; (c = std::fgetc(out)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(out);
  std::vector<std::string> answers;
  if (status != 0) return answers;
  for (size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
    answers.push_back(text.substr(start, end - start));
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
