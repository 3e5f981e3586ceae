// Functions of system libraries that not every device has are looked up at run time; this
// gives the looked-up address its real type (or null when the library lacks it).
#pragma once
#include <windows.h>

template <class Function>
Function BoundFunction(HMODULE module, const WCHAR* nameOrOrdinal) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddressW(module, nameOrOrdinal)));
}
