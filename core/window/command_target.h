// What the main window and the command dispatcher do to the player: the transport, the volume,
// the play order and the playlist. One interface so the window's tables read as data; the
// player's own target goes to the core, and a test may put a recording one in its place.
#pragma once
#include <windows.h>

#include <string>

class ICommandTarget {
 public:
  virtual ~ICommandTarget() = default;

  // Transport.
  virtual BOOL IsPlaying() = 0;
  virtual int IsPaused() = 0;
  virtual int IsSeekable() = 0;
  virtual void Play() = 0;
  virtual void TogglePause() = 0;
  virtual void Stop(BOOL userStop) = 0;
  virtual void NextItem() = 0;
  virtual void PreviousItem() = 0;
  // What plays next after the end of a stream (0 normal end, 1 early, 2 play failed, 3 drain check).
  virtual void OnStreamEnded(int kind) = 0;
  virtual int SeekTo(int ms) = 0;
  virtual int SeekRelative(int deltaMs) = 0;
  virtual int GetOutputTime() = 0;
  // The open item's length in ms; -1 when nothing is open.
  virtual int GetLength() = 0;

  // Volume (0-255), mute and balance.
  virtual int GetVolume() = 0;
  virtual void SetVolume(int volume) = 0;
  virtual BOOL IsMuted() = 0;
  virtual void SetMute(BOOL muted) = 0;
  virtual void SetPan(int pan) = 0;

  // Play order.
  virtual BOOL GetRepeat() = 0;
  virtual void SetRepeat(BOOL on) = 0;
  virtual BOOL GetShuffle() = 0;
  virtual void SetShuffle(BOOL on) = 0;

  // Equaliser values: -2 on/off, -1 preamp, 0-9 bands; -11 steps to the next preset.
  virtual int GetEqValue(int index) = 0;
  virtual void SetEqValue(int index, int value) = 0;

  // The playlist.
  virtual int GetCurrentIndex() = 0;
  virtual int GetItemCount() = 0;
  virtual int SelectItem(int index) = 0;
  virtual int RemoveItem(int index) = 0;
  virtual int RefreshItemInfo(int index) = 0;
  virtual std::u16string GetItemPath(int index) = 0;
  virtual std::u16string GetItemDisplayName(int index) = 0;
  virtual int SetItemTitle(int index, LPCWSTR title) = 0;
  virtual int InsertItem(int index, LPCWSTR path) = 0;
  virtual int AddFilesFromPath(LPCWSTR path) = 0;
  // Makes the path (a file, a URL or a "--" folder) the playlist and, with `play`, plays it.
  virtual void EnqueuePath(LPCWSTR path, BOOL play) = 0;
  virtual int SavePlaylist(LPCWSTR file) = 0;

  // Bookmarks and the visualisation.
  virtual void StoreBookmark() = 0;
  virtual void ResumeFromBookmark() = 0;
  virtual void SetVisMode(int mode) = 0;
  virtual int GetVisValue(int which) = 0;
  // Closes the visualisation host and opens it again with the plug-in the settings now name.
  virtual void SwitchVisPlugin() = 0;
};

// The target the window and the dispatcher use: the player core's, unless one was set.
ICommandTarget* GetCommandTarget();
// Puts a target in place of the core's (null: the core's again).
void SetCommandTarget(ICommandTarget* target);
