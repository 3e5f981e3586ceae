// ISkinHost: what the skin state and the element commands ask of the player. The player core
// gives its own; a test gives a recording one, so the skin reads and drives a player it can see.
#pragma once
#include <windows.h>

#include <string>

// The player settings the skin shows or flips.
enum SkinSetting {
  SKIN_SETTING_SHOWING_ELAPSED,
  SKIN_SETTING_USE_GDI_FONT,
  SKIN_SETTING_PREAMP_ENABLED,
  SKIN_SETTING_AUTOLOAD_EQ,
  SKIN_SETTING_PREAMP_VALUE,
  SKIN_SETTING_DSP_ENABLED,
  SKIN_SETTING_TASKBAR,
  SKIN_SETTING_AUTO_RESUME,
  SKIN_SETTING_AUTO_RESUME_PLAYLISTS,
  SKIN_SETTING_MANUAL_ADVANCE,
  SKIN_SETTING_GAPLESS,
  SKIN_SETTING_COUNT
};

// What the DSP display shows: no module chosen, chosen but off, or on.
enum SkinDspState { SKIN_DSP_NONE, SKIN_DSP_DISABLED, SKIN_DSP_ENABLED };

struct IMediaItem;

class ISkinHost {
 public:
  virtual ~ISkinHost() = default;

  // Transport and its state. IsPaused is 1 when nothing is open.
  virtual BOOL IsPlaying() = 0;
  virtual int IsPaused() = 0;
  virtual int IsSeekable() = 0;
  virtual void Play() = 0;
  virtual void TogglePause() = 0;
  virtual void Stop() = 0;
  virtual void PreviousItem() = 0;
  virtual void NextItem() = 0;
  virtual void SeekRelative(int deltaMs) = 0;
  // To value / scale of the length (scale 0: value in ms).
  virtual void SeekTo(int value, int scale) = 0;

  // Volume 0..255, mute and the play order.
  virtual int GetVolume() = 0;
  virtual void SetVolume(int volume) = 0;
  virtual void ChangeVolume(int delta) = 0;
  virtual BOOL IsMuted() = 0;
  virtual void SetMute(BOOL muted) = 0;
  virtual BOOL GetShuffle() = 0;
  virtual void SetShuffle(BOOL on) = 0;
  virtual BOOL GetRepeat() = 0;
  virtual void SetRepeat(BOOL on) = 0;

  // The main playlist.
  virtual int GetCurrentIndex() = 0;
  virtual int GetItemCount() = 0;

  // Settings; the equaliser's values (0..9 a band 0..63, -1 preamp, -2 on, -3 auto-load) and
  // its commands (code, value), the preset's name and the DSP module's description.
  virtual int GetSetting(SkinSetting which) = 0;
  virtual void SetSetting(SkinSetting which, int value) = 0;
  virtual int GetEqValue(int code) = 0;
  virtual void SetEqValue(int code, int value) = 0;
  virtual std::u16string GetEqName() = 0;
  virtual std::u16string GetDspName(SkinDspState* state) = 0;

  // Main-window command n (volume, scroll keys) as a press and a release.
  virtual void RunWindowCommand(int command) = 0;
  // A plug-in command registered under this name, run as a press and a release; 1 when found.
  virtual int RunNamedCommand(LPCWSTR name, UINT message) = 0;
  // The visualisation view: mode 0 shows the skin's, 1 toggles it.
  virtual void SetVisMode(int mode) = 0;
  // The playlist's dialog and the scrolling of its view (mode, a, b as the core's).
  virtual void OpenPlaylistDialog() = 0;
  virtual void ScrollPlaylist(int mode, int a, int b) = 0;
  virtual BOOL IsLargeView() = 0;
  // The program's open dialog in a mode (0 the OPEN element, 1 file, 2 folder, 3 URL); empty
  // when cancelled. Then the path replaces the playlist and plays, or is added to it.
  virtual std::u16string ShowOpenDialog(int mode) = 0;
  virtual void EnqueuePath(LPCWSTR path, BOOL addOnly) = 0;
  // The item now playing, with a reference the caller releases; null when none.
  virtual IMediaItem* GetPlayingItem() = 0;
  // Sets the Rating tag of the playing item's library entry.
  virtual void RatePlayingItem(int rating) = 0;
  // The power status (the platform's GetSystemPowerStatusEx): FALSE when it fails.
  virtual BOOL GetPowerStatus(BYTE* acLineStatus, BYTE* batteryFlag, BYTE* batteryPercent) = 0;
  // The local time as the user's locale shows it, without seconds.
  virtual std::u16string FormatClock() = 0;
  // Menus. The plug-ins' items for a slot (0 main, 1 current track, 2 bookmarks, 3 seek and
  // resume, 4 "More...", 100 + n custom menu n): mode 0 adds them and answers -1 or an id chosen
  // already; mode 1 offers a chosen id and answers the id to handle next.
  virtual int RunMenuHooks(HMENU menu, int slot, int mode, int value) = 0;
  // Numbered bookmark i's path and position; empty past the end. The current file's resume
  // position, -1 when it has none. The Local Content playlist's name. A Smartphone?
  virtual std::u16string GetBookmarkText(int index, LONG* position) = 0;
  virtual LONG GetResumePosition() = 0;
  virtual std::u16string GetLocalContentName() = 0;
  virtual BOOL IsSmartphone() = 0;
  // The main menu's commands that are the player's own business: 1-5, 10, 22, 23, 30-37, 40,
  // 99, the bookmarks' 100, 200, 1001 + i, 2001 + i, 3000 and 3001 (once confirmed), and the
  // resume marker's 10001 and 10002.
  virtual void RunMenuCommand(int id) = 0;
  // The title now shown, for the main window to keep for outside clients (message 1334).
  virtual void AnnounceTitle(LPCWSTR title) = 0;
  // The playlist's hook for a window message (26: the skin's offset moved).
  virtual void PlaylistHook(UINT message, WPARAM wParam) = 0;
};
