// The end-of-stream report of the decode threads.
#include "end_of_stream.h"

void PostEndOfStream(HWND window, int status) {
  PostMessageW(window, DECODER_END_OF_STREAM_MESSAGE, static_cast<WPARAM>(status), 0);
}
