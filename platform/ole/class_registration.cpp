// ClassRegistration: a class factory around a library's create function, entered in the class
// table for in-process use while the registration object lives.
#include "ole/class_registration.h"

#include "ole/class_table.h"
#include "ole/com_object.h"

namespace zb::ole {
namespace {

class FunctionFactory : public ComObject<IClassFactory> {
 public:
  explicit FunctionFactory(CreateFunction create) : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override { return Answer(riid, object, {&IID_IClassFactory}); }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    return create_(outer, riid, object);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
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
