// The work the player core calls in its neighbours (see player_core_neighbours.h): the built-in
// modules, the skin state's displays, and stand-ins that log for what is built elsewhere, later.
#include "core/player/player_core_neighbours.h"

#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/modules/module_lists.h"
#include "core/output/output_registry.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "mp3_decoder.h"
#include "ogg_decoder.h"
#include "tag_readers.h"
#include "wave_decoder.h"
#include "wma_decoder.h"
#include "skin/skin_state.h"

namespace {
CSkinState* CoreSkinState() {
  CPlayerCore* core = PeekPlayerCore();
  return core ? core->GetSkinState() : nullptr;
}
}  // namespace

void RegisterBuiltInModules(HINSTANCE instance, HWND window) {
  // The generic tag readers the decoders' stream information names, for the library's reading.
  InstallTagReaders();
  RegisterDecModule(&Mp3Decoder, instance, window);
  RegisterDecModule(&OggDecoder, instance, window);
  RegisterDecModule(&WmaDecoder, instance, window);
  LogSeam(u"the Windows Media decoder");
  RegisterDecModule(&WaveDecoder, instance, window);
  RegisterSource(FileReaderSource(), instance, window);
  RegisterSource(HttpStreamSource(), instance, window);
  RegisterOutputModule(&WaveWriterModule, instance, window);
}

void ShowStreamInfo(int bitrate, int sampleRate, int channelMode) {
  CSkinState* state = CoreSkinState();
  if (!state) return;
  state->UpdateBitrateElement(bitrate);
  state->UpdateSampleRateElement(sampleRate);
  state->UpdateStereoElements(channelMode);
}

int RunUserInterfaceCommand(int command, void* value) {
  CSkinState* state = CoreSkinState();
  return state ? state->HandleUiCommand(command, value) : 0;
}

void RefreshSkinDsp() {
  if (CSkinState* state = CoreSkinState()) state->UpdateDspElements();
}

void RefreshPlaylistCurrentItem() { LogSeam(u"playlist refresh of the current item"); }

void SaveActionBindings(CPlayerCore* core) {
  if (CSettings* settings = GetSettings()) settings->SaveActions(core);
}
