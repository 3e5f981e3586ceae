// The visualisation library header that a "\vis_*.dll" exports and the module records it hands
// out. The host fills a module's host fields by its flags before Init and each Render. Fields in
// the documented order; byte offsets given where words are 32 bits.
#pragma once
#include <windows.h>

#include "core/interface/player_callback.h"
#include "core/interface/record_layout.h"

struct IMediaItem;

#define VIS_LIBRARY_VERSION_2 2  // its modules' flags are cleared to 0
#define VIS_LIBRARY_VERSION_3 3

// VisModule::flags
#define ZB_VIS_FLAG_OVERLAY 0x0003        // both bits: draws over the whole area
#define ZB_VIS_FLAG_HOST_CALLBACK 0x0004  // playerCallback filled, events go to notify
#define ZB_VIS_FLAG_POSITION 0x0008       // position and length
#define ZB_VIS_FLAG_SHARED_TEXT 0x0010
#define ZB_VIS_FLAG_CURRENT_PATH 0x0020
#define ZB_VIS_FLAG_PLAYLIST 0x0040       // playlistIndex and playlistCount
#define ZB_VIS_FLAG_PLAYER_STATE 0x0080
#define ZB_VIS_FLAG_SCREEN_RECT 0x0100
#define ZB_VIS_FLAG_RESTART_BITS 0x0200
#define ZB_VIS_FLAG_SKIP_ALBUM_ART 0x0400  // the mode cycle skips album art while loaded
#define ZB_VIS_FLAG_ARTWORK 0x0800
#define ZB_VIS_FLAG_IDLE_NOTIFY 0x1000     // notify(0, render argument, 4, 0, 0) without samples

#define VIS_SAMPLES 576
#define VIS_COLOURS 24

struct VisModule {
  const WCHAR* description;  // 0
  HWND hwndParent;           // 4    host
  HINSTANCE hDllInstance;    // 8    host
  HDC hdc;                   // 12   host, during Init and Render only
  int sampleRate;            // 16   host
  WORD channels;             // 20   host
  WORD flags;                // 22   ZB_VIS_FLAG_*; 0 for a version-2 library
  int latencyMs;             // 24
  int delayMs;               // 28
  int spectrumChannels;      // 32   host before each render
  int waveformChannels;      // 36   host before each render
  unsigned char spectrumData[2][VIS_SAMPLES];  // 40
  signed char waveformData[2][VIS_SAMPLES];    // 1192
  void (*Config)(VisModule* module);  // 2344
  int (*Init)(VisModule* module);     // 2348  negative refuses the module
  int (*Render)(VisModule* module);   // 2352
  void (*Quit)(VisModule* module);    // 2356
  RECT drawRect;                      // 2360  host, main window client coordinates
  const COLORREF* colours;            // 2376  host: VIS_COLOURS entries
  void* userData;                     // 2380
  ModuleEventFn notify;               // 2384  (msg, in, in size, out, out size)
  PlayerCallbackFn playerCallback;    // 2388  host, ZB_VIS_FLAG_HOST_CALLBACK
  int position;                       // 2392  host, ZB_VIS_FLAG_POSITION: ms
  int length;                         // 2396  host, ZB_VIS_FLAG_POSITION: ms
  const WCHAR* sharedText;            // 2400  host, ZB_VIS_FLAG_SHARED_TEXT: 260 characters
  const WCHAR* currentPath;           // 2404  host, ZB_VIS_FLAG_CURRENT_PATH
  int playlistIndex;                  // 2408  host, ZB_VIS_FLAG_PLAYLIST
  int playlistCount;                  // 2412
  DWORD playerState;                  // 2416  host, ZB_VIS_FLAG_PLAYER_STATE: VIS_STATE_*
  RECT screenRect;                    // 2420  host, ZB_VIS_FLAG_SCREEN_RECT
  DWORD restartBits;                  // 2436  host, ZB_VIS_FLAG_RESTART_BITS
  IMediaItem* artwork;                // 2440  host, ZB_VIS_FLAG_ARTWORK, with a reference
  DWORD reserved[3];                  // 2444
};

// VisModule::playerState
#define VIS_STATE_REPEAT 0x01
#define VIS_STATE_SHUFFLE 0x02
#define VIS_STATE_PAUSED 0x04
#define VIS_STATE_EQ_ON 0x08
#define VIS_STATE_AUTO_RESUME 0x10
#define VIS_STATE_MUTED 0x20
#define VIS_STATE_OPEN 0x40
#define VIS_STATE_FULLSCREEN 0x80
#define VIS_STATE_VOLUME_SHIFT 8  // bits 8..15: volume 0..255

#define ZB_F(field) ZB_RECORD_FIELD(VisModule, field)
static_assert(zb::IsExactLayout({ZB_F(description), ZB_F(hwndParent), ZB_F(hDllInstance), ZB_F(hdc),
                                 ZB_F(sampleRate), ZB_F(channels), ZB_F(flags), ZB_F(latencyMs), ZB_F(delayMs),
                                 ZB_F(spectrumChannels), ZB_F(waveformChannels), ZB_F(spectrumData),
                                 ZB_F(waveformData), ZB_F(Config), ZB_F(Init), ZB_F(Render), ZB_F(Quit),
                                 ZB_F(drawRect), ZB_F(colours), ZB_F(userData), ZB_F(notify),
                                 ZB_F(playerCallback), ZB_F(position), ZB_F(length), ZB_F(sharedText),
                                 ZB_F(currentPath), ZB_F(playlistIndex), ZB_F(playlistCount),
                                 ZB_F(playerState), ZB_F(screenRect), ZB_F(restartBits), ZB_F(artwork),
                                 ZB_F(reserved)},
                                sizeof(VisModule), alignof(VisModule)),
              "VisModule fields are out of their documented order");
#undef ZB_F

// The library header that ZonbrelGetLibrary returns.
struct VisLibrary {
  int version;                           // 2 or 3
  const WCHAR* description;
  VisModule* (*getModule)(int index);    // null ends the list
};

#define ZB_F(field) ZB_RECORD_FIELD(VisLibrary, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(description), ZB_F(getModule)}, sizeof(VisLibrary),
                                alignof(VisLibrary)),
              "VisLibrary fields are out of their documented order");
#undef ZB_F

// Export of a "\vis_*.dll", called without arguments.
typedef VisLibrary* (*ZonbrelGetLibraryFn)();
extern "C" VisLibrary* ZonbrelGetLibrary();
