// Stand-ins for what the Local Content scan will provide. None of them does the work: each says
// in the debug output that it was reached and answers as a failure would, so callers take their
// error paths instead of trusting a result.
#include "playlist.h"
#include "playlist_neighbours.h"

void DestroyLocalContentLists() {
  OutputDebugStringW(u"DestroyLocalContentLists: there is no Local Content scan yet\r\n");
}

BOOL IsLibraryEntryCurrent(IPlaylistCore* core, LPCWSTR path) {
  OutputDebugStringW(u"IsLibraryEntryCurrent: there is no Local Content scan yet\r\n");
  return FALSE;
}
