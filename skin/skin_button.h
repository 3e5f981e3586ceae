// The skin's push buttons: CSkinButton reports clicks, CSkinOnOffButton keeps an on/off state
// that a click toggles and the player sets, CSkinCountButton shows one of up to eleven states.
// Each draws a released or a pressed picture cut from UICache bitmaps.
#pragma once
#include "skin/skin_element.h"

class CSkinButton : public CSkinElement {
 public:
  using CSkinElement::CSkinElement;
  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void GetRect(RECT* rect) override;
  void Activate() override;
  BOOL ComputeValue() override;

  virtual void SetBitmaps(int releasedId, int pressedId);
  virtual void SetGeometry(int destX, int destY, int width, int height, int releasedSrcX, int releasedSrcY,
                           int pressedSrcX, int pressedSrcY);
  // The stylus was lifted outside the button.
  virtual void Cancel(BOOL hit) {}

  POINT GetDestination() const { return dest_; }
  SIZE GetSize() const { return size_; }
  bool IsPressed() const { return pressed_; }

 protected:
  virtual int Kind() const { return SKIN_KIND_BUTTON; }
  // Whether the pressed look shows: the stylus is down inside, or the state says so.
  bool LooksPressed() { return pressed_ || GetState() != 0; }
  void DrawPicture(HDC dc, int id, POINT source);
  void ScalePoint(POINT& p, int numX, int numY, int den);

  bool pressed_ = false;
  bool held_ = false;
  int pressedId_ = 0, releasedId_ = 0;
  POINT pressedSrc_{}, releasedSrc_{};
  SIZE size_{};
  POINT dest_{};
};

class CSkinOnOffButton : public CSkinButton {
 public:
  using CSkinButton::CSkinButton;
  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  void Activate() override;
  BOOL ComputeValue() override;
  void Cancel(BOOL hit) override { setWhileHeld_ = false; }

  virtual void SetBitmaps4(int offReleased, int offPressed, int onReleased, int onPressed);
  virtual void SetGeometry12(int destX, int destY, int width, int height, int offReleasedX, int offReleasedY,
                             int offPressedX, int offPressedY, int onReleasedX, int onReleasedY, int onPressedX,
                             int onPressedY);
  virtual void SetOn(BOOL flag);
  virtual BOOL IsOn() { return on_; }

 protected:
  int Kind() const override { return SKIN_KIND_ONOFF; }

 private:
  enum { kOnPressed, kOnReleased, kOffPressed, kOffReleased };
  bool on_ = false;
  bool setWhileHeld_ = false;
  int ids_[4] = {};
  POINT sources_[4] = {};
};

class CSkinCountButton : public CSkinButton {
 public:
  static constexpr int kMaxStates = 11;
  CSkinCountButton(CSkin* owner, int states);
  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  BOOL ComputeValue() override;

  // 2n ids (and 2n source points): released then pressed, state by state.
  virtual void SetBitmaps(const int* ids);
  virtual void SetGeometry4(int destX, int destY, int width, int height);
  virtual void SetSourcePoints(const POINT* points);
  virtual BOOL SetIndex(int index);
  virtual int GetIndex() { return index_; }

 protected:
  int Kind() const override { return SKIN_KIND_COUNTBUTTON; }

 private:
  int index_ = 0;
  int states_;
  int ids_[2 * kMaxStates] = {};
  POINT sources_[2 * kMaxStates] = {};
};

// The frame of a rating count button for a Rating tag value: 99 the top rating, 0 (or none) the
// first frame, others value / 25 + 1. Values past the button's frames clamp to the nearest one.
int RatingFrame(int rating, int frames);
