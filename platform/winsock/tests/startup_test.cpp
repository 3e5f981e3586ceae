// Start-up and clean-up: the version handed back for each request, calls made before start-up
// or after the last clean-up, and sockets closed by the last clean-up.
#include "winsock_support.h"

namespace zb::ws::testing {
namespace {

struct VersionCase {
  WORD requested;
  int result;
  WORD granted;
};

constexpr VersionCase kVersions[] = {
    {MAKEWORD(1, 0), 0, MAKEWORD(1, 0)}, {MAKEWORD(1, 1), 0, MAKEWORD(1, 1)}, {MAKEWORD(2, 0), 0, MAKEWORD(2, 0)},
    {MAKEWORD(2, 2), 0, MAKEWORD(2, 2)}, {MAKEWORD(2, 9), 0, MAKEWORD(2, 2)}, {MAKEWORD(3, 0), 0, MAKEWORD(2, 2)},
    {MAKEWORD(0, 9), WSAVERNOTSUPPORTED, 0},
};

TEST(WinSockStartup, GrantsTheRequestedVersionUpToTwoPointTwo) {
  for (const VersionCase& c : kVersions) {
    WSADATA data{};
    EXPECT_EQ(WSAStartup(c.requested, &data), c.result) << std::hex << c.requested;
    if (c.result != 0) continue;
    EXPECT_EQ(data.wVersion, c.granted) << std::hex << c.requested;
    EXPECT_EQ(data.wHighVersion, MAKEWORD(2, 2));
    EXPECT_STRNE(data.szDescription, "");
    EXPECT_EQ(WSACleanup(), 0);
  }
  EXPECT_EQ(WSAStartup(MAKEWORD(2, 2), nullptr), WSAEFAULT);
}

TEST(WinSockStartup, CallsBeforeStartupAndAfterTheLastCleanupFail) {
  EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  EXPECT_EQ(gethostbyname("localhost"), nullptr);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);

  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(s, INVALID_SOCKET);
  EXPECT_EQ(WSACleanup(), 0);
  u_long on = 1;
  EXPECT_EQ(ioctlsocket(s, FIONBIO, &on), 0) << "one start-up is still in force";
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);

  // The last clean-up closed the socket for good.
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  EXPECT_EQ(closesocket(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(WinSockStartup, LastErrorIsTheThreadsOwnErrorSlot) {
  WSASetLastError(WSAETIMEDOUT);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAETIMEDOUT));
  SetLastError(ERROR_INVALID_HANDLE);
  EXPECT_EQ(WSAGetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace zb::ws::testing
