// Dials: angles and lengths from the 24-step CORDIC against atan2 all round, points back from
// them, values and frames by angle (guarded against empty ranges), the notifications while
// turning, and the wrap notification in both directions across the top.
#include "skin/skin_dial.h"

#include <cmath>

#include "skin/cordic.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

TEST(Cordic, AnglesAndLengthsMatchAtan2AllRound) {
  for (int deg = -179; deg <= 180; deg += 7) {
    for (double length : {3.0, 50.0, 2000.0, 1e6}) {
      const double rad = deg * 3.14159265358979323846 / 180.0;
      const int64_t x = std::llround(length * std::cos(rad)), y = std::llround(length * std::sin(rad));
      const skin::Polar p = skin::CordicVector(x, y);
      const double want = std::atan2(static_cast<double>(y), static_cast<double>(x)) * 180.0 / 3.14159265358979323846;
      double diff = p.angle / 65536.0 - want;
      if (diff > 180) diff -= 360;
      if (diff < -180) diff += 360;
      ASSERT_NEAR(diff, 0.0, length < 10 ? 1.0 : 0.01) << x << "," << y;
      ASSERT_NEAR(static_cast<double>(p.radius), std::hypot(x, y), std::max(1.0, std::hypot(x, y) * 1e-6)) << x << "," << y;
    }
  }
  EXPECT_EQ(skin::CordicVector(0, 0).radius, 0);
}

TEST(Cordic, RotationTurnsALengthToAnyAngle) {
  for (int deg = -350; deg <= 350; deg += 13) {
    int64_t x = 0, y = 0;
    skin::CordicRotate(1000, int64_t{deg} << 16, &x, &y);
    const double rad = deg * 3.14159265358979323846 / 180.0;
    ASSERT_NEAR(static_cast<double>(x), 1000 * std::cos(rad), 1.5) << deg;  // whole units, rounded down
    ASSERT_NEAR(static_cast<double>(y), 1000 * std::sin(rad), 1.5) << deg;
  }
}

class Dials : public SkinWindowTest {
 protected:
  // A dial in (20, 20) ... (120, 120), centre (70, 70): 0 ... 360 degrees to values 0 ... 100 in
  // 20 steps, drawn with one hand.
  CSkinDial* AddDial(int angleMin = 0, int angleMax = 360, int valueMin = 0, int valueMax = 100, int steps = 20) {
    auto* d = new CSkinDial(skin_.get());
    d->SetName(u"VOLUME");
    d->SetGeometry(angleMin, angleMax, valueMin, valueMax, steps, 10, 20, 40, 45);
    d->SetBitmaps(1, 1);
    d->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{20, 20, 120, 120}, nullptr, 0});
    skin_->AddElement(d, -1);
    return d;
  }
  // The point at `deg` degrees clockwise from the top, 40 pixels out.
  static POINT At(int deg) {
    const double rad = deg * 3.14159265358979323846 / 180.0;
    return POINT{static_cast<LONG>(std::lround(70 + 40 * std::sin(rad))), static_cast<LONG>(std::lround(70 - 40 * std::cos(rad)))};
  }
};

TEST_F(Dials, PolarFormIsMeasuredFromTheTopClockwise) {
  CSkinDial* d = AddDial();
  const struct {
    int x, y, angle;
  } cases[] = {{70, 30, 0}, {110, 70, 90}, {70, 110, 180}, {30, 70, 270}, {100, 40, 45}, {40, 40, 315}};
  for (auto c : cases) {
    const POINT p = d->PointToPolar(c.x, c.y);
    EXPECT_EQ(p.y, c.angle) << c.x << "," << c.y;
  }
  EXPECT_EQ(d->PointToPolar(70, 30).x, 40);
  const POINT back = d->PolarToPoint(40, 90);
  EXPECT_NEAR(back.x, 110, 1);
  EXPECT_NEAR(back.y, 70, 1);
  EXPECT_EQ(d->PolarToPoint(0, 123).x, 70);
}

TEST_F(Dials, TurningPostsValuesAndCrossingTheTopWraps) {
  CSkinDial* d = AddDial();
  const POINT start = At(90);
  Press(start.x, start.y);
  EXPECT_EQ(d->TentativeValue(), 25);
  EXPECT_EQ(d->TentativeFrame(), 5);
  const POINT late = At(350), early = At(10);
  Move(late.x, late.y);  // from the second quarter to the last: no wrap
  Move(early.x, early.y);  // across the top, clockwise
  Move(late.x, late.y);    // and back
  Release(late.x, late.y);
  EXPECT_EQ(d->GetValue(), 96);  // 97 is 349 degrees, which is 96.9
  std::vector<Posted> seen = Notifications();
  EXPECT_TRUE(seen.empty());  // a dial sends, it does not post
}

// The dial sends its notifications: a window procedure of the test's collects them.
std::vector<Posted>* g_sent = nullptr;
LRESULT CALLBACK Collect(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_sent && msg >= SKN_CLICKED && msg <= SKN_PANELAFTERDRAW) g_sent->push_back({msg, wParam, lParam});
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(Dials, NotificationsAreSentWithPackedValuesAndWraps) {
  std::vector<Posted> sent;
  g_sent = &sent;
  SetWindowLongW(window_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Collect));
  CSkinDial* d = AddDial();
  auto packed = [](int v) { return static_cast<WPARAM>(v | (100 << 16)); };
  const POINT a = At(350), b = At(10);
  Press(a.x, a.y);
  Move(b.x, b.y);
  Move(a.x, a.y);
  Press(70, 70);  // the centre: ignored
  Release(a.x, a.y);
  g_sent = nullptr;
  EXPECT_EQ(sent, (std::vector<Posted>{{SKN_DRAGGING, packed(97), Of(d)},
                                       {SKN_DIALWRAPPED, static_cast<WPARAM>(-1), Of(d)},  // from 0 back over the top
                                       {SKN_DRAGGING, packed(2), Of(d)},
                                       {SKN_DIALWRAPPED, 1, Of(d)},
                                       {SKN_DRAGGING, packed(97), Of(d)},
                                       {SKN_DIALWRAPPED, static_cast<WPARAM>(-1), Of(d)},
                                       {SKN_RELEASED, packed(96), Of(d)}}));
}

struct RangeCase {
  const char* name;
  int angleMin, angleMax, valueMin, valueMax, steps;
  int angle;
  int value, frame;
};

class DialRanges : public Dials, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(DialRanges, MapAnglesToValuesAndFrames) {
  const RangeCase c = GetParam();
  CSkinDial* d = AddDial(c.angleMin, c.angleMax, c.valueMin, c.valueMax, c.steps);
  const POINT p = At(c.angle);
  Press(p.x, p.y);
  Release(p.x, p.y);
  EXPECT_EQ(d->GetValue(), c.value);
  EXPECT_EQ(d->Frame(), c.frame);
}

INSTANTIATE_TEST_SUITE_P(Table, DialRanges,
                         ::testing::Values(RangeCase{"Quarter", 0, 360, 0, 100, 20, 90, 25, 5},
                                           RangeCase{"BelowTheArc", 45, 315, 0, 90, 9, 20, 0, 0},
                                           RangeCase{"AboveTheArc", 45, 315, 0, 90, 9, 340, 90, 8},
                                           RangeCase{"InsideTheArc", 45, 315, 10, 100, 9, 180, 45, 4},
                                           RangeCase{"NoAngleRangeSettlesAtTheStart", 90, 90, 0, 100, 20, 180, 0, 0},
                                           RangeCase{"NoValueRange", 0, 360, 50, 50, 20, 180, 0, 0},
                                           RangeCase{"NoSteps", 0, 360, 0, 100, 0, 180, 50, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dials, PositionsSetFromOutsideClampAndAZeroRangeClears) {
  CSkinDial* d = AddDial();
  EXPECT_EQ(d->SendMessage(window_, SKM_SETPOSITION, 50, 100), 1);
  EXPECT_EQ(d->GetValue(), 50);
  EXPECT_EQ(d->SendMessage(window_, SKM_SETPOSITION, 50, 100), 0);
  EXPECT_EQ(d->SendMessage(window_, SKM_GETPOSITION, 0, 0), static_cast<LRESULT>(50 | (100 << 16)));
  d->SetValue(1000);
  EXPECT_EQ(d->GetValue(), 100);
  d->SendMessage(window_, SKM_SETPOSITION, 5, 0);
  EXPECT_EQ(d->GetValue(), kSkinNoValue);
  Press(110, 70);
  EXPECT_EQ(d->GetValue(), kSkinNoValue);
  Release(110, 70);
}

// The picture form draws only the wedge of the current step: with four steps and the wedges
// reaching 45 pixels out, step 0 shows the picture above the centre and step 2 below it.
TEST_F(Dials, APictureShowsOnlyTheWedgeOfTheCurrentStep) {
  HDC screen = GetDC(nullptr);
  HBITMAP red = CreateCompatibleBitmap(screen, 100, 100);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, red);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  const RECT all{0, 0, 100, 100};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  UICache::Get()->AddBitmap(red, 7, u"dial.bmp");
  auto* d = new CSkinDial(skin_.get());
  d->SetGeometry(0, 360, 0, 100, 4, 0, 0, 40, 45);
  d->SetBitmaps(7, 7);
  d->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{20, 20, 120, 120}, nullptr, 0});
  skin_->AddElement(d, -1);
  struct Case {
    int value;
    POINT inside, outside;
  };
  for (const Case& c : {Case{0, {70, 40}, {70, 100}}, Case{50, {70, 100}, {70, 40}}, Case{25, {100, 70}, {40, 70}}}) {
    HDC window = GetDC(window_);
    d->SetValue(c.value);
    const RECT area{0, 0, 140, 140};
    FillRect(window, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ASSERT_EQ(GetPixel(window, c.outside.x, c.outside.y), RGB(0, 0, 0));
    d->Draw(window_, window);
    EXPECT_EQ(GetPixel(window, c.inside.x, c.inside.y), RGB(255, 0, 0)) << c.value;
    EXPECT_EQ(GetPixel(window, c.outside.x, c.outside.y), RGB(0, 0, 0)) << c.value;
    EXPECT_EQ(GetPixel(window, 70, 70 - 60), RGB(0, 0, 0)) << "past the outer radius, value " << c.value;
    ReleaseDC(window_, window);
  }
}

}  // namespace
}  // namespace zb::testing
