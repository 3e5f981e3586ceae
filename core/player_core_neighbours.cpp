// Stand-ins for the work the player core calls but that is built elsewhere, later (see
// player_core_neighbours.h). Each logs that it was reached.
#include "core/player_core_neighbours.h"

#include "core/core_seam.h"
#include "core/media_library_link.h"
#include "core/module_lists.h"
#include "core/output_registry.h"
#include "core/transport_neighbours.h"
#include "mp3_decoder.h"

void RegisterBuiltInModules(HINSTANCE instance, HWND window) {
  RegisterDecModule(&Mp3Decoder, instance, window);
  LogSeam(u"the Ogg Vorbis, WMA, Windows Media and WAVE decoders");
  RegisterSource(FileReaderSource(), instance, window);
  LogSeam(u"the network source");
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
