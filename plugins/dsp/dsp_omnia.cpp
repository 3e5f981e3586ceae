// The library's export: the eight module records by index, then null, which ends the player's
// and Multi-DSP's enumeration.
#include "plugins/dsp/dsp_records.h"

namespace {

DSPModule* const kRecords[kDspModuleCount] = {&g_bassBoostModule, &g_variableFiltersModule, &g_echoModule,
                                              &g_pitchModule,     &g_stereoModule,          &g_chorusModule,
                                              &g_multiModule,     &g_surroundModule};

}  // namespace

extern "C" __attribute__((visibility("default"))) DSPModule* ZonbrelGetDSPModule(HMODULE, int index) {
  return index >= 0 && index < kDspModuleCount ? kRecords[index] : nullptr;
}
