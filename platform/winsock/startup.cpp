// WSAStartup and WSACleanup, and the last error, which is the thread's own as on the device
// (WSAGetLastError and GetLastError read the same slot).
#include <cstring>
#include <windows.h>
#include <winsock2.h>

#include "winsock/socket_table.h"

extern "C" int WSAStartup(WORD versionRequested, LPWSADATA data) {
  if (!data) return WSAEFAULT;
  if (LOBYTE(versionRequested) < 1) return WSAVERNOTSUPPORTED;
  // The highest version this library speaks is 2.2; a caller asking for more gets that.
  WORD version = versionRequested;
  if (LOBYTE(versionRequested) > 2 || (LOBYTE(versionRequested) == 2 && HIBYTE(versionRequested) > 2)) version = MAKEWORD(2, 2);
  std::memset(data, 0, sizeof(*data));
  data->wVersion = version;
  data->wHighVersion = MAKEWORD(2, 2);
  std::strcpy(data->szDescription, "WinSock 2.2");
  std::strcpy(data->szSystemStatus, "Running");
  data->iMaxSockets = 0;  // no fixed limit
  data->iMaxUdpDg = 0;
  zb::ws::Start();
  return 0;
}

extern "C" int WSACleanup() {
  if (!zb::ws::Stop()) return zb::ws::Failed(WSANOTINITIALISED);
  return 0;
}

extern "C" int WSAGetLastError() { return static_cast<int>(GetLastError()); }

extern "C" void WSASetLastError(int error) { SetLastError(static_cast<DWORD>(error)); }
