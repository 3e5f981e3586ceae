// See wm_decoder_stand_in.h: each slot of the stand-in record logs itself as a seam and answers
// as a module that cannot play the file.
#include "wm_decoder_stand_in.h"

#include <string>

#include "core/player/core_seam.h"

namespace {

void Seam(LPCWSTR slot) {
  std::u16string step = u"the Windows Media decoder: ";
  LogSeam((step + slot).c_str());
}

void Config(HWND) { Seam(u"Config"); }
void About(HWND) { Seam(u"About"); }
void Init() {}
void Quit() {}
int IsOurFile(LPCWSTR) { return 0; }
void GetFileInfo(InputSource*, LPCWSTR, LPWSTR, int*) { Seam(u"GetFileInfo"); }
int Play(LPCWSTR) {
  Seam(u"Play");
  return -1;
}
void Pause() { Seam(u"Pause"); }
void UnPause() { Seam(u"UnPause"); }
int IsPaused() { return 0; }
void Stop() { Seam(u"Stop"); }
int GetLength() { return 0; }
int GetOutputTime() { return 0; }
void SetOutputTime(int) { Seam(u"SetOutputTime"); }
void SetVolume(int) {}
void SetPan(int) {}
int Command(UINT, void*, UINT, void*, UINT) { return -1; }
LONG ReadStreamInfo(InputSource*, LPCWSTR, IMediaItem*) { return static_cast<LONG>(DEC_INFO_FAILED | DEC_INFO_ASF); }
LONG Slot19() { return static_cast<LONG>(DEC_INFO_FAILED | DEC_INFO_ASF); }

}  // namespace

// clang-format off
DecModule WmDecoder = {
    DEC_MODULE_VERSION, u"Windows Media (not built yet)", nullptr, nullptr, u"*.WMA", 0,
    Config, About, Init, Quit, IsOurFile, GetFileInfo, Play, Pause, UnPause, IsPaused, Stop, GetLength,
    GetOutputTime, SetOutputTime, SetVolume, SetPan, nullptr, Command, ReadStreamInfo, Slot19, nullptr, nullptr,
    {}, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr};
// clang-format on
