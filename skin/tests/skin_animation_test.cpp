// Skin animation with the test clock: frame labels step through their glyph set and wrap to its
// second glyph, and rotating groups show their members in turn every four seconds, skipping
// labels without text. Labels here are stand-ins that answer the label messages.
#include <memory>

#include "recording_host.h"
#include "skin/skin_button.h"
#include "skin/skin_state.h"
#include "skin_window_support.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

// Answers the label messages the animation uses: kind, glyph set, glyph count, character, text.
class StandInLabel : public CSkinElement {
 public:
  StandInLabel(CSkin* owner, LPCWSTR name, std::u16string set, std::u16string text)
      : CSkinElement(owner), set_(std::move(set)), text_(std::move(text)) {
    SetName(name);
  }
  void Scale(int, int, int) override {}
  void GetRect(RECT* r) override { *r = RECT{0, 0, 10, 10}; }
  LRESULT SendMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case SKM_GETKIND:
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = SKIN_KIND_LABEL;
        return 1;
      case 1241:
        std::copy(set_.begin(), set_.end(), reinterpret_cast<WCHAR*>(lParam));
        return 1;
      case 1242:
        return static_cast<LRESULT>(set_.size());
      case 1243:
        return wParam < text_.size() ? text_[wParam] : 0;
      case SKM_SETTEXT:
        text_ = reinterpret_cast<LPCWSTR>(lParam);
        return 0;
      default:
        return 0;
    }
  }
  std::u16string set_, text_;
};

class Animation : public SkinWindowTest {
 protected:
  void SetUp() override {
    SkinWindowTest::SetUp();
    TakeOverClock(1000);
  }
  void TearDown() override {
    ReleaseClock();
    SkinWindowTest::TearDown();
  }
  CSkinButton* Member(int x) {
    auto* b = new CSkinButton(skin_.get());
    b->SetGeometry(x, 0, 10, 10, 0, 0, 0, 0);
    skin_->AddElement(b, -1);
    return b;
  }
  CSkinGroup* Group(int id) {
    auto* g = new CSkinGroup(skin_.get());
    g->SetGroupId(id);
    skin_->AddElement(g, -1);
    return g;
  }
};

TEST_F(Animation, FrameLabelsStepAndWrapToTheirSecondGlyph) {
  auto* first = new StandInLabel(skin_.get(), u"ANIMATION", u" abc", u"");
  auto* second = new StandInLabel(skin_.get(), u"ANIMATION2", u" xy", u"");
  auto* stray = new StandInLabel(skin_.get(), u"ANIMATION4", u" q", u"");  // after a gap: not reached
  skin_->AddElement(first, -1);
  skin_->AddElement(second, -1);
  skin_->AddElement(stray, -1);
  ASSERT_TRUE(skin_->IsAnimated());
  skin_->Animate(0);
  EXPECT_EQ(first->text_, u" ");
  std::u16string seen;
  for (int i = 0; i < 5; ++i) {
    skin_->Animate(1);
    seen += first->text_;
  }
  EXPECT_EQ(seen, u"abcab");
  EXPECT_EQ(second->text_, u"x");  // x y x y x
  skin_->Animate(2);  // a refresh keeps the frame
  EXPECT_EQ(first->text_, u"b");
  first->text_ = u"?";  // not in the set: left alone
  skin_->Animate(1);
  EXPECT_EQ(first->text_, u"?");
  EXPECT_EQ(stray->text_, u"");
}

TEST_F(Animation, ARotatingGroupShowsOneMemberAtATimeEveryFourSeconds) {
  Group(0x401);
  CSkinButton* a = Member(0);
  auto* silent = new StandInLabel(skin_.get(), u"ARTIST", u" A", u"");
  skin_->AddElement(silent, -1);
  CSkinButton* b = Member(20);
  Group(2);
  CSkinButton* outside = Member(40);
  ASSERT_TRUE(skin_->IsAnimated());
  skin_->Animate(0);
  EXPECT_FALSE(a->IsVisible());
  EXPECT_FALSE(b->IsVisible());
  EXPECT_FALSE(silent->IsVisible());
  EXPECT_TRUE(outside->IsVisible());
  AdvanceClock(3000);
  skin_->Animate(1);
  EXPECT_FALSE(a->IsVisible());  // not yet four seconds
  AdvanceClock(1001);
  skin_->Animate(1);
  EXPECT_TRUE(a->IsVisible());
  AdvanceClock(4001);
  skin_->Animate(1);  // the empty label is skipped
  EXPECT_FALSE(a->IsVisible());
  EXPECT_FALSE(silent->IsVisible());
  EXPECT_TRUE(b->IsVisible());
  silent->text_ = u"A";
  AdvanceClock(4001);
  skin_->Animate(1);  // round to the start
  EXPECT_TRUE(a->IsVisible());
  EXPECT_FALSE(b->IsVisible());
  AdvanceClock(4001);
  skin_->Animate(1);
  EXPECT_TRUE(silent->IsVisible());
}

TEST_F(Animation, ASkinWithoutAnimatedPartsIgnoresTheTimer) {
  Group(0x400 - 1);
  CSkinButton* a = Member(0);
  EXPECT_FALSE(skin_->IsAnimated());
  skin_->Animate(0);
  EXPECT_TRUE(a->IsVisible());
}

// The refresh's scroll tick (user-interface command 1) runs the animation: from its first frame
// when playing starts, a step a tick while playing, no step while paused, nothing when stopped.
TEST_F(Animation, TheRefreshTickStartsStepsAndHoldsTheAnimationWithThePlayer) {
  auto* frames = new StandInLabel(skin_.get(), u"ANIMATION", u" abc", u"?");
  skin_->AddElement(frames, -1);
  RecordingHost host;
  CSkin* skin = skin_.release();
  auto state = std::make_unique<CSkinState>(window_, &host);
  state->SetSkin(skin);
  const auto tick = [&] { state->HandleUiCommand(1, nullptr); };
  tick();
  EXPECT_EQ(frames->text_, u"?") << "stopped: no animation";
  host.playing = TRUE, host.paused = 0;
  tick();
  EXPECT_EQ(frames->text_, u" ") << "playing starts from the first frame";
  tick();
  tick();
  EXPECT_EQ(frames->text_, u"b");
  host.paused = 1;
  tick();
  tick();
  EXPECT_EQ(frames->text_, u"b") << "paused holds the frame";
  host.paused = 0;
  tick();
  EXPECT_EQ(frames->text_, u"c");
  host.playing = FALSE;
  tick();
  EXPECT_EQ(frames->text_, u"c");
  EXPECT_EQ(skin->GetAnimationMode(), 0);
}

}  // namespace
}  // namespace zb::testing
