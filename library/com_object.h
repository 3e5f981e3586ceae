// The reference counting and interface answering that every object of the library shares, so
// each class only names the interfaces it answers to.
#pragma once
#include <unknwn.h>

#include <atomic>
#include <initializer_list>

template <typename Interface>
class CComObject : public Interface {
 public:
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  CComObject() = default;
  virtual ~CComObject() = default;

  // QueryInterface for an object that answers to IUnknown and to these identifiers.
  HRESULT Answer(REFIID riid, void** object, std::initializer_list<GUID> identifiers) {
    if (!object) return E_POINTER;
    bool known = riid == IID_IUnknown;
    for (const GUID& id : identifiers) known = known || riid == id;
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
