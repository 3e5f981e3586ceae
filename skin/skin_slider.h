// Sliders and ratchets. A slider's value is the thumb's distance in pixels from the start of its
// travel; dragging shows a tentative value and the release commits it. A ratchet is a jog
// control: it reports relative movement and turns its frame animation instead.
#pragma once
#include "skin/skin_element.h"

// No value: nothing can be dragged and no thumb is drawn.
constexpr int kSkinNoValue = -65536;

class CSkinSlider : public CSkinElement {
 public:
  using CSkinElement::CSkinElement;
  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void SetRegion(const SkinRegionDesc& region) override;
  void GetRect(RECT* rect) override { *rect = RECT{track_.left, track_.top, track_.left + track_.right, track_.top + track_.bottom}; }
  BOOL ComputeValue() override;

  virtual void SetBitmap(int id) { pictureId_ = id; }
  virtual void SetGeometry(int horizontal, int frames, int frameStep, int trackX, int trackY, int trackW, int trackH,
                           int thumbW, int thumbH, int pressedThumbW, int pressedThumbH);
  virtual BOOL IsHorizontal() { return horizontal_ == 1; }

  int Value() const { return value_; }
  int Frame() const { return frame_; }
  int TentativeValue() const { return tentativeValue_; }
  int TentativeFrame() const { return tentativeFrame_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }

 protected:
  virtual int Kind() const { return SKIN_KIND_SLIDER; }
  // Sets the value from a coordinate along the axis (or kSkinNoValue); true when it changed.
  bool SetValue(int v, bool tentative);
  int Range() const { return maximum_ - minimum_; }
  int Along(LPARAM lParam);
  LRESULT SetPosition(WPARAM position, LPARAM range);
  void Post(UINT msg, int value) { Notify(msg, static_cast<WPARAM>(static_cast<DWORD>((value & 0xFFFF) | (Range() << 16)))); }

  int pictureId_ = 0;
  int horizontal_ = 0;
  int frames_ = 0, frameStep_ = 0;
  RECT track_{};  // x, y, width, height
  SIZE thumb_{}, pressedThumb_{};
  int frame_ = 0, value_ = 0, tentativeFrame_ = 0, tentativeValue_ = 0;
  int minimum_ = 0, maximum_ = 0;
  bool dragging_ = false;
  float scale_ = -1.0f;

 private:
  LRESULT Stylus(UINT msg, LPARAM lParam);
};

class CSkinRatchet : public CSkinSlider {
 public:
  using CSkinSlider::CSkinSlider;
  void Scale(int numX, int numY, int den) override;
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  virtual void SetGeometryWithMargin(int horizontal, int frames, int frameStep, int trackX, int trackY, int trackW,
                                     int trackH, int thumbW, int thumbH, int pressedThumbW, int pressedThumbH, int margin);
  int Lock() const { return lock_; }

 protected:
  int Kind() const override { return SKIN_KIND_RATCHET; }

 private:
  int margin_ = 0;
  int lock_ = 0;
  int valueAtPress_ = 0, pressPoint_ = 0, lastPoint_ = 0;
  bool moved_ = false;
};
