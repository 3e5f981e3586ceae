// The stand-in for the skin's song title (see song_title_stand_in.h).
#include "core/window/song_title_stand_in.h"

#include <string>

#include "core/window/main_window_protocol.h"
#include "core/window/program_state.h"
#include "core/window/trusted_buffers.h"

namespace {
std::u16string& KeptTitle() {
  static std::u16string title;
  return title;
}
}  // namespace

void ShowSongTitle(LPCWSTR text) {
  std::u16string& kept = KeptTitle();
  if (text) {
    // As the skin, a title no longer than its label that is already shown changes nothing.
    const std::u16string given(text, std::min<size_t>(wcslen(text), TITLE_CHARS - 1));
    if (given == kept) return;
    kept = given;
  }
  HWND window = Program().mainWindow;
  // Sent only from the window's own thread: the core holds its user-interface lock meanwhile.
  if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
  const std::u16string shown = kept;
  CTrustedBuffer trusted(shown.c_str(), shown.size() + 1);
  SendMessageW(window, WM_ZB_NEW_TITLE, 0, reinterpret_cast<LPARAM>(shown.c_str()));
}
