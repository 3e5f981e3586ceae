// zbdev screenshot: the device's screen as a PNG, read from the screen the device's processes
// share, without joining the device's drawing.
#include <cstdio>
#include <string>

#include "commands.h"
#include "device/device.h"
#include "gwes/screen_picture.h"
#include "gwes/shared_screen.h"

namespace zb::zbdev {

int Screenshot(int argc, char** argv) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: zbdev screenshot FILE.png\n");
    return 2;
  }
  std::string why;
  std::shared_ptr<gdi::Surface> pixels;
  // A mode change between opening and reading means opening again.
  for (int attempt = 0; attempt < 3 && !pixels; ++attempt) {
    auto screen = screen::SharedScreen::Open(device::StateFolder(), why);
    if (!screen) break;
    pixels = screen->Pixels();
    if (!pixels) why = "the device's screen kept changing its mode while it was read";
  }
  if (!pixels) {
    std::fprintf(stderr, "zbdev: %s\n", why.c_str());
    return 1;
  }
  if (!screen::WritePng(screen::PictureOf(*pixels), argv[0])) {
    std::fprintf(stderr, "zbdev: cannot write %s\n", argv[0]);
    return 1;
  }
  return 0;
}

}  // namespace zb::zbdev
