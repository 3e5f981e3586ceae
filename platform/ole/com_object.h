// The IUnknown of the layer's COM objects: a reference count that starts at one for the
// creator, and QueryInterface answering for IUnknown and the object's own interface ids.
#pragma once
#include <atomic>
#include <initializer_list>
#include <objbase.h>

namespace zb::ole {

template <class Interface>
class ComObject : public Interface {
 public:
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

 protected:
  virtual ~ComObject() = default;

  // QueryInterface for IUnknown and `ids`, every one answered by this object as Interface.
  HRESULT Answer(REFIID riid, void** object, std::initializer_list<const IID*> ids) {
    if (!object) return E_POINTER;
    bool known = IsEqualIID(riid, IID_IUnknown);
    for (const IID* id : ids) known = known || IsEqualIID(riid, *id);
    if (!known) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace zb::ole
