// The module lists and their register, init-all and quit-all operations (see module_lists.h).
#include "core/modules/module_lists.h"

#include <algorithm>

template <class Record>
int CModuleList<Record>::Register(Record* record, HMODULE module, HWND window) {
  if (!record) return Count();
  {
    CSectionLock hold(lock_);
    // A record is listed once: listing it twice would start and stop the module twice.
    const bool listed = std::find(records_.begin(), records_.end(), record) != records_.end();
    if (listed || records_.size() < kMaxRecords) {
      record->hwndParent = window;
      record->hDllInstance = module;
      if (!listed) records_.push_back(record);
      return static_cast<int>(records_.size());
    }
  }
  // The program's allocator ends the thread that asks for more than a list can hold.
  OutputDebugStringW(u"out of memory\r\n");
  ExitThread(1);
  return 0;
}

template <class Record>
int CModuleList<Record>::Count() {
  CSectionLock hold(lock_);
  return static_cast<int>(records_.size());
}

template <class Record>
Record* CModuleList<Record>::At(int index) {
  CSectionLock hold(lock_);
  return index >= 0 && static_cast<size_t>(index) < records_.size() ? records_[index] : nullptr;
}

template <class Record>
std::vector<Record*> CModuleList<Record>::Snapshot() {
  CSectionLock hold(lock_);
  return records_;
}

template class CModuleList<DecModule>;
template class CModuleList<DSPModule>;
template class CModuleList<GenModule>;
template class CModuleList<InputSource>;
template class CModuleList<OutputModule>;

namespace {

// Never destroyed: plug-in records stay registered until the process ends.
template <class Record>
CModuleList<Record>& ListOf() {
  static auto* list = new CModuleList<Record>;
  return *list;
}

}  // namespace

CModuleList<DecModule>& DecoderList() { return ListOf<DecModule>(); }
CModuleList<DSPModule>& DSPList() { return ListOf<DSPModule>(); }
CModuleList<GenModule>& GenList() { return ListOf<GenModule>(); }
CModuleList<InputSource>& SourceList() { return ListOf<InputSource>(); }
CModuleList<OutputModule>& OutputList() { return ListOf<OutputModule>(); }

int RegisterDecModule(DecModule* record, HMODULE module, HWND window) { return DecoderList().Register(record, module, window); }
int RegisterDSPModule(DSPModule* record, HMODULE module, HWND window) { return DSPList().Register(record, module, window); }
int RegisterGenModule(GenModule* record, HMODULE module, HWND window) { return GenList().Register(record, module, window); }
int RegisterSource(InputSource* record, HMODULE module, HWND window) { return SourceList().Register(record, module, window); }
int RegisterOutputModule(OutputModule* record, HMODULE module, HWND window) {
  return OutputList().Register(record, module, window);
}

namespace {

// Calls a no-argument slot of every record that has it.
template <class Record>
void CallEach(CModuleList<Record>& list, void (*Record::*slot)()) {
  for (Record* record : list.Snapshot())
    if (record->*slot) (record->*slot)();
}

int ChainOutputs(int (*OutputModule::*slot)(int), int first) {
  int result = first;
  for (OutputModule* record : OutputList().Snapshot())
    if (record->*slot) result = (record->*slot)(result);
  return result;
}

}  // namespace

void InitDecModules() { CallEach(DecoderList(), &DecModule::Init); }
void QuitDecModules() { CallEach(DecoderList(), &DecModule::Quit); }
void ModuleListBroadcastInit() { CallEach(DSPList(), &DSPModule::Init); }
void ModuleListBroadcastQuit() { CallEach(DSPList(), &DSPModule::Quit); }
void GenModuleListBroadcastInit() { CallEach(GenList(), &GenModule::Init); }
void GenModuleListBroadcastQuit() { CallEach(GenList(), &GenModule::Quit); }

void SourceListBroadcastInit() {
  for (InputSource* source : SourceList().Snapshot()) {
    if (source->StartUp) source->StartUp();
    if (source->Init) source->Init(source);
  }
}

void SourceListBroadcastQuit() {
  for (InputSource* source : SourceList().Snapshot()) {
    if (source->Release) source->Release(source);
    if (source->CleanUp) source->CleanUp();
  }
}

int OutputModulesInit(int first) { return ChainOutputs(&OutputModule::Init, first); }
int OutputModulesQuit(int first) { return ChainOutputs(&OutputModule::Quit, first); }
