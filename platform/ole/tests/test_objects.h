// Objects for the COM tests: a class whose instances count themselves and a factory that
// makes them, so tests can see every reference taken and given back.
#pragma once
#include <atomic>
#include <objbase.h>

namespace zb::ole::testing {

DEFINE_GUID(CLSID_Counted, 0x5A1B2C3D, 0x0001, 0x4000, 0x80, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55);
DEFINE_GUID(IID_ICounted, 0x5A1B2C3D, 0x0002, 0x4000, 0x80, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55);

interface ICounted : public IUnknown {
  STDMETHOD_(int, Value)() PURE;
};

inline std::atomic<int> liveObjects{0};

class Counted : public ICounted {
 public:
  explicit Counted(int value) : value_(value) { ++liveObjects; }
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ICounted)) {
      *object = static_cast<ICounted*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP_(int) Value() override { return value_; }
  ULONG refs() const { return refs_; }

 private:
  virtual ~Counted() { --liveObjects; }
  std::atomic<ULONG> refs_{1};
  int value_;
};

// Makes Counted objects carrying `value`; refuses aggregation as most classes do.
class CountedFactory : public IClassFactory {
 public:
  explicit CountedFactory(int value) : value_(value) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* made = new Counted(value_);
    HRESULT hr = made->QueryInterface(riid, object);
    made->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
  ULONG refs() const { return refs_; }

 private:
  std::atomic<ULONG> refs_{1};
  int value_;
};

}  // namespace zb::ole::testing
