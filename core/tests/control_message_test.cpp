// The control message 1428 on the real main window: the remote table's answers and settings,
// the string commands into a caller's buffer of this process (never past its end), and buffers
// that this process did not hand over, which are refused and left alone.
#include <gtest/gtest.h>

#include "core/common/named_events.h"
#include "main_window_fixture.h"

namespace zb::testing {
namespace {

using ControlMessage = MainWindowTest;

struct RemoteCase {
  int command;
  int argument;
  LRESULT answer;
  std::vector<std::string> calls;
};

TEST_F(ControlMessage, RemoteQueriesAnswerFromThePlayer) {
  target.playing = TRUE;
  target.position = 61000;
  target.volume = 77;
  target.repeat = TRUE;
  target.items = {u"\\a.mp3", u"\\b.mp3", u"\\c.mp3"};
  const RemoteCase cases[] = {
      {100, 0, 351, {}},
      {100, 9, 351, {}},
      {104, 0, 180000, {}},
      {105, 0, 61000, {}},
      {106, 0, 1, {}},
      {108, 0, 0, {}},
      {110, 0, 77, {}},
      {121, 0, 1, {}},
      {122, 0, 0, {}},
      {125, 0, 3, {}},
      {126, 2, 12, {}},
      {126, 3, 0, {}},
      {131, 0, 0, {}},
      {99, 0, 0, {}},
      {140, 0, 0, {}},
  };
  for (const RemoteCase& c : cases) {
    EXPECT_EQ(Control(c.command, c.argument, CONTROL_REMOTE), c.answer) << "command " << c.command;
    EXPECT_EQ(target.Take(), c.calls) << "command " << c.command;
  }
}

TEST_F(ControlMessage, NothingOpenAnswersZeroForLengthAndPosition) {
  target.position = 5000;
  EXPECT_EQ(Control(104, 0, CONTROL_REMOTE), 0);
  EXPECT_EQ(Control(105, 0, CONTROL_REMOTE), 0);
  EXPECT_EQ(Control(121, 0, CONTROL_REMOTE), 0);
}

TEST_F(ControlMessage, RemoteSettingsReachThePlayer) {
  target.playing = TRUE;
  const RemoteCase cases[] = {
      {101, 30, 0, {"SeekTo 30000"}},
      {102, 0xFFF6, 0, {"SeekRelative -10000"}},  // -10 s
      {111, 40, 0, {"SetVolume 40"}},
      {113, 0, 0, {"SetEq -2 0"}},
      {115, 0x3A03, 0, {"SetEq 3 58"}},  // band 3 from the low byte, the value from the top byte
      {117, 20, 0, {"SetEq -1 20"}},
      {135, 0xFFCE, 0, {"SetPan -50"}},
      {139, 2, 0, {"SetVisMode 2"}},
  };
  for (const RemoteCase& c : cases) {
    EXPECT_EQ(Control(c.command, c.argument, CONTROL_REMOTE), c.answer) << "command " << c.command;
    EXPECT_EQ(target.Take(), c.calls) << "command " << c.command;
  }
  EXPECT_EQ(GetWindowLongW(window, 4), 30000 - 10000) << "the position word follows each seek";
  Control(107, 1, CONTROL_REMOTE);
  Control(109, 1, CONTROL_REMOTE);
  EXPECT_TRUE(target.repeat);
  EXPECT_TRUE(target.shuffle);
}

TEST_F(ControlMessage, RemoteSettingsOfTheSettingsObject) {
  Control(119, 1, CONTROL_REMOTE);
  EXPECT_EQ(Control(118, 0, CONTROL_REMOTE), 1);
  Control(119, 0, CONTROL_REMOTE);
  EXPECT_EQ(Control(118, 0, CONTROL_REMOTE), 0);
  Control(138, 0, CONTROL_REMOTE);  // bit 0 clear: showing elapsed
  EXPECT_EQ(Control(137, 0, CONTROL_REMOTE), 0);
  Control(138, 1, CONTROL_REMOTE);
  EXPECT_EQ(Control(137, 0, CONTROL_REMOTE), 1);
  Control(133, 1, CONTROL_REMOTE);
  EXPECT_EQ(Control(132, 0, CONTROL_REMOTE), 1);
  Control(133, 0, CONTROL_REMOTE);
  EXPECT_EQ(Control(132, 0, CONTROL_REMOTE), 0);
}

TEST_F(ControlMessage, RemoteOpenPostsItselfAndOpensTheDialogFromTheQueue) {
  EXPECT_EQ(Control(120, 0, CONTROL_REMOTE), 0);
  MSG posted{};
  ASSERT_TRUE(PeekMessageW(&posted, window, WM_ZB_CONTROL, WM_ZB_CONTROL, PM_NOREMOVE));
  EXPECT_EQ(posted.wParam, static_cast<WPARAM>(MAKELONG(120, 23)));
  EXPECT_EQ(posted.lParam, CONTROL_REMOTE);
}

TEST_F(ControlMessage, ClientEventIsClosedByRemoteCommand136) {
  const DWORD number = RegisterEventWaiter(u"Zonbrel/Stream/Title");
  HANDLE client = CreateEventW(nullptr, FALSE, FALSE, (u"Zonbrel/Stream/Title" + std::u16string(1, u'0' + number)).c_str());
  Control(136, static_cast<int>(number), CONTROL_REMOTE);
  RaiseNamedEvent(u"Zonbrel/Stream/Title");
  EXPECT_EQ(WaitForSingleObject(client, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "no longer set by a raise";
  CloseHandle(client);
}

TEST_F(ControlMessage, StringCommandsCopyIntoTheCallersBufferAndNeverPastIt) {
  WCHAR path[] = u"\\Storage Card\\stream.mp3";
  EXPECT_EQ(SendControlString(window, 8522, 0, path, std::size(path)), 0);
  EXPECT_EQ(std::u16string(MainWindow().streamPath), path);

  WCHAR roomy[64];
  std::fill(std::begin(roomy), std::end(roomy), u'#');
  SendControlString(window, 8523, 0, roomy, std::size(roomy));
  EXPECT_EQ(std::u16string(roomy), path);

  // Six characters of room: five of the text and the terminator, the rest untouched.
  WCHAR small[10];
  std::fill(std::begin(small), std::end(small), u'#');
  SendControlString(window, 8523, 0, small, 6);
  EXPECT_EQ(std::u16string(small), u"\\Stor");
  EXPECT_EQ(std::u16string(small + 6, 4), u"####");
}

TEST_F(ControlMessage, StringCommandsForThePlaylistAndTheClientEvents) {
  target.items = {u"\\Music\\a.mp3", u"\\Music\\b.mp3"};
  WCHAR buffer[64] = {};
  SendControlString(window, 8526, 1, buffer, std::size(buffer));
  EXPECT_EQ(std::u16string(buffer), u"\\Music\\b.mp3");
  SendControlString(window, 8527, 0, buffer, std::size(buffer));
  EXPECT_EQ(std::u16string(buffer), u"Name of \\Music\\a.mp3");
  WCHAR inserted[] = u"\\Music\\c.mp3";
  SendControlString(window, 8532, 1, inserted, std::size(inserted));
  EXPECT_EQ(target.Take(), std::vector<std::string>{"Insert 1 \\Music\\c.mp3"});
  // A position in the buffer's first word.
  WCHAR position[4] = {};
  const INT32 ms = 90500;
  memcpy(position, &ms, sizeof ms);
  SendControlString(window, 8536, 0, position, std::size(position));
  EXPECT_EQ(target.Take(), std::vector<std::string>{"SeekTo 90500"});
  WCHAR name[] = u"Zonbrel/Stream/Open";
  const LRESULT number = SendControlString(window, 8537, 0, name, std::size(name));
  EXPECT_GE(number, 2);
  CloseEventWaiters();
}

TEST_F(ControlMessage, AnUnterminatedBufferIsReadOnlyWithinItsSize) {
  WCHAR text[8];
  std::fill(std::begin(text), std::end(text), u'x');  // no terminator anywhere
  SendControlString(window, 8522, 0, text, std::size(text));
  EXPECT_EQ(std::u16string(MainWindow().streamPath), u"xxxxxxxx");
}

TEST_F(ControlMessage, ABufferNotHandedOverIsRefusedAndLeftAlone) {
  WCHAR path[] = u"\\Music\\kept.mp3";
  SendControlString(window, 8522, 0, path, std::size(path));
  // The same kind of number from a sender that did not say it is a buffer of this process, as
  // another process's address would arrive.
  WCHAR foreign[32];
  std::fill(std::begin(foreign), std::end(foreign), u'#');
  EXPECT_EQ(SendMessageW(window, WM_ZB_CONTROL, 8523, reinterpret_cast<LPARAM>(foreign)), 0);
  EXPECT_EQ(std::u16string(foreign, 32), std::u16string(32, u'#'));
  WCHAR replacement[] = u"\\other.mp3";
  EXPECT_EQ(SendMessageW(window, WM_ZB_CONTROL, 8522, reinterpret_cast<LPARAM>(replacement)), 0);
  EXPECT_EQ(std::u16string(MainWindow().streamPath), path);
  // Without the string bit a buffer source is no command at all.
  EXPECT_EQ(SendControlString(window, 100, 0, foreign, std::size(foreign)), 0);
}

TEST_F(ControlMessage, BeforeThePlayerCoreExistsEveryCommandAnswersZero) {
  DestroyPlayerCore();
  EXPECT_EQ(Control(100, 0, CONTROL_REMOTE), 0);
  EXPECT_EQ(Control(2, 0, CONTROL_KEY_DOWN), 0);
  EXPECT_TRUE(target.Take().empty());
}

}  // namespace
}  // namespace zb::testing
