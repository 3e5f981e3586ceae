// WM_COPYDATA of the main window: a second copy's command line (code 0) and the requests of the
// Today item and other clients (220-232), answered by WM_COPYDATA to the sender's window. Texts
// are read only within cbData and need not end in a terminator.
#include <cstring>
#include <string>

#include "core/window/command_line_switches.h"
#include "core/window/command_target.h"
#include "core/window/main_window.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/common/named_events.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"

namespace {

// The text of a record: at most cbData / 2 characters, up to the first terminator.
std::u16string RecordText(const COPYDATASTRUCT* data) {
  if (!data->lpData) return {};
  const WCHAR* text = static_cast<const WCHAR*>(data->lpData);
  const size_t limit = data->cbData / sizeof(WCHAR);
  size_t length = 0;
  while (length < limit && text[length]) ++length;
  return std::u16string(text, length);
}

LRESULT Reply(HWND sender, HWND window, ULONG_PTR code, const void* bytes, DWORD size) {
  COPYDATASTRUCT reply{code, size, const_cast<void*>(bytes)};
  return SendMessageW(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&reply));
}

LRESULT ReplyText(HWND sender, HWND window, ULONG_PTR code, const std::u16string& text) {
  return Reply(sender, window, code, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

// A second copy's command line.
LRESULT OnCommandLine(HWND window, const std::u16string& text) {
  ICommandTarget* target = GetCommandTarget();
  const CommandLineRequest request = ParseCommandLine(text);
  if (request.hasVolume) {
    target->SetVolume(request.volume);
    target->SetMute(FALSE);
  }
  switch (request.kind) {
    case CommandLineRequest::kWakeUp: {
      WakeDisplay(FALSE);
      CSettings* settings = GetSettings();
      if (target->IsPlaying() && !target->IsPaused() && settings && settings->stopAtSuspend) target->TogglePause();
      return 1;
    }
    case CommandLineRequest::kSilent:
      ShowWindow(window, SW_HIDE);
      return 1;
    case CommandLineRequest::kEnqueue:
      return SendOpenPath(window, TRUE, request.path);
    case CommandLineRequest::kOpen:
      break;
  }
  ShowWindow(window, SW_SHOW);
  return SendOpenPath(window, FALSE, request.path);
}

}  // namespace

LRESULT OnCopyData(HWND window, HWND sender, const COPYDATASTRUCT* data) {
  if (!data) return 1;
  ICommandTarget* target = GetCommandTarget();
  MainWindowState& state = MainWindow();
  const int argument = HIWORD(data->dwData);
  switch (data->dwData) {
    case COPYDATA_COMMAND_LINE:
      return data->lpData ? OnCommandLine(window, RecordText(data)) : 1;
    case COPYDATA_SET_STREAM_PATH: {
      const std::u16string path = RecordText(data);
      SetStreamPath(path.c_str(), path.size());
      return 1;
    }
    case COPYDATA_GET_STREAM_PATH:
      return Reply(sender, window, data->dwData, state.streamPath, sizeof state.streamPath);
    case COPYDATA_GET_TITLE:
      return Reply(sender, window, data->dwData, state.title, sizeof state.title);
    case COPYDATA_SAVE_PLAYLIST:
      return target->SavePlaylist(RecordText(data).c_str());
    case COPYDATA_GET_ITEM_PATH: {
      if (!data->lpData || data->cbData < sizeof(INT32)) return 1;
      INT32 index = 0;
      memcpy(&index, data->lpData, sizeof index);
      return ReplyText(sender, window, data->dwData, target->GetItemPath(index));
    }
    case COPYDATA_SET_SKIN:
      StoreChosenSkin(RecordText(data).c_str());
      return ApplyChosenSkin();
    case COPYDATA_GET_SKIN: {
      WCHAR skin[TITLE_CHARS] = {};
      if (CSettings* settings = GetSettings()) settings->LoadSkin(skin);
      return Reply(sender, window, data->dwData, skin, sizeof skin);
    }
    case COPYDATA_ADD_FILES:
      return target->AddFilesFromPath(RecordText(data).c_str());
    case COPYDATA_REGISTER_EVENT:
      return RegisterEventWaiter(RecordText(data).c_str());
    default:
      break;
  }
  switch (LOWORD(data->dwData)) {
    case COPYDATA_GET_ITEM_NAME:
      return ReplyText(sender, window, data->dwData, target->GetItemDisplayName(argument));
    case COPYDATA_SET_VIS_PLUGIN:
      if (CSettings* settings = GetSettings()) settings->SaveVisPlugin(RecordText(data).c_str(), argument);
      target->SwitchVisPlugin();
      return 1;
    case COPYDATA_SET_ITEM_TITLE:
      return target->SetItemTitle(argument, RecordText(data).c_str());
    case COPYDATA_INSERT_ITEM:
      return target->InsertItem(argument, RecordText(data).c_str());
    default:
      return 1;
  }
}
