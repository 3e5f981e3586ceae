// Data over a loopback connection made entirely through the library: blocking and
// non-blocking connects, send and receive, the end of a stream, and a send after the peer
// went away that fails instead of killing the process.
#include <string>

#include "winsock_support.h"

namespace zb::ws::testing {
namespace {

class LoopbackTest : public WinSockTest {
 protected:
  void SetUp() override {
    WinSockTest::SetUp();
    listener_ = Listen(&port_);
  }
  SOCKET Accept() {
    sockaddr_in peer{};
    int length = sizeof(peer);
    SOCKET s = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &length);
    EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError();
    EXPECT_EQ(length, static_cast<int>(sizeof(sockaddr_in)));
    EXPECT_EQ(peer.sin_family, AF_INET);
    EXPECT_EQ(ntohl(peer.sin_addr.s_addr), static_cast<ULONG>(INADDR_LOOPBACK));
    return s;
  }
  std::string ReceiveAll(SOCKET s, size_t bytes) {
    std::string got;
    char buffer[4096];
    while (got.size() < bytes) {
      int n = recv(s, buffer, sizeof(buffer), 0);
      if (n <= 0) break;
      got.append(buffer, n);
    }
    return got;
  }

  u_short port_ = 0;
  SOCKET listener_ = INVALID_SOCKET;
};

TEST_F(LoopbackTest, BlockingConnectSendsAndReceivesBothWays) {
  SOCKET client = Connect(port_);
  SOCKET server = Accept();
  const std::string request = "GET / HTTP/1.0\r\n\r\n";
  ASSERT_EQ(send(client, request.data(), static_cast<int>(request.size()), 0), static_cast<int>(request.size()));
  EXPECT_EQ(ReceiveAll(server, request.size()), request);

  std::string reply(100000, 'x');
  for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<char>('a' + i % 26);
  size_t sent = 0;
  while (sent < reply.size()) {
    int n = send(server, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
    ASSERT_GT(n, 0) << WSAGetLastError();
    sent += n;
    if (sent >= 50000) break;  // the rest after the reader has started
  }
  std::string got = ReceiveAll(client, sent);
  ASSERT_EQ(send(server, reply.data() + sent, static_cast<int>(reply.size() - sent), 0), static_cast<int>(reply.size() - sent));
  got += ReceiveAll(client, reply.size() - sent);
  EXPECT_EQ(got, reply);

  sockaddr_in peer{};
  int length = sizeof(peer);
  ASSERT_EQ(getpeername(client, reinterpret_cast<sockaddr*>(&peer), &length), 0);
  EXPECT_EQ(ntohs(peer.sin_port), port_);
  EXPECT_EQ(closesocket(client), 0);
  EXPECT_EQ(closesocket(server), 0);
}

TEST_F(LoopbackTest, NonBlockingConnectCompletesThroughSelect) {
  SOCKET client = StartConnect(port_);
  ConnectWait w = WaitOnConnect(client, 5000000);
  ASSERT_EQ(w.result, 1);
  EXPECT_TRUE(w.writable);
  EXPECT_FALSE(w.failed);
  int error = -1;
  int length = sizeof(error);
  ASSERT_EQ(getsockopt(client, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length), 0);
  EXPECT_EQ(error, 0);

  SOCKET server = Accept();
  char byte = 0;
  EXPECT_EQ(recv(client, &byte, 1, 0), SOCKET_ERROR);  // nothing sent yet
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  ASSERT_EQ(send(server, "hello", 5, 0), 5);
  ASSERT_TRUE(WaitFor(client, false, 5000));
  u_long available = 0;
  ASSERT_EQ(ioctlsocket(client, FIONREAD, &available), 0);
  EXPECT_EQ(available, 5u);
  char text[8] = {};
  EXPECT_EQ(recv(client, text, sizeof(text), MSG_PEEK), 5);
  EXPECT_EQ(recv(client, text, sizeof(text), 0), 5);
  EXPECT_EQ(std::string(text, 5), "hello");
  closesocket(client);
  closesocket(server);
}

TEST_F(LoopbackTest, ClosedPeerEndsTheStreamAndSendFailsWithoutASignal) {
  SOCKET client = Connect(port_);
  SOCKET server = Accept();
  ASSERT_EQ(closesocket(server), 0);
  char buffer[16];
  EXPECT_EQ(recv(client, buffer, sizeof(buffer), 0), 0);  // orderly end of the stream

  // The first sends may still be taken by the host; the connection is reset soon after.
  int result = 0;
  for (int i = 0; i < 100 && result != SOCKET_ERROR; ++i) result = send(client, buffer, sizeof(buffer), 0);
  ASSERT_EQ(result, SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
  closesocket(client);
}

TEST_F(LoopbackTest, SendAfterShutdownIsRefusedAndThePeerSeesTheEnd) {
  SOCKET client = Connect(port_);
  SOCKET server = Accept();
  ASSERT_EQ(shutdown(client, SD_SEND), 0);
  EXPECT_EQ(send(client, "x", 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAESHUTDOWN);
  char byte;
  EXPECT_EQ(recv(server, &byte, 1, 0), 0);
  ASSERT_EQ(send(server, "y", 1, 0), 1);  // the other direction still works
  EXPECT_EQ(recv(client, &byte, 1, 0), 1);
  EXPECT_EQ(byte, 'y');
  closesocket(client);
  closesocket(server);
}

}  // namespace
}  // namespace zb::ws::testing
