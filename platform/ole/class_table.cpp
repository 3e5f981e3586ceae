// The class table and the calls that read it. The table holds a reference to each class
// object; lookups take their own reference under the lock and call out without it, so a
// factory may create objects that use the table themselves.
#include <mutex>
#include <vector>

#include "ole/class_table.h"
#include "ole/com_thread.h"

namespace zb::ole {
namespace {

struct Entry {
  CLSID clsid;
  IUnknown* factory;
  DWORD context;
  DWORD flags;
  DWORD cookie;
};

struct Table {
  std::mutex lock;
  std::vector<Entry> entries;
  DWORD nextCookie = 1;
};

Table& Classes() {
  static Table* table = new Table;  // libraries revoke their classes from static destructors
  return *table;
}

// The class object for a CLSID in one of the wanted contexts, with a reference for the caller.
IUnknown* TakeClassObject(REFCLSID clsid, DWORD context) {
  Table& t = Classes();
  std::lock_guard guard(t.lock);
  for (auto it = t.entries.begin(); it != t.entries.end(); ++it) {
    if (!IsEqualCLSID(it->clsid, clsid) || !(it->context & context)) continue;
    IUnknown* factory = it->factory;
    if (it->flags == REGCLS_SINGLEUSE) {
      t.entries.erase(it);  // the table's reference passes to the one caller
    } else {
      factory->AddRef();
    }
    return factory;
  }
  return nullptr;
}

}  // namespace

HRESULT AddClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags, DWORD* cookie) {
  if (!factory || !cookie) return E_INVALIDARG;
  if (flags != REGCLS_SINGLEUSE && flags != REGCLS_MULTIPLEUSE) return E_INVALIDARG;
  factory->AddRef();
  Table& t = Classes();
  std::lock_guard guard(t.lock);
  *cookie = t.nextCookie++;
  t.entries.push_back({clsid, factory, context, flags, *cookie});
  return S_OK;
}

HRESULT RemoveClassObject(DWORD cookie) {
  IUnknown* factory = nullptr;
  {
    Table& t = Classes();
    std::lock_guard guard(t.lock);
    for (auto it = t.entries.begin(); it != t.entries.end(); ++it) {
      if (it->cookie != cookie) continue;
      factory = it->factory;
      t.entries.erase(it);
      break;
    }
  }
  if (!factory) return CO_E_OBJNOTREG;
  factory->Release();
  return S_OK;
}

}  // namespace zb::ole

extern "C" HRESULT CoRegisterClassObject(REFCLSID clsid, LPUNKNOWN factory, DWORD context, DWORD flags, LPDWORD cookie) {
  if (cookie) *cookie = 0;
  if (!zb::ole::ThreadStarted()) return CO_E_NOTINITIALIZED;
  return zb::ole::AddClassObject(clsid, factory, context, flags, cookie);
}

extern "C" HRESULT CoRevokeClassObject(DWORD cookie) { return zb::ole::RemoveClassObject(cookie); }

extern "C" HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, LPVOID, REFIID riid, LPVOID* object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  if (!zb::ole::ThreadStarted()) return CO_E_NOTINITIALIZED;
  IUnknown* factory = zb::ole::TakeClassObject(clsid, context);
  if (!factory) return REGDB_E_CLASSNOTREG;
  HRESULT hr = factory->QueryInterface(riid, object);
  factory->Release();
  return hr;
}

extern "C" HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID riid, LPVOID* object) {
  if (!object) return E_INVALIDARG;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, riid, object);
  factory->Release();
  if (FAILED(hr)) *object = nullptr;
  return hr;
}
