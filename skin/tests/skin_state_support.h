// A skin built in code for the skin state's tests: labels in a fixed-width digit font (5 pixels a
// glyph, so widths are known), sliders, on/off and count buttons, all by the names the player
// state looks for, and a skin state that owns the skin and talks to a recording host.
#pragma once
#include <memory>

#include "recording_host.h"
#include "skin/skin_button.h"
#include "skin/skin_label.h"
#include "skin/skin_slider.h"
#include "skin/skin_state.h"
#include "skin_window_support.h"

namespace zb::testing {

constexpr int kDigitFont = 601;

class SkinStateTest : public SkinWindowTest {
 protected:
  void SetUp() override {
    SkinWindowTest::SetUp();
    AddDigitFont();
    skin = skin_.release();
    state = std::make_unique<CSkinState>(window_, &host);
    state->SetSkin(skin);
  }
  void TearDown() override {
    state.reset();
    SkinWindowTest::TearDown();
  }

  // Glyph set 2 (" 0123456789-:"), each glyph a 5 x 6 cell.
  static void AddDigitFont() {
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 65, 6);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, strip);
    for (int g = 0; g < 13; ++g) {
      HBRUSH b = CreateSolidBrush(RGB(20 * g, 255 - 15 * g, 128));
      RECT r{5 * g, 0, 5 * g + 5, 6};
      FillRect(dc, &r, b);
      DeleteObject(b);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    UICache::Get()->AddAlphaFont(strip, kDigitFont, 5, 6, 2, 0, u"digits.bmp");
  }

  CSkinLabel* AddLabel(LPCWSTR name, RECT box) {
    auto* l = new CSkinLabel(skin);
    l->SetName(name);
    l->SetFont(kDigitFont);
    l->SetBox(box.left, box.top, box.right - box.left, box.bottom - box.top, 0, 0, 0, FALSE);
    skin->AddElement(l, -1);
    return l;
  }
  // A horizontal (1) or vertical (2) slider with a track of 101 pixels: positions 0..100.
  CSkinSlider* AddSlider(LPCWSTR name, int y, int orientation = 1) {
    auto* s = new CSkinSlider(skin);
    s->SetName(name);
    s->SetGeometry(orientation, 1, 0, 10, y, 111, 10, 10, 10, 10, 10);
    const RECT track = orientation == 1 ? RECT{10, y, 120, y + 10} : RECT{10, y, 20, y + 110};
    s->SetRegion(SkinRegionDesc{SKIN_REGION_RECT, track, nullptr, 0});
    skin->AddElement(s, -1);
    return s;
  }
  CSkinOnOffButton* AddOnOff(LPCWSTR name, int x) {
    auto* b = new CSkinOnOffButton(skin);
    b->SetName(name);
    b->SetGeometry12(x, 300, 10, 10, 0, 0, 0, 0, 0, 0, 0, 0);
    skin->AddElement(b, -1);
    return b;
  }
  CSkinCountButton* AddCounter(LPCWSTR name, int states, int x) {
    auto* b = new CSkinCountButton(skin, states);
    b->SetName(name);
    b->SetGeometry4(x, 290, 10, 10);
    skin->AddElement(b, -1);
    return b;
  }
  CSkinButton* AddButton(LPCWSTR name, int x) {
    auto* b = new CSkinButton(skin);
    b->SetName(name);
    b->SetGeometry(x, 280, 10, 10, 0, 0, 0, 0);
    skin->AddElement(b, -1);
    return b;
  }
  static std::u16string Text(CSkinLabel* l) { return l->Text(); }
  int Command(int id, void* value = nullptr) { return state->HandleUiCommand(id, value); }
  int Command(int id, INT_PTR value) { return state->HandleUiCommand(id, reinterpret_cast<void*>(value)); }

  RecordingHost host;
  CSkin* skin = nullptr;
  std::unique_ptr<CSkinState> state;
};

}  // namespace zb::testing
