// The remote table of the control message (source 3): the queries and settings that the Today
// item and other processes send as commands 100 to 139, with the argument in the high word.
#include "core/window/command_target.h"
#include "core/window/control_message.h"
#include "core/window/main_window.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_state.h"
#include "core/common/named_events.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"

namespace {

constexpr int kFirstRemote = 100;
constexpr int kOpenDialogBase = 23;

struct Remote {
  HWND window;
  WPARAM wParam;
  int arg() const { return HIWORD(wParam); }
  int signedArg() const { return static_cast<SHORT>(HIWORD(wParam)); }
  ICommandTarget* target() const { return GetCommandTarget(); }
  CSettings& settings() const { return *GetSettings(); }
};

using RemoteHandler = LRESULT (*)(const Remote& r);

// enqueue 0: the path becomes the playlist and plays; otherwise it is added to the playlist.
void AddOrPlay(ICommandTarget* target, LPCWSTR path, int enqueue) {
  if (enqueue) {
    target->AddFilesFromPath(path);
  } else {
    target->EnqueuePath(path, TRUE);
  }
}

LRESULT Seek(const Remote& r, bool relative) {
  const int ms = r.signedArg() * 1000;
  relative ? r.target()->SeekRelative(ms) : r.target()->SeekTo(r.arg() * 1000);
  UpdatePositionWords(r.window);
  return 0;
}

LRESULT OpenFiles(const Remote& r) {
  if (r.arg() < kOpenDialogBase) {
    // The dialog opens from the queue, not inside the caller's send.
    PostMessageW(r.window, WM_ZB_CONTROL, MAKELONG(120, r.arg() + kOpenDialogBase), CONTROL_REMOTE);
    return 0;
  }
  const std::u16string path = ShowOpenFileDialog(r.window);
  if (!path.empty()) AddOrPlay(r.target(), path.c_str(), r.arg() - kOpenDialogBase);
  return 0;
}

LRESULT ReloadSettings(const Remote& r) {
  r.settings().Load();
  if (!MainWindow().active && r.settings().backgroundUnmap) UnmapHardwareButtons();
  return 0;
}

// Indexed by command - 100.
constexpr RemoteHandler kRemote[] = {
    /*100*/ [](const Remote&) -> LRESULT { return 351; },
    /*101*/ [](const Remote& r) { return Seek(r, false); },
    /*102*/ [](const Remote& r) { return Seek(r, true); },
    /*103*/
    [](const Remote& r) -> LRESULT {
      AddOrPlay(r.target(), MainWindow().streamPath, r.arg());
      return 0;
    },
    /*104*/ [](const Remote& r) -> LRESULT { return r.target()->IsPlaying() ? r.target()->GetLength() : 0; },
    /*105*/ [](const Remote& r) -> LRESULT { return r.target()->IsPlaying() ? r.target()->GetOutputTime() : 0; },
    /*106*/ [](const Remote& r) -> LRESULT { return r.target()->GetRepeat(); },
    /*107*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetRepeat(r.arg() != 0);
      return 0;
    },
    /*108*/ [](const Remote& r) -> LRESULT { return r.target()->GetShuffle(); },
    /*109*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetShuffle(r.arg() != 0);
      return 0;
    },
    /*110*/ [](const Remote& r) -> LRESULT { return r.target()->GetVolume(); },
    /*111*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetVolume(r.arg());
      return 0;
    },
    /*112*/ [](const Remote& r) -> LRESULT { return r.target()->GetEqValue(-2); },
    /*113*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetEqValue(-2, r.arg());
      return 0;
    },
    /*114*/ [](const Remote& r) -> LRESULT { return r.target()->GetEqValue(r.arg() & 0xFF); },
    /*115*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetEqValue(r.arg() & 0xFF, static_cast<int>((r.wParam >> 24) & 0xFF));
      return 0;
    },
    /*116*/ [](const Remote& r) -> LRESULT { return r.target()->GetEqValue(-1); },
    /*117*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetEqValue(-1, r.arg());
      return 0;
    },
    /*118*/ [](const Remote& r) -> LRESULT { return r.settings().autoResume; },
    /*119*/
    [](const Remote& r) -> LRESULT {
      r.settings().autoResume = r.arg();
      return 0;
    },
    /*120*/ OpenFiles,
    /*121*/ [](const Remote& r) -> LRESULT { return r.target()->IsPlaying() ? 1 : 0; },
    /*122*/ [](const Remote& r) -> LRESULT { return r.target()->IsPaused(); },
    /*123*/ [](const Remote& r) -> LRESULT { return r.target()->GetCurrentIndex(); },
    /*124*/ [](const Remote& r) -> LRESULT { return r.target()->SelectItem(r.arg()); },
    /*125*/ [](const Remote& r) -> LRESULT { return r.target()->GetItemCount(); },
    /*126*/ [](const Remote& r) -> LRESULT { return r.arg() <= 2 ? r.target()->GetVisValue(r.arg()) : 0; },
    /*127*/ [](const Remote& r) -> LRESULT { return r.target()->RefreshItemInfo(r.arg()); },
    /*128*/ [](const Remote& r) -> LRESULT { return r.settings().Save(); },
    /*129*/ ReloadSettings,
    /*130*/ [](const Remote& r) -> LRESULT { return r.target()->RemoveItem(r.arg()); },
    /*131*/ [](const Remote& r) -> LRESULT { return r.target()->IsMuted(); },
    /*132*/ [](const Remote& r) -> LRESULT { return r.settings().DSPEnabled; },
    /*133*/
    [](const Remote& r) -> LRESULT {
      r.settings().SetDSPEnabled(r.arg());
      if (CPlayerCore* core = PeekPlayerCore()) core->ResetDSPCache();
      return 0;
    },
    /*134*/ [](const Remote& r) -> LRESULT { return r.settings().panning; },
    /*135*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetPan(r.signedArg());
      return 0;
    },
    /*136*/
    [](const Remote& r) -> LRESULT {
      UnregisterEventWaiter(r.arg());
      return 0;
    },
    /*137*/ [](const Remote& r) -> LRESULT { return r.settings().showingElapsed == 0; },
    /*138*/
    [](const Remote& r) -> LRESULT {
      r.settings().showingElapsed = (r.arg() & 1) == 0 ? 1 : 0;
      return 0;
    },
    /*139*/
    [](const Remote& r) -> LRESULT {
      r.target()->SetVisMode(r.arg());
      return 0;
    },
};

}  // namespace

LRESULT RunRemoteCommand(HWND window, WPARAM wParam) {
  const int index = LOWORD(wParam) - kFirstRemote;
  if (index < 0 || index >= static_cast<int>(std::size(kRemote)) || !GetSettings()) return 0;
  return kRemote[index](Remote{window, wParam});
}
