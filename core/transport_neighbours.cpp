// Stand-ins for the work the transport calls but that is built elsewhere (see
// transport_neighbours.h). Each logs that it was reached. The stream sources and the probe are
// the program's built-in modules, when it named them.
#include "core/transport_neighbours.h"

#include "core/built_in_modules.h"
#include "core/core_seam.h"

InputSource* FileReaderSource() {
  if (!GetBuiltInModules().fileReader) LogSeam(u"the file reader source");
  return GetBuiltInModules().fileReader;
}

InputSource* HttpStreamSource() {
  if (!GetBuiltInModules().httpStream) LogSeam(u"the HTTP stream source");
  return GetBuiltInModules().httpStream;
}

DecModule* PlaylistProbeRecord() {
  if (!GetBuiltInModules().playlistProbe) LogSeam(u"the playlist probe decoder");
  return GetBuiltInModules().playlistProbe;
}

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

BOOL ExpandPlaylistItem(CPlaylist*, LPCWSTR, int, CPlayerCore*) {
  LogSeam(u"CPlaylist::LoadFromPathOrUrl");
  return FALSE;
}

bool IsSavablePlaylistName(LPCWSTR name) {
  if (!name || name[0] != u'\\') return false;
  const WCHAR* dot = wcsrchr(name, u'.');
  return !dot || _wcsicmp(dot, u".pspl") != 0;
}
