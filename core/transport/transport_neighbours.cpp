// Stand-ins for the work the transport calls but that is built elsewhere (see
// transport_neighbours.h). Each logs that it was reached.
#include "core/transport/transport_neighbours.h"

#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "file_source.h"
#include "playlist.h"
#include "playlist_probe.h"

InputSource* FileReaderSource() {
  // The record the core registers (and writes its window into); readers take copies of it.
  static InputSource reader = FileReader;
  return &reader;
}

InputSource* HttpStreamSource() {
  LogSeam(u"the HTTP stream source");
  return nullptr;
}

DecModule* PlaylistProbeRecord() { return &PlaylistProbe; }

void HoldBacklightForPlayback(bool) { LogSeam(u"backlight hold while playing"); }

void UpdatePowerIdle() { LogSeam(u"PowerIdleUpdate"); }

void RefreshSkinElements(LPCWSTR) { LogSeam(u"skin element refresh"); }

void ResetSkinTexts(BOOL) { LogSeam(u"skin text elements reset"); }

void TogglePlaylistView(CPlayerCore*, BOOL) { LogSeam(u"playlist view around the visualisation"); }

void ShowNowPlaying(CPlayerCore*) { LogSeam(u"FormatPlaylistEntry display"); }

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

void UpdateNotificationBubble(int) { LogSeam(u"ShowNotificationBubble"); }

BOOL ExpandPlaylistItem(CPlaylist* playlist, LPCWSTR path, int index, CPlayerCore* core) {
  return playlist && playlist->LoadFromPathOrUrl(path, index, core) ? TRUE : FALSE;
}

bool IsSavablePlaylistName(LPCWSTR name) {
  if (!name || name[0] != u'\\') return false;
  const WCHAR* dot = wcsrchr(name, u'.');
  return !dot || _wcsicmp(dot, u".pspl") != 0;
}
