// The output module record: where a decoder thread writes its PCM. The program's own outputs
// (null, profiling, waveOut) are static records of this kind, bound into the decoder record.
#pragma once
#include <windows.h>

#include "core/interface/record_layout.h"

#define OUTPUT_MODULE_VERSION 2
#define OUTPUT_STORED_VALUE (-666)  // SetVolume/SetPan: use the value kept by the player

struct OutputModule {
  int version;               // 0: 2
  const WCHAR* description;  // 1
  HWND hwndParent;           // 2  host
  HINSTANCE hDllInstance;    // 3  host
  void (*Config)(HWND parent);  // 4
  void (*About)(HWND parent);   // 5
  int (*Init)(int previous);    // 6  the init-all call hands each result to the next
  int (*Quit)(int previous);    // 7
  int (*Open)(int sampleRate, int channels, int bitsPerSample);  // 8  buffer bytes, or -1
  void (*Close)();                                               // 9
  int (*Write)(void* buffer, int bytes);  // 10  bytes taken; may convert the data in place
  int (*CanWrite)();                      // 11  bytes Write can take now
  int (*IsPlaying)();                     // 12
  int (*Pause)(int pause);                // 13
  void (*SetVolume)(int volume);          // 14  0..255
  void (*SetPan)(int pan);                // 15  -128..128
  void (*Flush)(int positionMs);          // 16
  int (*GetOutputTime)();                 // 17
  int (*GetWrittenTime)();                // 18
};

#define ZB_F(field) ZB_RECORD_FIELD(OutputModule, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(description), ZB_F(hwndParent), ZB_F(hDllInstance),
                                 ZB_F(Config), ZB_F(About), ZB_F(Init), ZB_F(Quit), ZB_F(Open), ZB_F(Close),
                                 ZB_F(Write), ZB_F(CanWrite), ZB_F(IsPlaying), ZB_F(Pause), ZB_F(SetVolume),
                                 ZB_F(SetPan), ZB_F(Flush), ZB_F(GetOutputTime), ZB_F(GetWrittenTime)},
                                sizeof(OutputModule), alignof(OutputModule)),
              "OutputModule words are out of their documented order");
#undef ZB_F
