// FileReader: the stream object for local files, storage cards and network shares. Users copy
// the record, set the copy's openFlags, Init, Open, read, Close and Release it.
#pragma once
#include <windows.h>

#include "core/interface/input_source.h"

// The registered record; never opened itself.
extern const InputSource FileReader;

// A copy of the record, Init already called.
InputSource MakeFileSource(DWORD openFlags = 0);

// 1 for a path that begins with two backslashes or "\Network\"; *unreachable (may be null)
// then tells whether the share is not connected.
BOOL IsNetworkPath(LPCWSTR path, BOOL* unreachable);

// The title a path gives: its name without the extension, cut to `chars` - 1 characters.
// Returns a pointer to the title's terminating zero.
WCHAR* TitleFromPath(LPCWSTR path, LPWSTR buffer, size_t chars);

// The file source's own tag operations (the tags a path gives, whether a stored item is stale).
HRESULT FileReaderReadInfo(InputSource* source, LPCWSTR path, IMediaItem* item);
HRESULT FileReaderCheckItem(InputSource* source, LPCWSTR path, int count, const WIN32_FIND_DATAW* findData,
                            IMediaItem* item, BOOL* changed);
