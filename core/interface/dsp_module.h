// The DSP module record that a "\dsp_*.dll" library hands out: the one chosen module processes
// every decoded block on the decoder thread. Words in order; word 0 holds two 16-bit fields.
#pragma once
#include <windows.h>

#include "core/interface/player_callback.h"
#include "core/interface/record_layout.h"

#define DSP_MODULE_VERSION 1
#define ZB_DSP_FLAG_CONFIG_PAGE 0x1    // configDialogId and configDialogProc name a page
#define ZB_DSP_FLAG_HOST_CALLBACK 0x2  // takes player events and wants the player callback

typedef INT_PTR (*DSPDialogProc)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

struct DSPModule {
  WORD version;                  // word 0, low half: 1
  WORD flags;                    // word 0, high half: ZB_DSP_FLAG_*
  const WCHAR* description;      // 1
  HWND hwndParent;               // 2  host, at registration
  HINSTANCE hDllInstance;        // 3  host: names the module's library
  void (*Config)(HWND parent);   // 4  0 when the module has no dialog of its own
  void (*About)(HWND parent);    // 5
  void (*Init)();                // 6
  void (*Quit)();                // 7
  int (*GetMaxSamples)(int sampleCount, DSPModule* module);  // 8  most ModifySamples may return
  // 9: works in place; returns the new sample count (frames).
  int (*ModifySamples)(void* samples, int sampleCount, int channels, int bitsPerSample, int sampleRate);
  void* userData;                // 10
  int configDialogId;            // 11
  DSPDialogProc configDialogProc;  // 12
  ModuleEventFn OnEvent;         // 13  only with ZB_DSP_FLAG_HOST_CALLBACK
  PlayerCallbackFn hostCallback; // 14  host, with ZB_DSP_FLAG_HOST_CALLBACK
};

#define ZB_F(field) ZB_RECORD_FIELD(DSPModule, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(flags), ZB_F(description), ZB_F(hwndParent),
                                 ZB_F(hDllInstance), ZB_F(Config), ZB_F(About), ZB_F(Init), ZB_F(Quit),
                                 ZB_F(GetMaxSamples), ZB_F(ModifySamples), ZB_F(userData),
                                 ZB_F(configDialogId), ZB_F(configDialogProc), ZB_F(OnEvent),
                                 ZB_F(hostCallback)},
                                sizeof(DSPModule), alignof(DSPModule)),
              "DSPModule words are out of their documented order");
#undef ZB_F

// Export of a "\dsp_*.dll": records by index 0, 1, 2 ... until null.
typedef DSPModule* (*ZonbrelGetDSPModuleFn)(HMODULE module, int index);
extern "C" DSPModule* ZonbrelGetDSPModule(HMODULE module, int index);
