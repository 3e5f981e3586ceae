// WinSock 2 over the host's sockets: the calls, records and error codes of the device's socket
// library. The host's C library owns the plain names (socket, connect, select...), so the calls
// are bound to the layer's own symbols and product code keeps writing the platform's names.
#pragma once
// The C++ library pulls in the host's fd_set, select and timeval on its own; take them first so
// the renames below always come after them, whatever the includer's order.
#include <sys/select.h>
#include <sys/time.h>
#include <sys/types.h>

#include "windef.h"
#include "winerror.h"

#define ZB_WS_CALL(name) __asm__("zb_ws_" #name)

typedef UINT_PTR SOCKET;
#define INVALID_SOCKET ((SOCKET)(~0))
#define SOCKET_ERROR (-1)

// The platform's fd_set: a count and an array of sockets, not the host's bit mask.
#undef FD_SETSIZE
#undef FD_SET
#undef FD_CLR
#undef FD_ZERO
#undef FD_ISSET
#define FD_SETSIZE 64
#define fd_set zb_fd_set
typedef struct zb_fd_set {
  u_int fd_count;
  SOCKET fd_array[FD_SETSIZE];
} zb_fd_set;

extern "C" int __WSAFDIsSet(SOCKET s, fd_set* set);

#define FD_CLR(fd, set)                                                       \
  do {                                                                        \
    u_int zb_i_;                                                              \
    for (zb_i_ = 0; zb_i_ < ((fd_set*)(set))->fd_count; ++zb_i_) {            \
      if (((fd_set*)(set))->fd_array[zb_i_] == (SOCKET)(fd)) {                \
        while (zb_i_ < ((fd_set*)(set))->fd_count - 1) {                      \
          ((fd_set*)(set))->fd_array[zb_i_] = ((fd_set*)(set))->fd_array[zb_i_ + 1]; \
          ++zb_i_;                                                            \
        }                                                                     \
        ((fd_set*)(set))->fd_count--;                                         \
        break;                                                                \
      }                                                                       \
    }                                                                         \
  } while (0)
#define FD_SET(fd, set)                                                       \
  do {                                                                        \
    u_int zb_i_;                                                              \
    for (zb_i_ = 0; zb_i_ < ((fd_set*)(set))->fd_count; ++zb_i_) {            \
      if (((fd_set*)(set))->fd_array[zb_i_] == (SOCKET)(fd)) break;           \
    }                                                                         \
    if (zb_i_ == ((fd_set*)(set))->fd_count && ((fd_set*)(set))->fd_count < FD_SETSIZE) { \
      ((fd_set*)(set))->fd_array[zb_i_] = (SOCKET)(fd);                       \
      ((fd_set*)(set))->fd_count++;                                           \
    }                                                                         \
  } while (0)
#define FD_ZERO(set) (((fd_set*)(set))->fd_count = 0)
#define FD_ISSET(fd, set) __WSAFDIsSet((SOCKET)(fd), (fd_set*)(set))

// Addresses
#define AF_UNSPEC 0
#define AF_INET 2
#define AF_INET6 23
#define PF_UNSPEC AF_UNSPEC
#define PF_INET AF_INET
#define PF_INET6 AF_INET6

#define SOCK_STREAM 1
#define SOCK_DGRAM 2
#define SOCK_RAW 3

#define IPPROTO_IP 0
#define IPPROTO_ICMP 1
#define IPPROTO_TCP 6
#define IPPROTO_UDP 17
#define IPPROTO_IPV6 41

#define INADDR_ANY ((ULONG)0x00000000)
#define INADDR_LOOPBACK 0x7f000001
#define INADDR_BROADCAST ((ULONG)0xffffffff)
#define INADDR_NONE 0xffffffff

typedef struct in_addr {
  union {
    struct {
      UCHAR s_b1, s_b2, s_b3, s_b4;
    } S_un_b;
    struct {
      USHORT s_w1, s_w2;
    } S_un_w;
    ULONG S_addr;
  } S_un;
} IN_ADDR, *PIN_ADDR, *LPIN_ADDR;
#define s_addr S_un.S_addr
#define s_net S_un.S_un_b.s_b1
#define s_host S_un.S_un_b.s_b2
#define s_lh S_un.S_un_b.s_b3
#define s_impno S_un.S_un_b.s_b4

struct sockaddr {
  USHORT sa_family;
  CHAR sa_data[14];
};
typedef struct sockaddr SOCKADDR, *PSOCKADDR, *LPSOCKADDR;

struct sockaddr_in {
  SHORT sin_family;
  USHORT sin_port;
  struct in_addr sin_addr;
  CHAR sin_zero[8];
};
typedef struct sockaddr_in SOCKADDR_IN, *PSOCKADDR_IN, *LPSOCKADDR_IN;

struct hostent {
  char* h_name;
  char** h_aliases;
  SHORT h_addrtype;
  SHORT h_length;
  char** h_addr_list;
};
#define h_addr h_addr_list[0]
typedef struct hostent HOSTENT, *PHOSTENT, *LPHOSTENT;

struct linger {
  USHORT l_onoff;
  USHORT l_linger;
};
typedef struct linger LINGER, *PLINGER, *LPLINGER;

// Flags, options and controls
#define MSG_OOB 0x1
#define MSG_PEEK 0x2
#define MSG_DONTROUTE 0x4
#define MSG_WAITALL 0x8

#define SD_RECEIVE 0x00
#define SD_SEND 0x01
#define SD_BOTH 0x02

#define FIONREAD ((LONG)0x4004667FU)
#define FIONBIO ((LONG)0x8004667EU)

#define SOL_SOCKET 0xffff
#define SO_DEBUG 0x0001
#define SO_ACCEPTCONN 0x0002
#define SO_REUSEADDR 0x0004
#define SO_KEEPALIVE 0x0008
#define SO_DONTROUTE 0x0010
#define SO_BROADCAST 0x0020
#define SO_LINGER 0x0080
#define SO_OOBINLINE 0x0100
#define SO_DONTLINGER ((int)(~SO_LINGER))
#define SO_SNDBUF 0x1001
#define SO_RCVBUF 0x1002
#define SO_SNDTIMEO 0x1005
#define SO_RCVTIMEO 0x1006
#define SO_ERROR 0x1007
#define SO_TYPE 0x1008
#define TCP_NODELAY 0x0001

// Errors, as WSAGetLastError reports them
#define WSABASEERR 10000
#define WSAEINTR 10004L
#define WSAEBADF 10009L
#define WSAEACCES 10013L
#define WSAEFAULT 10014L
#define WSAEINVAL 10022L
#define WSAEMFILE 10024L
#define WSAEWOULDBLOCK 10035L
#define WSAEINPROGRESS 10036L
#define WSAEALREADY 10037L
#define WSAENOTSOCK 10038L
#define WSAEDESTADDRREQ 10039L
#define WSAEMSGSIZE 10040L
#define WSAEPROTOTYPE 10041L
#define WSAENOPROTOOPT 10042L
#define WSAEPROTONOSUPPORT 10043L
#define WSAESOCKTNOSUPPORT 10044L
#define WSAEOPNOTSUPP 10045L
#define WSAEPFNOSUPPORT 10046L
#define WSAEAFNOSUPPORT 10047L
#define WSAEADDRINUSE 10048L
#define WSAEADDRNOTAVAIL 10049L
#define WSAENETDOWN 10050L
#define WSAENETUNREACH 10051L
#define WSAENETRESET 10052L
#define WSAECONNABORTED 10053L
#define WSAECONNRESET 10054L
#define WSAENOBUFS 10055L
#define WSAEISCONN 10056L
#define WSAENOTCONN 10057L
#define WSAESHUTDOWN 10058L
#define WSAETOOMANYREFS 10059L
#define WSAETIMEDOUT 10060L
#define WSAECONNREFUSED 10061L
#define WSAELOOP 10062L
#define WSAENAMETOOLONG 10063L
#define WSAEHOSTDOWN 10064L
#define WSAEHOSTUNREACH 10065L
#define WSASYSNOTREADY 10091L
#define WSAVERNOTSUPPORTED 10092L
#define WSANOTINITIALISED 10093L
#define WSAEDISCON 10101L
#define WSATYPE_NOT_FOUND 10109L
#define WSAHOST_NOT_FOUND 11001L
#define WSATRY_AGAIN 11002L
#define WSANO_RECOVERY 11003L
#define WSANO_DATA 11004L

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

typedef struct WSAData {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
  USHORT iMaxSockets;
  USHORT iMaxUdpDg;
  char* lpVendorInfo;
} WSADATA, *LPWSADATA;

extern "C" {

int WSAStartup(WORD versionRequested, LPWSADATA data);
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int error);

SOCKET socket(int af, int type, int protocol) ZB_WS_CALL(socket);
int closesocket(SOCKET s) ZB_WS_CALL(closesocket);
int bind(SOCKET s, const struct sockaddr* name, int nameLength) ZB_WS_CALL(bind);
int connect(SOCKET s, const struct sockaddr* name, int nameLength) ZB_WS_CALL(connect);
int listen(SOCKET s, int backlog) ZB_WS_CALL(listen);
SOCKET accept(SOCKET s, struct sockaddr* address, int* addressLength) ZB_WS_CALL(accept);
int send(SOCKET s, const char* buffer, int length, int flags) ZB_WS_CALL(send);
int recv(SOCKET s, char* buffer, int length, int flags) ZB_WS_CALL(recv);
int shutdown(SOCKET s, int how) ZB_WS_CALL(shutdown);
int ioctlsocket(SOCKET s, LONG command, u_long* argument) ZB_WS_CALL(ioctlsocket);
int setsockopt(SOCKET s, int level, int name, const char* value, int length) ZB_WS_CALL(setsockopt);
int getsockopt(SOCKET s, int level, int name, char* value, int* length) ZB_WS_CALL(getsockopt);
int getsockname(SOCKET s, struct sockaddr* name, int* nameLength) ZB_WS_CALL(getsockname);
int getpeername(SOCKET s, struct sockaddr* name, int* nameLength) ZB_WS_CALL(getpeername);

struct hostent* gethostbyname(const char* name) ZB_WS_CALL(gethostbyname);
ULONG inet_addr(const char* text) ZB_WS_CALL(inet_addr);
char* inet_ntoa(struct in_addr address) ZB_WS_CALL(inet_ntoa);

u_short htons(u_short value) ZB_WS_CALL(htons);
u_short ntohs(u_short value) ZB_WS_CALL(ntohs);
ULONG htonl(ULONG value) ZB_WS_CALL(htonl);
ULONG ntohl(ULONG value) ZB_WS_CALL(ntohl);

}  // extern "C"

// The host's C library declares these two already; these are told apart from them by their
// platform types (select's sets, gethostname's int length). A gethostname given a size_t
// length reaches the host's own, which answers the same name.
int gethostname(char* name, int length) ZB_WS_CALL(gethostname);

int select(int ignored, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, const struct timeval* timeout)
    ZB_WS_CALL(select);
