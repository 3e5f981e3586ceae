// The connection manager of a host that is always online: every URL maps to the Internet,
// a connection is made at once, and the HTTP proxy is the one the device profile names. The
// library exists only when the profile lists cellcore, so both the found and the missing
// paths of its callers run.
#include <algorithm>
#include <connmgr.h>
#include <cstring>
#include <mutex>
#include <set>
#include <windows.h>

#include "device/profile.h"

namespace {

struct Connections {
  std::mutex lock;
  std::set<uintptr_t> open;
  uintptr_t next = 0;
};

Connections& Table() {
  static auto* table = new Connections;
  return *table;
}

bool IsOpen(HANDLE connection) {
  Connections& t = Table();
  std::lock_guard guard(t.lock);
  return t.open.count(reinterpret_cast<uintptr_t>(connection)) != 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT ConnMgrMapURL(LPCWSTR url, GUID* destination, DWORD* index) {
  if (!url || !destination) return E_INVALIDARG;
  *destination = IID_DestNetInternet;
  if (index) *index = 0;
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT ConnMgrEstablishConnectionSync(CONNMGR_CONNECTIONINFO* info,
                                                                                         HANDLE* connection, DWORD,
                                                                                         DWORD* status) {
  if (connection) *connection = nullptr;
  if (!info || !connection || !status || info->cbSize < sizeof(CONNMGR_CONNECTIONINFO)) return E_INVALIDARG;
  if (info->bDisabled) {
    *status = CONNMGR_STATUS_CONNECTIONDISABLED;
    return S_OK;
  }
  Connections& t = Table();
  std::lock_guard guard(t.lock);
  uintptr_t handle = 0xC0000000u + (++t.next << 4);  // never reused, never a kernel handle
  t.open.insert(handle);
  *connection = reinterpret_cast<HANDLE>(handle);
  *status = CONNMGR_STATUS_CONNECTED;
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT ConnMgrProviderMessage(HANDLE connection, const GUID* provider,
                                                                                 DWORD*, DWORD, DWORD, PBYTE parameters,
                                                                                 ULONG size) {
  if (!provider || !IsOpen(connection)) return E_INVALIDARG;
  if (!IsEqualGUID(*provider, IID_ConnPrv_IPv4Proxy)) return E_NOINTERFACE;
  if (!parameters || size < sizeof(PROXY_CONFIG)) return E_INVALIDARG;
  const std::u16string& proxy = zb::device::CurrentProfile()->proxy;
  if (proxy.empty()) return E_NOINTERFACE;  // no proxy on this network
  PROXY_CONFIG config{};
  config.dwType = CONNMGR_FLAG_PROXY_HTTP;
  config.dwEnable = 1;
  size_t n = std::min<size_t>(proxy.size(), CMPROXY_PROXYSERVER_LENGTH - 1);
  std::copy_n(proxy.data(), n, config.szProxyServer);
  std::memcpy(parameters, &config, sizeof(config));
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT ConnMgrReleaseConnection(HANDLE connection, LONG) {
  Connections& t = Table();
  std::lock_guard guard(t.lock);
  return t.open.erase(reinterpret_cast<uintptr_t>(connection)) ? S_OK : E_INVALIDARG;
}
