// The string table of the control message (commands 8522-8537): texts in and out of a caller's
// buffer in this process. The buffer's size is known (see trusted_buffers.h); nothing is read
// past it or written past it, and a text that does not fit is cut and still terminated.
#include <cstring>
#include <string>

#include "core/window/command_target.h"
#include "core/window/control_message.h"
#include "core/window/main_window.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/common/named_events.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"

namespace {

constexpr int kFirstString = 8522;

struct StringCall {
  HWND window;
  int arg;
  int command;
  WCHAR* buffer;
  size_t chars;

  std::u16string Text() const {
    size_t length = 0;
    while (length < chars && buffer[length]) ++length;
    return std::u16string(buffer, length);
  }
  LRESULT Put(const std::u16string& text) const {
    const size_t n = std::min(text.size(), chars - 1);
    memcpy(buffer, text.data(), n * sizeof(WCHAR));
    buffer[n] = 0;
    return 0;
  }
  ICommandTarget* target() const { return GetCommandTarget(); }
};

using StringHandler = LRESULT (*)(const StringCall& c);

// Indexed by command - 8522.
constexpr StringHandler kStrings[] = {
    /*8522*/
    [](const StringCall& c) -> LRESULT {
      const std::u16string text = c.Text();
      SetStreamPath(text.c_str(), text.size());
      return 0;
    },
    /*8523*/ [](const StringCall& c) { return c.Put(MainWindow().streamPath); },
    /*8524*/ [](const StringCall& c) { return c.Put(MainWindow().title); },
    /*8525*/ [](const StringCall& c) -> LRESULT { return c.target()->SavePlaylist(c.Text().c_str()); },
    /*8526*/ [](const StringCall& c) { return c.Put(c.target()->GetItemPath(c.arg)); },
    /*8527*/ [](const StringCall& c) { return c.Put(c.target()->GetItemDisplayName(c.arg)); },
    /*8528*/
    [](const StringCall& c) -> LRESULT {
      if (CSettings* settings = GetSettings()) settings->SaveVisPlugin(c.Text().c_str(), c.arg);
      c.target()->SwitchVisPlugin();
      return 0;
    },
    /*8529*/ [](const StringCall& c) -> LRESULT { return c.target()->SetItemTitle(c.arg, c.Text().c_str()); },
    /*8530*/
    [](const StringCall& c) -> LRESULT {
      StoreChosenSkin(c.Text().c_str());
      ApplyChosenSkin();
      return 0;
    },
    /*8531*/
    [](const StringCall& c) {
      WCHAR skin[MAX_PATH] = {};
      if (CSettings* settings = GetSettings()) settings->LoadSkin(skin);
      return c.Put(skin);
    },
    /*8532*/ [](const StringCall& c) -> LRESULT { return c.target()->InsertItem(c.arg, c.Text().c_str()); },
    /*8533*/ [](const StringCall& c) -> LRESULT { return c.target()->AddFilesFromPath(c.Text().c_str()); },
    /*8534*/ [](const StringCall&) -> LRESULT { return 0; },  // no Local Content list yet
    /*8535*/
    [](const StringCall& c) -> LRESULT {
      CPlayerCore* core = PeekPlayerCore();
      const UINT bytes = static_cast<UINT>(c.chars * sizeof(WCHAR));
      return core ? core->DecoderCommand(c.command, c.buffer, bytes, c.buffer, bytes) : 0;
    },
    /*8536*/
    [](const StringCall& c) -> LRESULT {
      if (c.chars * sizeof(WCHAR) < sizeof(INT32)) return 0;
      INT32 position = 0;
      memcpy(&position, c.buffer, sizeof position);
      c.target()->SeekTo(position);
      UpdatePositionWords(c.window);
      return 0;
    },
    /*8537*/ [](const StringCall& c) -> LRESULT { return RegisterEventWaiter(c.Text().c_str()); },
};

}  // namespace

LRESULT RunStringCommand(HWND window, WPARAM wParam, WCHAR* buffer, size_t chars) {
  const int command = LOWORD(wParam);
  const int index = command - kFirstString;
  if (index < 0 || index >= static_cast<int>(std::size(kStrings)) || !buffer || chars == 0) return 0;
  return kStrings[index](StringCall{window, HIWORD(wParam), command, buffer, chars});
}
