// GetProcAddressW: exports by name, or by ordinal through the library's own ordinal table. Only
// symbols defined in the module itself count; the host would otherwise also find whatever the
// library's dependencies export, which the platform's exports never include.
#include <dlfcn.h>
#include <link.h>
#include <zbexports.h>

#include "coredll/loader.h"
#include "device/text.h"

namespace {

void* OwnSymbol(void* dl, const char* name) {
  void* address = dlsym(dl, name);
  if (!address) return nullptr;
  Dl_info info{};
  link_map* map = nullptr;
  if (!dladdr(address, &info) || dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0 || !map) return nullptr;
  return reinterpret_cast<uintptr_t>(info.dli_fbase) == map->l_addr ? address : nullptr;
}

const char* NameOfOrdinal(void* dl, WORD ordinal) {
  auto* table = static_cast<const ZB_ORDINAL_EXPORT*>(OwnSymbol(dl, ZB_ORDINAL_TABLE_SYMBOL));
  for (; table && table->ordinal; ++table)
    if (table->ordinal == ordinal) return table->name;
  return nullptr;
}

}  // namespace

extern "C" FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName) {
  auto found = module ? zb::loader::Find(module) : nullptr;
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* address = nullptr;
  if (found->dl && procName) {
    if (IS_INTRESOURCE(procName)) {
      const char* name = NameOfOrdinal(found->dl, LOWORD(reinterpret_cast<ULONG_PTR>(procName)));
      if (name) address = OwnSymbol(found->dl, name);
    } else {
      address = OwnSymbol(found->dl, zb::ToUtf8(procName).c_str());
    }
  }
  if (!address && found->system && found->dl && procName && !IS_INTRESOURCE(procName) &&
      found->baseName == u"coredll.dll") {
    // The device's coredll also carries the window manager's calls (hooks, keys); here they
    // live in the window room's library, which every windowed program has loaded already.
    std::filesystem::path gwes = found->host.parent_path() / "libgwes.so";
    if (void* dl = dlopen(gwes.c_str(), RTLD_LAZY | RTLD_NOLOAD)) {
      address = OwnSymbol(dl, zb::ToUtf8(procName).c_str());
      dlclose(dl);
    }
  }
  if (!address) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(address);
}
