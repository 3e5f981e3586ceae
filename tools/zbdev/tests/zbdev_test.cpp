// zbdev run as a real process against a running program on the test's device: it lists the
// program's window with its words, delivers messages the program logs (and prints the answers
// of sends), and pulses and waits on named events; bad targets and arguments fail clearly.
#include <gtest/gtest.h>
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include "testing/test_clock.h"
#include "testing/test_device.h"

extern char** environ;

namespace {

struct Outcome {
  int status = -1;
  std::string out;
};

pid_t Spawn(const char* program, std::vector<std::string> args, FILE* out) {
  std::vector<char*> argv{const_cast<char*>(program)};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out) posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
  pid_t pid = -1;
  if (posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Finish(pid_t pid) {
  for (int i = 0; pid > 0 && i < 2000; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  return -1;
}

std::string ReadBack(FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

Outcome Zbdev(std::vector<std::string> args) {
  FILE* out = std::tmpfile();
  pid_t pid = Spawn(ZBDEV_PATH, std::move(args), out);
  Outcome o;
  o.status = Finish(pid);
  o.out = ReadBack(out);
  return o;
}

class ZbdevTool : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = device_.Host("helper.log");
    ready_ = CreateEventW(nullptr, TRUE, FALSE, u"gwes-test/ready");
    helper_ = Spawn(GWES_HELPER_PATH, {"player", log_.string()}, nullptr);
    ASSERT_EQ(WaitForSingleObject(ready_, 20000), WAIT_OBJECT_0);
  }
  void TearDown() override {
    kill(helper_, SIGKILL);
    waitpid(helper_, nullptr, 0);
    CloseHandle(ready_);
  }
  bool Logged(const std::string& line) {
    for (int i = 0; i < 2000; ++i) {
      std::ifstream in(log_);
      std::stringstream text;
      text << in.rdbuf();
      if (text.str().find(line + "\n") != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  zb::testing::TestDevice device_;
  std::filesystem::path log_;
  HANDLE ready_ = nullptr;
  pid_t helper_ = -1;
};

TEST_F(ZbdevTool, ListsTheRunningProgramsWindowWithItsWords) {
  Outcome o = Zbdev({"windows"});
  EXPECT_EQ(o.status, 0);
  EXPECT_NE(o.out.find("pid " + std::to_string(helper_) + " "), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("class \"Zonbrel\" title \"Zonbrel\" visible 1"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("words 0000000c 000010e1 ffffffff"), std::string::npos) << o.out;
  // The handle it prints names the window for the other commands.
  std::string handle = o.out.substr(0, o.out.find(' '));
  Outcome sent = Zbdev({"send", handle, "1428", "100", "3"});
  EXPECT_EQ(sent.status, 0);
  EXPECT_EQ(sent.out, "351\n");
}

TEST_F(ZbdevTool, DeliversMessagesTheProgramLogs) {
  struct Case {
    std::vector<std::string> args;
    std::string printed;
    std::string logged;
  };
  const Case cases[] = {
      {{"post", "Zonbrel", "1031", "5", "0x10"}, "", "1031 5 16"},
      {{"send", "zonbrel", "0x407", "-1", "2"}, "1\n", "1031 18446744073709551615 2"},
      {{"copydata", "Zonbrel", "0", "/ENQUEUE caf\xC3\xA9.mp3"}, "17\n", "copydata 0 /ENQUEUE caf\xC3\xA9.mp3"},
  };
  for (const Case& c : cases) {
    Outcome o = Zbdev(c.args);
    EXPECT_EQ(o.status, 0) << c.logged;
    EXPECT_EQ(o.out, c.printed) << c.logged;
    EXPECT_TRUE(Logged(c.logged)) << c.logged;
  }
}

TEST_F(ZbdevTool, BadTargetsAndArgumentsFail) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"send", "NoSuchClass", "1", "0", "0"}, 1},
      {{"post", "0x7ffc", "1", "0", "0"}, 1},
      {{"send", "Zonbrel", "message", "0", "0"}, 1},
      {{"send", "Zonbrel", "1"}, 2},
      {{"frobnicate"}, 2},
      {{"wait", "Never", "x"}, 1},
      {{}, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Zbdev(c.args).status, c.status) << (c.args.empty() ? "" : c.args[0]);
}

TEST_F(ZbdevTool, PulsesAndWaitsOnNamedEvents) {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Zonbrel/Stream/Title");
  std::atomic<DWORD> woke{WAIT_FAILED};
  std::thread waiter([&] { woke = WaitForSingleObject(event, 20000); });
  for (int i = 0; i < 2000 && zb::testing::TimedWaiters() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(Zbdev({"pulse", "Zonbrel/Stream/Title"}).status, 0);
  waiter.join();
  EXPECT_EQ(woke.load(), WAIT_OBJECT_0);

  FILE* out = std::tmpfile();
  pid_t pid = Spawn(ZBDEV_PATH, {"wait", "Zonbrel/Stream/Title", "20000"}, out);
  for (int i = 0; i < 2000 && zb::testing::TimedWaiters() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  SetEvent(event);
  EXPECT_EQ(Finish(pid), 0);
  EXPECT_EQ(ReadBack(out), "signalled\n");
  Outcome late = Zbdev({"wait", "Zonbrel/Stream/Title", "10"});
  EXPECT_EQ(late.status, 1);
  EXPECT_EQ(late.out, "timeout\n");
  CloseHandle(event);
}

}  // namespace
