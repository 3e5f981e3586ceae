// Connects that do not succeed, as the device reports them: a refused port fails a blocking
// connect with WSAECONNREFUSED, and a non-blocking one shows up in select's exception set
// (not the write set) with the refusal as the last error and in SO_ERROR. A port that never
// answers leaves select empty when its time-out runs out, and the connect still pending.
#include <chrono>

#include "winsock_support.h"

namespace zb::ws::testing {
namespace {

class ConnectErrorsTest : public WinSockTest {
 protected:
  // A port that refuses: bound, so no one else takes it, but not listening.
  u_short RefusingPort() {
    holder_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(0);
    EXPECT_EQ(bind(holder_, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
    return PortOf(holder_);
  }

  SOCKET holder_ = INVALID_SOCKET;
};

int SocketError(SOCKET s) {
  int error = -1;
  int length = sizeof(error);
  EXPECT_EQ(getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length), 0);
  return error;
}

TEST_F(ConnectErrorsTest, BlockingConnectToARefusingPortFails) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = Loopback(RefusingPort());
  EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
}

TEST_F(ConnectErrorsTest, NonBlockingRefusalArrivesInTheExceptionSet) {
  SOCKET s = StartConnect(RefusingPort());
  // The way a caller waits for it: short selects on the write and exception sets.
  bool refused = false;
  for (int step = 0; step < 40 && !refused; ++step) {
    WSASetLastError(WSAEWOULDBLOCK);
    ConnectWait w = WaitOnConnect(s, 250000);
    ASSERT_GE(w.result, 0);
    EXPECT_FALSE(w.writable) << "a refused connect is never writable";
    if (w.failed) {
      refused = true;
      EXPECT_EQ(w.result, 1);
      EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    }
  }
  ASSERT_TRUE(refused);
  EXPECT_EQ(SocketError(s), WSAECONNREFUSED);
  EXPECT_EQ(SocketError(s), WSAECONNREFUSED) << "the error stays for a second look";
  EXPECT_EQ(send(s, "x", 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
}

TEST_F(ConnectErrorsTest, PortThatNeverAnswersLeavesSelectEmptyAfterItsTimeout) {
  // A listener with no room in its queue drops further connection requests unanswered.
  u_short port = 0;
  SOCKET listener = Listen(&port, 0);
  SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  NonBlocking(filler);
  sockaddr_in a = Loopback(port);
  connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof(a));
  ASSERT_TRUE(WaitFor(filler, true, 5000));

  SOCKET s = StartConnect(port);
  auto start = std::chrono::steady_clock::now();
  ConnectWait w = WaitOnConnect(s, 300000);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(w.result, 0);
  EXPECT_GE(waited, std::chrono::milliseconds(250)) << "select must wait out its time-out";
  EXPECT_EQ(w.writeCount, 0u) << "the sets come back empty";
  EXPECT_EQ(w.failCount, 0u);
  EXPECT_EQ(SocketError(s), 0);
  EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEALREADY);
  EXPECT_EQ(closesocket(s), 0);
  closesocket(filler);
  closesocket(listener);
}

}  // namespace
}  // namespace zb::ws::testing
