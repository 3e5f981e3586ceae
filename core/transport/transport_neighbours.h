// What the transport and the item opening call in work that is built elsewhere: the built-in
// stream sources and the playlist probe, the power and backlight control, the skin's elements and the playlist's file binding. Each entry that has no
// body to call yet logs that it was reached and answers as nothing would have happened.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/interface/dec_module.h"

class CPlayerCore;
class CPlaylist;

// The registered records the choice of source and the binding hand out (null while the module
// that holds them is not built); the file reader's is the core's own copy of the decoders' record.
InputSource* FileReaderSource();
InputSource* HttpStreamSource();
// The decoder bound when no module claims a path (the playlist probe).
DecModule* PlaylistProbeRecord();

// Holds the backlight on while playback runs, or lets it go.
void HoldBacklightForPlayback(bool hold);
// The power manager's idle bookkeeping after a stop.
void UpdatePowerIdle();

// Redraws the skin's elements of that name ("REPEAT", "SHUFFLE", "VOLUME", "MUTE", "EQ").
void RefreshSkinElements(LPCWSTR name);
// Resets the skin's text elements (FALSE while the visualisation fills the screen).
void ResetSkinTexts(BOOL value);
// The playlist view's scroll elements and windows around the visualisation toggle.
void TogglePlaylistView(CPlayerCore* core, BOOL large);

// The now-playing display of the open item (text, time elements).
void ShowNowPlaying(CPlayerCore* core);
// "N. " before a title for the playlist's entry at that index; empty without a current entry.
std::u16string PlaylistNumberPrefix(int index);

// The open dialogs: the files chosen (multi-select), the folders chosen with their
// include-subfolders flags, and the text of the "Add URL" dialog; empty when cancelled.
std::vector<std::u16string> RunOpenFilesDialog(HWND parent, LPCWSTR filter, LPCWSTR title);
std::vector<std::pair<std::u16string, bool>> RunFolderChooser(HWND parent);
std::u16string RunAddUrlDialog(HWND parent);
// The notification bubble with a status code.
void UpdateNotificationBubble(int code);

// Reads the playlist file at `path` into the playlist in place of the entry at `index` (-1:
// appended); FALSE when nothing was read.
BOOL ExpandPlaylistItem(CPlaylist* playlist, LPCWSTR path, int index, CPlayerCore* core);
// A playlist file name the resume entries may keep: it begins with "\" and is no ".pspl".
bool IsSavablePlaylistName(LPCWSTR name);
