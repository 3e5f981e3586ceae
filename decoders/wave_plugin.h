// The record a WAVE codec plug-in ("\wav_*.dll" beside the program) hands out through its export
// ZonbrelWavePlugin(index): a version word and functions that mirror the converter interface,
// each taking the record first. The layout is what plug-in authors build against.
#pragma once
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>
#include <windows.h>

#include "core/interface/record_layout.h"

#define WAV_PLUGIN_VERSION 1

struct WavPluginRecord {
  DWORD version;                                            // 0: records of another version are skipped
  int (*Accepts)(WavPluginRecord* record, UINT formatTag);  // 1: non-zero when it decodes the tag
  void (*Close)(WavPluginRecord* record);                   // 2: a converter or list entry of the plug-in is destroyed
  MMRESULT (*Setup)(WavPluginRecord* record, const WAVEFORMATEX* source);                                  // 3
  MMRESULT (*Open)(WavPluginRecord* record, const WAVEFORMATEX* source, const WAVEFORMATEX* destination);  // 4
  MMRESULT (*GetOutputSize)(WavPluginRecord* record, DWORD sourceBytes, DWORD* destinationBytes);          // 5
  MMRESULT (*PrepareHeader)(WavPluginRecord* record, ACMSTREAMHEADER* header);                             // 6
  MMRESULT (*UnprepareHeader)(WavPluginRecord* record, ACMSTREAMHEADER* header);                           // 7
  MMRESULT (*Convert)(WavPluginRecord* record, ACMSTREAMHEADER* header);                                   // 8
  LPCWSTR (*GetName)(WavPluginRecord* record);                                                             // 9
  LPCWSTR (*GetFormat)(WavPluginRecord* record, int index, WAVEFORMATEX* format);                          // 10
};

#define ZB_F(field) ZB_RECORD_FIELD(WavPluginRecord, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(Accepts), ZB_F(Close), ZB_F(Setup), ZB_F(Open),
                                 ZB_F(GetOutputSize), ZB_F(PrepareHeader), ZB_F(UnprepareHeader), ZB_F(Convert),
                                 ZB_F(GetName), ZB_F(GetFormat)},
                                sizeof(WavPluginRecord), alignof(WavPluginRecord)),
              "WavPluginRecord words are out of their documented order");
#undef ZB_F

typedef WavPluginRecord* (*ZonbrelWavePluginFn)(int index);
extern "C" WavPluginRecord* ZonbrelWavePlugin(int index);

// The WAVE decoder's list of accepted plug-in records, filled from the program's folder.
void LoadWavePlugins();
// Destroys every entry: each closes its plug-in and lets its library go.
void UnloadWavePlugins();
int WavePluginCount();
// The converter factory over the list: the first plug-in that accepts the tag.
class CWaveConverter;
CWaveConverter* CreatePluginConverter(WORD formatTag);
