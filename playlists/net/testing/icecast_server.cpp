// The icecast2 test server (see icecast_server.h): its configuration, ezstream's, the two
// processes and the admin requests, on the host's own sockets and processes.
#include "icecast_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zb::testing {
namespace {

constexpr char kMount[] = "/live.mp3";
constexpr char kSourcePassword[] = "zbsource";
constexpr char kAdminAuthorization[] = "YWRtaW46YWRtaW5wdw==";  // admin:adminpw
constexpr int kStartMs = 20000;

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int FreePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  ::close(s);
  return port;
}

pid_t Spawn(std::vector<std::string> args, const std::string& log) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// SIGTERM, then SIGKILL when it has not gone within 5 s.
void End(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int waited = 0; waited < 5000; waited += 20) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
    Pause(20);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

bool Exited(pid_t pid) { return pid <= 0 || ::waitpid(pid, nullptr, WNOHANG) == pid; }

std::string PercentEncoded(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') out += static_cast<char>(c);
    else out += std::string("%") + hex[c >> 4] + hex[c & 15];
  }
  return out;
}

std::string Tail(const std::string& file) {
  std::ifstream in(file);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

}  // namespace

IcecastServer::IcecastServer(const std::string& mp3) {
  char folder[] = "/tmp/zb-icecast-XXXXXX";
  if (!::mkdtemp(folder)) {
    error_ = "no folder for the server";
    return;
  }
  folder_ = folder;
  // The server runs as "nobody" and writes its logs here.
  ::chmod(folder, 0777);
  live_ = Start(mp3);
}

IcecastServer::~IcecastServer() {
  End(ezstream_);
  End(icecast_);
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string IcecastServer::Url() const { return "http://127.0.0.1:" + std::to_string(port_) + kMount; }

bool IcecastServer::Start(const std::string& mp3) {
  port_ = FreePort();
  const std::string owner = ::geteuid() == 0
                                ? "<changeowner><user>nobody</user><group>nogroup</group></changeowner>"
                                : "";
  std::ofstream(folder_ + "/icecast.xml")
      << "<icecast>\n"
         "<limits><clients>8</clients><sources>2</sources><burst-size>16384</burst-size></limits>\n"
         "<authentication><source-password>"
      << kSourcePassword
      << "</source-password><admin-user>admin</admin-user><admin-password>adminpw</admin-password></authentication>\n"
         "<hostname>127.0.0.1</hostname>\n"
         "<listen-socket><port>"
      << port_
      << "</port><bind-address>127.0.0.1</bind-address></listen-socket>\n"
         "<fileserve>0</fileserve>\n"
         "<paths><basedir>/usr/share/icecast2</basedir><logdir>"
      << folder_ << "</logdir><webroot>/usr/share/icecast2/web</webroot><adminroot>/usr/share/icecast2/admin</adminroot>"
      << "</paths>\n<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog><loglevel>3</loglevel></logging>\n"
         "<security><chroot>0</chroot>"
      << owner << "</security>\n</icecast>\n";
  const std::string ezConfig = folder_ + "/ezstream.xml";
  std::ofstream(ezConfig) << "<ezstream>\n<servers><server><hostname>127.0.0.1</hostname><port>" << port_
                          << "</port><password>" << kSourcePassword
                          << "</password></server></servers>\n<streams><stream><mountpoint>" << kMount
                          << "</mountpoint><format>MP3</format></stream></streams>\n"
                             "<intakes><intake><type>file</type><filename>"
                          << mp3
                          << "</filename><stream_once>No</stream_once></intake></intakes>\n"
                             "<metadata><no_updates>Yes</no_updates></metadata>\n</ezstream>\n";
  // ezstream refuses a configuration others may read: it holds the source password.
  ::chmod(ezConfig.c_str(), 0600);

  icecast_ = Spawn({"icecast2", "-c", folder_ + "/icecast.xml"}, folder_ + "/icecast.out");
  if (icecast_ <= 0) {
    error_ = "icecast2 did not start (is the package installed?)";
    return false;
  }
  for (int waited = 0; Get("/admin/stats", true).find("<icestats>") == std::string::npos; waited += 100) {
    if (waited > kStartMs || Exited(icecast_)) {
      icecast_ = -1;
      error_ = "icecast2 did not answer: " + Tail(folder_ + "/icecast.out") + Tail(folder_ + "/error.log");
      return false;
    }
    Pause(100);
  }
  ezstream_ = Spawn({"ezstream", "-c", ezConfig}, folder_ + "/ezstream.out");
  const std::string mounted = std::string("mount=\"") + kMount + "\"";
  for (int waited = 0; Get("/admin/stats", true).find(mounted) == std::string::npos; waited += 100) {
    if (waited > kStartMs || Exited(ezstream_)) {
      ezstream_ = -1;
      error_ = "ezstream did not bring the mount up: " + Tail(folder_ + "/ezstream.out") + Tail(folder_ + "/error.log");
      return false;
    }
    Pause(100);
  }
  return true;
}

bool IcecastServer::SetTitle(const std::string& title) {
  const std::string answer =
      Get(std::string("/admin/metadata?mount=") + kMount + "&mode=updinfo&song=" + PercentEncoded(title), true);
  return answer.find("<return>1</return>") != std::string::npos;
}

std::string IcecastServer::Get(const std::string& path, bool admin) const {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port_));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n";
    if (admin) request += std::string("Authorization: Basic ") + kAdminAuthorization + "\r\n";
    request += "\r\n";
    if (::send(s, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
      char buffer[4096];
      for (int waited = 0; waited < 3000 && answer.size() < (1u << 20); waited += 50) {
        pollfd p = {s, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        answer.append(buffer, static_cast<size_t>(n));
      }
    }
  }
  ::close(s);
  return answer;
}

}  // namespace zb::testing
