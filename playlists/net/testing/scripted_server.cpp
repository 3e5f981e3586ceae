// The scripted test server (see scripted_server.h), on the host's own sockets: it is test
// machinery beside the device, not device code.
#include "scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

namespace zb::testing {

namespace {

constexpr int kStepMs = 50;

bool WaitReadable(int socket, int ms) {
  pollfd p = {socket, POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

}  // namespace

std::string ServerConnection::ReadHead(int timeoutMs) {
  std::string head;
  for (int waited = 0; waited < timeoutMs && !stopping_;) {
    if (!WaitReadable(socket_, kStepMs)) {
      waited += kStepMs;
      continue;
    }
    char c = 0;
    if (::recv(socket_, &c, 1, 0) != 1) return head;
    head += c;
    if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0) return head;
    if (head.size() > 65536) return head;
  }
  return head;
}

bool ServerConnection::Send(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size() && !stopping_) {
    const ssize_t n = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return sent == bytes.size();
}

bool ServerConnection::SendSlowly(const std::string& bytes, int msPerByte) {
  for (char c : bytes) {
    if (stopping_ || ::send(socket_, &c, 1, MSG_NOSIGNAL) != 1) return false;
    Hold(msPerByte);
  }
  return true;
}

void ServerConnection::Hold(int ms) {
  for (int waited = 0; waited < ms && !stopping_; waited += kStepMs)
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kStepMs, ms - waited)));
}

ScriptedServer::ScriptedServer(Script script) : script_(std::move(script)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(listener_, 16);
  socklen_t size = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

ScriptedServer::~ScriptedServer() {
  stopping_ = true;
  acceptor_.join();
  {
    std::lock_guard hold(lock_);
    for (int s : sockets_) ::shutdown(s, SHUT_RDWR);
  }
  for (std::thread& t : connections_) t.join();
  for (int s : sockets_) ::close(s);
  ::close(listener_);
}

std::string ScriptedServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> ScriptedServer::Requests() const {
  std::lock_guard hold(lock_);
  return requests_;
}

void ScriptedServer::Record(const std::string& head) {
  std::lock_guard hold(lock_);
  requests_.push_back(head);
}

void ScriptedServer::Accept() {
  int number = 0;
  while (!stopping_) {
    if (!WaitReadable(listener_, kStepMs)) continue;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    std::lock_guard hold(lock_);
    sockets_.push_back(client);
    connections_.emplace_back([this, client, n = number++] {
      ServerConnection connection(client, stopping_);
      script_(connection, n);
      ::shutdown(client, SHUT_RDWR);
    });
  }
}

}  // namespace zb::testing
