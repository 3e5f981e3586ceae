// The start-up continuation (see open_library.h). The media library's own steps (its files,
// its memory budget, the kept tags, starting it on its database) wait for the library object,
// which the core does not create yet; the modules' start does not.
#include "core/player/open_library.h"

#include "core/settings/bookmark_list.h"
#include "core/player/core_seam.h"
#include "core/modules/module_lists.h"
#include "core/player/player_core.h"
#include "playlist.h"
#include "recent_list.h"

namespace {
constexpr UINT kEventLibraryOpened = 8197;
}  // namespace

void OpenLibrary(CPlayerCore* core) {
  if (!core) return;
  LogSeam(u"CEqPresetList::LoadEqf");
  SourceListBroadcastInit();
  OutputModulesInit(0);
  InitDecModules();
  ModuleListBroadcastInit();
  GenModuleListBroadcastInit();
  core->OpenItem(nullptr, nullptr);
  LogSeam(u"CMediaLibrary start-up");
  LogSeam(u"CSettings::LoadActions");
  CPlaylist* playlist = core->GetPlaylist();
  if (playlist) playlist->RestoreState();
  if (CBookmarkList* bookmarks = core->GetBookmarkList()) bookmarks->ReadBookmarksFile();
  if (CRecentList* recent = core->GetRecentList()) recent->Load();
  if (playlist && playlist->GetCurrentIndex() < 0) playlist->Next(TRUE);
  if (playlist && playlist->GetCurrentIndex() >= 0) {
    std::u16string path;
    const int index = playlist->GetCurrentPath(path);
    core->OpenItem(path.c_str(), playlist->GetItemDisplayName(index).c_str());
  }
  BroadcastPlayerEvent(core, kEventLibraryOpened, nullptr, 0, nullptr, 0);
}
