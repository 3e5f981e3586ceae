// MessageBoxW: answers set in advance (for a caption, or for the next box whatever its caption)
// return at once and are recorded; without one, a real box is drawn on the screen, disables its
// owner, and answers the button tapped, Enter (the default button) or Escape (Cancel).
#include <atomic>
#include <thread>

#include "gwes/gdi_host.h"
#include "gwes/input.h"
#include "gwes/message_box.h"
#include "screen_support.h"
#include "window_support.h"

namespace {

using namespace wtest;
using zb::input::Deliver;
using zb::input::Event;
using zb::input::Kind;

class MessageBoxTest : public WindowTest {};

TEST_F(MessageBoxTest, ScriptedAnswersGoByCaptionOrInOrderAndAreRecorded) {
  ASSERT_TRUE(zb::wm::ScriptMessageBox(u"Zonbrel", IDYES));
  ASSERT_TRUE(zb::wm::ScriptMessageBox(u"", IDNO));
  ASSERT_TRUE(zb::wm::ScriptMessageBox(u"", IDOK));
  struct Case {
    const char16_t* caption;
    const char16_t* text;
    UINT type;
    int answer;
  };
  const Case cases[] = {
      {u"Exception", u"Exception C0000005 at 0", MB_SETFOREGROUND, IDNO},  // the oldest any-caption answer
      {u"zonbrel", u"Associate Zonbrel with known file types?", MB_YESNO | MB_SETFOREGROUND, IDYES},
      {nullptr, u"no caption", MB_OK | MB_ICONHAND, IDOK},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageBoxW(nullptr, c.text, c.caption, c.type), c.answer);
  auto shown = zb::wm::ShownMessageBoxes();
  ASSERT_EQ(shown.size(), std::size(cases));
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].caption, cases[i].caption ? cases[i].caption : u"Error");
    EXPECT_EQ(shown[i].text, cases[i].text);
    EXPECT_EQ(shown[i].type, cases[i].type);
    EXPECT_EQ(shown[i].answer, cases[i].answer);
    EXPECT_EQ(shown[i].pid, static_cast<int>(GetCurrentProcessId()));
  }
  zb::wm::ClearShownMessageBoxes();
  EXPECT_TRUE(zb::wm::ShownMessageBoxes().empty());
}

// Runs a box on a thread of its own with an owner window, and finds it on the screen.
class ShownBox {
 public:
  ShownBox(const char16_t* caption, UINT type) {
    thread_ = std::thread([this, caption, type] {
      owner_ = Make(WS_VISIBLE);
      answer_ = MessageBoxW(owner_, u"Play the files of this folder?", caption, type);
      ownerEnabled_ = IsWindowEnabled(owner_);
      DestroyWindow(owner_);
    });
    // The box counts as shown once it is the foreground window; the owner is disabled before
    // the box exists, and the box is visible before it comes to the front.
    zb::testing::WaitUntil([&] {
      box_ = FindWindowW(u"ZbMessageBox", caption);
      return box_ && GetForegroundWindow() == box_;
    });
  }
  ~ShownBox() {
    if (thread_.joinable()) thread_.join();
  }
  HWND box() const { return box_; }
  HWND owner() const { return owner_; }
  int Answer() {
    thread_.join();
    return answer_;
  }
  bool ownerEnabled() const { return ownerEnabled_; }

 private:
  std::thread thread_;
  HWND box_ = nullptr;
  std::atomic<HWND> owner_{nullptr};
  std::atomic<int> answer_{0};
  std::atomic<bool> ownerEnabled_{false};
};

TEST_F(MessageBoxTest, ShownBoxIsDrawnDisablesItsOwnerAndAnswersTheTappedButton) {
  ShownBox shown(u"Question", MB_YESNO | MB_ICONQUESTION);
  ASSERT_NE(shown.box(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(shown.owner()));
  EXPECT_EQ(GetForegroundWindow(), shown.box());
  RECT r;
  GetWindowRect(shown.box(), &r);
  // UpdateWindow has the box's thread paint it now, if it has not; a message sent after it is
  // only answered once that thread is back in its loop, so no paint is still under way.
  ASSERT_TRUE(UpdateWindow(shown.box()));
  SendMessageW(shown.box(), WM_NULL, 0, 0);
  const COLORREF caption = zb::gdi::ScreenPixel(r.left + 4, r.top + 10);
  EXPECT_GT(GetBValue(caption), 100) << "the caption bar is drawn";
  EXPECT_LT(GetRValue(caption), 20) << "the caption bar is drawn";
  EXPECT_GT(GetRValue(zb::gdi::ScreenPixel(r.left + 4, r.bottom - 4)), 200) << "the body is white";
  POINT no;
  ASSERT_TRUE(zb::wm::MessageBoxButton(shown.box(), IDNO, &no));
  EXPECT_FALSE(zb::wm::MessageBoxButton(shown.box(), IDCANCEL, &no)) << "a yes/no box has no Cancel";
  ASSERT_TRUE(zb::wm::MessageBoxButton(shown.box(), IDNO, &no));
  Deliver(Event{Kind::StylusDown, no.x, no.y});
  Deliver(Event{Kind::StylusUp, no.x, no.y});
  EXPECT_EQ(shown.Answer(), IDNO);
  EXPECT_TRUE(shown.ownerEnabled()) << "the owner is enabled again";
  EXPECT_FALSE(IsWindow(shown.box()));
  auto record = zb::wm::ShownMessageBoxes();
  ASSERT_EQ(record.size(), 1u);
  EXPECT_EQ(record[0].answer, IDNO);
}

TEST_F(MessageBoxTest, EnterTakesTheDefaultButtonAndEscapeCancels) {
  struct Case {
    UINT type;
    UINT key;
    int answer;
  };
  const Case cases[] = {
      {MB_YESNO | MB_DEFBUTTON2, VK_RETURN, IDNO},
      {MB_OKCANCEL, VK_RETURN, IDOK},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL},
      {MB_RETRYCANCEL | MB_ICONEXCLAMATION, VK_ESCAPE, IDCANCEL},
  };
  for (const Case& c : cases) {
    ShownBox shown(u"Keys", c.type);
    ASSERT_NE(shown.box(), nullptr);
    ASSERT_EQ(GetForegroundWindow(), shown.box());
    Deliver(Event{Kind::KeyDown, 0, 0, c.key});
    Deliver(Event{Kind::KeyUp, 0, 0, c.key});
    EXPECT_EQ(shown.Answer(), c.answer) << c.type << " " << c.key;
  }
}

}  // namespace
