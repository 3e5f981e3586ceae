// Windows across processes, with a second real process standing in for the player: its window
// is found, its words read and its visibility seen without its help; sends return its answer,
// WM_COPYDATA carries data both ways, and a reply sent back during our own send completes. A
// process that dies leaves no window behind, and a send to it returns instead of hanging.
#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include "gwes/input.h"
#include "window_support.h"

extern char** environ;

namespace {

using namespace wtest;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CrossProcessTest : public WindowTest {
 protected:
  void Start(const char* command) {
    log_ = device_.Host("helper.log");
    std::string path = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "gwes_helper").string();
    std::string logArg = log_.string();
    char* argv[] = {path.data(), const_cast<char*>(command), logArg.data(), nullptr};
    ready_ = CreateEventW(nullptr, TRUE, FALSE, u"gwes-test/ready");
    ASSERT_EQ(posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ), 0);
    ASSERT_EQ(WaitForSingleObject(ready_, 20000), WAIT_OBJECT_0) << "the helper did not come up";
  }
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  void TearDown() override {
    Kill();
    if (ready_) CloseHandle(ready_);
    WindowTest::TearDown();
  }
  // Waits (bounded) until the helper has logged `line`.
  bool Logged(const std::string& line) {
    for (int i = 0; i < 2000; ++i) {
      if (ReadFile(log_).find(line + "\n") != std::string::npos) return true;
      Pump();
      Sleep(10);
    }
    return false;
  }
  pid_t pid_ = -1;
  HANDLE ready_ = nullptr;
  std::filesystem::path log_;
};

std::u16string g_reply;
ULONG_PTR g_replyTag = 0;

LRESULT CALLBACK AskerProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COPYDATA) {
    auto* cds = reinterpret_cast<COPYDATASTRUCT*>(l);
    g_replyTag = cds->dwData;
    g_reply.assign(static_cast<const char16_t*>(cds->lpData));
    return 1;
  }
  return TracedProc(hwnd, m, w, l);
}

TEST_F(CrossProcessTest, AnotherProcessWindowIsFoundReadAndAnswersCopyDataWithANestedReply) {
  Start("player");
  HWND player = FindWindowW(u"Zonbrel", nullptr);
  ASSERT_NE(player, nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(player, &pid);
  EXPECT_EQ(pid, static_cast<DWORD>(pid_));
  EXPECT_TRUE(IsWindow(player));
  EXPECT_TRUE(IsWindowVisible(player));
  EXPECT_EQ(GetWindowLongW(player, 0), 12);
  EXPECT_EQ(GetWindowLongW(player, 4), 4321);
  EXPECT_EQ(GetWindowLongW(player, 8), -1);
  EXPECT_EQ(GetWindowLongW(player, GWL_USERDATA), 1);
  char16_t text[16];
  EXPECT_EQ(GetClassNameW(player, text, 16), 7);
  EXPECT_EQ(GetWindowTextW(player, text, 16), 7);
  EXPECT_EQ(std::u16string(text), u"Zonbrel");
  EXPECT_EQ(SetWindowLongW(player, 4, 0), 0) << "another process's words are read-only";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  RegisterTraced(0, AskerProc, u"Asker");
  HWND asker = Make(0, nullptr, {0, 0, 1, 1}, u"Asker");
  std::u16string line = u"/ENQUEUE \\My Music\\song.mp3";
  COPYDATASTRUCT hand{0, static_cast<DWORD>((line.size() + 1) * 2), line.data()};
  EXPECT_EQ(SendMessageW(player, WM_COPYDATA, reinterpret_cast<WPARAM>(asker), reinterpret_cast<LPARAM>(&hand)),
            static_cast<LRESULT>(line.size()));
  EXPECT_TRUE(Logged("copydata 0 /ENQUEUE \\My Music\\song.mp3"));

  COPYDATASTRUCT query{221, 0, nullptr};
  EXPECT_EQ(SendMessageW(player, WM_COPYDATA, reinterpret_cast<WPARAM>(asker), reinterpret_cast<LPARAM>(&query)), 2)
      << "the player's answer: its own send's result plus one";
  EXPECT_EQ(g_replyTag, 221u);
  EXPECT_EQ(g_reply, u"\\Storage Card\\a.mp3") << "the reply arrived during our send";

  EXPECT_EQ(SendMessageW(player, WM_USER + 404, MAKELONG(100, 0), 3), 351);
  EXPECT_TRUE(PostMessageW(player, WM_USER + 7, 1, 2));
  EXPECT_TRUE(Logged("1031 1 2"));
}

TEST_F(CrossProcessTest, ForegroundAndKeysCrossToTheOtherProcess) {
  Start("hidden-player");
  HWND mine = Make(WS_VISIBLE);
  HWND player = FindWindowW(u"Zonbrel", u"Zonbrel");
  ASSERT_NE(player, nullptr);
  EXPECT_FALSE(IsWindowVisible(player));
  Pump();
  TheTrace().Take();
  ASSERT_TRUE(SetForegroundWindow(player));
  EXPECT_EQ(GetForegroundWindow(), player);
  EXPECT_TRUE(Logged("6 1 0")) << "the player activated itself on its own thread";
  Pump();
  std::vector<Entry> expected = {{mine, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(player)},
                                 {mine, WM_KILLFOCUS, reinterpret_cast<WPARAM>(player), 0}};
  EXPECT_EQ(TheTrace().Take(), expected);
  EXPECT_TRUE(zb::input::Deliver({zb::input::Kind::KeyDown, 0, 0, VK_F1}));
  EXPECT_TRUE(Logged("256 112 1")) << "the key went to the foreground process";
}

TEST_F(CrossProcessTest, DeadProcessLeavesNoWindowAndItsSendsReturn) {
  Start("hanging-player");
  HWND player = FindWindowW(u"Zonbrel", nullptr);
  ASSERT_NE(player, nullptr);
  std::atomic<bool> returned{false};
  LRESULT result = -1;
  std::thread sender([&] {
    result = SendMessageW(player, WM_USER + 9, 0, 0);  // the player never answers this one
    returned = true;
  });
  Sleep(100);
  EXPECT_FALSE(returned);
  Kill();
  sender.join();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(IsWindow(player));
  EXPECT_EQ(FindWindowW(u"Zonbrel", nullptr), nullptr);
  EXPECT_FALSE(PostMessageW(player, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(CrossProcessTest, ClosedProcessTakesItsWindowsAlong) {
  Start("player");
  HWND player = FindWindowW(u"Zonbrel", nullptr);
  ASSERT_NE(player, nullptr);
  PostMessageW(player, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Logged("quit"));
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(IsWindow(player));
}

}  // namespace
