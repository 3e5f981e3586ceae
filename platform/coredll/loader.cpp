// LoadLibraryW and friends. A name with a path is a device path; a bare name is looked for in
// the program's folder, then "\Windows", then the root. The layer's system libraries are found
// by name (bare or under "\Windows") when the device profile lists them, and not otherwise.
// A library loaded twice is one module with a count; HMODULE values are never reused.
#include "coredll/loader.h"

#include <algorithm>
#include <dlfcn.h>
#include <fstream>
#include <map>
#include <mutex>

#include "device/device.h"
#include "device/paths.h"
#include "device/profile.h"
#include "device/text.h"

namespace zb::loader {
namespace {

struct Table {
  std::recursive_mutex lock;  // a library's constructors may load libraries themselves
  std::map<uintptr_t, std::shared_ptr<Module>> modules;
  std::shared_ptr<Module> program;
  uintptr_t nextId = 0;
};

Table& Modules() {
  static Table* table = new Table;
  return *table;
}

std::u16string FileNameOf(std::u16string_view path) {
  size_t slash = path.find_last_of(u"\\/");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

// "gen_x" -> "gen_x.dll"; names with an extension stay as they are.
std::u16string WithDefaultExtension(std::u16string_view name) {
  std::u16string out(name);
  if (FileNameOf(out).find(u'.') == std::u16string::npos) out += u".dll";
  return out;
}

std::u16string SystemKey(std::u16string_view fileName) {
  std::u16string key;
  for (char16_t c : fileName) key += ToLower(c);
  if (key.size() > 4 && key.ends_with(u".dll")) key.resize(key.size() - 4);
  return key;
}

// A system library is named bare or under "\Windows".
bool NamesSystemPlace(std::u16string_view given) {
  size_t slash = given.find_last_of(u"\\/");
  if (slash == std::u16string_view::npos) return true;
  return EqualNoCase(device::NormalizePath(given.substr(0, slash)), u"\\Windows");
}

std::filesystem::path LayerFolder() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&LoadLibraryW), &info);
  return std::filesystem::path(info.dli_fname ? info.dli_fname : "").parent_path();
}

HMODULE Insert(std::shared_ptr<Module> module) {
  Table& t = Modules();
  module->handle = reinterpret_cast<HMODULE>(0x400000 + (++t.nextId << 16));
  t.modules[reinterpret_cast<uintptr_t>(module->handle)] = module;
  return module->handle;
}

template <class Match>
std::shared_ptr<Module> FindIf(Match match) {
  for (auto& [value, module] : Modules().modules)
    if (match(*module)) return module;
  return nullptr;
}

HMODULE Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

HMODULE LoadSystem(const std::u16string& key, bool pin) {
  if (auto found = FindIf([&](const Module& m) { return m.system && SystemKey(m.baseName) == key; })) {
    if (pin) {
      found->pinned = true;
    } else {
      ++found->refs;
    }
    return found->handle;
  }
  auto module = std::make_shared<Module>();
  module->system = true;
  module->pinned = pin;
  module->baseName = key + u".dll";
  module->devicePath = u"\\Windows\\" + module->baseName;
  std::filesystem::path host = LayerFolder() / ("lib" + ToUtf8(key) + ".so");
  std::error_code ec;
  if (std::filesystem::exists(host, ec)) {
    module->dl = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->dl) {
      device::DebugLog("LoadLibraryW: " + host.string() + ": " + dlerror() + "\r\n");
      return Fail(ERROR_DLL_INIT_FAILED);
    }
    module->host = host;
  }
  return Insert(module);
}

HMODULE LoadFile(const std::filesystem::path& hostFile, const std::u16string& devicePath, bool dataFile) {
  std::error_code ec;
  std::filesystem::path host = std::filesystem::weakly_canonical(hostFile, ec);
  if (ec) host = hostFile;
  if (auto found = FindIf([&](const Module& m) { return !m.system && m.host == host; })) {
    ++found->refs;
    return found->handle;
  }
  auto module = std::make_shared<Module>();
  module->host = host;
  module->devicePath = device::ToDevice(host).value_or(device::NormalizePath(devicePath));
  module->baseName = FileNameOf(module->devicePath);
  module->dataFile = dataFile;
  if (dataFile) {
    if (!std::ifstream(host, std::ios::binary)) return Fail(ERROR_ACCESS_DENIED);
  } else {
    module->dl = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->dl) {
      device::DebugLog("LoadLibraryW: " + ToUtf8(module->devicePath) + ": " + dlerror() + "\r\n");
      return Fail(ERROR_BAD_EXE_FORMAT);
    }
  }
  return Insert(module);
}

std::shared_ptr<Module> Program() {
  Table& t = Modules();
  if (t.program) return t.program;
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  auto module = std::make_shared<Module>();
  module->dl = dlopen(nullptr, RTLD_NOW);
  module->host = exe;
  module->devicePath = device::ToDevice(exe).value_or(device::ProgramFolder() + u"\\" + FromUtf8(exe.filename().string()));
  module->baseName = FileNameOf(module->devicePath);
  module->pinned = true;
  Insert(module);
  t.program = module;
  return module;
}

}  // namespace

std::shared_ptr<const Module> Find(HMODULE handle) {
  Table& t = Modules();
  std::lock_guard lock(t.lock);
  if (!handle) return Program();
  auto it = t.modules.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.modules.end() ? nullptr : it->second;
}

void* HostHandle(HMODULE module) {
  auto found = Find(module);
  return found ? found->dl : nullptr;
}

}  // namespace zb::loader

using namespace zb::loader;

extern "C" HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE, DWORD flags) {
  if (!fileName || !*fileName || (flags & ~(LOAD_LIBRARY_AS_DATAFILE | DONT_RESOLVE_DLL_REFERENCES)))
    return Fail(ERROR_INVALID_PARAMETER);
  const std::u16string given = WithDefaultExtension(fileName);
  const std::u16string file = FileNameOf(given);
  Table& t = Modules();
  std::lock_guard lock(t.lock);
  if (NamesSystemPlace(given) && zb::device::CurrentProfile()->HasLibrary(file))
    return LoadSystem(SystemKey(file), false);
  const bool bare = given.find_first_of(u"\\/") == std::u16string::npos;
  std::vector<std::u16string> candidates;
  if (bare) {
    candidates = {zb::device::ProgramFolder() + u"\\" + given, u"\\Windows\\" + given, u"\\" + given};
  } else {
    candidates = {given};
  }
  for (const std::u16string& candidate : candidates) {
    uint32_t error = 0;
    auto host = zb::device::ToHost(candidate, &error);
    std::error_code ec;
    if (host && std::filesystem::is_regular_file(*host, ec))
      return LoadFile(*host, candidate, (flags & LOAD_LIBRARY_AS_DATAFILE) != 0);
  }
  return Fail(ERROR_MOD_NOT_FOUND);
}

extern "C" HMODULE LoadLibraryW(LPCWSTR fileName) { return LoadLibraryExW(fileName, nullptr, 0); }

extern "C" HMODULE GetModuleHandleW(LPCWSTR moduleName) {
  Table& t = Modules();
  std::lock_guard lock(t.lock);
  if (!moduleName) return Program()->handle;
  Program();
  const std::u16string given = WithDefaultExtension(moduleName);
  const std::u16string file = FileNameOf(given);
  const bool bare = given.find_first_of(u"\\/") == std::u16string::npos;
  const std::u16string normal = zb::device::NormalizePath(given);
  auto found = FindIf([&](const Module& m) {
    return bare ? zb::EqualNoCase(m.baseName, file) : zb::EqualNoCase(m.devicePath, normal);
  });
  if (found) return found->handle;
  // The system libraries the device has count as loaded, the way the program would link them.
  if (NamesSystemPlace(given) && zb::device::CurrentProfile()->HasLibrary(file)) return LoadSystem(SystemKey(file), true);
  return Fail(ERROR_MOD_NOT_FOUND);
}

extern "C" BOOL FreeLibrary(HMODULE module) {
  void* doomed = nullptr;
  {
    Table& t = Modules();
    std::lock_guard lock(t.lock);
    auto it = t.modules.find(reinterpret_cast<uintptr_t>(module));
    if (!module || it == t.modules.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    Module& m = *it->second;
    if (m.pinned || --m.refs > 0) return TRUE;
    doomed = m.dl;
    t.modules.erase(it);
  }
  if (doomed) dlclose(doomed);
  return TRUE;
}

extern "C" DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  auto found = Find(module);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const std::u16string& path = found->devicePath;
  // A short buffer gets as much as fits, always terminated.
  DWORD n = static_cast<DWORD>(std::min<size_t>(path.size(), size - 1));
  std::copy_n(path.data(), n, fileName);
  fileName[n] = 0;
  if (n < path.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return n;
}
