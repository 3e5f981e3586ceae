// The presenter: with a display, one process of the device shows the device's screen in an SDL2
// window, enlarged, and turns the mouse into the stylus and keys into the device's buttons,
// handing both to the input entry (gwes/input.h). Without a display nothing of it runs.
#pragma once
#include <functional>

namespace zb::presenter {

// Whether a display is wanted: ZONBREL_DISPLAY "sdl" says yes and "none" says no; otherwise yes
// when an X or Wayland display is there (DISPLAY or WAYLAND_DISPLAY set).
bool DisplayWanted(const char* zonbrelDisplay, const char* display, const char* waylandDisplay);
bool DisplayWanted();  // from this process's environment

// Starts showing the screen when a display is wanted and no other process of the device shows
// it already. The window manager calls it for every top-level window it makes; true when this
// process shows the screen. A host without a working display leaves the device headless.
bool StartIfWanted();

// Closes the window of this process (another process may show the screen later). Also runs at
// exit.
void Stop();

// What closing the window does; the callback runs on the presenter's own thread. Without one
// the program is closed as the device closes it (wm::CloseProgram in gwes/close_request.h), and
// a program with no window left to close gets SIGTERM.
void OnCloseRequested(std::function<void()> callback);

}  // namespace zb::presenter
