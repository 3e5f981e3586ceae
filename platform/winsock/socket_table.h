// The sockets the library handed out and what the host does not keep for them: whether the
// caller made them non-blocking, a connect still under way or how it failed, and whether the
// sending side was shut down. Also the WSAStartup count every call checks first.
#pragma once
#include <functional>
#include <winsock2.h>

namespace zb::ws {

enum class ConnectState { None, Pending, Failed };

struct SocketState {
  int fd = -1;
  bool nonBlocking = false;
  ConnectState connect = ConnectState::None;
  int connectError = 0;  // the WSA code of a failed connect, kept for select and SO_ERROR
  bool sendShut = false;
  bool connected = false;  // ever connected: tells a reset connection from one never made
};

// WSAStartup and WSACleanup; Cleanup at the last count closes every socket still open.
void Start();
bool Stop();
bool Started();

SOCKET AddSocket(int fd, bool nonBlocking, bool connected = false);
// Removes the socket and gives back its descriptor, or -1 (error set) when it is none of ours.
int RemoveSocket(SOCKET s);

// A copy of the socket's state, or false with the call's error set (WSANOTINITIALISED or
// WSAENOTSOCK), so every entry point starts with one line.
bool FindSocket(SOCKET s, SocketState* state);

// Changes the socket's state under the table's lock; false when it is gone meanwhile.
bool UpdateSocket(SOCKET s, const std::function<void(SocketState&)>& change);

// Settles a connect under way from what the host saw of the socket (writable, or failed):
// connected, or failed with the host's pending error. The state is updated in place.
void SettleConnect(SOCKET s, SocketState* state, bool writable, bool failed);

// Asks the host, without waiting, whether a connect under way has finished.
void RefreshConnect(SOCKET s, SocketState* state);

// Sets the caller's last error and returns SOCKET_ERROR, the usual failure of the calls.
int Failed(int wsaError);

}  // namespace zb::ws
