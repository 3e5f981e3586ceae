// Tap-and-hold in the list and tree views: a press held still for a second becomes the shell's
// context-menu gesture. The parent is asked first (NM_RECOGNIZEGESTURE, which it may refuse) and
// then told GN_CONTEXTMENU with the point on the screen; the release after it clicks nothing.
#pragma once
#include <aygshell.h>

namespace zb::cc {

class HoldGesture {
 public:
  static constexpr UINT_PTR kTimer = 0x7E11;
  static constexpr UINT kDelay = 1000;

  void Press(HWND hwnd, POINT client);
  void Move(HWND hwnd, POINT client);
  void Cancel(HWND hwnd);
  // On WM_TIMER: true when this was the hold's timer and the hold was recognised (the caller
  // then tells the parent with Notify).
  bool Timer(HWND hwnd, UINT_PTR id);
  // The gesture's notifications for `item`; false when the parent refused it.
  bool Notify(HWND hwnd, DWORD item);
  POINT at() const { return at_; }
  bool fired() const { return fired_; }
  void Reset() { fired_ = false; }

 private:
  bool armed_ = false;
  bool fired_ = false;
  POINT at_{0, 0};
};

}  // namespace zb::cc
