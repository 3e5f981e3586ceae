// WM_COPYDATA on the real main window: a second copy's command line with its switches, the
// clients' requests answered to the sender's window, and texts read only within cbData.
#include <gtest/gtest.h>

#include "core/common/named_events.h"
#include "core/window/trusted_buffers.h"
#include "skin/skin.h"
#include "skin/skin_state.h"
#include "main_window_fixture.h"

namespace zb::testing {
namespace {

// A client's window that records the WM_COPYDATA replies it gets.
struct Reply {
  ULONG_PTR code;
  HWND from;
  std::vector<BYTE> bytes;
};

std::vector<Reply>& Replies() {
  static std::vector<Reply> replies;
  return replies;
}

LRESULT CALLBACK ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const BYTE* bytes = static_cast<const BYTE*>(data->lpData);
    Replies().push_back({data->dwData, reinterpret_cast<HWND>(wParam), std::vector<BYTE>(bytes, bytes + data->cbData)});
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class CopyDataTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Replies().clear();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ClientProc;
    windowClass.lpszClassName = u"ZonbrelCopyDataClient";
    RegisterClassW(&windowClass);
    client = CreateWindowExW(0, windowClass.lpszClassName, u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(client);
    UnregisterClassW(u"ZonbrelCopyDataClient", nullptr);
    MainWindowTest::TearDown();
  }
  std::u16string ReplyText(size_t i) const {
    const Reply& r = Replies().at(i);
    std::u16string text(reinterpret_cast<const char16_t*>(r.bytes.data()), r.bytes.size() / 2);
    return text.substr(0, text.find(u'\0'));
  }
  HWND client = nullptr;
};

TEST_F(CopyDataTest, VolumeAndEnqueueSwitchesAddTheFileWithoutPlayingOrShowing) {
  EXPECT_TRUE(IsWindowVisible(window)) << "shown with the skin";
  ShowWindow(window, SW_HIDE);
  target.Take();
  CopyText(0, u"/VOLUME=40 /ENQUEUE \\Music\\b.mp3");
  EXPECT_EQ(target.Take(), (std::vector<std::string>{"SetVolume 40", "SetMute 0", "AddFiles \\Music\\b.mp3"}));
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(CopyDataTest, CommandLinesOfASecondCopy) {
  struct Case {
    std::u16string line;
    std::vector<std::string> calls;
    bool shown;
  };
  CreateDirectoryW(u"\\Music", nullptr);
  const Case cases[] = {
      {u"\\Music\\a.mp3", {"Enqueue \\Music\\a.mp3 1"}, true},
      {u"  \"\\Storage Card\\x y.mp3\"", {"Enqueue \\Storage Card\\x y.mp3 1"}, true},
      {u"\\Music\\", {"Enqueue --\\Music 1"}, true},  // a folder, with the core's folder marker
      {u"/enqueue \\Music\\c.mp3", {"AddFiles \\Music\\c.mp3"}, false},
      {u"/ENQUEUE", {}, false},  // a bare switch adds nothing and changes nothing
      {u"/Enqueue \t  ", {}, false},
      {u"/ENQUEUE \" \t \"", {}, false},  // blanks in quotes, as a second start quotes them
      {u"/SILENT", {}, false},
      {u"/wakeup", {}, false},
      {u"/VOLUME=7", {"SetVolume 7", "SetMute 0"}, true},
  };
  for (const Case& c : cases) {
    ShowWindow(window, SW_HIDE);
    CopyText(0, c.line);
    // Showing the window activates it, which re-applies the stored volume and balance (-666).
    std::vector<std::string> calls = target.Take();
    std::erase_if(calls, [](const std::string& call) { return call.ends_with(" -666"); });
    EXPECT_EQ(calls, c.calls) << zb::ToUtf8(c.line);
    EXPECT_EQ(IsWindowVisible(window) != FALSE, c.shown) << zb::ToUtf8(c.line);
  }
}

TEST_F(CopyDataTest, SilentHidesAShownWindow) {
  ShowWindow(window, SW_SHOW);
  CopyText(0, u"/SILENT");
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(CopyDataTest, WakeUpPausesWhatPlaysWhenStopAtSuspendIsSet) {
  target.playing = TRUE;
  GetSettings()->stopAtSuspend = 1;
  CopyText(0, u"/WAKEUP");
  EXPECT_EQ(target.Take(), std::vector<std::string>{"TogglePause"});
  GetSettings()->stopAtSuspend = 0;
  CopyText(0, u"/WAKEUP");
  EXPECT_TRUE(target.Take().empty());
}

TEST_F(CopyDataTest, StreamPathIsBoundedByCbDataAndTooLongAPathClearsIt) {
  // Ten characters given, four of them in cbData, no terminator among them.
  const char16_t text[] = u"\\abcdefghi";
  CopyData(220, text, 4 * sizeof(char16_t));
  EXPECT_EQ(std::u16string(MainWindow().streamPath), u"\\abc");
  CopyText(220, u"http://radio/stream");
  EXPECT_EQ(std::u16string(MainWindow().streamPath), u"http://radio/stream");
  CopyText(220, std::u16string(1039, u'p'));
  EXPECT_EQ(std::u16string(MainWindow().streamPath).size(), 1039u);
  CopyText(220, std::u16string(1040, u'q'));
  EXPECT_EQ(std::u16string(MainWindow().streamPath), u"") << "too long: cleared, not overflowed";
  EXPECT_EQ(CopyData(220, nullptr, 100), 1);
  EXPECT_EQ(CopyData(0, nullptr, 0), 1);
}

TEST_F(CopyDataTest, RequestsAreAnsweredToTheSendersWindow) {
  target.items = {u"\\a.mp3", u"\\b.mp3", u"\\c.mp3", u"\\d.mp3"};
  CopyText(220, u"http://radio/stream");
  CopyData(221, nullptr, 0, client);
  const INT32 index = 3;
  CopyData(224, &index, sizeof index, client);
  CopyData(MAKELONG(225, 1), nullptr, 0, client);
  ASSERT_EQ(Replies().size(), 3u);
  EXPECT_EQ(Replies()[0].code, 221u);
  EXPECT_EQ(Replies()[0].from, window);
  EXPECT_EQ(Replies()[0].bytes.size(), 2080u);
  EXPECT_EQ(ReplyText(0), u"http://radio/stream");
  EXPECT_EQ(Replies()[1].code, 224u);
  EXPECT_EQ(ReplyText(1), u"\\d.mp3") << "the fourth item";
  EXPECT_EQ(Replies()[2].code, static_cast<ULONG_PTR>(MAKELONG(225, 1)));
  EXPECT_EQ(ReplyText(2), u"Name of \\b.mp3");
  // An index record shorter than its word is no request.
  const BYTE shortIndex = 1;
  CopyData(224, &shortIndex, 1, client);
  EXPECT_EQ(Replies().size(), 3u);
}

TEST_F(CopyDataTest, TitleRequestAnswersTheCurrentTitleBuffer) {
  WCHAR title[] = u"Artist - Song";
  {
    CTrustedBuffer trusted(title, std::size(title));
    SendMessageW(window, WM_ZB_NEW_TITLE, 0, reinterpret_cast<LPARAM>(title));
  }
  CopyData(222, nullptr, 0, client);
  ASSERT_EQ(Replies().size(), 1u);
  EXPECT_EQ(Replies()[0].bytes.size(), 520u);
  EXPECT_EQ(ReplyText(0), u"Artist - Song");
}

TEST_F(CopyDataTest, ClientEventIsSetOnEachTitleChange) {
  const std::u16string name = u"Zonbrel/Stream/Title";
  const LRESULT number = CopyText(232, name);
  ASSERT_GE(number, 2);
  HANDLE client = CreateEventW(nullptr, FALSE, FALSE, (name + zb::FromUtf8(std::to_string(number))).c_str());
  EXPECT_EQ(WaitForSingleObject(client, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SendMessageW(window, WM_ZB_NEW_TITLE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(client, 0), WAIT_OBJECT_0);
  SendMessageW(window, WM_ZB_NEW_TITLE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(client, 0), WAIT_OBJECT_0) << "set again by the next title";
  CloseHandle(client);
  CloseEventWaiters();
}

// The skin's title command tells the window of the core's titles, each new one once.
TEST_F(CopyDataTest, TheCoresTitlesReachTheWindowOnceEachThroughTheSkinsTitleCommand) {
  CPlayerCore* core = PeekPlayerCore();
  ASSERT_NE(core, nullptr);
  core->ApplySkin(new CSkin(window));  // a skin without elements still announces its titles
  const auto ShowSongTitle = [core](LPCWSTR text) { core->SendUiCommand(6, const_cast<LPWSTR>(text)); };
  const std::u16string name = u"Zonbrel/Stream/Title";
  const LRESULT number = CopyText(232, name);
  ASSERT_GE(number, 2);
  HANDLE client = CreateEventW(nullptr, FALSE, FALSE, (name + zb::FromUtf8(std::to_string(number))).c_str());
  ShowSongTitle(u"1. First song");
  EXPECT_EQ(WaitForSingleObject(client, 0), WAIT_OBJECT_0);
  EXPECT_EQ(std::u16string(MainWindow().title), u"1. First song");
  ShowSongTitle(u"1. First song");
  EXPECT_EQ(WaitForSingleObject(client, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the title shown already";
  ShowSongTitle(u"2. Second song");
  EXPECT_EQ(WaitForSingleObject(client, 0), WAIT_OBJECT_0);
  ShowSongTitle(nullptr);  // the kept title, shown again
  EXPECT_EQ(WaitForSingleObject(client, 0), WAIT_OBJECT_0);
  EXPECT_EQ(std::u16string(MainWindow().title), u"2. Second song");
  const std::u16string longTitle(300, u'x');
  ShowSongTitle(longTitle.c_str());
  EXPECT_EQ(std::u16string(MainWindow().title), longTitle.substr(0, TITLE_CHARS - 1)) << "cut as the skin's label";
  CloseHandle(client);
  CloseEventWaiters();
}

TEST_F(CopyDataTest, ATitleNotOfThisProcessFallsBackToTheStreamsFileName) {
  CopyText(220, u"\\Storage Card\\Radio\\news.mp3");
  WCHAR foreign[] = u"Not to be read";
  SendMessageW(window, WM_ZB_NEW_TITLE, 0, reinterpret_cast<LPARAM>(foreign));
  EXPECT_EQ(std::u16string(MainWindow().title), u"news.mp3");
  CopyText(220, u"http://host/live");
  SendMessageW(window, WM_ZB_NEW_TITLE, 0, 0);
  EXPECT_EQ(std::u16string(MainWindow().title), u"live");
}

TEST_F(CopyDataTest, PlaylistRequestsReachThePlayer) {
  CopyText(223, u"\\My Documents\\list.m3u");
  CopyText(MAKELONG(227, 2), u"New title");
  CopyText(MAKELONG(230, 1), u"\\Music\\e.mp3");
  CopyText(231, u"\\Music");
  EXPECT_EQ(target.Take(), (std::vector<std::string>{"SavePlaylist \\My Documents\\list.m3u", "SetItemTitle 2 New title",
                                                     "Insert 1 \\Music\\e.mp3", "AddFiles \\Music"}));
  EXPECT_EQ(CopyText(9999, u"x"), 1) << "an unknown code";
}

TEST_F(CopyDataTest, WindowWordsAndReadiness) {
  EXPECT_EQ(GetWindowLongW(window, 0), 12);
  EXPECT_EQ(GetWindowLongW(window, 4), 0);
  EXPECT_EQ(GetWindowLongW(window, 8), -1);
  EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 1) << "shown once the skin said so";
  target.playing = TRUE;
  target.position = 4321;
  SendMessageW(window, WM_TIMER, 2, 0);
  EXPECT_EQ(GetWindowLongW(window, 4), 4321);
  EXPECT_EQ(GetWindowLongW(window, 8), 180000);
}

}  // namespace
}  // namespace zb::testing
