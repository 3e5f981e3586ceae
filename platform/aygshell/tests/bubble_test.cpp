// Notification bubbles and the tray: the bubble's HTML read into text, links and buttons; a
// bubble shown under the navigation bar whose links and soft keys a tap presses; a notification
// that goes straight to the tray and comes back from its icon; updating, reading and removing
// notifications; tray icons of Shell_NotifyIcon and their callback message.
#include "shell_support.h"

#include "aygshell/bubble_html.h"
#include "aygshell/shell_state.h"

namespace {

using namespace stest;
using zb::shell::HtmlPiece;

struct HtmlCase {
  const char16_t* html;
  std::vector<std::pair<HtmlPiece::Kind, std::u16string>> pieces;  // kind, text or target
};

const HtmlCase kHtml[] = {
    {u"<html><body>Plain <b>bold</b> text</body></html>",
     {{HtmlPiece::Text, u"Plain "}, {HtmlPiece::Text, u"bold"}, {HtmlPiece::Text, u" text"}}},
    {u"|&lt;&lt;<BR><a href=\"zb-14\">Back</a>",
     {{HtmlPiece::Text, u"|<<"}, {HtmlPiece::Break, u""}, {HtmlPiece::Link, u"zb-14"}}},
    {u"<table width=100%><tr><td>a</td><td>b</td></tr></table><hr size=1>next",
     {{HtmlPiece::Text, u"a"}, {HtmlPiece::Text, u"b"}, {HtmlPiece::Rule, u""}, {HtmlPiece::Text, u"next"}}},
    {u"<p align=\"right\"><input type=button name='zb-23' value='Unlock'>   <input type=button name='zb-24' value='Dismiss'></p>",
     {{HtmlPiece::Button, u"zb-23"}, {HtmlPiece::Button, u"zb-24"}}},
    {u"<br><br>  spaced \r\n  out  &amp;&#65;", {{HtmlPiece::Text, u"spaced out &A"}}},
};

TEST(BubbleHtmlTest, PiecesOfTheHtml) {
  for (const HtmlCase& c : kHtml) {
    SCOPED_TRACE(zb::ToUtf8(c.html));
    const auto pieces = zb::shell::ParseBubbleHtml(c.html);
    std::vector<std::pair<HtmlPiece::Kind, std::u16string>> got;
    for (const HtmlPiece& p : pieces) {
      got.emplace_back(p.kind, p.kind == HtmlPiece::Link || p.kind == HtmlPiece::Button ? p.target : p.text);
    }
    EXPECT_EQ(got, c.pieces);
  }
  const auto bold = zb::shell::ParseBubbleHtml(u"x <b>y</b>");
  ASSERT_EQ(bold.size(), 2u);
  EXPECT_FALSE(bold[0].bold);
  EXPECT_TRUE(bold[1].bold);
  const auto cells = zb::shell::ParseBubbleHtml(u"<table><tr><td width=20% align=\"center\">x</td><td>y</td></tr></table>");
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[0].table, 0);
  EXPECT_EQ(cells[0].cell, 0);
  EXPECT_EQ(cells[0].align, 'c');
  EXPECT_EQ(cells[0].widthPercent, 20);
  EXPECT_EQ(cells[1].cell, 1);
  EXPECT_EQ(cells[1].align, 'l');
  EXPECT_EQ(cells[1].widthPercent, 0);
  const auto link = zb::shell::ParseBubbleHtml(u"<a href=\"zb-11\">Play</a>");
  ASSERT_EQ(link.size(), 1u);
  EXPECT_EQ(link[0].text, u"Play");
}

constexpr CLSID kBubbleClass = {0x4A12308B, 0x1064, 0x4A40, {0xAF, 0xA2, 0xCD, 0x03, 0x51, 0xD5, 0xDE, 0x04}};

const char16_t* kTransport =
    u"<html><body><form method=\"POST\" action=><table width=100%><tr><td width=20% align=\"center\">|&lt;&lt;<BR>"
    u"<a href=\"zb-14\">Back</a></td><td width=20% align=\"center\">&gt;<BR><a href=\"zb-11\">Play</a></td>"
    u"<td width=20% align=\"center\">||<BR><a href=\"zb-12\">Pause</a></td></tr></table>";

class BubbleTest : public ShellTest {
 protected:
  SHNOTIFICATIONDATA Data(DWORD flags) {
    SHNOTIFICATIONDATA d{};
    d.cbStruct = sizeof d;
    d.dwID = 1023;
    d.npPriority = SHNP_INFORM;
    d.csDuration = 0x40000000;
    d.grfFlags = flags;
    d.clsid = kBubbleClass;
    d.hwndSink = sink_;
    d.pszHTML = kTransport;
    d.pszTitle = u"Zonbrel";
    return d;
  }
  void TearDown() override {
    SHNotificationRemove(&kBubbleClass, 1023);
    ShellTest::TearDown();
  }
};

TEST_F(BubbleTest, ShownBubbleTellsTheSinkTheTappedLink) {
  SHNOTIFICATIONDATA d = Data(0);
  d.rgskn[1].pszTitle = u"Exit Player";
  d.rgskn[1].skc.wpCmd = 10;
  ASSERT_EQ(SHNotificationAdd(&d), S_OK);
  EXPECT_EQ(SHNotificationAdd(&d), E_INVALIDARG) << "one notification per class and number";
  wtest::Pump();
  HWND bubble = zb::shell::BubbleWindow(kBubbleClass, 1023);
  ASSERT_NE(bubble, nullptr);
  EXPECT_TRUE(IsWindowVisible(bubble));
  RECT r;
  GetWindowRect(bubble, &r);
  EXPECT_GE(r.top, 26) << "under the navigation bar";
  const auto shows = Only(WM_NOTIFY);
  ASSERT_FALSE(shows.empty());
  EXPECT_EQ(shows[0].code, static_cast<UINT>(SHNN_SHOW));
  Log().clear();
  const RECT play = zb::shell::BubbleTargetRect(bubble, u"zb-11");
  ASSERT_FALSE(IsRectEmpty(&play));
  TapScreen(Middle(play));
  const auto notes = Only(WM_NOTIFY);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].code, static_cast<UINT>(SHNN_LINKSEL));
  EXPECT_EQ(notes[0].wParam, 1023u);
  EXPECT_EQ(notes[0].text, u"zb-11");
  EXPECT_EQ(notes[1].code, static_cast<UINT>(SHNN_DISMISS)) << "the bubble goes; the notification stays";
  EXPECT_EQ(zb::shell::BubbleWindow(kBubbleClass, 1023), nullptr);
  // Its icon on the navigation bar shows it again, and its soft key sends the sink a command.
  zb::shell::ShowNotification(kBubbleClass, 1023);
  wtest::Pump();
  bubble = zb::shell::BubbleWindow(kBubbleClass, 1023);
  ASSERT_NE(bubble, nullptr);
  Log().clear();
  TapScreen(Middle(zb::shell::BubbleTargetRect(bubble, u"Exit Player")));
  ASSERT_TRUE(PumpUntil([] { return !Only(WM_COMMAND).empty(); }));
  EXPECT_EQ(Only(WM_COMMAND)[0].wParam, 10u);
  SHNOTIFICATIONDATA read{};
  read.cbStruct = sizeof read;
  EXPECT_EQ(SHNotificationGetData(&kBubbleClass, 1023, &read), E_INVALIDARG) << "a dismissing soft key removes it";
}

TEST_F(BubbleTest, StraightToTrayUpdateReadAndRemove) {
  SHNOTIFICATIONDATA d = Data(SHNF_STRAIGHTTOTRAY);
  d.cbStruct = offsetof(SHNOTIFICATIONDATA, lParam) + sizeof(LPARAM);  // the older, shorter record
  d.lParam = 77;
  ASSERT_EQ(SHNotificationAdd(&d), S_OK);
  wtest::Pump();
  EXPECT_EQ(zb::shell::BubbleWindow(kBubbleClass, 1023), nullptr) << "only an icon in the tray";
  ASSERT_EQ(zb::shell::NotificationsInTray().size(), 1u);
  SHNOTIFICATIONDATA read{};
  read.cbStruct = offsetof(SHNOTIFICATIONDATA, lParam) + sizeof(LPARAM);
  ASSERT_EQ(SHNotificationGetData(&kBubbleClass, 1023, &read), S_OK);
  EXPECT_EQ(read.cbStruct, offsetof(SHNOTIFICATIONDATA, lParam) + sizeof(LPARAM)) << "the caller's size stays";
  EXPECT_EQ(read.hwndSink, sink_);
  EXPECT_EQ(read.lParam, 77);
  EXPECT_EQ(read.csDuration, 0x40000000u);
  EXPECT_EQ(read.grfFlags, static_cast<DWORD>(SHNF_STRAIGHTTOTRAY));
  SHNOTIFICATIONDATA update = Data(0);
  update.csDuration = 5;
  update.pszTitle = u"Locked";
  ASSERT_EQ(SHNotificationUpdate(SHNUM_DURATION | SHNUM_TITLE, &update), S_OK);
  SHNotificationGetData(&kBubbleClass, 1023, &read);
  EXPECT_EQ(read.csDuration, 5u);
  EXPECT_EQ(SHNotificationRemove(&kBubbleClass, 1023), S_OK);
  EXPECT_EQ(SHNotificationRemove(&kBubbleClass, 1023), E_INVALIDARG);
  EXPECT_TRUE(zb::shell::NotificationsInTray().empty());
  SHNOTIFICATIONDATA small{};
  small.cbStruct = 8;
  EXPECT_EQ(SHNotificationAdd(&small), E_INVALIDARG);
}

struct TrayCase {
  DWORD message;
  UINT id;
  BOOL result;
};

TEST_F(BubbleTest, TrayIconsComeAndGoAndAnswerTaps) {
  NOTIFYICONDATA icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = sink_;
  icon.uFlags = NIF_MESSAGE | NIF_ICON;
  icon.uCallbackMessage = kTrayMessage;
  const TrayCase steps[] = {
      {NIM_MODIFY, 1, FALSE}, {NIM_DELETE, 1, FALSE}, {NIM_ADD, 1, TRUE}, {NIM_ADD, 1, FALSE},
      {NIM_MODIFY, 1, TRUE},  {NIM_ADD, 2, TRUE},     {NIM_DELETE, 2, TRUE}, {7, 1, FALSE},
  };
  for (const TrayCase& s : steps) {
    icon.uID = s.id;
    EXPECT_EQ(Shell_NotifyIcon(s.message, &icon), s.result) << s.message << " " << s.id;
  }
  wtest::Pump();
  const RECT r = zb::shell::TrayIconRect(sink_, 1);
  ASSERT_FALSE(IsRectEmpty(&r));
  EXPECT_LE(r.bottom, 26) << "on the navigation bar";
  TapScreen(Middle(r));
  ASSERT_TRUE(PumpUntil([] { return Only(kTrayMessage).size() >= 2; }));
  EXPECT_EQ(Only(kTrayMessage)[0].wParam, 1u);
  EXPECT_EQ(Only(kTrayMessage)[0].lParam, WM_LBUTTONDOWN);
  EXPECT_EQ(Only(kTrayMessage)[1].lParam, WM_LBUTTONUP);
  icon.uID = 1;
  EXPECT_TRUE(Shell_NotifyIcon(NIM_DELETE, &icon));
}

}  // namespace
