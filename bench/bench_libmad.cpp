// See bench_libmad.h.
#include "bench_libmad.h"

#include <mad.h>

#include <algorithm>

long long DecodeWithLibmad(const std::vector<unsigned char>& file) {
  std::vector<short> pcm(1152 * 2);
  mad_stream stream;
  mad_frame frame;
  mad_synth synth;
  mad_stream_init(&stream);
  mad_frame_init(&frame);
  mad_synth_init(&synth);
  mad_stream_buffer(&stream, file.data(), file.size());
  long long sum = 0;
  for (;;) {
    if (mad_frame_decode(&frame, &stream) != 0) {
      if (MAD_RECOVERABLE(stream.error)) continue;
      break;
    }
    mad_synth_frame(&synth, &frame);
    for (unsigned i = 0; i < synth.pcm.length; ++i)
      for (int ch = 0; ch < synth.pcm.channels; ++ch)
        pcm[i * 2 + ch] = static_cast<short>(std::clamp(synth.pcm.samples[ch][i], -MAD_F_ONE, MAD_F_ONE - 1) >> 13);
    sum += pcm[0];
  }
  mad_synth_finish(&synth);
  mad_frame_finish(&frame);
  mad_stream_finish(&stream);
  return sum;
}
