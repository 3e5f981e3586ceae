// The start-up continuation (see open_library.h): the modules start, the media library opens on
// its database with the core listening to its events, and the Local Content scan begins.
#include "core/player/open_library.h"

#include "core/settings/bookmark_list.h"
#include "core/player/core_media_library.h"
#include "core/player/core_seam.h"
#include "core/modules/module_lists.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "library_location.h"
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
  // The library opens before the playlist state, whose restoring starts the Local Content scan.
  CMediaLibrary* library = core->GetMediaLibrary();
  CSettings* settings = GetSettings();
  if (library && settings) {
    OpenLibrary(library, settings, core->GetMainWindow(), ForwardLibraryEvent, reinterpret_cast<DWORD_PTR>(core));
  }
  // The plug-ins registered their commands in their Init: the button slots can find them now.
  if (settings) settings->LoadActions(core);
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
