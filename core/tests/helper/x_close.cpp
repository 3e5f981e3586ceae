// Asks a window of the X server on $DISPLAY to close, as a window manager's close button does
// (a WM_DELETE_WINDOW message): the display tests close the player's window so.
//   core_x_close WINDOW
#include <X11/Xlib.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  Display* x = XOpenDisplay(nullptr);
  if (!x) return 1;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  e.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(x, e.xclient.window, False, NoEventMask, &e);
  XSync(x, False);
  XCloseDisplay(x);
  return sent ? 0 : 1;
}
