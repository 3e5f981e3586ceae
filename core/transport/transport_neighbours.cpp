// The work the transport calls in its neighbours (see transport_neighbours.h): the skin state's
// element updates, and stand-ins that log for what is built elsewhere.
#include "core/transport/transport_neighbours.h"

#include "core/device/display_control.h"
#include "core/device/window_chrome.h"
#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "file_source.h"
#include "net_input_source.h"
#include "playlist.h"
#include "playlist_probe.h"
#include "skin/skin_state.h"

InputSource* FileReaderSource() {
  // The record the core registers (and writes its window into); readers take copies of it.
  static InputSource reader = FileReader;
  return &reader;
}

InputSource* HttpStreamSource() {
  // As the file reader: the registered record, whose copies read the streams.
  static InputSource stream = *NetInputSourceRecord();
  return &stream;
}

DecModule* PlaylistProbeRecord() { return &PlaylistProbe; }

void HoldBacklightForPlayback(bool hold) { SetBacklightTimeouts(hold ? TRUE : FALSE); }

// After a stop the display comes back on, so that the system's own idle timing takes over.
void UpdatePowerIdle() { WakeDisplay(FALSE); }

namespace {

CSkinState* CoreSkinState() {
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->GetSkinState() : nullptr;
}

}  // namespace

void RefreshSkinElements(LPCWSTR name) {
  CSkinState* state = CoreSkinState();
  if (!state || !name) return;
  static const struct {
    LPCWSTR name;
    void (CSkinState::*update)();
  } kUpdates[] = {{u"REPEAT", &CSkinState::UpdateRepeatShuffleElements},
                  {u"SHUFFLE", &CSkinState::UpdateRepeatShuffleElements},
                  {u"VOLUME", &CSkinState::UpdateVolumeElements},
                  {u"MUTE", &CSkinState::UpdateMuteElement},
                  {u"EQ", &CSkinState::UpdateEqualizerElements}};
  for (const auto& u : kUpdates)
    if (wcscmp(u.name, name) == 0) return (state->*u.update)();
}

void ResetSkinTexts(BOOL value) {
  if (CSkinState* state = CoreSkinState()) state->ShowTextElements(value);
}

void TogglePlaylistView(CPlayerCore*, BOOL) { LogSeam(u"playlist view around the visualisation"); }

std::vector<std::u16string> RunOpenFilesDialog(HWND, LPCWSTR, LPCWSTR) {
  LogSeam(u"OpenFilesDialog");
  return {};
}

std::vector<std::pair<std::u16string, bool>> RunFolderChooser(HWND) {
  LogSeam(u"ChoosePlaylistDialog");
  return {};
}

std::u16string RunAddUrlDialog(HWND) {
  LogSeam(u"the Add URL dialog");
  return {};
}

void UpdateNotificationBubble(int code) {
  CPlayerCore* core = PeekPlayerCore();
  ShowNotificationBubble(core ? core->GetMainWindow() : nullptr, code);
}

BOOL ExpandPlaylistItem(CPlaylist* playlist, LPCWSTR path, int index, CPlayerCore* core) {
  return playlist && playlist->LoadFromPathOrUrl(path, index, core) ? TRUE : FALSE;
}

bool IsSavablePlaylistName(LPCWSTR name) {
  if (!name || name[0] != u'\\') return false;
  const WCHAR* dot = wcsrchr(name, u'.');
  return !dot || _wcsicmp(dot, u".pspl") != 0;
}
