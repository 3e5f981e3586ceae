// Named events and their client list. Raising, registering and unregistering run on the main
// thread; only the number counter is shared with other processes' races for the same names,
// which ERROR_ALREADY_EXISTS settles.
#include "core/common/named_events.h"

#include <string>
#include <vector>

namespace {

struct ClientEvent {
  std::u16string name;
  HANDLE handle;
  DWORD number;
};

std::vector<ClientEvent> g_clients;
LONG volatile g_counter = 1;  // the first number handed out is 2

// Each taken name costs one number; this many in a row means something else is wrong.
constexpr int kMaxAttempts = 10000;

}  // namespace

void RaiseNamedEvent(const WCHAR* name) {
  if (!name) return;
  for (const ClientEvent& client : g_clients) {
    if (client.name == name) EventModify(client.handle, EVENT_SET);
  }
  HANDLE plain = CreateEventW(nullptr, TRUE, FALSE, name);
  if (!plain) return;
  EventModify(plain, EVENT_PULSE);
  CloseHandle(plain);
}

DWORD RegisterEventWaiter(const WCHAR* name) {
  if (!name || !*name) return 0;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const DWORD number = static_cast<DWORD>(InterlockedIncrement(&g_counter));
    WCHAR suffix[16];
    wsprintfW(suffix, u"%d", number);
    const std::u16string candidate = name + std::u16string(suffix);
    SetLastError(0);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, candidate.c_str());
    if (!event || event == INVALID_HANDLE_VALUE) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(event);
      continue;
    }
    g_clients.push_back({name, event, number});
    return number;
  }
  return 0;
}

void UnregisterEventWaiter(DWORD number) {
  for (auto it = g_clients.begin(); it != g_clients.end(); ++it) {
    if (it->number == number) {
      CloseHandle(it->handle);
      g_clients.erase(it);
      return;
    }
  }
}

void CloseEventWaiters() {
  for (const ClientEvent& client : g_clients) CloseHandle(client.handle);
  g_clients.clear();
}
