// The core's module lists, one per record kind, each in registration order. They live for the
// whole process: records are never removed, and a library that supplied one stays loaded.
// Decoder threads read them while the main thread may still register a stream source.
#pragma once
#include <windows.h>

#include <vector>

#include "core/common/critical_section.h"
#include "core/interface/dec_module.h"
#include "core/interface/dsp_module.h"
#include "core/interface/gen_module.h"
#include "core/interface/input_source.h"
#include "core/interface/output_module.h"

template <class Record>
class CModuleList {
 public:
  // Writes the main window and the module handle into the record and appends it unless it is
  // listed already; the new count. More than kMaxRecords ends the calling thread after "out of
  // memory".
  int Register(Record* record, HMODULE module, HWND window);
  int Count();
  Record* At(int index);  // null beyond the end
  // The records as they are now; later registrations do not disturb a walk over the copy.
  std::vector<Record*> Snapshot();

  static constexpr size_t kMaxRecords = 0x3FFFFFFF;

 private:
  CCriticalSection lock_;
  std::vector<Record*> records_;
};

CModuleList<DecModule>& DecoderList();
CModuleList<DSPModule>& DSPList();
CModuleList<GenModule>& GenList();
CModuleList<InputSource>& SourceList();
CModuleList<OutputModule>& OutputList();

int RegisterDecModule(DecModule* record, HMODULE module, HWND window);
int RegisterDSPModule(DSPModule* record, HMODULE module, HWND window);
int RegisterGenModule(GenModule* record, HMODULE module, HWND window);
int RegisterSource(InputSource* record, HMODULE module, HWND window);
int RegisterOutputModule(OutputModule* record, HMODULE module, HWND window);

// Start-up and shut-down of every registered record, in list order. Empty slots are skipped.
void InitDecModules();             // Init
void QuitDecModules();             // Quit
void ModuleListBroadcastInit();    // DSP Init
void ModuleListBroadcastQuit();    // DSP Quit
void GenModuleListBroadcastInit(); // general-purpose Init
void GenModuleListBroadcastQuit();
void SourceListBroadcastInit();    // StartUp, then Init with the record
void SourceListBroadcastQuit();    // Release with the record, then CleanUp
// Each output's Init (Quit) gets the previous one's result; the last result is returned.
int OutputModulesInit(int first);
int OutputModulesQuit(int first);
