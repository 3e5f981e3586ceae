// How a library of the layer offers a COM class: one static ClassRegistration per class puts
// it in the process's class table when the library loads and takes it out when it unloads.
// CoCreateInstance then finds it without the caller having started anything.
#pragma once
#include <objbase.h>

namespace zb::ole {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

class ClassRegistration {
 public:
  ClassRegistration(REFCLSID clsid, CreateFunction create);
  ~ClassRegistration();
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;

 private:
  DWORD cookie_ = 0;
};

}  // namespace zb::ole
