// The end-of-stream report of the decode threads.
#include "end_of_stream.h"

#include <atomic>

namespace {
std::atomic<EndOfStreamPoster> g_poster{nullptr};
}

void SetEndOfStreamPoster(EndOfStreamPoster poster) { g_poster = poster; }

void PostEndOfStream(HWND window, int status) {
  if (EndOfStreamPoster poster = g_poster) poster(window, DECODER_END_OF_STREAM_MESSAGE, status);
}
