// select over the platform's socket sets. A connect under way is watched for its outcome
// whatever sets it is in: success makes it writable; failure puts it in the exception set
// (never the write set) and leaves the failure as the caller's last error, so a caller that
// checks the last error after select sees the refusal at once.
#include <vector>
#include <windows.h>
#include <winsock2.h>

#include "winsock/host_socket.h"
#include "winsock/socket_table.h"

using namespace zb::ws;

namespace {

struct Watched {
  SOCKET s;
  SocketState state;
  bool read = false, write = false, except = false;
};

Watched* Find(std::vector<Watched>& list, SOCKET s) {
  for (Watched& w : list)
    if (w.s == s) return &w;
  return nullptr;
}

// Adds every socket of a set to the list; false when one of them is not a socket.
bool Collect(fd_set* set, bool Watched::*want, std::vector<Watched>& list) {
  if (!set) return true;
  if (set->fd_count > FD_SETSIZE) return Failed(WSAEINVAL), false;
  for (u_int i = 0; i < set->fd_count; ++i) {
    Watched* w = Find(list, set->fd_array[i]);
    if (!w) {
      SocketState state;
      if (!FindSocket(set->fd_array[i], &state)) return false;
      list.push_back({set->fd_array[i], state});
      w = &list.back();
    }
    w->*want = true;
  }
  return true;
}

// Rewrites a set to hold only its ready sockets; returns how many.
int Keep(fd_set* set, const std::vector<Watched>& list, bool (*ready)(const Watched&, const PollEntry&),
         const std::vector<PollEntry>& polled) {
  if (!set) return 0;
  u_int kept = 0;
  for (u_int i = 0; i < set->fd_count; ++i) {
    for (size_t j = 0; j < list.size(); ++j) {
      if (list[j].s == set->fd_array[i] && ready(list[j], polled[j])) set->fd_array[kept++] = set->fd_array[i];
    }
  }
  set->fd_count = kept;
  return static_cast<int>(kept);
}

bool Failing(const Watched& w) { return w.state.connect == ConnectState::Failed; }

}  // namespace

extern "C" int __WSAFDIsSet(SOCKET s, fd_set* set) {
  if (!set) return 0;
  for (u_int i = 0; i < set->fd_count && i < FD_SETSIZE; ++i)
    if (set->fd_array[i] == s) return 1;
  return 0;
}

int select(int, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, const struct timeval* timeout) {
  if (!Started()) return Failed(WSANOTINITIALISED);
  std::vector<Watched> list;
  if (!Collect(readSet, &Watched::read, list) || !Collect(writeSet, &Watched::write, list) ||
      !Collect(exceptSet, &Watched::except, list)) {
    return SOCKET_ERROR;
  }
  if (list.empty()) return Failed(WSAEINVAL);
  if (timeout && (timeout->tv_sec < 0 || timeout->tv_usec < 0)) return Failed(WSAEINVAL);

  std::vector<PollEntry> polled(list.size());
  bool settled = false;  // a connect that already failed is ready without waiting
  for (size_t i = 0; i < list.size(); ++i) {
    polled[i].fd = list[i].state.fd;
    polled[i].wantRead = list[i].read;
    polled[i].wantWrite = list[i].write || list[i].state.connect == ConnectState::Pending;
    polled[i].wantExcept = list[i].except;
    settled = settled || (Failing(list[i]) && list[i].except);
  }
  int wait = -1;
  if (settled) {
    wait = 0;
  } else if (timeout) {
    long long ms = static_cast<long long>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    wait = static_cast<int>(ms > 0x7FFFFFFF ? 0x7FFFFFFF : ms);
  }
  int error = 0;
  if (HostPoll(polled, wait, &error) < 0) return Failed(error);

  for (size_t i = 0; i < list.size(); ++i) SettleConnect(list[i].s, &list[i].state, polled[i].writable, polled[i].failed);

  int failure = 0;
  for (const Watched& w : list)
    if (Failing(w) && w.except && !failure) failure = w.state.connectError;

  int count = Keep(readSet, list, [](const Watched& w, const PollEntry& p) { return w.state.connect == ConnectState::None && p.readable; }, polled);
  count += Keep(writeSet, list, [](const Watched& w, const PollEntry& p) { return w.state.connect == ConnectState::None && p.writable; }, polled);
  count += Keep(exceptSet, list, [](const Watched& w, const PollEntry& p) { return Failing(w) || p.urgent; }, polled);
  if (failure) WSASetLastError(failure);
  return count;
}
