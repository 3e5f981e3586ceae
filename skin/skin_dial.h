// CSkinDial: a round control whose value follows the stylus's angle around its centre, drawn as
// the wedge of a picture that belongs to the current step, or as filled polygons ("hands")
// turned to the value. Crossing the top sends a wrap notification, so a dial can count turns.
#pragma once
#include "skin/skin_element.h"
#include "skin/skin_slider.h"

class CSkinDial : public CSkinElement {
 public:
  static constexpr int kMaxHands = 5;
  using CSkinElement::CSkinElement;
  ~CSkinDial() override;
  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  BOOL GetCachedValue() override { return TRUE; }
  void GetRect(RECT* rect) override { *rect = region_.Bounds(); }

  virtual void SetBitmaps(int picture, int pressedPicture);
  // Hands: regions relative to the dial's centre, pen colours (-1: no outline), pen widths and
  // brush colours (-1: not filled).
  virtual void SetHands(int count, const SkinRegionDesc* regions, const COLORREF* penColours, const int* penWidths,
                        const COLORREF* brushColours);
  virtual void SetGeometry(int angleMin, int angleMax, int valueMin, int valueMax, int steps, int r1, int r2, int r3,
                           int r4);
  virtual void SetValue(int value);
  virtual int GetValue() { return value_; }

  // The stylus point as distance and whole degrees from the top, clockwise, 0 ... 359.
  POINT PointToPolar(int x, int y);
  POINT PolarToPoint(int radius, int angle);
  int Frame() const { return frame_; }
  int TentativeFrame() const { return tentativeFrame_; }
  int TentativeValue() const { return tentativeValue_; }

 private:
  int AngleToValue(int angle) const;
  int ValueToAngle(int value) const;
  bool SetValueByAngle(int angle, bool tentative);
  int ValueRange() const { return valueMax_ - valueMin_; }
  WPARAM Packed(int value) const { return static_cast<WPARAM>(static_cast<DWORD>((value & 0xFFFF) | (ValueRange() << 16))); }
  LRESULT Stylus(UINT msg, LPARAM lParam);
  void DrawHands(HDC dc, int frame);
  void DrawPicture(HDC dc, int frame);
  void ReleasePens();

  int picture_ = 0, pressedPicture_ = 0;
  int angleMin_ = 0, angleMax_ = 360;
  int radii_[4] = {};
  int frame_ = 0, value_ = 0, tentativeFrame_ = 0, tentativeValue_ = 0;
  int valueMin_ = 0, valueMax_ = 0, steps_ = 0;
  bool dragging_ = false;
  float scale_ = -1.0f;
  int hands_ = 0;
  CSkinRegion handRegions_[kMaxHands];
  HPEN pens_[kMaxHands] = {};
  HBRUSH brushes_[kMaxHands] = {};
  COLORREF penColours_[kMaxHands] = {};
  int penWidths_[kMaxHands] = {};
};
