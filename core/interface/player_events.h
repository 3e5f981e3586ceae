// Event codes the player offers to event hooks and broadcasts to modules, and the command codes
// it sends to a general-purpose module's command hook. A hook answers >= 0 to take an event.
#pragma once
#include <windows.h>

enum : UINT {
  // Or-ed into an event: only asks whether the hook would handle it. The bare query (code 0)
  // is the registration probe.
  PLAYER_EVENT_QUERY = 0x8000,

  // Transport (out, where given, is a word the hook may set).
  PLAYER_EVENT_PREVIOUS = 1,           // out: moved flag
  PLAYER_EVENT_NEXT = 2,               // in: user flag; out: moved flag
  PLAYER_EVENT_STOP = 3,               // in: 0 before the decoder stops, 1 after
  PLAYER_EVENT_PLAY = 4,               // no data before the item is taken; in: state word after Play
  PLAYER_EVENT_PAUSE = 5,
  PLAYER_EVENT_UNPAUSE = 6,
  PLAYER_EVENT_SEEK = 7,               // in: {length ms, position}
  PLAYER_EVENT_SKIP_ITEM = 8,          // taken = skip the item the playlist chose
  PLAYER_EVENT_END_OF_STREAM = 9,      // in: 0 (out: advance flag), then 1, 2 or 3
  PLAYER_EVENT_RESUME_MODE = 10,       // out: mode
  PLAYER_EVENT_RESUME_POSITION = 11,   // out: position ms
  PLAYER_EVENT_FORGET_RESUME = 12,     // out: flag
  PLAYER_EVENT_CUE_MARK_PASSED = 13,   // in: the cookie of a cue mark playback went past
  PLAYER_EVENT_SEEKED = 14,            // in: target ms
  PLAYER_EVENT_EQ_VALUES = 20,         // in and out: 10 bands and the preamp, 11 bytes
  PLAYER_EVENT_EQ_ON = 21,             // in and out: the on word

  // Buttons and menus.
  PLAYER_EVENT_BUTTON_DOWN = 31,       // in: (b << 16) | (a & 0xFFFF)
  PLAYER_EVENT_BUTTON_UP = 32,
  PLAYER_EVENT_MENU_CHOOSE = 33,       // in: chosen-command word; out: answer word
  PLAYER_EVENT_MENU_KIND = 34,         // in: menu kind
  PLAYER_EVENT_MENU_BUILD = 35,        // in: the menu handle itself; out: answer word
  PLAYER_EVENT_MENU_CHOSEN = 36,       // in: the menu handle itself; out: answer word

  // User-interface commands, services, status.
  PLAYER_EVENT_LIBRARY_ON_START = 38,  // in and out: the setting showLibraryOnStartup
  PLAYER_EVENT_UI_COMMAND = 39,        // in: command id; out: command value
  PLAYER_EVENT_QUERY_SERVICE = 40,     // in: 16-byte GUID; out: interface pointer
  PLAYER_EVENT_DECODER_STATUS = 70,    // + the decoder's status code
  PLAYER_EVENT_ITEM_OPENED = 100,      // in: the IMediaItem pointer itself
  PLAYER_EVENT_LOAD_ITEM_LIST = 101,   // in: a source that is no file; out: the list
  PLAYER_EVENT_HIGHEST_PROBED = 101,   // codes above this are not probed at registration...
  PLAYER_EVENT_OUTPUT_DEVICE = 2301,   // ...except this one: the output's device choice

  // Broadcast to the DSP module, the bound decoder, version-2 general modules and the
  // visualisation.
  PLAYER_EVENT_ITEM_REFRESHED = 8202,  // the current item was re-read from the library
  PLAYER_EVENT_VIS_TOGGLED = 8203,     // to the bound decoder's Command only
};

// Codes the core sends to GenModule::CommandHook for registered commands; the argument points
// to a 32-bit word.
enum : UINT {
  GEN_CMD_GET_NAME = 0x2006,  // arg: command id; out: 128-character buffer
  GEN_CMD_RUN = 0x2007,       // arg: command id
  GEN_CMD_RELEASE = 0x2008,   // arg: command id; the bound button was released
  GEN_CMD_PHASE = 0x2009,     // arg: the phase of the coming call, which the hook may change
};

// Command ids of registered plug-in commands start here; 1..32 are the player's own actions.
#define GEN_CMD_FIRST_ID 33
#define GEN_CMD_NAME_CHARS 128

// Asked of the bound decoder's Command (no data, 4-byte out word) before the deferred timers
// run: what the decoder wants of the main loop now.
#define DEC_CMD_SCHEDULING 0x6001
#define DEC_SCHEDULING_HOLD_TIMERS 0x1  // run no deferred timer now
#define DEC_SCHEDULING_NO_HURRY 0x2     // the loop may sleep until the next timer
#define DEC_SCHEDULING_KEEP_PRIORITY 0x4
