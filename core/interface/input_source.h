// The stream object: the record through which decoders and tag readers read a file or a URL.
// Users copy a registered record whole, set the copy's openFlags, then Init, Open, read, Close
// and Release it. Words in order; word 0 holds the two 16-bit fields.
#pragma once
#include <windows.h>

#include "core/interface/player_callback.h"
#include "core/interface/record_layout.h"

struct IMediaItem;

#define INPUT_SOURCE_VERSION 3
#define INPUT_SOURCE_FLAG_LIVE 0x2  // no known length; decoders add DEC_FLAG_LIVE to their flags
#define INPUT_OPEN_SINGLE_SHOT 0x80000000        // openFlags: tag reading, no retries, small ring
#define INPUT_SEEK_SET 0
#define INPUT_SEEK_CUR 1
#define INPUT_SEEK_END 2

struct InputSource {
  WORD version;                   // word 0, low half: 3
  WORD flags;                     // word 0, high half: 0 for files, 3 for the network source
  const WCHAR* description;       // 1
  HWND hwndParent;                // 2  host: the main window, at registration
  HINSTANCE hDllInstance;         // 3  host: the program instance
  DWORD openFlags;                // 4  set on a copy before Open
  int (*Reserved5)(InputSource* source);  // 5
  int (*Reserved6)(InputSource* source);  // 6
  void (*Init)(InputSource* source);      // 7  prepares a fresh copy
  void (*Release)(InputSource* source);   // 8  discards a copy's private data
  int (*Open)(InputSource* source, LPCWSTR path);  // 9  0, or negative on failure
  void (*Close)(InputSource* source);              // 10
  int (*Read)(InputSource* source, void* buffer, int size, int count);  // 11  whole items read
  int (*Seek)(InputSource* source, int origin, int offset);            // 12  0, or -1
  DWORD (*GetLength)(InputSource* source);                              // 13
  int (*Tell)(InputSource* source);                                     // 14
  int (*IsSeekable)(InputSource* source);                               // 15
  // 16: writes a display title; returns a pointer to its terminating zero.
  WCHAR* (*GetTitle)(InputSource* source, LPCWSTR path, LPWSTR buffer);
  int (*GetStationName)(InputSource* source, LPCWSTR path, LPWSTR buffer);  // 17
  void* state;                                                              // 18  per open
  HRESULT (*ReadInfo)(InputSource* source, LPCWSTR path, IMediaItem* item); // 19
  // 20: source-specific properties by id.
  int (*Control)(InputSource* source, UINT id, void* in, UINT inSize, void* out, UINT outSize);
  int (*ClaimsPath)(InputSource* source, LPCWSTR path);  // 21  bit 0: takes the path
  void (*StartUp)();                                     // 22
  void (*CleanUp)();                                     // 23
  // 24: whether a stored item is out of date against the file's find data.
  HRESULT (*CheckItem)(InputSource* source, LPCWSTR path, int count, const WIN32_FIND_DATAW* findData,
                       IMediaItem* item, BOOL* changed);
  // 25 (byte offset 100 where words are 32 bits): host, after the plug-in scan.
  PlayerCallbackFn hostCallback;
  DWORD reserved[4];  // 26-29
};

#define ZB_F(field) ZB_RECORD_FIELD(InputSource, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(flags), ZB_F(description), ZB_F(hwndParent),
                                 ZB_F(hDllInstance), ZB_F(openFlags), ZB_F(Reserved5), ZB_F(Reserved6),
                                 ZB_F(Init), ZB_F(Release), ZB_F(Open), ZB_F(Close), ZB_F(Read), ZB_F(Seek),
                                 ZB_F(GetLength), ZB_F(Tell), ZB_F(IsSeekable), ZB_F(GetTitle),
                                 ZB_F(GetStationName), ZB_F(state), ZB_F(ReadInfo), ZB_F(Control),
                                 ZB_F(ClaimsPath), ZB_F(StartUp), ZB_F(CleanUp), ZB_F(CheckItem),
                                 ZB_F(hostCallback), ZB_F(reserved)},
                                sizeof(InputSource), alignof(InputSource)),
              "InputSource words are out of their documented order");
#undef ZB_F
