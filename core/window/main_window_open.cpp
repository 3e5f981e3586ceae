// Opening paths in the main window (message 1329), the skin shown at last (1330, which opens the
// start's command line), a new stream or title (1334) and the continuation after creation (1224).
#include <string>

#include "core/device/call_handling.h"
#include "core/window/command_line_switches.h"
#include "core/window/command_target.h"
#include "core/window/main_window.h"
#include "core/window/main_window_messages.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/common/named_events.h"
#include "core/player/player_core.h"
#include "core/player/playlist_skin.h"
#include "core/player/player_core_neighbours.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"
#include "core/window/trusted_buffers.h"
#include "skin/skin_file_types.h"

namespace {

constexpr WCHAR kBlanks[] = u" \t\r\n";
constexpr UINT kStatusPeriodMs = 1000;
constexpr UINT kKeepAlivePeriodMs = 9000;
constexpr UINT kMinutePeriodMs = 60000;

void OpenCommandLine(HWND window, const std::u16string& text) {
  const CommandLineRequest request = ParseCommandLine(text);
  if (request.hasVolume) {
    GetCommandTarget()->SetVolume(request.volume);
    GetCommandTarget()->SetMute(FALSE);
  }
  // A switch is no path: "/SILENT" and "/WAKEUP" leave nothing to open.
  if (request.kind == CommandLineRequest::kOpen || request.kind == CommandLineRequest::kEnqueue)
    OnOpenPath(window, request.kind == CommandLineRequest::kEnqueue, request.path);
}

}  // namespace

LRESULT SendOpenPath(HWND window, BOOL enqueue, const std::u16string& path) {
  CTrustedBuffer trusted(path.c_str(), path.size() + 1);
  return SendMessageW(window, WM_ZB_OPEN_PATH, enqueue, reinterpret_cast<LPARAM>(path.c_str()));
}

LRESULT OnOpenPath(HWND window, BOOL enqueue, std::u16string text) {
  ICommandTarget* target = GetCommandTarget();
  CSettings* settings = GetSettings();
  const bool silent = StartedWith(u"/SILENT");
  const size_t first = text.find_first_not_of(kBlanks);
  text.erase(0, first == std::u16string::npos ? text.size() : first);
  if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') text = text.substr(1, text.size() - 2);
  // Blanks, quoted or not, name nothing.
  if (text.find_first_not_of(kBlanks) == std::u16string::npos) return 1;
  if (GetSkinFileType(text.c_str())) {
    StoreChosenSkin(text.c_str());
    ApplyChosenSkin();
    SetForegroundWindow(window);
  } else {
    if (!text.empty() && text.back() == u'\\') text.pop_back();
    const DWORD attributes = GetFileAttributesW(text.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) text = u"--" + text;
    if (!enqueue && (!settings || !settings->enqueueByDefault || silent)) {
      target->EnqueuePath(text.c_str(), TRUE);
    } else {
      target->AddFilesFromPath(text.c_str());
      if (settings && settings->playAtOpen) return 0;
    }
  }
  if (settings && settings->playAtOpen && !silent && !target->IsPlaying() && target->GetItemCount() > 0)
    target->Play();
  return 1;
}

LRESULT OnSkinShown(HWND window, WPARAM temporary, LPARAM commandLine) {
  MainWindowState& state = MainWindow();
  const std::u16string text = TrustedText(commandLine);
  if (TrustedBufferChars(commandLine)) ForgetBuffer(reinterpret_cast<const WCHAR*>(commandLine));
  state.skinLoading = TRUE;
  RunUserInterfaceCommand(25, reinterpret_cast<void*>(1));
  if (CPlayerCore* core = PeekPlayerCore()) LoadPlaylistSkinColors(core, static_cast<BOOL>(temporary));
  else if (temporary) DeleteTemporarySkin();
  state.skinLoading = FALSE;
  RunUserInterfaceCommand(25, nullptr);
  RaiseNamedEvent(u"Zonbrel/Skin/Changed");
  SetWindowLongW(window, GWL_USERDATA, MAIN_WINDOW_SHOWN);
  ShowNotificationBubble(1);
  SetCursor(nullptr);
  InvalidateRect(window, nullptr, TRUE);
  if (state.visRestoreMark) {
    state.visRestoreMark = FALSE;
    GetCommandTarget()->SetVisMode(1);
  }
  if (!text.empty()) {
    RunUserInterfaceCommand(26, const_cast<WCHAR*>(text.c_str()));
    OpenCommandLine(window, text);
  }
  return 1;
}

LRESULT OnNewTitle(HWND window, LPARAM title) {
  MainWindowState& state = MainWindow();
  const std::u16string given = TrustedText(title);
  if (given.empty() || given.size() >= TITLE_CHARS) {
    // No usable title: the file name of the stream path stands in.
    std::u16string path = state.streamPath;
    size_t cut = path.rfind(u'\\');
    if (cut == std::u16string::npos) cut = path.rfind(u'/');
    const std::u16string name = cut == std::u16string::npos ? std::u16string() : path.substr(cut + 1);
    wcsncpy(state.title, name.c_str(), TITLE_CHARS - 1);
  } else {
    wcsncpy(state.title, given.c_str(), TITLE_CHARS - 1);
  }
  state.title[TITLE_CHARS - 1] = 0;
  if (CPlayerCore* core = PeekPlayerCore()) {
    const std::u16string current = core->GetCurrentPath();
    if (current != state.lastOpenedPath) {
      state.lastOpenedPath = current;
      RaiseNamedEvent(u"Zonbrel/Stream/Open");
    }
  }
  RaiseNamedEvent(u"Zonbrel/Stream/Title");
  return 1;
}

LRESULT OnStarted(HWND window) {
  CSettings* settings = GetSettings();
  const UINT status = settings ? settings->ScaleBySpeed(kStatusPeriodMs, 3) : kStatusPeriodMs;
  RegisterCallHandling(1, window, 0);
  SetTimer(window, MAIN_TIMER_STATUS, status, nullptr);
  SetTimer(window, MAIN_TIMER_DISPLAY, status * 4, nullptr);
  if (settings && settings->disableSleep) SetTimer(window, MAIN_TIMER_KEEP_ALIVE, kKeepAlivePeriodMs, nullptr);
  SetTimer(window, MAIN_TIMER_MINUTE, kMinutePeriodMs, nullptr);
  return 1;
}
