// The window system's calls that menus, bitmaps and icons are made with. coredll sits below the
// window system, so it looks them up by name when a resource asks for them; in a program
// without the window system the resource calls fail with ERROR_CALL_NOT_IMPLEMENTED.
#pragma once
#include <dlfcn.h>
#include <windows.h>

namespace zb::res {

template <class F>
F WindowCall(const char* name) {
  F call = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
  if (!call) SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return call;
}

// The resource's bytes for a type and name in a module, or null with the error set.
const uint8_t* FindData(HMODULE module, LPCWSTR name, LPCWSTR type, uint32_t* size);

}  // namespace zb::res
