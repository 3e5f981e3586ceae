// Stand-ins for the work the player core calls but that is built elsewhere, later (see
// player_core_neighbours.h). Each logs that it was reached; the skin's song title has a stand-in
// of its own (song_title_stand_in.h), since outside clients hear of titles through it.
#include "core/player/player_core_neighbours.h"

#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/modules/module_lists.h"
#include "core/output/output_registry.h"
#include "core/window/song_title_stand_in.h"
#include "core/transport/transport_neighbours.h"
#include "mp3_decoder.h"
#include "ogg_decoder.h"
#include "tag_readers.h"
#include "wave_decoder.h"
#include "skin/skin_state.h"

namespace {
constexpr int kUiCommandSongTitle = 6;
}  // namespace

void RegisterBuiltInModules(HINSTANCE instance, HWND window) {
  // The generic tag readers the decoders' stream information names, for the library's reading.
  InstallTagReaders();
  RegisterDecModule(&Mp3Decoder, instance, window);
  RegisterDecModule(&OggDecoder, instance, window);
  LogSeam(u"the WMA and Windows Media decoders");
  RegisterDecModule(&WaveDecoder, instance, window);
  RegisterSource(FileReaderSource(), instance, window);
  LogSeam(u"the network source");
  RegisterOutputModule(&WaveWriterModule, instance, window);
}

void ShowStreamInfo(int, int, int) { LogSeam(u"skin stream information"); }

int RunUserInterfaceCommand(int command, void* value) {
  if (command == kUiCommandSongTitle) ShowSongTitle(static_cast<LPCWSTR>(value));
  CPlayerCore* core = PeekPlayerCore();
  CSkinState* state = core ? core->GetSkinState() : nullptr;
  if (!CSkinState::Handles(command)) LogSeam(u"skin element refresh from player state");
  return state ? state->HandleUiCommand(command, value) : 0;
}

void RefreshPlaylistCurrentItem() { LogSeam(u"playlist refresh of the current item"); }

void SaveActionBindings(CPlayerCore*) { LogSeam(u"CSettings::SaveActions"); }
