// The player's side of the skin host: the skin state and the element commands reach the player
// core, its settings and the main window through here. Transport goes through the command
// target, so the window's tables and the skin's drive the player the same way.
#include "core/window/skin_host_link.h"

#include <oleauto.h>

#include <algorithm>

#include "core/interface/dsp_module.h"
#include "core/player/core_seam.h"
#include "core/player/favorites_entry.h"
#include "core/player/player_core.h"
#include "core/player/playlist_skin.h"
#include "core/settings/settings.h"
#include "core/window/command_target.h"
#include "core/window/control_message.h"
#include "core/transport/open_filter.h"
#include "core/window/main_window_messages.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_protocol.h"
#include "core/window/trusted_buffers.h"
#include "library/mediaitem.h"
#include "skin/skin_package.h"

namespace {

constexpr UINT kMinimise = 1236;
constexpr UINT kClearPlaylist = 4149;
constexpr int kScreenOff = 10, kDisplayCommand = 17;

DWORD* SettingField(CSettings* s, SkinSetting which) {
  switch (which) {
    case SKIN_SETTING_SHOWING_ELAPSED: return &s->showingElapsed;
    case SKIN_SETTING_USE_GDI_FONT: return &s->useGDIFont;
    case SKIN_SETTING_PREAMP_ENABLED: return &s->preampEnabled;
    case SKIN_SETTING_AUTOLOAD_EQ: return &s->autoLoadEqEnabled;
    case SKIN_SETTING_PREAMP_VALUE: return &s->preampValue2;
    case SKIN_SETTING_DSP_ENABLED: return &s->DSPEnabled;
    case SKIN_SETTING_TASKBAR: return &s->taskbar;
    case SKIN_SETTING_AUTO_RESUME: return &s->autoResume;
    case SKIN_SETTING_AUTO_RESUME_PLAYLISTS: return &s->autoResumePlaylists;
    case SKIN_SETTING_MANUAL_ADVANCE: return &s->manualPlaylistAdvance;
    case SKIN_SETTING_GAPLESS: return &s->gaplessPlayback;
    default: return nullptr;
  }
}

class CCoreSkinHost final : public ISkinHost {
 public:
  BOOL IsPlaying() override { return Target()->IsPlaying(); }
  int IsPaused() override { return Target()->IsPaused(); }
  int IsSeekable() override { return Target()->IsSeekable(); }
  void Play() override { Target()->Play(); }
  void TogglePause() override { Target()->TogglePause(); }
  void Stop() override { Target()->Stop(TRUE); }
  void PreviousItem() override { Target()->PreviousItem(); }
  void NextItem() override { Target()->NextItem(); }
  void SeekRelative(int deltaMs) override { Target()->SeekRelative(deltaMs); }
  void SeekTo(int value, int scale) override {
    if (CPlayerCore* core = PeekPlayerCore()) core->SeekTo(value, scale);
  }
  int GetVolume() override { return Target()->GetVolume(); }
  void SetVolume(int volume) override { Target()->SetVolume(volume); }
  void ChangeVolume(int delta) override { Target()->SetVolume(std::clamp(Target()->GetVolume() + delta, 0, 255)); }
  BOOL IsMuted() override { return Target()->IsMuted(); }
  void SetMute(BOOL muted) override { Target()->SetMute(muted); }
  BOOL GetShuffle() override { return Target()->GetShuffle(); }
  void SetShuffle(BOOL on) override { Target()->SetShuffle(on); }
  BOOL GetRepeat() override { return Target()->GetRepeat(); }
  void SetRepeat(BOOL on) override { Target()->SetRepeat(on); }
  int GetCurrentIndex() override { return Target()->GetCurrentIndex(); }
  int GetItemCount() override { return Target()->GetItemCount(); }

  int GetSetting(SkinSetting which) override {
    CSettings* settings = GetSettings();
    DWORD* field = settings ? SettingField(settings, which) : nullptr;
    return field ? static_cast<int>(*field) : 0;
  }
  void SetSetting(SkinSetting which, int value) override {
    CSettings* settings = GetSettings();
    if (!settings) return;
    if (which == SKIN_SETTING_DSP_ENABLED) {
      settings->SetDSPEnabled(value);
      return;
    }
    if (DWORD* field = SettingField(settings, which)) *field = static_cast<DWORD>(value);
  }
  int GetEqValue(int code) override { return Target()->GetEqValue(code); }
  void SetEqValue(int code, int value) override { Target()->SetEqValue(code, value); }
  std::u16string GetEqName() override {
    CSettings* settings = GetSettings();
    return settings ? std::u16string(settings->eqName) : std::u16string();
  }
  std::u16string GetDspName(SkinDspState* state) override {
    *state = SKIN_DSP_NONE;
    CPlayerCore* core = PeekPlayerCore();
    DWORD enabled = 0;
    DSPModule* module = core ? core->GetCurrentDSP(&enabled) : nullptr;
    if (!module) return {};
    *state = enabled ? SKIN_DSP_ENABLED : SKIN_DSP_DISABLED;
    return module->description ? module->description : u"";
  }

  void RunWindowCommand(int command) override {
    HWND window = Window();
    SendMessageW(window, WM_ZB_CONTROL, static_cast<WPARAM>(command), CONTROL_KEY_DOWN);
    SendMessageW(window, WM_ZB_CONTROL, static_cast<WPARAM>(command), CONTROL_KEY_UP);
  }
  int RunNamedCommand(LPCWSTR name, UINT message) override {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->RunCommandByName(name, static_cast<int>(message)) : 0;
  }
  void SetVisMode(int mode) override { Target()->SetVisMode(mode); }
  void OpenPlaylistDialog() override { TogglePlaylistDialog(Window()); }
  void ScrollPlaylist(int, int, int) override { LogSeam(u"the playlist list window's scrolling"); }
  BOOL IsLargeView() override { return FALSE; }
  std::u16string ShowOpenDialog(int mode) override { return ShowOpenFileDialog(mode, Window()); }
  void EnqueuePath(LPCWSTR path, BOOL addOnly) override {
    CPlayerCore* core = PeekPlayerCore();
    if (!core) return;
    if (addOnly)
      core->AddFilesFromPath(path);
    else
      core->EnqueuePath(path, TRUE);
  }
  IMediaItem* GetPlayingItem() override {
    CPlayerCore* core = PeekPlayerCore();
    IMediaItem* item = core && core->IsPlaying() ? core->GetCurrentItem() : nullptr;
    if (item) item->AddRef();
    return item;
  }
  void RatePlayingItem(int rating) override {
    CPlayerCore* core = PeekPlayerCore();
    if (!core || !core->IsPlaying()) return;
    const std::u16string path = core->GetCurrentPath();
    if (IMediaItem* item = core->GetLibraryItemForSource(path.c_str())) {
      item->SetInt(TAG_RATING, rating);
      item->Release();
    }
  }
  BOOL GetPowerStatus(BYTE* line, BYTE* flag, BYTE* percent) override {
    SYSTEM_POWER_STATUS_EX status{};
    if (!GetSystemPowerStatusEx(&status, FALSE)) return FALSE;
    *line = status.ACLineStatus;
    *flag = status.BatteryFlag;
    *percent = status.BatteryLifePercent;
    return TRUE;
  }
  std::u16string FormatClock() override {
    WCHAR text[32] = u"";
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 32);
    return text;
  }
  void AnnounceTitle(LPCWSTR title) override {
    HWND window = Window();
    // Sent only from the window's own thread: the core holds its user-interface lock meanwhile.
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
    CTrustedBuffer trusted(title, wcslen(title) + 1);
    SendMessageW(window, WM_ZB_NEW_TITLE, 0, reinterpret_cast<LPARAM>(title));
  }
  void PlaylistHook(UINT message, WPARAM wParam) override {
    if (CPlayerCore* core = PeekPlayerCore()) PlaylistWindowHook(core, Window(), message, wParam, 0);
  }

  int RunMenuHooks(HMENU menu, int slot, int mode, int value) override {
    CPlayerCore* core = PeekPlayerCore();
    if (!core) return mode == 0 ? -1 : value;
    return core->RunMenuHooks(menu, slot, mode, value);
  }
  std::u16string GetBookmarkText(int index, LONG* position) override {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->GetBookmarkText(index, position) : std::u16string();
  }
  LONG GetResumePosition() override {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->GetResumePosition() : -1;
  }
  std::u16string GetLocalContentName() override { return u"Local Content"; }
  BOOL IsSmartphone() override { return IsSmartphoneDevice(); }
  void RunMenuCommand(int id) override;

 private:
  static ICommandTarget* Target() { return GetCommandTarget(); }
  static HWND Window() {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->GetMainWindow() : nullptr;
  }
};

void CCoreSkinHost::RunMenuCommand(int id) {
  CPlayerCore* core = PeekPlayerCore();
  HWND window = Window();
  if (!core) return;
  static constexpr int kReorderCodes[] = {1, 2, 3, 6, 4, 5, 7, 8};  // ids 30-37
  if (id >= 30 && id <= 37) return core->ReorderPlaylist(kReorderCodes[id - 30]);
  if (id >= 1001 && id <= 1999) {
    LONG position = 0;
    const std::u16string path = core->GetBookmarkText(id - 1001, &position);
    if (path.empty()) return;
    if (!core->IsPlaying() || _wcsicmp(path.c_str(), core->GetCurrentPath().c_str()) != 0)
      core->AddPathOrSelect(path.c_str(), TRUE);
    if (position > 0) core->SeekTo(position, 0);
    return;
  }
  if (id >= 2001 && id <= 2999) return core->DeleteBookmark(id - 2001);
  switch (id) {
    case 3:
      PostMessageW(window, kMinimise, 0, 0);
      return;
    case 4:
      if (CSettings* settings = GetSettings()) settings->taskbar = !settings->taskbar;
      ShowNotificationBubble(1);
      return;
    case 22:
    case 23: {
      const WPARAM command = id == 22 ? kScreenOff : kDisplayCommand;
      SendMessageW(window, WM_ZB_CONTROL, command, CONTROL_KEY_DOWN_QUIET);
      SendMessageW(window, WM_ZB_CONTROL, command, CONTROL_KEY_UP_ALT);
      return;
    }
    case 40:
      core->HandleMessage(kClearPlaylist, nullptr, 0, nullptr, 0);
      return;
    case 99:
      PostMessageW(window, WM_CLOSE, 1, 0);
      return;
    case 100:
      return core->AddBookmarkForCurrent();
    case 200:
      return core->ReplaceBookmarkForCurrent();
    case 3000:
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      core->PruneBookmarks(TRUE);
      SetCursor(nullptr);
      return;
    case 3001:
      return core->PruneBookmarks(FALSE);
    case 10001:
      if (core->GetResumePosition() >= 0) core->SeekTo(core->GetResumePosition(), 0);
      return;
    case 10002:
      return core->ForgetResumePosition();
    case 1:
      return LogSeam(u"the options property sheet");
    case 2:
      return LogSeam(u"the about property sheet");
    case 5:
      AddToFavorites(core, nullptr);
      return;
    case 10:
      return LogSeam(u"the Local Content playlist in place of the playlist");
    default:
      return;
  }
}

}  // namespace

ISkinHost* PlayerSkinHost() {
  static CCoreSkinHost host;
  return &host;
}
