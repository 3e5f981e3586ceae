// ClassRegistration: a class factory around a library's create function, entered in the class
// table for in-process use while the registration object lives.
#include "ole/class_registration.h"

#include "ole/class_table.h"
#include "ole/ref_count.h"

namespace zb::ole {
namespace {

class FunctionFactory : public IClassFactory {
 public:
  explicit FunctionFactory(CreateFunction create) : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.Add(); }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = refs_.Drop();
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    return create_(outer, riid, object);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  virtual ~FunctionFactory() = default;
  RefCount refs_;
  CreateFunction create_;
};

}  // namespace

ClassRegistration::ClassRegistration(REFCLSID clsid, CreateFunction create) {
  auto* factory = new FunctionFactory(create);
  AddClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  factory->Release();  // the table holds it now
}

ClassRegistration::~ClassRegistration() {
  if (cookie_) RemoveClassObject(cookie_);
}

}  // namespace zb::ole
