// POSIX sockets for the socket library, speaking the platform's numbers: addresses are converted
// field by field between the two layouts, option names go through one table, and every errno
// comes back as the WSA code the device would report.
#include "winsock/host_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zb::ws {
namespace {

// The platform's values this file needs; the full set is in winsock2.h.
constexpr int kWinInet = 2;
constexpr int kWinInet6 = 23;
constexpr int kWinMsgOob = 0x1, kWinMsgPeek = 0x2, kWinMsgDontRoute = 0x4, kWinMsgWaitAll = 0x8;
constexpr int kWsaFault = 10014, kWsaInval = 10022, kWsaOpNotSupp = 10045,
              kWsaAfNoSupport = 10047, kWsaNoProtoOpt = 10042;

struct ErrnoCode {
  int host;
  int wsa;
};

constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},        {EBADF, 10038},         {EACCES, 10013},        {EPERM, 10013},
    {EFAULT, 10014},       {EINVAL, 10022},        {EMFILE, 10024},        {ENFILE, 10024},
    {EWOULDBLOCK, 10035},  {EINPROGRESS, 10035},   {EALREADY, 10037},      {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},      {EPROTOTYPE, 10041},    {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045}, {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048},    {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},
    {ENETUNREACH, 10051},  {ENETRESET, 10052},     {ECONNABORTED, 10053},  {ECONNRESET, 10054},
    {EPIPE, 10054},        {ENOBUFS, 10055},       {ENOMEM, 10055},        {EISCONN, 10056},
    {ENOTCONN, 10057},     {ESHUTDOWN, 10058},     {ETOOMANYREFS, 10059},  {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {ELOOP, 10062},         {ENAMETOOLONG, 10063},  {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065},
};

int Fail(int* error, int wsa) {
  *error = wsa;
  return -1;
}

int FailErrno(int* error) { return Fail(error, WsaErrorOf(errno)); }

int HostFamily(int winFamily) {
  switch (winFamily) {
    case 0: return AF_UNSPEC;
    case kWinInet: return AF_INET;
    case kWinInet6: return AF_INET6;
    default: return -1;
  }
}

// Platform layout -> host sockaddr. Both layouts match field for field apart from the family.
bool ToHostAddress(const void* address, int length, sockaddr_storage* out, socklen_t* outLength, int* error) {
  if (!address || length < 2) return Fail(error, kWsaFault), false;
  uint16_t family = 0;
  std::memcpy(&family, address, 2);
  std::memset(out, 0, sizeof(*out));
  if (family == kWinInet) {
    if (length < static_cast<int>(sizeof(sockaddr_in))) return Fail(error, kWsaFault), false;
    std::memcpy(out, address, sizeof(sockaddr_in));
    out->ss_family = AF_INET;
    *outLength = sizeof(sockaddr_in);
    return true;
  }
  if (family == kWinInet6) {
    if (length < 24) return Fail(error, kWsaFault), false;  // the scope id may be left out
    std::memcpy(out, address, std::min<size_t>(length, sizeof(sockaddr_in6)));
    out->ss_family = AF_INET6;
    *outLength = sizeof(sockaddr_in6);
    return true;
  }
  return Fail(error, kWsaAfNoSupport), false;
}

void FromHostAddress(const sockaddr* address, socklen_t length, WinAddress* out) {
  *out = WinAddress{};
  size_t n = std::min<size_t>(length, sizeof(out->bytes));
  std::memcpy(out->bytes, address, n);
  uint16_t family = address->sa_family == AF_INET6 ? kWinInet6 : address->sa_family == AF_INET ? kWinInet : 0;
  std::memcpy(out->bytes, &family, 2);
  out->length = static_cast<int>(n);
}

// Socket options: the platform's (level, name) -> the host's, with how the value is carried.
enum class Carry { Bool, Int, Milliseconds, Linger, NoLinger, ReadOnlyInt };

struct OptionMap {
  int winLevel;
  int winName;
  int level;
  int name;
  Carry carry;
};

constexpr int kWinSolSocket = 0xffff;
constexpr int kWinTcp = 6;

constexpr OptionMap kOptions[] = {
    {kWinSolSocket, 0x0002, SOL_SOCKET, SO_ACCEPTCONN, Carry::ReadOnlyInt},
    {kWinSolSocket, 0x0004, SOL_SOCKET, SO_REUSEADDR, Carry::Bool},
    {kWinSolSocket, 0x0008, SOL_SOCKET, SO_KEEPALIVE, Carry::Bool},
    {kWinSolSocket, 0x0010, SOL_SOCKET, SO_DONTROUTE, Carry::Bool},
    {kWinSolSocket, 0x0020, SOL_SOCKET, SO_BROADCAST, Carry::Bool},
    {kWinSolSocket, 0x0080, SOL_SOCKET, SO_LINGER, Carry::Linger},
    {kWinSolSocket, ~0x0080, SOL_SOCKET, SO_LINGER, Carry::NoLinger},
    {kWinSolSocket, 0x0100, SOL_SOCKET, SO_OOBINLINE, Carry::Bool},
    {kWinSolSocket, 0x1001, SOL_SOCKET, SO_SNDBUF, Carry::Int},
    {kWinSolSocket, 0x1002, SOL_SOCKET, SO_RCVBUF, Carry::Int},
    {kWinSolSocket, 0x1005, SOL_SOCKET, SO_SNDTIMEO, Carry::Milliseconds},
    {kWinSolSocket, 0x1006, SOL_SOCKET, SO_RCVTIMEO, Carry::Milliseconds},
    {kWinSolSocket, 0x1008, SOL_SOCKET, SO_TYPE, Carry::ReadOnlyInt},
    {kWinTcp, 0x0001, IPPROTO_TCP, TCP_NODELAY, Carry::Bool},
};

const OptionMap* FindOption(int level, int name) {
  for (const OptionMap& o : kOptions)
    if (o.winLevel == level && o.winName == name) return &o;
  return nullptr;
}

int64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool HostFlags(int winFlags, bool sending, int* hostFlags, int* error) {
  if (winFlags & ~(kWinMsgOob | kWinMsgPeek | kWinMsgDontRoute | kWinMsgWaitAll)) return Fail(error, kWsaOpNotSupp), false;
  *hostFlags = (winFlags & kWinMsgOob ? MSG_OOB : 0) | (winFlags & kWinMsgPeek ? MSG_PEEK : 0) |
               (winFlags & kWinMsgDontRoute ? MSG_DONTROUTE : 0) | (winFlags & kWinMsgWaitAll ? MSG_WAITALL : 0);
  if (sending) *hostFlags |= MSG_NOSIGNAL;
  return true;
}

}  // namespace

int WsaErrorOf(int hostErrno) {
  for (const ErrnoCode& c : kErrnoCodes)
    if (c.host == hostErrno) return c.wsa;
  return kWsaInval;
}

int HostSocket(int family, int type, int protocol, int* error) {
  int hostFamily = HostFamily(family);
  if (hostFamily < 0 || hostFamily == AF_UNSPEC) return Fail(error, kWsaAfNoSupport);
  int fd = ::socket(hostFamily, type | SOCK_CLOEXEC, protocol);
  return fd < 0 ? FailErrno(error) : fd;
}

void HostClose(int fd) { ::close(fd); }

int HostBind(int fd, const void* address, int length, int* error) {
  sockaddr_storage host{};
  socklen_t hostLength = 0;
  if (!ToHostAddress(address, length, &host, &hostLength, error)) return -1;
  return ::bind(fd, reinterpret_cast<sockaddr*>(&host), hostLength) == 0 ? 0 : FailErrno(error);
}

int HostConnect(int fd, const void* address, int length, int* error) {
  sockaddr_storage host{};
  socklen_t hostLength = 0;
  if (!ToHostAddress(address, length, &host, &hostLength, error)) return -1;
  while (::connect(fd, reinterpret_cast<sockaddr*>(&host), hostLength) != 0) {
    if (errno == EINTR) continue;
    return FailErrno(error);
  }
  return 0;
}

int HostListen(int fd, int backlog, int* error) { return ::listen(fd, backlog) == 0 ? 0 : FailErrno(error); }

int HostAccept(int fd, WinAddress* peer, int* error) {
  sockaddr_storage host{};
  socklen_t length = sizeof(host);
  int client = ::accept4(fd, reinterpret_cast<sockaddr*>(&host), &length, SOCK_CLOEXEC);
  if (client < 0) return FailErrno(error);
  FromHostAddress(reinterpret_cast<sockaddr*>(&host), length, peer);
  return client;
}

// One send or receive with the platform's flags, tried again when a signal cut it short.
template <class Transfer>
long Transferred(int flags, bool sending, int* error, Transfer transfer) {
  int hostFlags = 0;
  if (!HostFlags(flags, sending, &hostFlags, error)) return -1;
  ssize_t n;
  do {
    n = transfer(hostFlags);
  } while (n < 0 && errno == EINTR);
  return n < 0 ? FailErrno(error) : n;
}

long HostSend(int fd, const void* data, size_t length, int flags, int* error) {
  return Transferred(flags, true, error, [&](int f) { return ::send(fd, data, length, f); });
}

long HostRecv(int fd, void* data, size_t length, int flags, int* error) {
  return Transferred(flags, false, error, [&](int f) { return ::recv(fd, data, length, f); });
}

int HostShutdown(int fd, int how, int* error) {
  static constexpr int kHow[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
  if (how < 0 || how > 2) return Fail(error, kWsaInval);
  return ::shutdown(fd, kHow[how]) == 0 ? 0 : FailErrno(error);
}

int HostSetNonBlocking(int fd, bool nonBlocking, int* error) {
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return FailErrno(error);
  flags = nonBlocking ? flags | O_NONBLOCK : flags & ~O_NONBLOCK;
  return ::fcntl(fd, F_SETFL, flags) == 0 ? 0 : FailErrno(error);
}

int HostBytesReadable(int fd, int* error) {
  int n = 0;
  return ::ioctl(fd, FIONREAD, &n) == 0 ? n : FailErrno(error);
}

int HostSetOption(int fd, int level, int name, const void* value, int length, int* error) {
  const OptionMap* o = FindOption(level, name);
  if (!o || o->carry == Carry::ReadOnlyInt) return Fail(error, kWsaNoProtoOpt);
  if (!value) return Fail(error, kWsaFault);
  int r = -1;
  switch (o->carry) {
    case Carry::Bool:
    case Carry::Int: {
      if (length < static_cast<int>(sizeof(int))) return Fail(error, kWsaFault);
      int v = 0;
      std::memcpy(&v, value, sizeof(v));
      if (o->carry == Carry::Bool) v = v != 0;
      r = ::setsockopt(fd, o->level, o->name, &v, sizeof(v));
      break;
    }
    case Carry::Milliseconds: {
      if (length < 4) return Fail(error, kWsaFault);
      uint32_t ms = 0;
      std::memcpy(&ms, value, 4);
      timeval tv{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000) * 1000};
      r = ::setsockopt(fd, o->level, o->name, &tv, sizeof(tv));
      break;
    }
    case Carry::Linger: {
      if (length < 4) return Fail(error, kWsaFault);
      uint16_t parts[2];
      std::memcpy(parts, value, 4);
      ::linger l{parts[0] != 0, parts[1]};
      r = ::setsockopt(fd, o->level, o->name, &l, sizeof(l));
      break;
    }
    case Carry::NoLinger: {
      if (length < static_cast<int>(sizeof(int))) return Fail(error, kWsaFault);
      int v = 0;
      std::memcpy(&v, value, sizeof(v));
      ::linger l{v == 0, 0};
      r = ::setsockopt(fd, o->level, o->name, &l, sizeof(l));
      break;
    }
    case Carry::ReadOnlyInt:
      break;
  }
  return r == 0 ? 0 : FailErrno(error);
}

int HostGetOption(int fd, int level, int name, void* value, int* length, int* error) {
  const OptionMap* o = FindOption(level, name);
  if (!o) return Fail(error, kWsaNoProtoOpt);
  if (!value || !length) return Fail(error, kWsaFault);
  int need = o->carry == Carry::Milliseconds || o->carry == Carry::Linger ? 4 : static_cast<int>(sizeof(int));
  if (*length < need) return Fail(error, kWsaFault);
  if (o->carry == Carry::Milliseconds) {
    timeval tv{};
    socklen_t n = sizeof(tv);
    if (::getsockopt(fd, o->level, o->name, &tv, &n) != 0) return FailErrno(error);
    uint32_t ms = static_cast<uint32_t>(tv.tv_sec * 1000 + tv.tv_usec / 1000);
    std::memcpy(value, &ms, 4);
  } else if (o->carry == Carry::Linger || o->carry == Carry::NoLinger) {
    ::linger l{};
    socklen_t n = sizeof(l);
    if (::getsockopt(fd, o->level, o->name, &l, &n) != 0) return FailErrno(error);
    if (o->carry == Carry::Linger) {
      uint16_t parts[2] = {static_cast<uint16_t>(l.l_onoff != 0), static_cast<uint16_t>(l.l_linger)};
      std::memcpy(value, parts, 4);
    } else {
      int off = l.l_onoff == 0;
      std::memcpy(value, &off, sizeof(off));
    }
  } else {
    int v = 0;
    socklen_t n = sizeof(v);
    if (::getsockopt(fd, o->level, o->name, &v, &n) != 0) return FailErrno(error);
    if (o->carry == Carry::Bool) v = v != 0;
    std::memcpy(value, &v, sizeof(v));
  }
  *length = need;
  return 0;
}

int HostAddressOf(int fd, bool peer, WinAddress* address, int* error) {
  sockaddr_storage host{};
  socklen_t length = sizeof(host);
  int r = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&host), &length)
               : ::getsockname(fd, reinterpret_cast<sockaddr*>(&host), &length);
  if (r != 0) return FailErrno(error);
  FromHostAddress(reinterpret_cast<sockaddr*>(&host), length, address);
  return 0;
}

int HostTakeSocketError(int fd) {
  int e = 0;
  socklen_t n = sizeof(e);
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &e, &n) != 0) return WsaErrorOf(errno);
  return e == 0 ? 0 : WsaErrorOf(e);
}

bool HostIsSocket(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}

int HostPoll(std::vector<PollEntry>& entries, int timeoutMs, int* error) {
  std::vector<pollfd> fds(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    fds[i].fd = entries[i].fd;
    fds[i].events = static_cast<short>((entries[i].wantRead ? POLLIN : 0) | (entries[i].wantWrite ? POLLOUT : 0) |
                                       (entries[i].wantExcept ? POLLPRI : 0));
  }
  const int64_t deadline = timeoutMs < 0 ? 0 : NowMs() + timeoutMs;
  int n;
  for (;;) {
    int wait = timeoutMs < 0 ? -1 : static_cast<int>(std::max<int64_t>(0, deadline - NowMs()));
    n = ::poll(fds.data(), fds.size(), wait);
    if (n >= 0) break;
    if (errno != EINTR) return FailErrno(error);
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    short r = fds[i].revents;
    entries[i].readable = (r & (POLLIN | POLLHUP | POLLERR)) != 0;
    entries[i].writable = (r & POLLOUT) != 0;
    entries[i].urgent = (r & POLLPRI) != 0;
    entries[i].failed = (r & (POLLERR | POLLHUP)) != 0;
  }
  return n;
}

int HostResolve(const char* node, const char* service, int flags, int family, int socktype, int protocol,
                std::vector<Resolved>* out, std::string* canonicalName) {
  constexpr int kKnownFlags = AI_PASSIVE | AI_CANONNAME | AI_NUMERICHOST;  // same values on both sides
  if (flags & ~kKnownFlags) return kWsaInval;
  int hostFamily = HostFamily(family);
  if (hostFamily < 0) return kWsaAfNoSupport;
  addrinfo hints{};
  hints.ai_flags = flags;
  hints.ai_family = hostFamily;
  hints.ai_socktype = socktype;
  hints.ai_protocol = protocol;
  addrinfo* list = nullptr;
  int r = ::getaddrinfo(node, service, &hints, &list);
  switch (r) {
    case 0: break;
    case EAI_AGAIN: return 11002;
    case EAI_FAIL: return 11003;
    case EAI_NODATA: return 11004;
    case EAI_FAMILY: return kWsaAfNoSupport;
    case EAI_SOCKTYPE: return 10044;
    case EAI_SERVICE: return 10109;
    case EAI_MEMORY: return 8;
    case EAI_BADFLAGS: return kWsaInval;
    case EAI_SYSTEM: return WsaErrorOf(errno);
    default: return 11001;  // no such name
  }
  for (addrinfo* a = list; a; a = a->ai_next) {
    if (a->ai_family != AF_INET && a->ai_family != AF_INET6) continue;
    Resolved item;
    item.family = a->ai_family == AF_INET6 ? kWinInet6 : kWinInet;
    item.socktype = a->ai_socktype;
    item.protocol = a->ai_protocol;
    FromHostAddress(a->ai_addr, a->ai_addrlen, &item.address);
    out->push_back(item);
  }
  if (canonicalName && list && list->ai_canonname) *canonicalName = list->ai_canonname;
  ::freeaddrinfo(list);
  return out->empty() ? 11001 : 0;
}

int HostName(std::string* out) {
  char name[256] = {};
  if (::gethostname(name, sizeof(name) - 1) != 0) return WsaErrorOf(errno);
  *out = name;
  return 0;
}

bool HostParseIPv4(const char* text, uint32_t* networkOrder) {
  in_addr a{};
  if (!text || ::inet_aton(text, &a) == 0) return false;
  *networkOrder = a.s_addr;
  return true;
}

std::string HostFormatIPv4(uint32_t networkOrder) {
  in_addr a{};
  a.s_addr = networkOrder;
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a, text, sizeof(text));
  return text;
}

}  // namespace zb::ws
