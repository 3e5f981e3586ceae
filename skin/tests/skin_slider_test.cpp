// Sliders and ratchets driven through the skin: values and frames by position, the notifications
// with their packed values, signed coordinates past the edges, message 1230 and 1231 as a table,
// guarded divisions (no frames, no travel, zero range), and the ratchet's threshold and lock.
#include "skin/skin_slider.h"

#include "skin_window_support.h"

namespace zb::testing {
namespace {

LPARAM Packed(int value, int range) { return static_cast<LPARAM>(static_cast<DWORD>((value & 0xFFFF) | (range << 16))); }

class Sliders : public SkinWindowTest {
 protected:
  // Horizontal: track (10, 50) 100 x 10, thumb 10 x 10, region = the track: travel 15 ... 105.
  template <typename T = CSkinSlider>
  T* AddSlider(int frames, RECT region = RECT{10, 50, 110, 60}) {
    auto* s = new T(skin_.get());
    s->SetName(u"VOLUME");
    s->SetBitmap(1);
    s->SetGeometry(1, frames, 10, 10, 50, 100, 10, 10, 10, 12, 12);
    s->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, region, nullptr, 0});
    skin_->AddElement(s, -1);
    return s;
  }
};

TEST_F(Sliders, TravelRunsFromHalfAThumbInToHalfAThumbShortOfTheEnd) {
  CSkinSlider* s = AddSlider(4);
  EXPECT_EQ(s->Minimum(), 16);  // the larger (pressed) thumb, 12 wide, counts: half is 6
  EXPECT_EQ(s->Maximum(), 104);
}

TEST_F(Sliders, ADragPostsTentativeValuesAndTheReleaseCommits) {
  CSkinSlider* s = AddSlider(4);
  const int range = 88;
  Press(60, 55);
  Move(200, 55);  // past the end: the maximum
  Move(-20, 55);  // past the window's left edge: the minimum, not the maximum
  Move(38, 55);
  EXPECT_EQ(s->Value(), 0);  // nothing committed while dragging
  Release(38, 55);
  EXPECT_EQ(s->Value(), 22);
  EXPECT_EQ(s->Frame(), 1);  // 4 * 22 / 88
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_DRAGGING, static_cast<WPARAM>(Packed(44, range)), Of(s)},
                                                  {SKN_DRAGGING, static_cast<WPARAM>(Packed(88, range)), Of(s)},
                                                  {SKN_DRAGGING, static_cast<WPARAM>(Packed(0, range)), Of(s)},
                                                  {SKN_DRAGGING, static_cast<WPARAM>(Packed(22, range)), Of(s)},
                                                  {SKN_RELEASED, static_cast<WPARAM>(Packed(22, range)), Of(s)}}));
  EXPECT_EQ(s->SendMessage(window_, SKM_GETPOSITION, 0, 0), Packed(22, range));
  EXPECT_EQ(s->SendMessage(window_, 1244, 0, 0), 1);
  EXPECT_EQ(s->SendMessage(window_, SKM_SETSTATE, 1, 0), 0);  // no root part
}

struct PositionCase {
  const char* name;
  int frames;
  WPARAM position;
  LPARAM range;
  LRESULT result;
  int value, frame;
};

class SliderPositions : public Sliders, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(SliderPositions, MapToValuesAndFrames) {
  const PositionCase c = GetParam();
  CSkinSlider* s = AddSlider(c.frames);
  EXPECT_EQ(s->SendMessage(window_, SKM_SETPOSITION, c.position, c.range), c.result);
  EXPECT_EQ(s->Value(), c.value);
  EXPECT_EQ(s->Frame(), c.frame);
}

INSTANTIATE_TEST_SUITE_P(Table, SliderPositions,
                         ::testing::Values(PositionCase{"Start", 4, 0, 100, 0, 0, 0},
                                           PositionCase{"Half", 4, 50, 100, 1, 44, 2},
                                           PositionCase{"End", 4, 100, 100, 1, 88, 3},
                                           PositionCase{"PastTheEnd", 4, 300, 100, 1, 88, 3},
                                           PositionCase{"ZeroRangeClearsTheValue", 4, 50, 0, 1, kSkinNoValue, 0},
                                           PositionCase{"NoFramesDrawsFrameZero", 0, 100, 100, 1, 88, 0},
                                           PositionCase{"NoFramesHalfWay", 0, 50, 100, 1, 44, 0},
                                           PositionCase{"OneFrame", 1, 70, 100, 1, 61, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Sliders, SettingTheCurrentPositionAgainChangesNothing) {
  CSkinSlider* s = AddSlider(4);
  EXPECT_EQ(s->SendMessage(window_, SKM_SETPOSITION, 25, 100), 1);
  EXPECT_EQ(s->SendMessage(window_, SKM_SETPOSITION, 25, 100), 0);
}

TEST_F(Sliders, ATrackNoLongerThanItsThumbStaysAtFrameZero) {
  CSkinSlider* s = AddSlider(4, RECT{10, 50, 22, 60});  // travel 16 ... 16
  EXPECT_EQ(s->SendMessage(window_, SKM_SETPOSITION, 80, 100), 0);
  Press(30, 55);
  Release(30, 55);
  EXPECT_EQ(s->Value(), 0);
  EXPECT_EQ(s->Frame(), 0);
}

TEST_F(Sliders, WithoutAValueTheStylusIsIgnored) {
  CSkinSlider* s = AddSlider(4);
  s->SendMessage(window_, SKM_SETPOSITION, 10, 0);
  Press(60, 55);
  Move(70, 55);
  Release(70, 55);
  EXPECT_EQ(s->Value(), kSkinNoValue);
  EXPECT_TRUE(Notifications().empty());
}

class Ratchets : public Sliders {
 protected:
  CSkinRatchet* AddRatchet(int frames, int margin) {
    auto* r = new CSkinRatchet(skin_.get());
    r->SetName(u"JOG");
    r->SetBitmap(1);
    r->SetGeometryWithMargin(1, frames, 10, 10, 50, 200, 10, 10, 10, 10, 10, margin);
    r->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{10, 50, 210, 60}, nullptr, 0});  // travel 15 ... 205
    skin_->AddElement(r, -1);
    return r;
  }
  int Threshold() const { return std::max(2, GetSystemMetrics(SM_CXSMICON) / 2); }
};

TEST_F(Ratchets, AMoveWithinTheThresholdPostsNothingAndATapPostsTheValue) {
  CSkinRatchet* r = AddRatchet(6, 20);
  Press(100, 55);
  Move(100 + Threshold(), 55);
  Release(100 + Threshold(), 55);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_RELEASED, static_cast<WPARAM>(Packed(0, 190)), Of(r)}}));
  EXPECT_EQ(r->Frame(), 0);
}

TEST_F(Ratchets, MovementTurnsTheFramesBothWaysAndReportsTheDistance) {
  CSkinRatchet* r = AddRatchet(6, 20);
  const int t = Threshold();
  Press(100, 55);
  Move(100 + 3 * t, 55);  // three steps on
  EXPECT_EQ(r->Frame(), 3);
  Move(100 - 2 * t, 55);  // five steps back, wrapping
  EXPECT_EQ(r->Frame(), 4);
  Release(100 - 2 * t, 55);
  EXPECT_EQ(Notifications(),
            (std::vector<Posted>{{SKN_DRAGGING, static_cast<WPARAM>(((3 * t) & 0xFFFF) | 0x10000), Of(r)},
                                 {SKN_DRAGGING, static_cast<WPARAM>(((-5 * t) & 0xFFFF) | 0x10000), Of(r)}}));
}

TEST_F(Ratchets, NearAnEdgeTheDirectionLocksAndReversesTheReport) {
  CSkinRatchet* r = AddRatchet(6, 20);
  const int t = Threshold();
  Press(120, 55);
  Move(120 - 100, 55);  // into the left margin (below 35): the lock turns to 1
  EXPECT_EQ(r->Lock(), 1);
  // A further move toward the lock's sign is reported reversed.
  Notifications();
  Move(20 + t + 1, 55);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_DRAGGING, static_cast<WPARAM>((-(t + 1) & 0xFFFF) | 0x10000), Of(r)}}));
  Release(20 + t + 1, 55);
  EXPECT_EQ(r->Lock(), 0);
}

TEST_F(Ratchets, APictureWithoutFramesStaysAtFrameZero) {
  CSkinRatchet* r = AddRatchet(0, 0);
  Press(100, 55);
  Move(150, 55);
  EXPECT_EQ(r->Frame(), 0);
  Release(150, 55);
}

// The skin's window procedure hands the window's own stylus messages to the skin, as the main
// window does; points left of or above the window arrive as 16-bit negative numbers.
CSkin* g_routedSkin = nullptr;
LRESULT CALLBACK RoutingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_routedSkin && g_routedSkin->HandleWindowMessage(window, msg, wParam, lParam, FALSE)) return 0;
  return DefWindowProcW(window, msg, wParam, lParam);
}

TEST_F(Sliders, DraggingPastTheLeftEdgeOfTheWindowGoesToTheStartNotTheEnd) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RoutingProc;
  wc.lpszClassName = u"SkinRouting";
  RegisterClassW(&wc);
  HWND routed = CreateWindowExW(0, u"SkinRouting", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(routed, nullptr);
  CSkin skin(routed);
  g_routedSkin = &skin;
  auto* s = new CSkinSlider(&skin);
  s->SetBitmap(1);
  s->SetGeometry(1, 4, 10, 10, 50, 100, 10, 10, 10, 12, 12);
  s->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{10, 50, 110, 60}, nullptr, 0});
  skin.AddElement(s, -1);
  skin.SetViewOffset(0, 20);  // the skin starts 20 pixels down: a window y of 5 is skin y -15
  ::SendMessageW(routed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 75));
  ::SendMessageW(routed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-40, 5));
  EXPECT_EQ(s->TentativeValue(), 0);
  EXPECT_EQ(s->TentativeFrame(), 0);
  ::SendMessageW(routed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
  EXPECT_EQ(s->TentativeValue(), s->Maximum() - s->Minimum());
  ::SendMessageW(routed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-3, -8));  // up and left of the window
  ::SendMessageW(routed, WM_LBUTTONUP, 0, MAKELPARAM(-3, -8));
  EXPECT_EQ(s->Value(), 0);
  MSG m;
  std::vector<Posted> posted;
  while (PeekMessageW(&m, routed, SKN_DRAGGING, SKN_RELEASED, PM_REMOVE)) posted.push_back({m.message, m.wParam, m.lParam});
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back(), (Posted{SKN_RELEASED, static_cast<WPARAM>(Packed(0, s->Maximum() - s->Minimum())), Of(s)}));
  g_routedSkin = nullptr;
  DestroyWindow(routed);
}

}  // namespace
}  // namespace zb::testing
