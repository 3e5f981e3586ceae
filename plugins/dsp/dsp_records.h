// The eight module records of dsp_omnia, one static record per module in its effect's file; the
// export hands them out in this order, which the player and Multi-DSP store as indexes.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "core/interface/dsp_module.h"

extern DSPModule g_bassBoostModule;       // 0
extern DSPModule g_variableFiltersModule; // 1
extern DSPModule g_echoModule;            // 2
extern DSPModule g_pitchModule;           // 3
extern DSPModule g_stereoModule;          // 4
extern DSPModule g_chorusModule;          // 5
extern DSPModule g_multiModule;           // 6
extern DSPModule g_surroundModule;        // 7

constexpr int kDspModuleCount = 8;
constexpr int kDspBits = 16;  // the only sample size the effects process

inline SHORT Saturate16(int64_t v) { return static_cast<SHORT>(std::clamp<int64_t>(v, -32768, 32767)); }

// The About box every module shows ("About", OK, brought to the front).
void ShowDspAbout(HWND owner, const WCHAR* text);

int SameSampleCount(int count, DSPModule*);
