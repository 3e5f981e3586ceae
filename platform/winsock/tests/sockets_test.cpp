// Sockets the library does not know, select's own refusals, and the platform's fd_set macros
// (a counted array: no duplicates, removal keeps the order, at most FD_SETSIZE sockets).
#include "winsock_support.h"

namespace zb::ws::testing {
namespace {

using SocketsTest = WinSockTest;

TEST_F(SocketsTest, CallsOnSocketsThatAreNotOursFail) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ASSERT_EQ(closesocket(s), 0);
  const SOCKET kNotSockets[] = {s, static_cast<SOCKET>(0), INVALID_SOCKET, static_cast<SOCKET>(9999)};
  for (SOCKET bad : kNotSockets) {
    char byte = 0;
    EXPECT_EQ(send(bad, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(recv(bad, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(closesocket(bad), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  }
}

TEST_F(SocketsTest, BadArgumentsAreRefusedWithThePlatformsCodes) {
  EXPECT_EQ(socket(99, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = Loopback(1);
  EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), 8), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  EXPECT_EQ(connect(s, nullptr, sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  char byte = 0;
  EXPECT_EQ(send(s, &byte, -1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  EXPECT_EQ(send(s, &byte, 1, 0x4000), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEOPNOTSUPP);
  EXPECT_EQ(send(s, &byte, 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
  EXPECT_EQ(shutdown(s, 7), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST_F(SocketsTest, SelectRefusesEmptySetsAndStrangers) {
  timeval tv{0, 0};
  fd_set* none = nullptr;
  EXPECT_EQ(select(0, none, none, none, &tv), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  fd_set set;
  FD_ZERO(&set);
  EXPECT_EQ(select(0, &set, nullptr, nullptr, &tv), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  FD_SET(static_cast<SOCKET>(4321), &set);
  EXPECT_EQ(select(0, &set, nullptr, nullptr, &tv), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);

  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  FD_ZERO(&set);
  FD_SET(s, &set);
  tv = {-1, 0};
  EXPECT_EQ(select(0, &set, nullptr, nullptr, &tv), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
}

TEST(FdSetMacros, CountedArrayWithoutDuplicatesAndALimit) {
  fd_set set;
  FD_ZERO(&set);
  EXPECT_EQ(set.fd_count, 0u);
  FD_SET(5, &set);
  FD_SET(7, &set);
  FD_SET(5, &set);
  FD_SET(9, &set);
  ASSERT_EQ(set.fd_count, 3u);
  EXPECT_TRUE(FD_ISSET(7, &set));
  FD_CLR(7, &set);
  ASSERT_EQ(set.fd_count, 2u);
  EXPECT_EQ(set.fd_array[0], 5u);
  EXPECT_EQ(set.fd_array[1], 9u);
  EXPECT_FALSE(FD_ISSET(7, &set));
  FD_CLR(42, &set);
  EXPECT_EQ(set.fd_count, 2u);
  for (SOCKET s = 100; s < 200; ++s) FD_SET(s, &set);
  EXPECT_EQ(set.fd_count, static_cast<u_int>(FD_SETSIZE));
  EXPECT_FALSE(FD_ISSET(199, &set));
}

}  // namespace
}  // namespace zb::ws::testing
