// A scripted HTTP server on 127.0.0.1 for the stream client's tests: each connection runs the
// test's script on a thread of its own, which reads the request head and answers byte by byte
// as the case needs (cut short, stalled, trickled, hostile). Every wait is bounded and the
// server ends its connections when it goes.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zb::testing {

class ServerConnection {
 public:
  ServerConnection(int socket, const std::atomic<bool>& stopping) : socket_(socket), stopping_(stopping) {}
  // The request head up to its empty line (CRs kept); empty when none came within the time.
  std::string ReadHead(int timeoutMs = 5000);
  bool Send(const std::string& bytes);
  // One byte every `msPerByte`, until all is sent, the peer goes or the server stops.
  bool SendSlowly(const std::string& bytes, int msPerByte);
  // Holds the connection open doing nothing, at most `ms`.
  void Hold(int ms);
  bool Stopping() const { return stopping_; }

 private:
  int socket_;
  const std::atomic<bool>& stopping_;
};

class ScriptedServer {
 public:
  using Script = std::function<void(ServerConnection&, int number)>;
  explicit ScriptedServer(Script script);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  // The request heads received so far, in order.
  std::vector<std::string> Requests() const;
  void Record(const std::string& head);

 private:
  void Accept();

  Script script_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex lock_;
  std::vector<std::thread> connections_;
  std::vector<int> sockets_;
  std::vector<std::string> requests_;
};

}  // namespace zb::testing
