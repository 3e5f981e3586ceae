// Debian's icecast2 on 127.0.0.1, fed an MP3 file in a loop by ezstream, for tests that need a
// real streaming server: it lives in a folder of its own, drops to "nobody" when started as root
// (icecast2 refuses to run as root), and goes with the object. Every wait is bounded.
#pragma once

#include <string>
#include <sys/types.h>

namespace zb::testing {

class IcecastServer {
 public:
  // Serves `mp3` (a host file) at the mount "/live.mp3", with the server's ICY metadata.
  explicit IcecastServer(const std::string& mp3);
  ~IcecastServer();
  IcecastServer(const IcecastServer&) = delete;
  IcecastServer& operator=(const IcecastServer&) = delete;

  // True once the mount is live; otherwise Error() says what went wrong.
  bool Live() const { return live_; }
  const std::string& Error() const { return error_; }
  std::string Url() const;
  // The stream's title through the server's admin interface, as a station's software changes it.
  bool SetTitle(const std::string& title);

 private:
  bool Start(const std::string& mp3);
  // The answer to a GET of `path` (head and body, at most 3 s of it); empty when none came.
  std::string Get(const std::string& path, bool admin) const;

  std::string folder_;
  int port_ = 0;
  pid_t icecast_ = -1;
  pid_t ezstream_ = -1;
  bool live_ = false;
  std::string error_;
};

}  // namespace zb::testing
