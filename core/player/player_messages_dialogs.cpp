// Player callback messages that open the player's dialogs for a plug-in, tell it about the menu
// bar, paint the player behind a visualisation, and open a plug-in's own settings key.
#include <cstddef>

#include "core/interface/player_messages.h"
#include "core/interface/vis_module.h"
#include "core/modules/bound_system_functions.h"
#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "core/settings/settings.h"
#include "core/transport/open_filter.h"

namespace {

constexpr int kUiPaintBackground = 9;
constexpr DWORD kLeftSoftKey = 40083, kRightSoftKey = 40086;

// The owner a plug-in names, else the main window.
HWND Owner(CPlayerCore& core, const PlayerMessage& m) {
  HWND* owner = InAs<HWND>(m);
  return owner && *owner ? *owner : core.GetMainWindow();
}

int SavePlaylistAs(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  LogSeam(u"SavePlaylistAs");
  CopyText(u"", m.out, m.outSize);
  return -1;
}

int AddPlaylist(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  LogSeam(u"AddPlaylistDialog");
  CopyText(core.GetPlaylistFileName(), m.out, m.outSize);
  return -1;
}

int RenamePlaylist(CPlayerCore& core, const PlayerMessage& m) {
  CSectionLock hold(core.MessageLock());
  const std::u16string& name = core.GetPlaylistFileName();
  LogSeam(!name.empty() && name[0] != u'-' ? u"RenamePlaylist" : u"ShowLocalContentChooser");
  CopyText(core.GetPlaylistFileName(), m.out, m.outSize);
  return -1;
}

template <int Kind>
int OpenDialog(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in || m.inSize < sizeof(DWORD)) return -1;
  CSectionLock hold(core.MessageLock());
  const std::u16string chosen = ShowOpenFileDialog(Kind, Owner(core, m));
  if (!chosen.empty() && CopyTextIfFits(chosen, m.out, m.outSize)) return 1;
  CopyText(u"", m.out, m.outSize);
  return 0;
}

int ShowPlaylistDialog(CPlayerCore&, const PlayerMessage&) {
  LogSeam(u"ShowPlaylistDialog");
  return -1;
}

int GetMenuInfo(CPlayerCore& core, const PlayerMessage& m) {
  auto* info = static_cast<PlayerMenuInfo*>(m.out);
  if (!info || m.outSize < sizeof info->menuBar) return -1;
  info->menuBar = BoundSHFindMenuBar(core.GetMainWindow());
  if (m.outSize >= offsetof(PlayerMenuInfo, leftCommand) + sizeof(DWORD)) info->leftCommand = kLeftSoftKey;
  if (m.outSize >= offsetof(PlayerMenuInfo, rightCommand) + sizeof(DWORD)) info->rightCommand = kRightSoftKey;
  return -1;
}

// The skin behind a visualisation that lets the player paint its background.
int DrawVisualization(CPlayerCore& core, const PlayerMessage& m) {
  HDC dc = nullptr;
  if (m.in && m.inSize == sizeof(VisModule))
    dc = static_cast<VisModule*>(m.in)->hdc;
  else if (m.in && m.inSize == sizeof(HDC))
    dc = *static_cast<HDC*>(m.in);
  if (!dc) return -1;
  CSectionLock hold(core.MessageLock());
  core.SendUiCommand(kUiPaintBackground, dc);
  return -1;
}

// The plug-in's key, named after its library file: "Plugins\" + the file name without extension.
int OpenSettingsKey(CPlayerCore&, const PlayerMessage& m) {
  auto* out = OutAs<HKEY>(m);
  if (!m.in || m.inSize == 0 || !out) return -1;
  WCHAR file[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(m.in), file, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return -1;
  const std::u16string path(file, length);
  const size_t slash = path.rfind(u'\\');
  const size_t dot = path.rfind(u'.');
  if (slash == std::u16string::npos || dot == std::u16string::npos || dot < slash) return -1;
  std::u16string key(kSettingsKey);
  key = key.substr(0, key.rfind(u'\\') + 1) + u"Plugins\\" + path.substr(slash + 1, dot - slash - 1);
  // Plugins lies beside the version key: "...\Zonbrel\2.0" becomes "...\Zonbrel\Plugins\name".
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS)
    return -1;
  *out = opened;
  return 0;
}

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_SAVE_PLAYLIST_AS, SavePlaylistAs},
    {PLAYER_MSG_ADD_PLAYLIST, AddPlaylist},
    {PLAYER_MSG_RENAME_PLAYLIST, RenamePlaylist},
    {PLAYER_MSG_OPEN_DIALOG_KIND3, OpenDialog<3>},
    {PLAYER_MSG_OPEN_DIALOG_KIND1, OpenDialog<1>},
    {PLAYER_MSG_OPEN_DIALOG_KIND2, OpenDialog<2>},
    {PLAYER_MSG_SHOW_PLAYLIST_DIALOG, ShowPlaylistDialog},
    {PLAYER_MSG_GET_MENU_INFO, GetMenuInfo},
    {PLAYER_MSG_DRAW_VISUALIZATION, DrawVisualization},
    {PLAYER_MSG_OPEN_SETTINGS_KEY, OpenSettingsKey},
};

}  // namespace

std::span<const PlayerMessageEntry> DialogMessages() { return kEntries; }
