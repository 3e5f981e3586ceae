// The private state of a built-in control or dialog, kept with the window on this side of the
// process (never in the window words, which belong to the application and may be subclassed
// away), and dropped when the window goes.
#pragma once
#include <memory>
#include <windows.h>

namespace zb::wm {

// Each kind of state has a tag, so a procedure never reads another kind's state as its own.
template <class T>
const void* StateKind() {
  static const char tag = 0;
  return &tag;
}

// False when the window is not one of this process's.
bool SetControlState(HWND hwnd, const void* kind, std::shared_ptr<void> state);
std::shared_ptr<void> ControlStateOf(HWND hwnd, const void* kind);

template <class T>
std::shared_ptr<T> StateOf(HWND hwnd) {
  return std::static_pointer_cast<T>(ControlStateOf(hwnd, StateKind<T>()));
}

// The state a control's procedure works on: made by the first message that asks for it and
// kept from then on.
template <class T>
std::shared_ptr<T> StateOrMake(HWND hwnd) {
  if (auto state = StateOf<T>(hwnd)) return state;
  auto made = std::make_shared<T>();
  if (!SetControlState(hwnd, StateKind<T>(), made)) return nullptr;
  return made;
}

// The body of a control's window procedure: its state (made with the first message) handed to
// `Handle` with the message.
template <class T, LRESULT (*Handle)(HWND, T&, UINT, WPARAM, LPARAM)>
LRESULT WithState(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = StateOrMake<T>(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  return Handle(hwnd, *state, message, wParam, lParam);
}

}  // namespace zb::wm
