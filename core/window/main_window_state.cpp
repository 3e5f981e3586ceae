// The main window's process-wide state (see main_window_state.h).
#include "core/window/main_window_state.h"

#include <cstring>

MainWindowState& MainWindow() {
  static MainWindowState state;
  return state;
}

void SetStreamPath(const WCHAR* text, size_t chars) {
  WCHAR* path = MainWindow().streamPath;
  if (!text || chars >= STREAM_PATH_CHARS) {
    path[0] = 0;
    return;
  }
  memcpy(path, text, chars * sizeof(WCHAR));
  path[chars] = 0;
}
