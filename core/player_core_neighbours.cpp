// Stand-ins for the work the player core calls but that is built elsewhere, later (see
// player_core_neighbours.h). Each logs that it was reached.
#include "core/player_core_neighbours.h"

#include "core/built_in_modules.h"
#include "core/core_seam.h"
#include "core/media_library_link.h"
#include "core/module_lists.h"
#include "core/output_registry.h"

void RegisterBuiltInModules(HINSTANCE instance, HWND window) {
  const BuiltInModules& builtIn = GetBuiltInModules();
  if (builtIn.decoders.empty()) LogSeam(u"built-in decoders");
  for (DecModule* decoder : builtIn.decoders) RegisterDecModule(decoder, instance, window);
  for (InputSource* source : {builtIn.fileReader, builtIn.httpStream})
    if (source) RegisterSource(source, instance, window);
  RegisterOutputModule(&WaveWriterModule, instance, window);
}

void ShowStreamInfo(int, int, int) { LogSeam(u"skin stream information"); }

int RunUserInterfaceCommand(int, void*) {
  LogSeam(u"user-interface command");
  return 0;
}

void RefreshPlaylistCurrentItem() { LogSeam(u"playlist refresh of the current item"); }

void SaveActionBindings(CPlayerCore*) { LogSeam(u"CSettings::SaveActions"); }

IMediaLibraryLink* CreateCoreMediaLibrary(HINSTANCE) {
  LogSeam(u"CreateMediaLibrary");
  return nullptr;
}
