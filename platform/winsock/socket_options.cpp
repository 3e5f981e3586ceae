// Socket options. SO_ERROR is answered here: a failed non-blocking connect keeps its error in
// the socket table (the host forgets it once read), so the caller can ask more than once.
#include <cstring>
#include <windows.h>
#include <winsock2.h>

#include "winsock/host_socket.h"
#include "winsock/socket_table.h"

using namespace zb::ws;

extern "C" int setsockopt(SOCKET s, int level, int name, const char* value, int length) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  int error = 0;
  return HostSetOption(state.fd, level, name, value, length, &error) == 0 ? 0 : Failed(error);
}

extern "C" int getsockopt(SOCKET s, int level, int name, char* value, int* length) {
  SocketState state;
  if (!FindSocket(s, &state)) return SOCKET_ERROR;
  if (level == SOL_SOCKET && name == SO_ERROR) {
    if (!value || !length || *length < static_cast<int>(sizeof(int))) return Failed(WSAEFAULT);
    RefreshConnect(s, &state);
    int code = state.connect == ConnectState::Failed ? state.connectError : HostTakeSocketError(state.fd);
    std::memcpy(value, &code, sizeof(code));
    *length = sizeof(int);
    return 0;
  }
  int error = 0;
  return HostGetOption(state.fd, level, name, value, length, &error) == 0 ? 0 : Failed(error);
}
