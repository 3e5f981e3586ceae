// The Local Content scan: the two process-wide lists of what lies on the device (media files and
// playlist files), kept by invisible updater windows that scan folders a step at a time, follow
// the shell's file-change notices and bring each file's entry in the media library up to date.
#pragma once
#include <windows.h>

#include <string>

#include "medialibrary.h"

class CMediaLibrary;
class CPlaylist;
class CSettings;
class IPlayerItemHost;
struct ILibraryScanSink;

// What the scan asks of the program around it: the player core, or a tool that scans alone.
class ILocalContentHost {
 public:
  virtual CMediaLibrary* Library() = 0;
  // Reads a file's tags as for playing (ReadTags) and offers items to the plug-ins.
  virtual IPlayerItemHost* ItemHost() = 0;
  // Upper-case pattern lists ("*.MP3;*.OGG"): the playable types, the playlist types.
  virtual std::u16string MediaExtensions() = 0;
  virtual std::u16string PlaylistExtensions() = 0;
  virtual BOOL IsPlaying() = 0;
  // Moves playback on when the file playing lies at or under `path`.
  virtual void LeavePath(LPCWSTR path) = 0;

 protected:
  ~ILocalContentHost() = default;
};

// The host the lists are created for; null ends the scan's access to it.
void SetLocalContentHost(ILocalContentHost* host);
ILocalContentHost* GetLocalContentHost();

// Both lists with their updaters (nothing when they exist); DestroyLocalContentLists ends them.
void CreateLocalContentLists();
CPlaylist* GetLocalContentPlaylist();
CPlaylist* GetPlaylistFilesList();
// How much of a list's folder scan is still ahead (0 when none is, else at least 1), and the
// folder it scans now (empty when none); 0 and empty for a list without an updater.
int GetListScanProgress(CPlaylist* list);
std::u16string GetListScanFolder(CPlaylist* list);

// Worker kinds and updater options.
#define LCWORKER_SAVER 0x10000
#define LCWORKER_UPDATER 0x20000
#define LCWORKER_DUPLICATOR 0x40000
#define LCUPDATE_FOLDER 0x1      // add the path's files at start, follow creations, deletions, renames
#define LCUPDATE_VOLUMES 0x2     // follow storage volumes added and removed
#define LCUPDATE_SKIP_IGNORED 0x20
#define LCUPDATE_REFRESH 0x40    // the library refreshes entries the scan adds
#define LCUPDATE_SINK 0x80       // paused and resumed by the Local Content sink
#define LCUPDATE_GLOBAL 0x200E3

struct LocalContentWorker {
  DWORD kindAndOptions;
  LPCWSTR path;    // null: the device root
  LPCWSTR filter;  // upper-case pattern list; null: every playable type
  CPlaylist* source;
  CPlaylist* target;
  BOOL includeSubfolders;
  DWORD minimumSize;
};

// Registers the worker classes and makes an updater for `playlist`; the window or null. Only
// updaters are made here: the saver and the duplicator belong to the playlist bindings.
HWND RegisterPlaylistWorkerClasses(const LocalContentWorker* worker, CPlaylist* playlist);

// The updater's timers.
#define LCTIMER_VALIDATE 23
#define LCTIMER_SCAN 1047
#define LCTIMER_REMOVAL 1048

// Whether the path's extension (from its last ".", under 16 characters) is one of the filter's
// entries, compared whole; a null filter admits everything.
bool MatchesExtensionFilter(LPCWSTR upperFilter, LPCWSTR path);
// Whether the scan leaves the folder alone: "\Windows", "\Temp", "\NETWORK" and the settings'
// application-data and temporary folders, as whole leading folders, each counted when its bit of
// "restrictPaths" is set, unless included; otherwise the settings' exclude and include lists.
bool IsIgnoredFolder(const CSettings& settings, LPCWSTR path);

// The Local Content event sink: the library's scan-state object. The scan pass number is 0
// until a scan of this run came to its end, so validity modes 3 and 4 wait for one.
ILibraryScanSink* CreateLocalContentSink();
void MarkLocalContentScanned();
// Registers an updater's run state (1 run, 0 paused, -1 rebuild); the sink writes it.
void RegisterScanWindow(HWND window, LONG* runState);
void UnregisterScanWindow(HWND window);

// Runs the scan of `folder` (null: the device root) to its end without windows or timers, as the
// updater does a step at a time; `progress` (may be null) hears the percentage and folder.
// The number of files found.
int RunLocalContentScan(LPCWSTR folder, void (*progress)(int percent, LPCWSTR folder, void* context), void* context);
