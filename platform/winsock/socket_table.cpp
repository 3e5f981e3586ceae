// The socket table and the start-up count, under one lock. Socket values are the host's
// descriptors, which makes them small numbers the way the device's are.
#include "winsock/socket_table.h"

#include <map>
#include <mutex>

#include "winsock/host_socket.h"

namespace zb::ws {
namespace {

struct Table {
  std::mutex lock;
  int starts = 0;
  std::map<SOCKET, SocketState> sockets;
};

Table& Sockets() {
  static Table* table = new Table;  // outlives static destructors that may still close sockets
  return *table;
}

}  // namespace

void Start() {
  Table& t = Sockets();
  std::lock_guard guard(t.lock);
  ++t.starts;
}

bool Stop() {
  Table& t = Sockets();
  std::map<SOCKET, SocketState> closing;
  {
    std::lock_guard guard(t.lock);
    if (t.starts == 0) return false;
    if (--t.starts == 0) closing.swap(t.sockets);
  }
  for (auto& [s, state] : closing) HostClose(state.fd);
  return true;
}

bool Started() {
  Table& t = Sockets();
  std::lock_guard guard(t.lock);
  return t.starts > 0;
}

SOCKET AddSocket(int fd, bool nonBlocking, bool connected) {
  Table& t = Sockets();
  std::lock_guard guard(t.lock);
  SocketState state;
  state.fd = fd;
  state.nonBlocking = nonBlocking;
  state.connected = connected;
  t.sockets[static_cast<SOCKET>(fd)] = state;
  return static_cast<SOCKET>(fd);
}

int RemoveSocket(SOCKET s) {
  Table& t = Sockets();
  std::lock_guard guard(t.lock);
  if (t.starts == 0) return Failed(WSANOTINITIALISED);
  auto it = t.sockets.find(s);
  if (it == t.sockets.end()) return Failed(WSAENOTSOCK);
  int fd = it->second.fd;
  t.sockets.erase(it);
  return fd;
}

bool FindSocket(SOCKET s, SocketState* state) {
  Table& t = Sockets();
  std::lock_guard guard(t.lock);
  if (t.starts == 0) return Failed(WSANOTINITIALISED), false;
  auto it = t.sockets.find(s);
  if (it == t.sockets.end()) return Failed(WSAENOTSOCK), false;
  *state = it->second;
  return true;
}

bool UpdateSocket(SOCKET s, const std::function<void(SocketState&)>& change) {
  Table& t = Sockets();
  std::lock_guard guard(t.lock);
  auto it = t.sockets.find(s);
  if (it == t.sockets.end()) return false;
  change(it->second);
  return true;
}

void SettleConnect(SOCKET s, SocketState* state, bool writable, bool failed) {
  if (state->connect != ConnectState::Pending || (!writable && !failed)) return;
  const int error = HostTakeSocketError(state->fd);
  if (error == 0 && !writable) return;  // a hang-up without an error: let the next look decide
  state->connect = error ? ConnectState::Failed : ConnectState::None;
  state->connectError = error;
  state->connected = error == 0;
  UpdateSocket(s, [state](SocketState& st) {
    st.connect = state->connect;
    st.connectError = state->connectError;
    st.connected = state->connected;
  });
}

void RefreshConnect(SOCKET s, SocketState* state) {
  if (state->connect != ConnectState::Pending) return;
  std::vector<PollEntry> entries(1);
  entries[0].fd = state->fd;
  entries[0].wantWrite = true;
  int error = 0;
  if (HostPoll(entries, 0, &error) > 0) SettleConnect(s, state, entries[0].writable, entries[0].failed);
}

int Failed(int wsaError) {
  WSASetLastError(wsaError);
  return SOCKET_ERROR;
}

}  // namespace zb::ws
