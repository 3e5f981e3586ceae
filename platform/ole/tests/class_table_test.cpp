// Object creation over the class table: unknown classes, classes registered by the program and
// by a library's static registration, contexts, single-use registration, aggregation refused by
// the factory, and the references the table takes and gives back.
#include <gtest/gtest.h>
#include <thread>

#include "ole/class_registration.h"
#include "test_objects.h"

namespace zb::ole::testing {
namespace {

DEFINE_GUID(CLSID_Unknown, 0x00112233, 0x4455, 0x6677, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF);
DEFINE_GUID(CLSID_Library, 0x5A1B2C3D, 0x0003, 0x4000, 0x80, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55);

HRESULT CreateLibraryObject(IUnknown* outer, REFIID riid, void** object) {
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* made = new Counted(77);
  HRESULT hr = made->QueryInterface(riid, object);
  made->Release();
  return hr;
}

// As a library of the layer does it: registered while loaded, whatever thread loads it.
const ClassRegistration libraryClass(CLSID_Library, CreateLibraryObject);

class ClassTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK); }
  void TearDown() override {
    CoUninitialize();
    EXPECT_EQ(liveObjects.load(), 0);
  }
  int ValueOf(REFCLSID clsid, DWORD context = CLSCTX_INPROC_SERVER) {
    ICounted* object = reinterpret_cast<ICounted*>(0x1);
    HRESULT hr = CoCreateInstance(clsid, nullptr, context, IID_ICounted, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) {
      EXPECT_EQ(object, nullptr);
      return hr;
    }
    int value = object->Value();
    object->Release();
    return value;
  }
};

TEST_F(ClassTableTest, UnknownClassIsNotRegistered) {
  IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
  EXPECT_EQ(CoCreateInstance(CLSID_Unknown, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoGetClassObject(CLSID_Unknown, CLSCTX_ALL, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(CLSID_Unknown, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_INVALIDARG);
}

TEST_F(ClassTableTest, ProgramRegisteredClassUntilRevoked) {
  CountedFactory factory(5);
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_Counted, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(factory.refs(), 2u) << "the table holds a reference";
  EXPECT_EQ(ValueOf(CLSID_Counted), 5);
  EXPECT_EQ(ValueOf(CLSID_Counted, CLSCTX_ALL), 5);
  EXPECT_EQ(ValueOf(CLSID_Counted, CLSCTX_LOCAL_SERVER), REGDB_E_CLASSNOTREG) << "registered in-process only";

  IUnknown* unknown = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_Counted, nullptr, CLSCTX_INPROC_SERVER, IID_IStream,
                             reinterpret_cast<void**>(&unknown)),
            E_NOINTERFACE);
  EXPECT_EQ(unknown, nullptr);
  auto* outer = new Counted(0);
  EXPECT_EQ(CoCreateInstance(CLSID_Counted, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
            CLASS_E_NOAGGREGATION);
  outer->Release();

  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.refs(), 1u);
  EXPECT_EQ(ValueOf(CLSID_Counted), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
}

TEST_F(ClassTableTest, SingleUseRegistrationServesOneCaller) {
  CountedFactory factory(9);
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_Counted, &factory, CLSCTX_INPROC_SERVER, REGCLS_SINGLEUSE, &cookie), S_OK);
  EXPECT_EQ(ValueOf(CLSID_Counted), 9);
  EXPECT_EQ(ValueOf(CLSID_Counted), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(factory.refs(), 1u);
}

TEST_F(ClassTableTest, LibraryClassIsThereWithoutRegisteringAnything) { EXPECT_EQ(ValueOf(CLSID_Library), 77); }

TEST_F(ClassTableTest, BadRegistrationsAreRefused) {
  CountedFactory factory(1);
  DWORD cookie = 0;
  EXPECT_EQ(CoRegisterClassObject(CLSID_Counted, nullptr, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), E_INVALIDARG);
  EXPECT_EQ(CoRegisterClassObject(CLSID_Counted, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, nullptr), E_INVALIDARG);
  EXPECT_EQ(CoRegisterClassObject(CLSID_Counted, &factory, CLSCTX_INPROC_SERVER, 0x40, &cookie), E_INVALIDARG);
  EXPECT_EQ(factory.refs(), 1u);
}

TEST(ClassTableStartup, ThreadsThatDidNotStartComCannotCreate) {
  IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
  EXPECT_EQ(CoCreateInstance(CLSID_Library, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&object)),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(object, nullptr);
  CountedFactory factory(1);
  DWORD cookie = 0;
  EXPECT_EQ(CoRegisterClassObject(CLSID_Counted, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            CO_E_NOTINITIALIZED);
}

struct InitStep {
  DWORD flags;
  HRESULT expected;
};

TEST(ClassTableStartup, StartupCountsPerThreadAndKeepsItsModel) {
  constexpr InitStep kSteps[] = {
      {COINIT_MULTITHREADED, S_OK},
      {COINIT_MULTITHREADED, S_FALSE},
      {COINIT_APARTMENTTHREADED, RPC_E_CHANGED_MODE},
      {COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE, S_FALSE},
      {0x100, E_INVALIDARG},
  };
  for (const InitStep& s : kSteps) EXPECT_EQ(CoInitializeEx(nullptr, s.flags), s.expected) << s.flags;
  EXPECT_EQ(CoInitializeEx(reinterpret_cast<void*>(1), COINIT_MULTITHREADED), E_INVALIDARG);

  std::thread other([] {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK) << "another thread has its own start-up";
    CoUninitialize();
  });
  other.join();

  for (int i = 0; i < 3; ++i) CoUninitialize();
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_Library, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&object)),
            CO_E_NOTINITIALIZED);
  CoUninitialize();  // one too many does no harm
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK) << "a new start may choose again";
  CoUninitialize();
}

}  // namespace
}  // namespace zb::ole::testing
