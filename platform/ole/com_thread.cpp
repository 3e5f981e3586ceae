// CoInitializeEx and CoUninitialize: a count per thread and the threading model of its first
// call, which later calls must repeat.
#include <objbase.h>

#include "ole/com_thread.h"

namespace zb::ole {
namespace {

struct ThreadCom {
  unsigned count = 0;
  DWORD model = 0;
};

thread_local ThreadCom tls;

constexpr DWORD kKnownFlags = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

}  // namespace

bool ThreadStarted() { return tls.count > 0; }

}  // namespace zb::ole

using zb::ole::tls;

extern "C" HRESULT CoInitializeEx(LPVOID reserved, DWORD flags) {
  if (reserved || (flags & ~zb::ole::kKnownFlags)) return E_INVALIDARG;
  const DWORD model = flags & COINIT_APARTMENTTHREADED;
  if (tls.count > 0 && tls.model != model) return RPC_E_CHANGED_MODE;
  tls.model = model;
  return tls.count++ == 0 ? S_OK : S_FALSE;
}

extern "C" void CoUninitialize() {
  if (tls.count > 0) --tls.count;
}
