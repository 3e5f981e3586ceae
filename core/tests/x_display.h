// The player under a private X server, as tools/run shows it on a desktop: the server on a
// display number it chooses, ended with the test, and the window that shows the device's screen.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "player_process.h"
#include "testing/env_scope.h"

namespace zb::testing {

// An X server of its own on a display number it chooses, ended with the test.
class XServer {
 public:
  XServer() : out_(std::tmpfile()), server_("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"}, out_) {
    for (int waited = 0; waited < 30000 && display_.empty() && server_.Wait(0) == -1; waited += 20) {
      RealSleep(20);
      std::fflush(out_);
      std::rewind(out_);
      char line[32] = {};
      if (std::fgets(line, sizeof line, out_) && std::string(line).find('\n') != std::string::npos)
        display_ = ":" + std::string(line, std::string(line).find('\n'));
    }
  }
  ~XServer() {
    server_.Stop();
    std::fclose(out_);
  }
  const std::string& Display() const { return display_; }

 private:
  FILE* out_;
  ChildProcess server_;
  std::string display_;
};

// The window that shows the device's screen, once it is mapped.
inline std::optional<std::string> PresenterWindow() {
  for (int waited = 0; waited < 20000; waited += 50) {
    const std::string found = RunTool({"xdotool", "search", "--onlyvisible", "--name", "^Zonbrel$"}).out;
    if (!found.empty()) return found.substr(0, found.find('\n'));
    RealSleep(50);
  }
  return std::nullopt;
}

// A test's device whose programs show their screen on the private server.
class OnXDisplay : public ::testing::Test {
 protected:
  ProductDevice device;
  XServer server;
  EnvScope display{"DISPLAY", server.Display()};
  EnvScope shown{"ZONBREL_DISPLAY", "sdl"};
  EnvScope wayland{"WAYLAND_DISPLAY", nullptr};
  // The private server has no session bus, and SDL's input-method support would look for one.
  EnvScope bus{"DBUS_SESSION_BUS_ADDRESS", "disabled:"};
};

}  // namespace zb::testing
