// Shared by the socket tests: a started library per test and loopback listeners and clients
// made through the library itself.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock2.h>

namespace zb::ws::testing {

inline sockaddr_in Loopback(u_short port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

inline u_short PortOf(SOCKET s) {
  sockaddr_in a{};
  int length = sizeof(a);
  if (getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) return 0;
  return ntohs(a.sin_port);
}

// A listening socket on 127.0.0.1 with a port of the host's choosing.
inline SOCKET Listen(u_short* port, int backlog = 4) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = Loopback(0);
  if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 || listen(s, backlog) != 0) {
    ADD_FAILURE() << "cannot listen: " << WSAGetLastError();
    return INVALID_SOCKET;
  }
  *port = PortOf(s);
  return s;
}

inline SOCKET Connect(u_short port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = Loopback(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) ADD_FAILURE() << "cannot connect: " << WSAGetLastError();
  return s;
}

inline u_long NonBlocking(SOCKET s) {
  u_long on = 1;
  EXPECT_EQ(ioctlsocket(s, FIONBIO, &on), 0);
  return on;
}

// Waits up to `ms` for one socket in one kind of set; true when select reported it.
inline bool WaitFor(SOCKET s, bool write, long ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  int n = write ? select(0, nullptr, &set, nullptr, &tv) : select(0, &set, nullptr, nullptr, &tv);
  return n == 1 && FD_ISSET(s, &set);
}

// A non-blocking socket whose connect to 127.0.0.1:port is under way.
inline SOCKET StartConnect(u_short port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  NonBlocking(s);
  sockaddr_in a = Loopback(port);
  EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  return s;
}

// What one select on a connecting socket's write and exception sets said, the way a caller
// waits for a connect.
struct ConnectWait {
  int result;
  bool writable;
  bool failed;
  u_int writeCount;
  u_int failCount;
};

inline ConnectWait WaitOnConnect(SOCKET s, long microseconds) {
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval tv{microseconds / 1000000, microseconds % 1000000};
  int n = select(0, nullptr, &writable, &failed, &tv);
  return {n, FD_ISSET(s, &writable) != 0, FD_ISSET(s, &failed) != 0, writable.fd_count, failed.fd_count};
}

class WinSockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  void TearDown() override { WSACleanup(); }
};

}  // namespace zb::ws::testing
