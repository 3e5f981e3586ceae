// The main window procedure: a table from message to handler, and the handlers of the window's
// life (creation, activation, painting, closing, destruction). WM_COPYDATA, the opening of paths,
// the titles, the timers and the control message have files of their own.
#include "core/window/main_window.h"

#include "core/device/activity_watch.h"
#include "core/interface/player_messages.h"
#include "core/device/call_handling.h"
#include "core/device/window_chrome.h"
#include "core/window/command_target.h"
#include "core/window/control_message.h"
#include "core/window/main_window_messages.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/common/named_events.h"
#include "core/player/open_library.h"
#include "core/player/player_core.h"
#include "core/player/player_core_neighbours.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"
#include "core/window/trusted_buffers.h"
#include "core/vis/vis_refresh.h"
#include "skin/skin.h"
#include "skin/element_commands.h"
#include "skin/skin_state.h"

namespace {

constexpr int kStoredValue = -666;

void MakeBackBuffer(HWND window) {
  MainWindowState& state = MainWindow();
  MainWindowOffscreenBitmap() = nullptr;
  if (state.backBuffer) DeleteObject(state.backBuffer);
  state.backBuffer = nullptr;
  RECT client{};
  GetClientRect(window, &client);
  HDC screen = GetDC(window);
  state.backBuffer = CreateCompatibleBitmap(screen, client.right - client.left, client.bottom - client.top);
  if (state.backBuffer) {
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, state.backBuffer);
    FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  ReleaseDC(window, screen);
  MainWindowOffscreenBitmap() = state.backBuffer;  // the skin composes single elements through it
}

LRESULT OnCreate(HWND window, WPARAM, LPARAM) {
  MainWindowState& state = MainWindow();
  SetWindowLongW(window, MAIN_WORD_SIZE, MAIN_EXTRA_BYTES);
  SetWindowLongW(window, MAIN_WORD_POSITION, 0);
  SetWindowLongW(window, MAIN_WORD_LENGTH, -1);
  InitializeCriticalSection(&state.controlLock);
  state.controlLockMade = TRUE;
  const LONG_PTR style = GetWindowLongW(window, GWL_STYLE);
  if (style & WS_BORDER) {
    SetWindowLongW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  MakeBackBuffer(window);
  ShowWindow(window, SW_HIDE);
  Program().mainWindow = window;
  // The core (and with it the media library) is made now, on the window's own thread.
  SetPlayerCoreOwner(Program().instance, window);
  OpenLibrary(GetPlayerCore());
  RunAssociationPrompt();
  PostMessageW(window, WM_ZB_STARTED, 0, 0);
  ShowNotificationBubble(0);
  return 0;
}

LRESULT OnDestroy(HWND window, WPARAM, LPARAM) {
  MainWindowState& state = MainWindow();
  SetWindowLongW(window, GWL_USERDATA, MAIN_WINDOW_DESTROYED);
  MainWindowOffscreenBitmap() = nullptr;
  if (state.backBuffer) DeleteObject(state.backBuffer);
  state.backBuffer = nullptr;
  UnmapHardwareButtons();
  SetActivityWatch(window, FALSE);
  DestroyPlayerCore();
  DestroySettings();  // saves them
  if (state.controlLockMade) DeleteCriticalSection(&state.controlLock);
  state.controlLockMade = FALSE;
  PostQuitMessage(0);
  if (Program().instanceEvent) EventModify(Program().instanceEvent, EVENT_RESET);
  return 0;
}

LRESULT OnSize(HWND window, WPARAM, LPARAM) {
  MakeBackBuffer(window);
  return 1;
}

bool IsOwnedByMainWindow(HWND other, HWND window) { return other && GetWindow(other, GW_OWNER) == window; }

LRESULT OnActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!PeekPlayerCore()) return 1;
  MainWindowState& state = MainWindow();
  ICommandTarget* target = GetCommandTarget();
  CSettings* settings = GetSettings();
  const HWND other = reinterpret_cast<HWND>(lParam);
  if (LOWORD(wParam)) {
    MapHardwareButtons();
    if (state.pausedByBackground && target->IsPaused()) target->TogglePause();
    state.pausedByBackground = FALSE;
    SetActivityWatch(window, FALSE);
    state.active = TRUE;
    WakeDisplay(FALSE);
    RestartSleepTimer(window);
    ShowInputPanel(FALSE);
    target->SetVolume(kStoredValue);
    target->SetPan(kStoredValue);
    ShowNotificationBubble(1);
    if (state.restoreOwnedWindow) {
      for (HWND w = GetWindow(window, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == window || (IsWindowVisible(w) && IsOwnedByMainWindow(w, window))) {
          if (w != window) SetForegroundWindow(w);
          break;
        }
      }
      state.restoreOwnedWindow = FALSE;
    }
    return 1;
  }
  if (settings && settings->backgroundUnmap) UnmapHardwareButtons();
  if (!IsOwnedByMainWindow(other, window) && settings && settings->pauseInBackground && target->IsPlaying() &&
      !target->IsPaused()) {
    state.pausedByBackground = TRUE;
    target->TogglePause();
  } else {
    state.pausedByBackground = FALSE;
  }
  SetActivityWatch(window, TRUE);
  state.active = FALSE;
  WakeDisplay(FALSE);
  KillTimer(window, MAIN_TIMER_SLEEP);
  if (!(IsOwnedByMainWindow(other, window) && (GetWindowLongW(other, GWL_STYLE) & WS_CAPTION) == WS_CAPTION))
    ShowNotificationBubble(0x82);
  return 1;
}

LRESULT OnPaint(HWND window, WPARAM wParam, LPARAM) {
  MainWindowState& state = MainWindow();
  PAINTSTRUCT paint{};
  HDC target = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(window, &paint);
  RECT client{};
  GetClientRect(window, &client);
  if (state.skinLoading) {
    FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  } else if (state.backBuffer && !wParam) {
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ old = SelectObject(memory, state.backBuffer);
    RunUserInterfaceCommand(9, memory);
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  } else {
    RunUserInterfaceCommand(9, target);
  }
  if (!wParam) {
    EndPaint(window, &paint);
    InterlockedExchange(&state.painted, 1);
    MarkRefreshPainted();
  }
  return 1;
}

// The refresh thread's round: the visualisation host renders a frame.
void RefreshVisualisation(int painted) {
  CPlayerCore* core = PeekPlayerCore();
  if (core && core->GetVisHost()) core->ForwardVisFlags(painted);
}

LRESULT OnClose(HWND window, WPARAM wParam, LPARAM) {
  MainWindowState& state = MainWindow();
  ICommandTarget* target = GetCommandTarget();
  CSettings* settings = GetSettings();
  if (wParam == 0 && settings && settings->noCloseWhilePlaying && target->IsPlaying() && !target->IsPaused()) {
    // Closing by hand while it plays only keeps what would be lost.
    settings->Save();
    return 1;
  }
  RegisterCallHandling(0, window, 0);
  for (UINT_PTR id : {MAIN_TIMER_STATUS, MAIN_TIMER_DISPLAY, MAIN_TIMER_KEEP_ALIVE, MAIN_TIMER_MINUTE,
                      MAIN_TIMER_LOOP, MAIN_TIMER_CALL_LOG})
    KillTimer(window, id);
  WakeDisplay(FALSE);
  state.active = FALSE;
  target->Stop(TRUE);
  state.boostValue = 0;
  StopRefresh();
  ShowNotificationBubble(0x40);
  ShowWindow(window, SW_HIDE);
  DestroyWindow(window);
  return 1;
}

LRESULT OnPointer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (WakeDisplay(FALSE)) return 0;  // the tap only switched the display back on
  MainWindowState& state = MainWindow();
  if (state.visFullscreen) {
    GetCommandTarget()->SetVisMode(1);
  } else if (message == WM_LBUTTONDOWN) {
    SetFocus(window);
  }
  RestartSleepTimer(window);
  if (CPlayerCore* core = PeekPlayerCore())
    if (CSkinState* skin = core->GetSkinState()) skin->HandleWindowMessage(window, message, wParam, lParam);
  return 1;
}

LRESULT OnKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_KEYUP) {
    WakeDisplay(TRUE);
    CSettings* settings = GetSettings();
    if (settings && settings->unDimOnButtonPress) WakeDisplay(FALSE);
    RestartSleepTimer(window);
  }
  return HandleHardwareKey(window, message, wParam, lParam);
}

// A skin element's notification (the element in lParam) runs the element's command.
template <UINT Message>
LRESULT OnElementNotification(HWND, WPARAM wParam, LPARAM lParam) {
  CPlayerCore* core = PeekPlayerCore();
  CSkinState* state = core ? core->GetSkinState() : nullptr;
  auto* element = reinterpret_cast<CSkinElement*>(lParam);
  // Only an element of the skin now shown: a notification queued before a skin change is dropped.
  if (!state || !state->GetSkin() || !state->GetSkin()->Contains(element)) return 0;
  return DispatchElementCommand(state, Message, wParam, element);
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM) {
  ICommandTarget* target = GetCommandTarget();
  switch (LOWORD(wParam)) {
    case 1:
      if (HIWORD(wParam) == 1) SendMessageW(window, WM_CLOSE, 0, 0);
      break;
    case 10:
      PostMessageW(window, WM_CLOSE, 1, 0);
      break;
    case 2399:
      LeaveHoldMode();
      break;
    case 40083:
      TogglePlaylistDialog(window);
      break;
    case 40086:
      RunNamedCommand(u"MENU");
      break;
    case 40092:
      target->SetRepeat(!target->GetRepeat());
      break;
    case 40093:
      target->SetShuffle(!target->GetShuffle());
      break;
    case 40094:
      target->StoreBookmark();
      break;
    case 40095:
      target->ResumeFromBookmark();
      break;
    case 40105:
      RunNamedCommand(u"OPEN");
      break;
    default:
      break;
  }
  return 1;
}

LRESULT OnPhoneState(HWND window, WPARAM wParam, LPARAM) {
  const bool inCall = (wParam & 0x20030000) != 0;
  SendMessageW(window, inCall ? WM_ZB_CALL_CONNECTED : WM_ZB_CALL_ENDED, 0x23, 0);
  return 1;
}

// Work of the phone and power messages runs from the queue: a message that did not come from
// there (wParam 0x23) is posted again.
constexpr WPARAM kFromQueue = 0x23;
constexpr DWORD kSuspendGraceMs = 14999;

LRESULT OnSuspend(HWND window, WPARAM wParam, LPARAM lParam) {
  // lParam: the wake-up helper's process id, when the helper sent it.
  if (wParam != kFromQueue) return PostMessageW(window, WM_ZB_SUSPEND, kFromQueue, lParam);
  ICommandTarget* target = GetCommandTarget();
  CSettings* settings = GetSettings();
  if (settings && settings->stopAtSuspend && target->IsPlaying() && !target->IsPaused()) {
    // A play command just before the suspend (a button that woke the device) keeps playing.
    SYSTEMTIME now{};
    GetSystemTime(&now);
    FILETIME then{}, nowTime{};
    SystemTimeToFileTime(&Program().lastPlayTime, &then);
    SystemTimeToFileTime(&now, &nowTime);
    const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const ULONGLONG systemMs = ticks(nowTime) > ticks(then) ? (ticks(nowTime) - ticks(then)) / 10000 : 0;
    if (GetTickCount() - Program().lastPlayTick > kSuspendGraceMs || systemMs > kSuspendGraceMs) target->TogglePause();
  }
  RegisterCallHandling(2, window, static_cast<DWORD>(lParam));
  return 1;
}

LRESULT OnCallConnected(HWND, WPARAM, LPARAM) {
  RaiseNamedEvent(u"Zonbrel/Call/Connected");
  return 1;
}

LRESULT OnCallEnded(HWND, WPARAM, LPARAM) {
  MainWindow().callLogMark = -1;
  RaiseNamedEvent(u"Zonbrel/Call/Ended");
  return 1;
}

using Handler = LRESULT (*)(HWND window, WPARAM wParam, LPARAM lParam);

struct MessageEntry {
  UINT message;
  Handler handler;
};

constexpr MessageEntry kMessages[] = {
    {WM_CREATE, OnCreate},
    {WM_DESTROY, OnDestroy},
    {WM_SIZE, OnSize},
    {WM_ACTIVATE, OnActivate},
    {WM_PAINT, OnPaint},
    {WM_CLOSE, OnClose},
    {WM_ERASEBKGND, [](HWND, WPARAM, LPARAM) -> LRESULT { return 1; }},
    {WM_COPYDATA,
     [](HWND w, WPARAM wParam, LPARAM lParam) {
       return OnCopyData(w, reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
     }},
    {WM_KEYDOWN, [](HWND w, WPARAM wParam, LPARAM lParam) { return OnKey(w, WM_KEYDOWN, wParam, lParam); }},
    {WM_HOTKEY, [](HWND w, WPARAM wParam, LPARAM lParam) { return OnKey(w, WM_HOTKEY, wParam, lParam); }},
    {WM_KEYUP, [](HWND w, WPARAM wParam, LPARAM lParam) { return OnKey(w, WM_KEYUP, wParam, lParam); }},
    {WM_COMMAND, OnCommand},
    {WM_TIMER, [](HWND w, WPARAM wParam, LPARAM) { return OnMainTimer(w, wParam); }},
    {WM_MOUSEMOVE, [](HWND w, WPARAM wParam, LPARAM lParam) { return OnPointer(w, WM_MOUSEMOVE, wParam, lParam); }},
    {WM_LBUTTONDOWN,
     [](HWND w, WPARAM wParam, LPARAM lParam) { return OnPointer(w, WM_LBUTTONDOWN, wParam, lParam); }},
    {WM_LBUTTONUP, [](HWND w, WPARAM wParam, LPARAM lParam) { return OnPointer(w, WM_LBUTTONUP, wParam, lParam); }},
    {WM_ZB_READ_ITEM_INFO,
     [](HWND w, WPARAM, LPARAM) -> LRESULT {
       MSG queued;
       while (PeekMessageW(&queued, w, WM_ZB_READ_ITEM_INFO, WM_ZB_READ_ITEM_INFO, PM_REMOVE)) {
       }
       RefreshPlaylistCurrentItem();
       return 1;
     }},
    {WM_ZB_STREAM_END,
     [](HWND, WPARAM wParam, LPARAM) -> LRESULT {
       GetCommandTarget()->OnStreamEnded(static_cast<int>(wParam));
       return 1;
     }},
    {WM_ZB_STARTED, [](HWND w, WPARAM, LPARAM) { return OnStarted(w); }},
    {WM_ZB_UI_COMMAND_ACTIVE,
     [](HWND, WPARAM, LPARAM lParam) -> LRESULT {
       if (MainWindow().active) RunUserInterfaceCommand(8, reinterpret_cast<void*>(lParam));
       return 1;
     }},
    {WM_ZB_BUBBLE, [](HWND, WPARAM, LPARAM) -> LRESULT {
       ShowNotificationBubble(0x90);
       return 1;
     }},
    {WM_ZB_UI_COMMAND,
     [](HWND, WPARAM wParam, LPARAM lParam) -> LRESULT {
       return RunUserInterfaceCommand(static_cast<int>(wParam), reinterpret_cast<void*>(lParam));
     }},
    {WM_ZB_OPEN_PATH,
     [](HWND w, WPARAM wParam, LPARAM lParam) -> LRESULT {
       if (!TrustedBufferChars(lParam)) return 1;  // no text of this process
       return OnOpenPath(w, wParam != 0, TrustedText(lParam));
     }},
    {WM_ZB_SKIN_SHOWN, [](HWND w, WPARAM wParam, LPARAM lParam) { return OnSkinShown(w, wParam, lParam); }},
    {WM_ZB_PRIORITY_BOOST,
     [](HWND, WPARAM wParam, LPARAM lParam) -> LRESULT {
       MainWindow().boostValue = wParam;
       MainWindow().boostArgument = lParam;
       SetRefreshRun(wParam, lParam, RefreshVisualisation);
       return 1;
     }},
    {WM_ZB_TIMER, [](HWND w, WPARAM wParam, LPARAM) { return OnMainTimer(w, wParam); }},
    {WM_ZB_VIS_FULLSCREEN,
     [](HWND, WPARAM wParam, LPARAM) -> LRESULT {
       CSettings* settings = GetSettings();
       MainWindow().visFullscreen = wParam && settings && settings->visFullscreen;
       RunUserInterfaceCommand(25, reinterpret_cast<void*>(static_cast<INT_PTR>(MainWindow().visFullscreen)));
       MainWindow().lastVisWParam = wParam;
       return 1;
     }},
    {WM_ZB_NEW_TITLE, [](HWND w, WPARAM, LPARAM lParam) { return OnNewTitle(w, lParam); }},
    {WM_ZB_APPLY_SKIN,
     [](HWND, WPARAM, LPARAM) -> LRESULT {
       HANDLE thread = GetCurrentThread();
       const int saved = GetThreadPriority(thread);
       SetThreadPriority(thread, 5);
       if (!ApplyChosenSkin()) SetCursor(nullptr);
       SetThreadPriority(thread, saved);
       return 1;
     }},
    {WM_ZB_HOLD_CHANGED,
     [](HWND, WPARAM, LPARAM) -> LRESULT {
       if (PeekPlayerCore()) RunUserInterfaceCommand(28, nullptr);
       return 1;
     }},
    {WM_ZB_SUSPEND, OnSuspend},
    {WM_ZB_CALL_CONNECTED, OnCallConnected},
    {WM_ZB_CALL_ENDED, OnCallEnded},
    {WM_ZB_PHONE_STATE, OnPhoneState},
    {WM_ZB_OUTPUT_CHANGED,
     [](HWND, WPARAM, LPARAM) -> LRESULT {
       if (CPlayerCore* core = PeekPlayerCore()) core->HandleMessage(PLAYER_MSG_OUTPUT_RESET, nullptr, 0, nullptr, 0);
       return 1;
     }},
    {WM_ZB_REPAINT_ALL, [](HWND, WPARAM, LPARAM) -> LRESULT {
       MainWindow().repaintAll = TRUE;
       return 1;
     }},
    {WM_ZB_CONTROL, DispatchControlMessage},
    {SKN_CLICKED, OnElementNotification<SKN_CLICKED>},
    {SKN_DRAGGING, OnElementNotification<SKN_DRAGGING>},
    {SKN_RELEASED, OnElementNotification<SKN_RELEASED>},
    {SKN_TOGGLED, OnElementNotification<SKN_TOGGLED>},
    {SKN_LABELTAPPED, OnElementNotification<SKN_LABELTAPPED>},
};

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const MessageEntry& entry : kMessages) {
    if (entry.message == message) return entry.handler(window, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RestartSleepTimer(HWND window) {
  KillTimer(window, MAIN_TIMER_SLEEP);
  MainWindow().savedVolume = -1;
  CSettings* settings = GetSettings();
  if (settings && settings->enableSleep) SetTimer(window, MAIN_TIMER_SLEEP, settings->sleepTimeout * 1000, nullptr);
}

void UpdatePositionWords(HWND window) {
  ICommandTarget* target = GetCommandTarget();
  const BOOL open = target->IsPlaying();
  SetWindowLongW(window, MAIN_WORD_POSITION, open ? target->GetOutputTime() : 0);
  SetWindowLongW(window, MAIN_WORD_LENGTH, open ? target->GetLength() : -1);
}
