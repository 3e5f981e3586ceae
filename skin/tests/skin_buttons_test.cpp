// Skins built in code, driven by stylus sequences through the skin's own message handling: the
// notifications buttons post (1238, 1225, 1228), the capture, sliding within a group and not out
// of it, on/off and count buttons, the root messages, and what each look draws.
#include "skin/skin_button.h"

#include "skin_window_support.h"

namespace zb::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);
constexpr int kSheet = 1;  // 80 x 20: red, green, blue and yellow cells of 20 x 20

class Buttons : public SkinWindowTest {
 protected:
  void SetUp() override {
    SkinWindowTest::SetUp();
    HDC screen = GetDC(nullptr);
    HBITMAP sheet = CreateCompatibleBitmap(screen, 80, 20);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, sheet);
    const COLORREF cells[4] = {kRed, kGreen, kBlue, kYellow};
    for (int i = 0; i < 4; ++i) {
      HBRUSH b = CreateSolidBrush(cells[i]);
      RECT r{20 * i, 0, 20 * i + 20, 20};
      FillRect(dc, &r, b);
      DeleteObject(b);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    UICache::Get()->AddBitmap(sheet, kSheet, u"sheet.bmp");
  }

  // A button at (x, y), released red and pressed green.
  CSkinButton* AddButton(int x, int y, LPCWSTR name) {
    auto* b = new CSkinButton(skin_.get());
    b->SetName(name);
    b->SetBitmaps(kSheet, kSheet);
    SkinRegionDesc region{SKIN_REGION_RECT, RECT{x, y, x + 20, y + 20}, nullptr, 0};
    b->SetRegion(region);
    b->SetGeometry(x, y, 20, 20, 0, 0, 20, 0);
    skin_->AddElement(b, -1);
    return b;
  }
  CSkinGroup* AddGroup(int id) {
    auto* g = new CSkinGroup(skin_.get());
    g->SetGroupId(id);
    skin_->AddElement(g, -1);
    return g;
  }
  COLORREF Shown(int x, int y) {
    HDC dc = GetDC(window_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window_, dc);
    return c;
  }
};

TEST_F(Buttons, APressThenAReleaseInsidePostsPressedThenClicked) {
  CSkinButton* play = AddButton(10, 10, u"PLAY");
  Press(15, 15);
  EXPECT_TRUE(play->IsPressed());
  EXPECT_EQ(Shown(15, 15), kGreen);
  Release(16, 16);
  EXPECT_FALSE(play->IsPressed());
  EXPECT_EQ(Shown(15, 15), kRed);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(play)}, {SKN_CLICKED, 0, Of(play)}}));
  EXPECT_EQ(skin_->GetCapturedIndex(), -1);
}

TEST_F(Buttons, AReleaseOutsidePostsNoClickAndDrawsTheButtonReleased) {
  CSkinButton* play = AddButton(10, 10, u"PLAY");
  Press(15, 15);
  Release(100, 100);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(play)}}));
  EXPECT_EQ(Shown(15, 15), kRed);
}

TEST_F(Buttons, SlidingOutAndBackInChangesTheLookButPressesOnce) {
  CSkinButton* play = AddButton(10, 10, u"PLAY");
  Press(15, 15);
  Move(50, 15);
  EXPECT_FALSE(play->IsPressed());
  EXPECT_EQ(Shown(15, 15), kRed);
  Move(-3, -3);  // past the window's corner: still outside, not at the far edge
  EXPECT_FALSE(play->IsPressed());
  Move(12, 12);
  EXPECT_TRUE(play->IsPressed());
  EXPECT_EQ(Shown(15, 15), kGreen);
  Release(12, 12);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(play)}, {SKN_CLICKED, 0, Of(play)}}));
}

TEST_F(Buttons, APressMovesAlongTheButtonsOfItsGroupButNoFurther) {
  AddGroup(5);
  CSkinButton* a = AddButton(10, 10, u"A");
  CSkinButton* b = AddButton(40, 10, u"B");
  AddGroup(6);
  CSkinButton* other = AddButton(70, 10, u"C");
  EXPECT_EQ(a->GetGroup(), 5);
  EXPECT_EQ(other->GetGroup(), 6);
  Press(15, 15);
  Move(45, 15);  // onto B: A lets go, B takes the press
  EXPECT_FALSE(a->IsPressed());
  EXPECT_TRUE(b->IsPressed());
  Move(75, 15);  // onto another group's button: B keeps the stylus
  EXPECT_FALSE(b->IsPressed());
  EXPECT_FALSE(other->IsPressed());
  Release(75, 15);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(a)}, {SKN_PRESSED, 0, Of(b)}}));
  Press(45, 15);
  Move(46, 15);
  Release(46, 15);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(b)}, {SKN_CLICKED, 0, Of(b)}}));
}

TEST_F(Buttons, APressOnNothingCapturesTheStylusAndItsReleaseSendsNothing) {
  AddButton(10, 10, u"PLAY");
  Press(200, 200);
  EXPECT_EQ(GetCapture(), window_);
  EXPECT_EQ(skin_->GetCapturedIndex(), -1);
  Release(15, 15);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(Notifications().empty());
}

TEST_F(Buttons, TheTopmostElementTakesThePress) {
  CSkinButton* under = AddButton(10, 10, u"UNDER");
  CSkinButton* over = AddButton(15, 15, u"OVER");
  Tap(20, 20);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(over)}, {SKN_CLICKED, 0, Of(over)}}));
  over->SetVisible(FALSE);
  Tap(20, 20);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(under)}, {SKN_CLICKED, 0, Of(under)}}));
}

CSkinOnOffButton* AddOnOff(CSkin* skin) {
  auto* b = new CSkinOnOffButton(skin);
  b->SetName(u"SHUFFLE");
  b->SetBitmaps4(kSheet, kSheet, kSheet, kSheet);
  b->SetGeometry12(10, 40, 20, 20, 0, 0, 20, 0, 40, 0, 60, 0);  // off red/green, on blue/yellow
  b->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{10, 40, 30, 60}, nullptr, 0});
  skin->AddElement(b, -1);
  return b;
}

TEST_F(Buttons, AnOnOffButtonTogglesOnEachClickAndDrawsItsFourLooks) {
  CSkinOnOffButton* shuffle = AddOnOff(skin_.get());
  Press(15, 45);
  EXPECT_EQ(Shown(15, 45), kGreen);  // off, pressed
  Release(15, 45);
  EXPECT_EQ(Shown(15, 45), kBlue);  // on, released
  Press(15, 45);
  EXPECT_EQ(Shown(15, 45), kYellow);  // on, pressed
  Release(15, 45);
  EXPECT_FALSE(shuffle->IsOn());
  Press(15, 45);
  Release(90, 90);  // outside: no toggle
  EXPECT_FALSE(shuffle->IsOn());
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(shuffle)},
                                                  {SKN_TOGGLED, 1, Of(shuffle)},
                                                  {SKN_PRESSED, 0, Of(shuffle)},
                                                  {SKN_TOGGLED, 0, Of(shuffle)},
                                                  {SKN_PRESSED, 0, Of(shuffle)}}));
}

TEST_F(Buttons, AStateSetWhileTheStylusIsHeldIsWhatTheClickReports) {
  CSkinOnOffButton* shuffle = AddOnOff(skin_.get());
  Press(15, 45);
  shuffle->SetOn(TRUE);
  Release(15, 45);
  EXPECT_TRUE(shuffle->IsOn());
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(shuffle)}, {SKN_TOGGLED, 1, Of(shuffle)}}));
  shuffle->SetOn(FALSE);  // away from the stylus: plainly set
  EXPECT_FALSE(shuffle->IsOn());
  EXPECT_EQ(Shown(15, 45), kRed);
}

TEST_F(Buttons, ACountButtonShowsTheStateItIsGivenAndRefusesOthers) {
  auto* repeat = new CSkinCountButton(skin_.get(), 2);
  const int ids[4] = {kSheet, kSheet, kSheet, kSheet};
  const POINT sources[4] = {{0, 0}, {20, 0}, {40, 0}, {60, 0}};
  repeat->SetName(u"REPEAT");
  repeat->SetBitmaps(ids);
  repeat->SetGeometry4(10, 70, 20, 20);
  repeat->SetSourcePoints(sources);
  repeat->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{10, 70, 30, 90}, nullptr, 0});
  skin_->AddElement(repeat, -1);
  EXPECT_TRUE(repeat->SetIndex(1));
  EXPECT_EQ(Shown(15, 75), kBlue);
  EXPECT_FALSE(repeat->SetIndex(2));
  EXPECT_FALSE(repeat->SetIndex(-1));
  EXPECT_EQ(repeat->GetIndex(), 1);
  Press(15, 75);
  EXPECT_EQ(Shown(15, 75), kYellow);
  Release(15, 75);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_PRESSED, 0, Of(repeat)}, {SKN_CLICKED, 0, Of(repeat)}}));
}

TEST_F(Buttons, RootMessagesAnswerForEveryButtonKind) {
  CSkinButton* play = AddButton(10, 10, u"PLAY");
  CSkinOnOffButton* shuffle = AddOnOff(skin_.get());
  DWORD kind = 0;
  EXPECT_EQ(play->SendMessage(window_, SKM_GETKIND, 0, reinterpret_cast<LPARAM>(&kind)), 1);
  EXPECT_EQ(kind, static_cast<DWORD>(SKIN_KIND_BUTTON));
  EXPECT_TRUE(shuffle->IsKind(SKIN_KIND_ONOFF));
  EXPECT_EQ(play->SendMessage(window_, SKM_ISELEMENT, 0, 0), 1);
  RECT r{};
  play->SendMessage(window_, SKM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.right, 30);
  play->SendMessage(window_, SKM_SETSTATE, 1, 0);  // drawn pressed with the stylus away
  EXPECT_EQ(Shown(15, 15), kGreen);
  play->SendMessage(window_, SKM_ACTIVATE, 0, 0);
  EXPECT_EQ(Notifications(), (std::vector<Posted>{{SKN_CLICKED, 0, Of(play)}}));
  EXPECT_EQ(skin_->FindElement(SKIN_KIND_ONOFF, u"SHUFFLE"), shuffle);
  EXPECT_EQ(skin_->FindElement(SKIN_KIND_BUTTON, u"SHUFFLE"), nullptr);
  EXPECT_EQ(skin_->GetElementOfKind(SKIN_KIND_BUTTON, 0), play);
  EXPECT_EQ(skin_->GetElementOfKind(SKIN_KIND_BUTTON, 1), nullptr);
  EXPECT_EQ(skin_->GetElementOfKind(SKIN_KIND_BUTTON, 7), nullptr);
  EXPECT_TRUE(skin_->HasVisibleElement(u"PLAY"));
  EXPECT_FALSE(skin_->HasVisibleElement(u"NONE"));
  WCHAR cut[3];
  play->GetName(cut, 3);
  EXPECT_EQ(std::u16string(cut), u"PL");
}

TEST_F(Buttons, ScalingMovesAndResizesAButtonWithItsRegion) {
  CSkinButton* play = AddButton(10, 10, u"PLAY");
  skin_->Rescale(FALSE, 2, 2, 1);
  RECT r{};
  play->GetRect(&r);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.right, 60);
  EXPECT_TRUE(play->HitTest(59, 59));
  EXPECT_FALSE(play->HitTest(60, 30));
}

// Regions: rectangles hold their left and top edges only; polygons test even-odd and take their
// bounds from their own points.
struct HitCase {
  int x, y;
  bool inside;
};

TEST(SkinRegion, RectanglesAndPolygonsHoldTheirPoints) {
  CSkinRegion empty;
  EXPECT_FALSE(empty.Contains(0, 0));
  EXPECT_FALSE(empty.Contains(-1, -1));
  CSkinRegion rect;
  rect.SetRect(RECT{0, 0, 10, 5});
  for (HitCase c : {HitCase{0, 0, true}, {9, 4, true}, {10, 0, false}, {0, 5, false}, {-1, 2, false}})
    EXPECT_EQ(rect.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
  const POINT triangle[] = {{0, 0}, {20, 0}, {0, 20}};
  CSkinRegion poly;
  poly.Set(SkinRegionDesc{SKIN_REGION_POLYGON, {}, triangle, 3});
  EXPECT_EQ(poly.Points().size(), 4u);
  for (HitCase c : {HitCase{2, 2, true}, {9, 9, true}, {15, 15, false}, {-1, 5, false}, {5, 25, false}})
    EXPECT_EQ(poly.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
  const POINT one[] = {{5, 5}};
  CSkinRegion dot;
  dot.Set(SkinRegionDesc{SKIN_REGION_POLYGON, {}, one, 1});
  EXPECT_FALSE(dot.Contains(5, 5));
}

TEST(SkinRegion, PolygonBoundsStartFromTheFirstPoint) {
  const POINT far[] = {{1200, 1500}, {1300, 1500}, {1250, 1600}};
  CSkinRegion a;
  a.Set(SkinRegionDesc{SKIN_REGION_POLYGON, {}, far, 3});
  EXPECT_EQ(a.Bounds().left, 1200);
  EXPECT_EQ(a.Bounds().top, 1500);
  EXPECT_TRUE(a.Contains(1250, 1520));
  const POINT negative[] = {{-30, -20}, {-10, -20}, {-20, -5}};
  CSkinRegion b;
  b.Set(SkinRegionDesc{SKIN_REGION_POLYGON, {}, negative, 3});
  EXPECT_EQ(b.Bounds().right, -10);
  EXPECT_EQ(b.Bounds().bottom, -5);
  EXPECT_TRUE(b.Contains(-20, -15));
}

TEST(SkinRegion, StylusPointsAreSigned) {
  const POINT p = SkinPointOf(SkinPointParam(-5, -7));
  EXPECT_EQ(p.x, -5);
  EXPECT_EQ(p.y, -7);
  const POINT q = SkinPointOf(MAKELPARAM(300, 400));
  EXPECT_EQ(q.x, 300);
  EXPECT_EQ(q.y, 400);
}

struct RatingCase {
  int rating, frames, frame;
};

// Rating values map to six frames; values beyond a strip clamp to its nearest frame.
TEST(RatingFrames, MapTheRatingAndClampToTheStrip) {
  for (const RatingCase& c : {RatingCase{0, 6, 0}, RatingCase{1, 6, 1}, RatingCase{24, 6, 1}, RatingCase{25, 6, 2},
                              RatingCase{75, 6, 4}, RatingCase{98, 6, 4}, RatingCase{99, 6, 5}, RatingCase{100, 6, 5},
                              RatingCase{5000, 6, 5}, RatingCase{-7, 6, 0}, RatingCase{60, 3, 2}, RatingCase{99, 1, 0},
                              RatingCase{50, 0, 0}})
    EXPECT_EQ(RatingFrame(c.rating, c.frames), c.frame) << c.rating << " in " << c.frames;
}

}  // namespace
}  // namespace zb::testing
