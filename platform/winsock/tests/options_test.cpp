// Socket options in the platform's forms (4-byte BOOLs, time-outs in milliseconds, a linger
// record of two 16-bit words), and the refusals for unknown options and short buffers.
#include <cstring>

#include "winsock_support.h"

namespace zb::ws::testing {
namespace {

struct IntOption {
  int level;
  int name;
  int set;
  int expected;
};

// Buffer sizes and odd time-outs are rounded by the host, so only values that read back as
// set are listed.
constexpr IntOption kIntOptions[] = {
    {SOL_SOCKET, SO_KEEPALIVE, 1, 1},  {SOL_SOCKET, SO_KEEPALIVE, 0, 0}, {SOL_SOCKET, SO_REUSEADDR, 7, 1},
    {SOL_SOCKET, SO_RCVTIMEO, 1500, 1500}, {SOL_SOCKET, SO_SNDTIMEO, 2000, 2000}, {IPPROTO_TCP, TCP_NODELAY, 1, 1},
    {SOL_SOCKET, SO_OOBINLINE, 1, 1},
};

class OptionsTest : public WinSockTest {
 protected:
  void SetUp() override {
    WinSockTest::SetUp();
    s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(s_, INVALID_SOCKET);
  }
  SOCKET s_ = INVALID_SOCKET;
};

TEST_F(OptionsTest, ValuesReadBackAsTheyWereSet) {
  for (const IntOption& o : kIntOptions) {
    ASSERT_EQ(setsockopt(s_, o.level, o.name, reinterpret_cast<const char*>(&o.set), sizeof(int)), 0) << o.name;
    int got = -1;
    int length = sizeof(got);
    ASSERT_EQ(getsockopt(s_, o.level, o.name, reinterpret_cast<char*>(&got), &length), 0) << o.name;
    EXPECT_EQ(got, o.expected) << o.name;
    EXPECT_EQ(length, 4);
  }
  int type = 0;
  int length = sizeof(type);
  ASSERT_EQ(getsockopt(s_, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length), 0);
  EXPECT_EQ(type, SOCK_STREAM);
}

TEST_F(OptionsTest, LingerIsTwoWordsAndDontLingerTurnsItOff) {
  linger on{1, 5};
  ASSERT_EQ(setsockopt(s_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&on), sizeof(on)), 0);
  linger got{};
  int length = sizeof(got);
  ASSERT_EQ(getsockopt(s_, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&got), &length), 0);
  EXPECT_EQ(got.l_onoff, 1);
  EXPECT_EQ(got.l_linger, 5);
  EXPECT_EQ(length, static_cast<int>(sizeof(linger)));

  BOOL dont = TRUE;
  ASSERT_EQ(setsockopt(s_, SOL_SOCKET, SO_DONTLINGER, reinterpret_cast<const char*>(&dont), sizeof(dont)), 0);
  length = sizeof(got);
  ASSERT_EQ(getsockopt(s_, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&got), &length), 0);
  EXPECT_EQ(got.l_onoff, 0);
}

TEST_F(OptionsTest, UnknownOptionsAndShortBuffersAreRefused) {
  int value = 1;
  EXPECT_EQ(setsockopt(s_, SOL_SOCKET, 0x7777, reinterpret_cast<const char*>(&value), sizeof(value)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
  EXPECT_EQ(setsockopt(s_, SOL_SOCKET, SO_TYPE, reinterpret_cast<const char*>(&value), sizeof(value)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
  EXPECT_EQ(setsockopt(s_, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&value), 2), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  EXPECT_EQ(setsockopt(s_, SOL_SOCKET, SO_KEEPALIVE, nullptr, 4), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  int length = 2;
  EXPECT_EQ(getsockopt(s_, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<char*>(&value), &length), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
  length = 2;
  EXPECT_EQ(getsockopt(s_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&value), &length), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
}

TEST_F(OptionsTest, ControlsOtherThanBlockingAndBytesWaitingAreRefused) {
  u_long value = 0;
  EXPECT_EQ(ioctlsocket(s_, 0x12345, &value), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEINVAL);
  EXPECT_EQ(ioctlsocket(s_, FIONBIO, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
}

}  // namespace
}  // namespace zb::ws::testing
