// The core's media library: the library object behind IMediaLibraryLink, the tag reading by the
// decoder that claims a file, and the library step of opening an item or reading its entry.
#pragma once
#include <windows.h>

#include "core/interface/dec_module.h"
#include "mediaitem.h"
#include "medialibrary.h"

class CMediaLibrary;
class IPlayerItemHost;

// Empties the item, sets its source and reads the file's tags through a copy of the record's
// stream source (the record itself stays untouched). 0 on success, E_FAIL otherwise.
HRESULT ReadItemTags(IMediaItem* item, LPCWSTR path, const DecModule* record);

// The library step of opening a file or reading its playlist entry: a file the library holds at
// its present size and write time is marked present; a new or changed one is read and stored.
// Paths that are not files (streams) are left to their sources.
void UpdateLibraryEntry(CMediaLibrary* library, LPCWSTR path, const DecModule* record);

// Tag reading and the plug-ins' view of items for the library's player bridge, over whatever
// player core exists (none for the command-line tools).
IPlayerItemHost* CoreItemHost();

// Relays a library event to CPlayerCore::OnLibraryEvent; the context is the core.
void ForwardLibraryEvent(DWORD event, DWORD_PTR context, LPCWSTR text, const LIBEVENTINFO* info);
