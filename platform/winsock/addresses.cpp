// Address text and byte order. inet_ntoa writes into the calling thread's own buffer, which
// stays valid until that thread's next call, as on the device.
#include <cstring>
#include <string>
#include <windows.h>
#include <winsock2.h>

#include "winsock/host_socket.h"

extern "C" ULONG inet_addr(const char* text) {
  uint32_t address = 0;
  if (!text || !*text || !zb::ws::HostParseIPv4(text, &address)) return INADDR_NONE;
  return address;
}

extern "C" char* inet_ntoa(struct in_addr address) {
  thread_local char text[16];
  std::string s = zb::ws::HostFormatIPv4(address.s_addr);
  std::strncpy(text, s.c_str(), sizeof(text) - 1);
  text[sizeof(text) - 1] = 0;
  return text;
}

extern "C" u_short htons(u_short value) { return __builtin_bswap16(value); }
extern "C" u_short ntohs(u_short value) { return __builtin_bswap16(value); }
extern "C" ULONG htonl(ULONG value) { return __builtin_bswap32(value); }
extern "C" ULONG ntohl(ULONG value) { return __builtin_bswap32(value); }
