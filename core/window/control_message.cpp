// The control message's entry (see control_message.h): the control lock, the time of the last
// play command, the hooks' first look, and the choice of table by source. Buffers for the string
// commands are taken only when this process handed them over (trusted_buffers.h).
#include "core/window/control_message.h"

#include "core/window/main_window.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/player/player_core.h"
#include "core/window/program_state.h"
#include "core/window/trusted_buffers.h"

namespace {

bool IsPlayCommand(int command) {
  return command == 1 || command == 2 || command == 3 || command == 29 || command == 32;
}

}  // namespace

LRESULT SendControlString(HWND window, WORD command, WORD argument, WCHAR* buffer, size_t chars) {
  if (!buffer || chars == 0) return 0;
  CTrustedBuffer trusted(buffer, chars);
  return SendMessageW(window, WM_ZB_CONTROL, MAKELONG(command, argument), reinterpret_cast<LPARAM>(buffer));
}

LRESULT DispatchControlMessage(HWND window, WPARAM wParam, LPARAM lParam) {
  MainWindowState& state = MainWindow();
  if (!state.controlLockMade) return 0;
  EnterCriticalSection(&state.controlLock);
  if ((lParam == CONTROL_KEY_DOWN || lParam == CONTROL_KEY_DOWN_QUIET) && IsPlayCommand(LOWORD(wParam)))
    RecordPlayCommandTime();
  LRESULT result = DispatchCommand(window, wParam, lParam);
  LeaveCriticalSection(&state.controlLock);
  return result;
}

LRESULT DispatchCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  CPlayerCore* core = PeekPlayerCore();
  if (!core) return 0;
  const int command = LOWORD(wParam);
  const bool down = lParam == CONTROL_KEY_DOWN || lParam == CONTROL_KEY_REPEAT || lParam == CONTROL_KEY_DOWN_QUIET;
  FlashCommandButtons(window, command, down);
  if (lParam == CONTROL_KEY_UP_ALT) lParam = CONTROL_KEY_UP;
  // A plug-in's hook may take the command over (event 31 for a press or repeat, else 32).
  if (core->OfferButtonToHooks(command, HIWORD(wParam), static_cast<int>(lParam))) return 0;
  if (!down) {
    switch (lParam) {
      case CONTROL_KEY_UP:
        return RunKeyUp(window, command);
      case CONTROL_REMOTE:
        return RunRemoteCommand(window, wParam);
      case CONTROL_RESET:
        WakeDisplay(FALSE);
        MapHardwareButtons();
        return 0;
      default:
        break;
    }
    if (static_cast<ULONG_PTR>(lParam) >= CONTROL_BUFFER_FIRST && (command & CONTROL_STRING_BIT)) {
      const size_t chars = TrustedBufferChars(lParam);
      if (chars == 0) {
        // Not a buffer this process handed over: another process's address, or a stray number.
        OutputDebugStringW(u"Control message: buffer refused\r\n");
        return 0;
      }
      return RunStringCommand(window, wParam, reinterpret_cast<WCHAR*>(lParam), chars);
    }
    return 0;
  }
  return RunKeyDown(window, command, static_cast<int>(lParam));
}
