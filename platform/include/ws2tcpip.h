// Protocol-independent name resolution (getaddrinfo) and IPv6 addresses, in the platform's
// record layouts: its addrinfo keeps the canonical name before the address, unlike the host's.
#pragma once
#include "winsock2.h"

struct in6_addr {
  union {
    UCHAR Byte[16];
    USHORT Word[8];
  } u;
};
#define s6_addr u.Byte
typedef struct in6_addr IN6_ADDR;

struct sockaddr_in6 {
  SHORT sin6_family;
  USHORT sin6_port;
  ULONG sin6_flowinfo;
  struct in6_addr sin6_addr;
  ULONG sin6_scope_id;
};
typedef struct sockaddr_in6 SOCKADDR_IN6;

#define AI_PASSIVE 0x00000001
#define AI_CANONNAME 0x00000002
#define AI_NUMERICHOST 0x00000004

#define EAI_AGAIN WSATRY_AGAIN
#define EAI_BADFLAGS WSAEINVAL
#define EAI_FAIL WSANO_RECOVERY
#define EAI_FAMILY WSAEAFNOSUPPORT
#define EAI_MEMORY 8L
#define EAI_NONAME WSAHOST_NOT_FOUND
#define EAI_SERVICE WSATYPE_NOT_FOUND
#define EAI_SOCKTYPE WSAESOCKTNOSUPPORT

typedef struct addrinfo {
  int ai_flags;
  int ai_family;
  int ai_socktype;
  int ai_protocol;
  size_t ai_addrlen;
  char* ai_canonname;
  struct sockaddr* ai_addr;
  struct addrinfo* ai_next;
} ADDRINFOA, *PADDRINFOA;

extern "C" {

// Returns 0 or one of the EAI_ codes above (also left for WSAGetLastError).
int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints, struct addrinfo** result)
    ZB_WS_CALL(getaddrinfo);
void freeaddrinfo(struct addrinfo* list) ZB_WS_CALL(freeaddrinfo);

}  // extern "C"
