// The connection manager as the HTTP client reaches it: loaded by name, its calls found by
// name, a connection made at once, the proxy from the device profile (or none), and a device
// whose profile has no cellcore.
#include <gtest/gtest.h>
#include <connmgr.h>
#include <windows.h>

#include <string>

#include "testing/test_device.h"

namespace {

using MapUrl = HRESULT (*)(LPCWSTR, GUID*, DWORD*);
using Establish = HRESULT (*)(CONNMGR_CONNECTIONINFO*, HANDLE*, DWORD, DWORD*);
using ProviderMessage = HRESULT (*)(HANDLE, const GUID*, DWORD*, DWORD, DWORD, PBYTE, ULONG);
using Release = HRESULT (*)(HANDLE, LONG);

class ConnMgrTest : public ::testing::Test {
 protected:
  template <class F>
  F Bind(const char16_t* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddressW(library_, name)));
  }
  void Load() {
    library_ = LoadLibraryW(u"cellcore.dll");
    ASSERT_NE(library_, nullptr) << GetLastError();
    map_ = Bind<MapUrl>(u"ConnMgrMapURL");
    establish_ = Bind<Establish>(u"ConnMgrEstablishConnectionSync");
    message_ = Bind<ProviderMessage>(u"ConnMgrProviderMessage");
    release_ = Bind<Release>(u"ConnMgrReleaseConnection");
    ASSERT_TRUE(map_ && establish_ && message_ && release_);
  }
  void TearDown() override {
    if (library_) FreeLibrary(library_);
  }
  // The client's connect step: map, connect, ask for the proxy; the proxy text or a failure.
  HRESULT Connect(HANDLE* connection, PROXY_CONFIG* proxy) {
    GUID destination{};
    if (HRESULT hr = map_(u"radio.example/stream", &destination, nullptr); FAILED(hr)) return hr;
    EXPECT_TRUE(IsEqualGUID(destination, IID_DestNetInternet));
    CONNMGR_CONNECTIONINFO info{};
    info.cbSize = sizeof(info);
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwFlags = CONNMGR_FLAG_PROXY_HTTP;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    info.guidDestNet = destination;
    DWORD status = 0;
    if (HRESULT hr = establish_(&info, connection, 25000, &status); FAILED(hr)) return hr;
    EXPECT_EQ(status, static_cast<DWORD>(CONNMGR_STATUS_CONNECTED));
    *proxy = PROXY_CONFIG{};
    return message_(*connection, &IID_ConnPrv_IPv4Proxy, nullptr, 0, 0, reinterpret_cast<PBYTE>(proxy), sizeof(*proxy));
  }

  zb::testing::TestDevice device_;
  HMODULE library_ = nullptr;
  MapUrl map_ = nullptr;
  Establish establish_ = nullptr;
  ProviderMessage message_ = nullptr;
  Release release_ = nullptr;
};

TEST_F(ConnMgrTest, ConnectedAtOnceWithTheProfilesProxy) {
  device_.WriteProfile("[network]\nproxy = cache.example:3128\n");
  Load();
  HANDLE connection = nullptr;
  PROXY_CONFIG proxy;
  ASSERT_EQ(Connect(&connection, &proxy), S_OK);
  EXPECT_NE(connection, nullptr);
  EXPECT_EQ(std::u16string(proxy.szProxyServer), u"cache.example:3128");
  EXPECT_EQ(proxy.dwType, static_cast<DWORD>(CONNMGR_FLAG_PROXY_HTTP));
  EXPECT_EQ(release_(connection, 1), S_OK);
  EXPECT_EQ(release_(connection, 1), E_INVALIDARG) << "released once";
  EXPECT_EQ(message_(connection, &IID_ConnPrv_IPv4Proxy, nullptr, 0, 0, reinterpret_cast<PBYTE>(&proxy), sizeof(proxy)),
            E_INVALIDARG) << "a released connection has no provider";
}

TEST_F(ConnMgrTest, NoProxyIsNoInterfaceAndLeavesTheRecordEmpty) {
  Load();
  HANDLE connection = nullptr;
  PROXY_CONFIG proxy;
  EXPECT_EQ(Connect(&connection, &proxy), E_NOINTERFACE);
  EXPECT_EQ(proxy.szProxyServer[0], 0);
  EXPECT_EQ(release_(connection, 0), S_OK);
}

TEST_F(ConnMgrTest, BadArgumentsAreRefused) {
  Load();
  GUID destination;
  EXPECT_EQ(map_(nullptr, &destination, nullptr), E_INVALIDARG);
  CONNMGR_CONNECTIONINFO info{};
  info.cbSize = 64;  // the size of the record on a 32-bit device: too small here
  HANDLE connection = reinterpret_cast<HANDLE>(1);
  DWORD status = 0;
  EXPECT_EQ(establish_(&info, &connection, 1000, &status), E_INVALIDARG);
  EXPECT_EQ(connection, nullptr);
  info.cbSize = sizeof(info);
  ASSERT_EQ(establish_(&info, &connection, 1000, &status), S_OK);
  BYTE small[16];
  EXPECT_EQ(message_(connection, &IID_ConnPrv_IPv4Proxy, nullptr, 0, 0, small, sizeof(small)), E_INVALIDARG);
  EXPECT_EQ(message_(connection, &IID_DestNetCorp, nullptr, 0, 0, small, sizeof(small)), E_NOINTERFACE);
  EXPECT_EQ(release_(reinterpret_cast<HANDLE>(0x1234), 0), E_INVALIDARG);
  release_(connection, 0);
}

TEST_F(ConnMgrTest, AbsentWhenTheProfileSaysSo) {
  device_.WriteProfile("[libraries]\ncellcore = absent\n");
  EXPECT_EQ(LoadLibraryW(u"cellcore.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(GetModuleHandleW(u"cellcore"), nullptr);
}

}  // namespace
