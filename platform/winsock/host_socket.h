// The host half of the socket library: POSIX sockets behind plain types, with the platform's
// numbers at the boundary (its address families, flags, option names and WSA error codes).
// Kept apart because the host's socket headers and the platform's cannot meet in one file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zb::ws {

// A socket address in the platform's layout: 16-bit family first (AF_INET 2, AF_INET6 23).
struct WinAddress {
  uint8_t bytes[28] = {};
  int length = 0;
};

// The platform's WSA code for a host errno value.
int WsaErrorOf(int hostErrno);

// Each call returns -1 on failure and sets *error to a WSA code.
int HostSocket(int family, int type, int protocol, int* error);
void HostClose(int fd);
int HostBind(int fd, const void* address, int length, int* error);
// A connect still under way on a non-blocking socket fails with WSAEWOULDBLOCK.
int HostConnect(int fd, const void* address, int length, int* error);
int HostListen(int fd, int backlog, int* error);
int HostAccept(int fd, WinAddress* peer, int* error);
// Sending never raises SIGPIPE; a closed connection is an error instead.
long HostSend(int fd, const void* data, size_t length, int flags, int* error);
long HostRecv(int fd, void* data, size_t length, int flags, int* error);
int HostShutdown(int fd, int how, int* error);
int HostSetNonBlocking(int fd, bool nonBlocking, int* error);
int HostBytesReadable(int fd, int* error);
int HostSetOption(int fd, int level, int name, const void* value, int length, int* error);
int HostGetOption(int fd, int level, int name, void* value, int* length, int* error);
int HostAddressOf(int fd, bool peer, WinAddress* address, int* error);
// The socket's pending error as a WSA code, 0 for none. Reading it clears it on the host.
int HostTakeSocketError(int fd);
bool HostIsSocket(int fd);

struct PollEntry {
  int fd = -1;
  bool wantRead = false, wantWrite = false, wantExcept = false;
  bool readable = false, writable = false, urgent = false, failed = false;
};
// Waits up to timeoutMs (negative: without limit) for any wanted condition.
int HostPoll(std::vector<PollEntry>& entries, int timeoutMs, int* error);

struct Resolved {
  int family = 0;
  int socktype = 0;
  int protocol = 0;
  WinAddress address;
};
// Returns 0 or a WSA code (WSAHOST_NOT_FOUND and the rest).
int HostResolve(const char* node, const char* service, int flags, int family, int socktype, int protocol,
                std::vector<Resolved>* out, std::string* canonicalName);
int HostName(std::string* out);
// "a.b.c.d" and the shorter forms the platform accepts, in network byte order.
bool HostParseIPv4(const char* text, uint32_t* networkOrder);
std::string HostFormatIPv4(uint32_t networkOrder);

}  // namespace zb::ws
