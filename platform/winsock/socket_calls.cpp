// Making, connecting and closing sockets. A non-blocking connect answers WSAEWOULDBLOCK even
// when the host already knows the outcome (a refused port on this machine is known at once):
// the outcome then waits for select and SO_ERROR, which is where the device reports it.
#include <cstring>
#include <windows.h>
#include <winsock2.h>

#include "winsock/host_socket.h"
#include "winsock/socket_table.h"

using namespace zb::ws;

namespace {

// Errors that end a connect attempt rather than refuse the call itself.
bool IsConnectOutcome(int wsa) {
  return wsa == WSAECONNREFUSED || wsa == WSAENETUNREACH || wsa == WSAEHOSTUNREACH || wsa == WSAETIMEDOUT ||
         wsa == WSAECONNRESET;
}

int CopyAddress(const WinAddress& from, struct sockaddr* to, int* length) {
  if (!to || !length) return Failed(WSAEFAULT);
  if (*length < from.length) return Failed(WSAEFAULT);
  std::memcpy(to, from.bytes, from.length);
  *length = from.length;
  return 0;
}

}  // namespace

extern "C" SOCKET socket(int af, int type, int protocol) {
  if (!Started()) return Failed(WSANOTINITIALISED), INVALID_SOCKET;
  int error = 0;
  int fd = HostSocket(af, type, protocol, &error);
  if (fd < 0) return Failed(error), INVALID_SOCKET;
  return AddSocket(fd, false);
}

extern "C" int closesocket(SOCKET s) {
  int fd = RemoveSocket(s);
  if (fd < 0) return SOCKET_ERROR;
  HostClose(fd);
  return 0;
}

extern "C" int bind(SOCKET s, const struct sockaddr* name, int nameLength) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  int error = 0;
  return HostBind(state.fd, name, nameLength, &error) == 0 ? 0 : Failed(error);
}

extern "C" int connect(SOCKET s, const struct sockaddr* name, int nameLength) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  if (state.connect == ConnectState::Pending) return Failed(WSAEALREADY);
  int error = 0;
  if (HostConnect(state.fd, name, nameLength, &error) == 0) {
    UpdateSocket(s, [](SocketState& st) {
      st.connect = ConnectState::None;
      st.connected = true;
    });
    return 0;
  }
  if (state.nonBlocking && (error == WSAEWOULDBLOCK || IsConnectOutcome(error))) {
    const int outcome = error == WSAEWOULDBLOCK ? 0 : error;
    UpdateSocket(s, [outcome](SocketState& st) {
      st.connect = outcome ? ConnectState::Failed : ConnectState::Pending;
      st.connectError = outcome;
    });
    return Failed(WSAEWOULDBLOCK);
  }
  return Failed(error);
}

extern "C" int listen(SOCKET s, int backlog) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  int error = 0;
  return HostListen(state.fd, backlog, &error) == 0 ? 0 : Failed(error);
}

extern "C" SOCKET accept(SOCKET s, struct sockaddr* address, int* addressLength) {
  SocketState state;
  if (!FindSocket(s, &state)) return INVALID_SOCKET;
  if (address && (!addressLength || *addressLength < static_cast<int>(sizeof(sockaddr_in)))) return Failed(WSAEFAULT), INVALID_SOCKET;
  int error = 0;
  WinAddress peer;
  int fd = HostAccept(state.fd, &peer, &error);
  if (fd < 0) return Failed(error), INVALID_SOCKET;
  // An accepted socket takes the listening socket's blocking mode, as on the device.
  if (state.nonBlocking) HostSetNonBlocking(fd, true, &error);
  SOCKET client = AddSocket(fd, state.nonBlocking, true);
  if (address && CopyAddress(peer, address, addressLength) != 0) {
    closesocket(client);
    return INVALID_SOCKET;
  }
  return client;
}

extern "C" int shutdown(SOCKET s, int how) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  int error = 0;
  if (HostShutdown(state.fd, how, &error) != 0) return Failed(error);
  if (how == SD_SEND || how == SD_BOTH) UpdateSocket(s, [](SocketState& st) { st.sendShut = true; });
  return 0;
}

extern "C" int getsockname(SOCKET s, struct sockaddr* name, int* nameLength) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  int error = 0;
  WinAddress address;
  if (HostAddressOf(state.fd, false, &address, &error) != 0) return Failed(error);
  return CopyAddress(address, name, nameLength);
}

extern "C" int getpeername(SOCKET s, struct sockaddr* name, int* nameLength) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  int error = 0;
  WinAddress address;
  if (HostAddressOf(state.fd, true, &address, &error) != 0) return Failed(error);
  return CopyAddress(address, name, nameLength);
}
