// The test skin drawn in each state and compared pixel by pixel with PNG goldens that were
// looked at: buttons released and pressed, an on/off button off and on, a two-frame slider at
// rest and while its thumb is dragged. ZB_UPDATE_GOLDENS=1 writes the goldens instead.
#include <png.h>

#include <cstdlib>
#include <filesystem>

#include "skin/skin_button.h"
#include "skin/skin_dial.h"
#include "skin/skin_label.h"
#include "skin/skin_slider.h"
#include "skin_window_support.h"

namespace zb::testing {
namespace {

constexpr int kW = 100, kH = 40;
const std::filesystem::path kGoldens = std::filesystem::path(ZB_SKIN_SOURCE_DIR) / "tests" / "goldens";

void Fill(HDC dc, RECT r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// Draws into a new screen-format bitmap of w x h with `paint`, and hands it to the UICache.
template <typename Paint>
void AddPicture(int id, int w, int h, Paint paint) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, w, h);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, b);
  paint(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  UICache::Get()->AddBitmap(b, id, nullptr);
}

// A play sign in a 20 x 20 cell at x.
void PlayCell(HDC dc, int x, COLORREF face) {
  Fill(dc, RECT{x, 0, x + 20, 20}, RGB(20, 24, 32));
  Fill(dc, RECT{x + 1, 1, x + 19, 19}, face);
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  HGDIOBJ old = SelectObject(dc, white);
  HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
  const POINT sign[] = {{x + 7, 5}, {x + 15, 10}, {x + 7, 15}};
  Polygon(dc, sign, 3);
  SelectObject(dc, pen);
  SelectObject(dc, old);
}

class SkinRender : public SkinWindowTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"SkinRender";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, u"SkinRender", u"", WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    skin_ = std::make_unique<CSkin>(window_);
    const COLORREF accent = RGB(40, 160, 255), grey = RGB(90, 96, 110);
    AddPicture(10, kW, kH, [](HDC dc) { Fill(dc, RECT{0, 0, kW, kH}, RGB(20, 24, 32)); });
    AddPicture(11, 80, 20, [&](HDC dc) {
      PlayCell(dc, 0, grey);
      PlayCell(dc, 20, accent);
      Fill(dc, RECT{40, 0, 80, 20}, RGB(20, 24, 32));
      Fill(dc, RECT{42, 6, 58, 14}, grey);      // off: the knob left
      Fill(dc, RECT{43, 7, 49, 13}, RGB(200, 200, 200));
      Fill(dc, RECT{62, 6, 78, 14}, accent);    // on: the knob right
      Fill(dc, RECT{71, 7, 77, 13}, RGB(255, 255, 255));
    });
    // Slider picture: frame 0 (empty track) and frame 1 (filled) of 90 x 6, then the thumb and
    // the pressed thumb of 10 x 10 side by side.
    AddPicture(12, 90, 22, [&](HDC dc) {
      Fill(dc, RECT{0, 0, 90, 22}, RGB(20, 24, 32));
      Fill(dc, RECT{0, 2, 90, 4}, grey);
      Fill(dc, RECT{0, 8, 90, 10}, accent);
      Fill(dc, RECT{1, 13, 9, 21}, RGB(230, 230, 230));
      Fill(dc, RECT{10, 12, 20, 22}, accent);
    });
    skin_->SetBackground(10);
    play_ = new CSkinButton(skin_.get());
    play_->SetBitmaps(11, 11);
    play_->SetGeometry(6, 6, 20, 20, 0, 0, 20, 0);
    play_->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{6, 6, 26, 26}, nullptr, 0});
    skin_->AddElement(play_, -1);
    toggle_ = new CSkinOnOffButton(skin_.get());
    toggle_->SetBitmaps4(11, 11, 11, 11);
    toggle_->SetGeometry12(40, 6, 20, 20, 40, 0, 40, 0, 60, 0, 60, 0);
    toggle_->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{40, 6, 60, 26}, nullptr, 0});
    skin_->AddElement(toggle_, -1);
    slider_ = new CSkinSlider(skin_.get());
    slider_->SetBitmap(12);
    slider_->SetGeometry(1, 2, 6, 5, 30, 90, 6, 10, 10, 10, 10);
    slider_->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{5, 28, 95, 38}, nullptr, 0});
    skin_->AddElement(slider_, -1);
  }

  // The skin as PaintAll draws it, pixel by pixel, against the golden of that name.
  void ExpectGolden(const std::string& name) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, kW, kH);
    HGDIOBJ old = SelectObject(dc, target);
    skin_->PaintAll(window_, dc);
    std::vector<uint8_t> rgb(kW * kH * 3);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        uint8_t* p = &rgb[(y * kW + x) * 3];
        p[0] = GetRValue(c), p[1] = GetGValue(c), p[2] = GetBValue(c);
      }
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    const std::filesystem::path file = kGoldens / (name + ".png");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kW;
    image.height = kH;
    image.format = PNG_FORMAT_RGB;
    if (const char* update = std::getenv("ZB_UPDATE_GOLDENS"); update && *update == '1') {
      ASSERT_TRUE(png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr));
      return;
    }
    png_image golden{};
    golden.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&golden, file.c_str())) << file;
    golden.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> want(PNG_IMAGE_SIZE(golden));
    ASSERT_TRUE(png_image_finish_read(&golden, nullptr, want.data(), 0, nullptr));
    ASSERT_EQ(golden.width, static_cast<png_uint_32>(kW));
    ASSERT_EQ(golden.height, static_cast<png_uint_32>(kH));
    for (int i = 0; i < kW * kH; ++i)
      ASSERT_TRUE(std::equal(&rgb[i * 3], &rgb[i * 3 + 3], &want[i * 3])) << name << " differs at " << i % kW << "," << i / kW;
  }

  CSkinButton* play_ = nullptr;
  CSkinOnOffButton* toggle_ = nullptr;
  CSkinSlider* slider_ = nullptr;
};

// A title label in GDI text and a dial with one hand, at two values.
TEST_F(SkinRender, TitleAndDial) {
  for (CSkinElement* e : {static_cast<CSkinElement*>(play_), static_cast<CSkinElement*>(toggle_), static_cast<CSkinElement*>(slider_)})
    e->SetVisible(FALSE);
  UICache::Get()->AddGdiFont(20, u"DejaVu Sans", 11, FW_BOLD, 0, RGB(235, 235, 235));
  auto* title = new CSkinLabel(skin_.get());
  title->SetFont(20);
  title->SetBox(6, 12, 54, 16, 0, 0, 3, FALSE);
  skin_->AddElement(title, -1);
  title->SetText(u"Zonbrel", FALSE);
  auto* dial = new CSkinDial(skin_.get());
  const POINT needle[] = {{-2, 0}, {0, -14}, {2, 0}, {0, 3}};
  const SkinRegionDesc hand{SKIN_REGION_POLYGON, {}, needle, 4};
  const COLORREF pen = static_cast<COLORREF>(-1), brush = RGB(40, 160, 255);
  const int width = 1;
  dial->SetGeometry(0, 360, 0, 100, 0, 0, 0, 0, 0);
  dial->SetHands(1, &hand, &pen, &width, &brush);
  dial->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, RECT{64, 4, 96, 36}, nullptr, 0});
  skin_->AddElement(dial, -1);
  dial->SetValue(0);
  ExpectGolden("title-dial-0");
  dial->SetValue(30);
  ExpectGolden("title-dial-30");
}

TEST_F(SkinRender, AtRest) {
  slider_->SendMessage(window_, SKM_SETPOSITION, 30, 100);
  ExpectGolden("at-rest");
}

TEST_F(SkinRender, PlayPressedAndToggleOn) {
  slider_->SendMessage(window_, SKM_SETPOSITION, 30, 100);
  Tap(50, 15);
  Press(15, 15);
  ExpectGolden("pressed-on");
  Release(15, 15);
}

TEST_F(SkinRender, SliderThumbDragged) {
  slider_->SendMessage(window_, SKM_SETPOSITION, 30, 100);
  Press(30, 33);
  Move(80, 33);
  ExpectGolden("slider-dragged");
  Release(80, 33);
}

}  // namespace
}  // namespace zb::testing
