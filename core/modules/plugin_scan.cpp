// The plug-in scan (see plugin_scan.h). One table row per library kind: its file pattern, its
// export, and how its getter's answers are taken.
#include "core/modules/plugin_scan.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/modules/module_lists.h"
#include "core/interface/vis_module.h"

namespace {

struct ScanContext {
  HMODULE library;
  HWND window;
  PlayerCallbackFn callback;
};

bool AcceptDecoder(DecModule& record, const ScanContext& scan) {
  if (record.version != DEC_MODULE_VERSION) return false;
  RegisterDecModule(&record, scan.library, scan.window);
  return true;
}

bool AcceptDSP(DSPModule& record, const ScanContext& scan) {
  if (record.version != DSP_MODULE_VERSION) return false;
  RegisterDSPModule(&record, scan.library, scan.window);
  if (record.flags & ZB_DSP_FLAG_HOST_CALLBACK) record.hostCallback = scan.callback;
  return true;
}

bool AcceptGeneral(GenModule& record, const ScanContext& scan) {
  if (record.version != GEN_MODULE_VERSION_1 && record.version != GEN_MODULE_VERSION_2) return false;
  if (record.version == GEN_MODULE_VERSION_2) record.hostCallback = scan.callback;
  RegisterGenModule(&record, scan.library, scan.window);
  return true;
}

// Records by index 0, 1, 2 ... until the getter gives none or one that is refused. A getter that
// hands out a record it already gave would never end the list; the repeat ends it instead.
template <class Record>
int TakeIndexed(FARPROC getter, const ScanContext& scan, bool (*accept)(Record&, const ScanContext&)) {
  auto get = reinterpret_cast<Record* (*)(HMODULE, int)>(reinterpret_cast<void (*)()>(getter));
  std::vector<Record*> taken;
  for (int index = 0;; ++index) {
    Record* record = get(scan.library, index);
    if (!record || std::find(taken.begin(), taken.end(), record) != taken.end()) break;
    if (!accept(*record, scan)) break;
    taken.push_back(record);
  }
  return static_cast<int>(taken.size());
}

int TakeDecoders(FARPROC getter, const ScanContext& scan) { return TakeIndexed<DecModule>(getter, scan, AcceptDecoder); }
int TakeDSP(FARPROC getter, const ScanContext& scan) { return TakeIndexed<DSPModule>(getter, scan, AcceptDSP); }
int TakeGeneral(FARPROC getter, const ScanContext& scan) { return TakeIndexed<GenModule>(getter, scan, AcceptGeneral); }

// A visualisation library only stays loaded here; the visualisation host takes its modules.
int TakeVisLibrary(FARPROC getter, const ScanContext&) {
  auto get = reinterpret_cast<ZonbrelGetLibraryFn>(reinterpret_cast<void (*)()>(getter));
  const VisLibrary* header = get();
  return header && (header->version == VIS_LIBRARY_VERSION_2 || header->version == VIS_LIBRARY_VERSION_3) ? 1 : 0;
}

// Decoders may call the player from their Init, built-in ones included; sources get it once
// every library is in.
void WriteDecoderCallbacks(PlayerCallbackFn callback) {
  for (DecModule* decoder : DecoderList().Snapshot()) decoder->PlayerCallback = callback;
}
void WriteSourceCallbacks(PlayerCallbackFn callback) {
  for (InputSource* source : SourceList().Snapshot()) source->hostCallback = callback;
}

struct PluginKind {
  const WCHAR* pattern;
  const WCHAR* exportName;
  int (*take)(FARPROC getter, const ScanContext& scan);
  void (*afterPass)(PlayerCallbackFn callback);
};

constexpr PluginKind kKinds[] = {
    {u"\\dec_*.dll", u"ZonbrelGetDecModule", TakeDecoders, WriteDecoderCallbacks},
    {u"\\dsp_*.dll", u"ZonbrelGetDSPModule", TakeDSP, nullptr},
    {u"\\gen_*.dll", u"ZonbrelGetGenModule", TakeGeneral, nullptr},
    {u"\\vis_*.dll", u"ZonbrelGetLibrary", TakeVisLibrary, WriteSourceCallbacks},
};

void ScanKind(const std::u16string& folder, const PluginKind& kind, HWND window, PlayerCallbackFn callback) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + kind.pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::u16string path = folder + u"\\" + found.cFileName;
    HMODULE library = LoadLibraryW(path.c_str());
    if (!library) continue;
    FARPROC getter = GetProcAddressW(library, kind.exportName);
    const ScanContext scan{library, window, callback};
    if (!getter || kind.take(getter, scan) == 0) FreeLibrary(library);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

std::u16string ProgramFolderOf(HINSTANCE program) {
  WCHAR name[MAX_PATH] = {};
  GetModuleFileNameW(program, name, MAX_PATH);
  std::u16string folder = name;
  size_t slash = folder.rfind(u'\\');
  folder.resize(slash == std::u16string::npos ? 0 : slash);
  return folder;
}

void ScanPlugins(HINSTANCE program, HWND window, PlayerCallbackFn callback) {
  const std::u16string folder = ProgramFolderOf(program);
  for (const PluginKind& kind : kKinds) {
    ScanKind(folder, kind, window, callback);
    if (kind.afterPass) kind.afterPass(callback);
  }
}
