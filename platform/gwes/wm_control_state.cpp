// Control and dialog state beside the window's process-local record (see control_state.h).
#include <utility>

#include "gwes/control_state.h"
#include "gwes/wm_session.h"

namespace zb::wm {

bool SetControlState(HWND hwnd, const void* kind, std::shared_ptr<void> state) {
  auto window = LocalWindow(hwnd);
  if (!window) return false;
  std::shared_ptr<void> previous;  // dropped outside the lock
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  previous = std::exchange(window->control, std::move(state));
  window->controlKind = kind;
  return true;
}

std::shared_ptr<void> ControlStateOf(HWND hwnd, const void* kind) {
  auto window = LocalWindow(hwnd);
  if (!window) return nullptr;
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  return window->controlKind == kind ? window->control : nullptr;
}

}  // namespace zb::wm
