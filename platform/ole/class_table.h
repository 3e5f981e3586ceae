// The process's class table: class objects by CLSID and context, registered by programs
// (CoRegisterClassObject) and by the layer's libraries (ClassRegistration).
#pragma once
#include <objbase.h>

namespace zb::ole {

HRESULT AddClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags, DWORD* cookie);
HRESULT RemoveClassObject(DWORD cookie);

}  // namespace zb::ole
