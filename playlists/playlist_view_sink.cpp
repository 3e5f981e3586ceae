// The process's one view sink. Playlists live on the user-interface thread, so a plain pointer
// set once at start-up (or by a test) is enough.
#include "playlist_view_sink.h"

namespace {
IPlaylistViewSink* g_sink = nullptr;
}

void SetPlaylistViewSink(IPlaylistViewSink* sink) { g_sink = sink; }

IPlaylistViewSink* GetPlaylistViewSink() { return g_sink; }
