// Names and addresses: gethostbyname and getaddrinfo on this machine's own names, address text
// in both directions and byte order, without needing a network.
#include <cstring>
#include <string>
#include <ws2tcpip.h>

#include "winsock_support.h"

namespace zb::ws::testing {
namespace {

using NamesTest = WinSockTest;

struct AddressText {
  const char* text;
  ULONG hostOrder;
};

constexpr AddressText kAddresses[] = {
    {"127.0.0.1", 0x7F000001}, {"10.1.2.3", 0x0A010203}, {"255.255.255.254", 0xFFFFFFFE},
    {"1.2.3", 0x01020003},     {"0x7f.1", 0x7F000001},   {"0", 0},
};

constexpr const char* kNotAddresses[] = {"", "256.1.1.1", "1.2.3.4.5", "host", "1..2"};

TEST(AddressTextTest, DottedTextToAddressAndBack) {
  for (const AddressText& a : kAddresses) EXPECT_EQ(ntohl(inet_addr(a.text)), a.hostOrder) << a.text;
  for (const char* bad : kNotAddresses) EXPECT_EQ(inet_addr(bad), INADDR_NONE) << bad;
  EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);
  in_addr a{};
  a.s_addr = htonl(0xC0A80001);
  EXPECT_STREQ(inet_ntoa(a), "192.168.0.1");
  EXPECT_EQ(a.S_un.S_un_b.s_b1, 192);
  EXPECT_EQ(htons(0x1234), 0x3412);
  EXPECT_EQ(ntohs(htons(8080)), 8080);
  EXPECT_EQ(htonl(0x01020304u), 0x04030201u);
  EXPECT_EQ(ntohl(htonl(0xDEADBEEF)), 0xDEADBEEFu);
}

TEST_F(NamesTest, HostByNameForLocalNames) {
  for (const char* name : {"localhost", "127.0.0.1"}) {
    hostent* h = gethostbyname(name);
    ASSERT_NE(h, nullptr) << name << ": " << WSAGetLastError();
    EXPECT_EQ(h->h_addrtype, AF_INET);
    EXPECT_EQ(h->h_length, 4);
    ASSERT_NE(h->h_addr_list[0], nullptr);
    ULONG address = 0;
    std::memcpy(&address, h->h_addr, 4);
    EXPECT_EQ(ntohl(address), static_cast<ULONG>(INADDR_LOOPBACK)) << name;
    EXPECT_NE(h->h_name, nullptr);
    EXPECT_EQ(h->h_aliases[0], nullptr);
  }
  char name[256] = {};
  ASSERT_EQ(gethostname(name, static_cast<int>(sizeof(name))), 0);
  EXPECT_GT(std::strlen(name), 0u);
  char tiny[1];
  EXPECT_EQ(gethostname(tiny, 1), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
}

TEST_F(NamesTest, AddrInfoInThePlatformsLayout) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  ASSERT_EQ(getaddrinfo("127.0.0.1", "8080", &hints, &list), 0);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ai_family, AF_INET);
  EXPECT_EQ(list->ai_socktype, SOCK_STREAM);
  EXPECT_EQ(list->ai_addrlen, sizeof(sockaddr_in));
  auto* in = reinterpret_cast<sockaddr_in*>(list->ai_addr);
  EXPECT_EQ(in->sin_family, AF_INET);
  EXPECT_EQ(ntohs(in->sin_port), 8080);
  EXPECT_EQ(ntohl(in->sin_addr.s_addr), static_cast<ULONG>(INADDR_LOOPBACK));
  freeaddrinfo(list);

  hints.ai_flags = AI_CANONNAME;
  ASSERT_EQ(getaddrinfo("localhost", nullptr, &hints, &list), 0);
  ASSERT_NE(list, nullptr);
  EXPECT_NE(list->ai_canonname, nullptr);
  freeaddrinfo(list);

  hints = addrinfo{};
  hints.ai_family = AF_INET6;
  hints.ai_flags = AI_NUMERICHOST;
  ASSERT_EQ(getaddrinfo("::1", "80", &hints, &list), 0);
  EXPECT_EQ(list->ai_family, AF_INET6);
  auto* in6 = reinterpret_cast<sockaddr_in6*>(list->ai_addr);
  EXPECT_EQ(in6->sin6_family, AF_INET6);
  EXPECT_EQ(in6->sin6_addr.s6_addr[15], 1);
  freeaddrinfo(list);
}

TEST_F(NamesTest, AddrInfoFailuresAreThePlatformsCodes) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* list = reinterpret_cast<addrinfo*>(1);
  EXPECT_EQ(getaddrinfo("not-a-number", nullptr, &hints, &list), EAI_NONAME);
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
  EXPECT_EQ(getaddrinfo(nullptr, nullptr, nullptr, &list), EAI_NONAME);
  hints.ai_family = 99;
  EXPECT_EQ(getaddrinfo("127.0.0.1", nullptr, &hints, &list), EAI_FAMILY);
  hints = addrinfo{};
  hints.ai_flags = 0x4000;
  EXPECT_EQ(getaddrinfo("127.0.0.1", nullptr, &hints, &list), EAI_BADFLAGS);
  freeaddrinfo(nullptr);
}

TEST_F(NamesTest, IPv6LoopbackConnects) {
  SOCKET listener = socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) GTEST_SKIP() << "no IPv6 on this machine";
  sockaddr_in6 a{};
  a.sin6_family = AF_INET6;
  a.sin6_addr.s6_addr[15] = 1;
  if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) GTEST_SKIP() << "no IPv6 loopback";
  ASSERT_EQ(listen(listener, 1), 0);
  int length = sizeof(a);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length), 0);
  EXPECT_EQ(a.sin6_family, AF_INET6);
  SOCKET client = socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP);
  ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0) << WSAGetLastError();
  SOCKET server = accept(listener, nullptr, nullptr);
  ASSERT_NE(server, INVALID_SOCKET);
  EXPECT_EQ(send(client, "6", 1, 0), 1);
  char byte = 0;
  EXPECT_EQ(recv(server, &byte, 1, 0), 1);
  EXPECT_EQ(byte, '6');
}

}  // namespace
}  // namespace zb::ws::testing
