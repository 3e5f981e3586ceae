// zbdev screenshot: the device's screen as a PNG, read from the screen the device's processes
// share, without joining the device's drawing.
#include <string>

#include "commands.h"
#include "device/device.h"
#include "gwes/screen_picture.h"
#include "gwes/shared_screen.h"

namespace zb::zbdev {

int Screenshot(int argc, char** argv) {
  if (argc != 1) return 2;
  std::string why;
  std::shared_ptr<gdi::Surface> pixels;
  // A mode change between opening and reading means opening again.
  for (int attempt = 0; attempt < 3 && !pixels; ++attempt) {
    auto screen = screen::SharedScreen::Open(device::StateFolder(), why);
    if (!screen) break;
    pixels = screen->Pixels();
    if (!pixels) why = "the device's screen kept changing its mode while it was read";
  }
  if (!pixels) return Fail(why);
  if (!screen::WritePng(screen::PictureOf(*pixels), argv[0])) return Fail(std::string("cannot write ") + argv[0]);
  return 0;
}

}  // namespace zb::zbdev
