// Sending, receiving and the two socket controls the device offers for them. A send on a
// connection the peer has closed fails with an error instead of killing the process.
#include <windows.h>
#include <winsock2.h>

#include "winsock/host_socket.h"
#include "winsock/socket_table.h"

using namespace zb::ws;

extern "C" int send(SOCKET s, const char* buffer, int length, int flags) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  RefreshConnect(s, &state);
  if (length < 0) return Failed(WSAEINVAL);
  if (!buffer && length > 0) return Failed(WSAEFAULT);
  if (state.sendShut) return Failed(WSAESHUTDOWN);
  if (state.connect != ConnectState::None) return Failed(state.connect == ConnectState::Pending ? WSAEWOULDBLOCK : WSAENOTCONN);
  int error = 0;
  long n = HostSend(state.fd, buffer, static_cast<size_t>(length), flags, &error);
  // The host tells a connection never made from a reset one by neither; the device does.
  if (n < 0 && error == WSAECONNRESET && !state.connected) error = WSAENOTCONN;
  return n < 0 ? Failed(error) : static_cast<int>(n);
}

extern "C" int recv(SOCKET s, char* buffer, int length, int flags) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  RefreshConnect(s, &state);
  if (length < 0) return Failed(WSAEINVAL);
  if (!buffer && length > 0) return Failed(WSAEFAULT);
  if (state.connect != ConnectState::None) return Failed(state.connect == ConnectState::Pending ? WSAEWOULDBLOCK : WSAENOTCONN);
  int error = 0;
  long n = HostRecv(state.fd, buffer, static_cast<size_t>(length), flags, &error);
  return n < 0 ? Failed(error) : static_cast<int>(n);
}

extern "C" int ioctlsocket(SOCKET s, LONG command, u_long* argument) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  if (!argument) return Failed(WSAEFAULT);
  int error = 0;
  if (command == FIONBIO) {
    const bool on = *argument != 0;
    if (HostSetNonBlocking(state.fd, on, &error) != 0) return Failed(error);
    UpdateSocket(s, [on](SocketState& st) { st.nonBlocking = on; });
    return 0;
  }
  if (command == FIONREAD) {
    int n = HostBytesReadable(state.fd, &error);
    if (n < 0) return Failed(error);
    *argument = static_cast<u_long>(n);
    return 0;
  }
  return Failed(WSAEINVAL);
}
