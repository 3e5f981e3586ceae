// Large text buffers on a device with little memory: a failed malloc is tried once more, then
// once after the shell was asked to close other programs (which gives their memory back). The
// shell's function is bound at run time; without it the last try is made all the same.
#include "settingsui/memory_retry.h"

#include <cstdlib>
#include <windows.h>

#include "core/modules/bound_function.h"

namespace {

typedef BOOL (*CloseAppsFn)(DWORD bytesSought);

void AskShellToFreeMemory(size_t sought) {
  HMODULE shell = LoadLibraryW(u"aygshell.dll");
  if (!shell) return;
  if (auto closeApps = BoundFunction<CloseAppsFn>(shell, MAKEINTRESOURCEW(10))) {
    closeApps(sought > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(sought));
  }
  FreeLibrary(shell);
}

}  // namespace

void* AllocWithRetry(size_t bytes, size_t sought) {
  if (void* p = std::malloc(bytes)) return p;
  if (void* p = std::malloc(bytes)) return p;
  AskShellToFreeMemory(sought);
  return std::malloc(bytes);
}
