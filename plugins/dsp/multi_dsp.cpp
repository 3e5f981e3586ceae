// Multi-DSP: loads the other DSP libraries of its folder at Init and runs the enabled modules one
// after another. It takes a library's records as the player does (version 1, up to the first
// refused one), and a library the player has not loaded gets its modules initialised here and
// quit again at Quit. A chain reached again from inside itself passes the block on.
#include "plugins/dsp/multi_dsp.h"

#include <commctrl.h>

#include <algorithm>

#include "plugins/dsp/dsp_records.h"
#include "plugins/dsp/dsp_settings.h"

namespace {

constexpr size_t kEnableChars = 2048 / sizeof(WCHAR) - 1;
constexpr int kMaxRecordsPerLibrary = 256;  // a getter that never says "no more" is cut off

std::vector<ChainEntry*> g_chain;
std::vector<HMODULE> g_loaded;  // one reference per library the chain loaded
thread_local bool t_running = false;

std::u16string FileNameOf(const std::u16string& path) { return path.substr(path.rfind(u'\\') + 1); }

std::u16string ReadEnableString() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kMultiSettings.Path(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
  WCHAR text[kEnableChars + 1] = {};
  DWORD type = 0, size = kEnableChars * sizeof(WCHAR);
  const LONG result = RegQueryValueExW(key, u"enable", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? std::u16string(text) : std::u16string();
}

void WriteEnableString(const std::u16string& text) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kMultiSettings.Path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, u"enable", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
}

// The records the player would accept from the library, this module left out.
int TakeLibrary(const std::u16string& path, const std::u16string& enable) {
  const bool playerLoaded = GetModuleHandleW(path.c_str()) != nullptr;
  HMODULE library = LoadLibraryW(path.c_str());
  if (!library) return 0;
  auto get = reinterpret_cast<ZonbrelGetDSPModuleFn>(
      reinterpret_cast<void (*)()>(GetProcAddressW(library, u"ZonbrelGetDSPModule")));
  std::vector<DSPModule*> taken;
  for (int index = 0; get && index < kMaxRecordsPerLibrary; ++index) {
    DSPModule* record = get(library, index);
    if (!record || record->version != DSP_MODULE_VERSION) break;
    if (std::find(taken.begin(), taken.end(), record) != taken.end()) break;
    taken.push_back(record);
    if (record == &g_multiModule) continue;
    auto* entry = new ChainEntry;
    entry->path = path, entry->module = library, entry->index = index, entry->record = record;
    entry->enabled = enable.find(ChainKey(*entry)) != std::u16string::npos ? 1 : 0;
    if (!playerLoaded) {
      record->hwndParent = g_multiModule.hwndParent;
      record->hDllInstance = library;
      if (record->Init) record->Init();
      entry->initialised = true;
    }
    g_chain.push_back(entry);
  }
  if (taken.empty()) {
    FreeLibrary(library);
  } else {
    g_loaded.push_back(library);
  }
  return static_cast<int>(taken.size());
}

void ClearChain() {
  for (ChainEntry* entry : g_chain) delete entry;
  g_chain.clear();
  for (HMODULE library : g_loaded) FreeLibrary(library);
  g_loaded.clear();
}

void MultiInit() {
  InitCommonControls();
  ClearChain();
  WCHAR self[MAX_PATH] = {};
  if (!g_multiModule.hDllInstance || !GetModuleFileNameW(g_multiModule.hDllInstance, self, MAX_PATH)) return;
  const std::u16string enable = ReadEnableString();
  std::u16string folder = self;
  const size_t slash = folder.rfind(u'\\');
  if (slash == std::u16string::npos) return;
  folder.resize(slash);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + u"\\dsp_*.dll").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    TakeLibrary(folder + u"\\" + found.cFileName, enable);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void MultiQuit() {
  WriteEnableString(EnableString(g_chain, kEnableChars));
  for (ChainEntry* entry : g_chain)
    if (entry->initialised && entry->record->Quit) entry->record->Quit();
  ClearChain();
}

int MultiMaxSamples(int n, DSPModule*) {
  if (t_running) return n;
  t_running = true;
  int m = n, best = n;
  for (ChainEntry* entry : g_chain) {
    if (!entry->enabled || !entry->record->GetMaxSamples) continue;
    m = entry->record->GetMaxSamples(m, entry->record);
    best = std::max(best, m);
  }
  t_running = false;
  return best;
}

int MultiSamples(void* samples, int n, int channels, int bits, int rate) {
  if (t_running) return n;
  t_running = true;
  for (ChainEntry* entry : g_chain) {
    if (!entry->enabled || !entry->record->ModifySamples) continue;
    n = std::max(0, entry->record->ModifySamples(samples, n, channels, bits, rate));
  }
  t_running = false;
  return n;
}

void MultiAbout(HWND owner) { ShowDspAbout(owner, u"Kestrane Multi DSP Plugin. Used to chain DSP's together."); }

}  // namespace

const std::vector<ChainEntry*>& MultiChain() { return g_chain; }

std::u16string ChainKey(const ChainEntry& entry) {
  WCHAR index[16];
  wsprintfW(index, u",%d\\", entry.index);
  return u"\\" + FileNameOf(entry.path) + index;
}

std::u16string EnableString(const std::vector<ChainEntry*>& chain, size_t limit) {
  std::u16string text;
  for (const ChainEntry* entry : chain) {
    if (!entry->enabled) continue;
    const std::u16string key = ChainKey(*entry);
    if (text.size() + key.size() > limit) break;
    text += key;
  }
  return text;
}

DSPModule g_multiModule = {DSP_MODULE_VERSION, ZB_DSP_FLAG_CONFIG_PAGE, u"Multi-DSP", nullptr, nullptr, nullptr,
                           MultiAbout, MultiInit, MultiQuit, MultiMaxSamples, MultiSamples, nullptr, 104, nullptr,
                           nullptr, nullptr};
