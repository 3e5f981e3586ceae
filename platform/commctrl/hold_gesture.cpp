// The list and tree views' tap-and-hold (see hold_gesture.h).
#include "commctrl/hold_gesture.h"

#include <cstdlib>

#include "gwes/ctl_common.h"

namespace zb::cc {

void HoldGesture::Press(HWND hwnd, POINT client) {
  armed_ = true;
  fired_ = false;
  at_ = client;
  SetTimer(hwnd, kTimer, kDelay, nullptr);
}

void HoldGesture::Move(HWND hwnd, POINT client) {
  // A finger is allowed to drift a little; more than that is a drag, not a hold.
  const int slop = GetSystemMetrics(SM_CXDOUBLECLK) * 2;
  if (armed_ && (std::abs(client.x - at_.x) > slop || std::abs(client.y - at_.y) > slop)) Cancel(hwnd);
}

void HoldGesture::Cancel(HWND hwnd) {
  if (armed_) KillTimer(hwnd, kTimer);
  armed_ = false;
}

bool HoldGesture::Timer(HWND hwnd, UINT_PTR id) {
  if (id != kTimer) return false;
  KillTimer(hwnd, kTimer);
  if (!armed_) return false;
  armed_ = false;
  fired_ = true;
  return true;
}

bool HoldGesture::Notify(HWND hwnd, DWORD item) {
  POINT screen = at_;
  ClientToScreen(hwnd, &screen);
  NMRGINFO info{};
  info.ptAction = screen;
  info.dwItemSpec = item;
  if (zb::wm::NotifyParent(hwnd, NM_RECOGNIZEGESTURE, &info.hdr)) return false;
  zb::wm::NotifyParent(hwnd, GN_CONTEXTMENU, &info.hdr);
  return true;
}

}  // namespace zb::cc
