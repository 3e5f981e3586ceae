// Mp3PcmConverter: libmad's samples (28 fraction bits) to 16-bit PCM. The cut-off part of each
// sample is carried into the next one of its channel, and a clip is held until the wave turns
// back, so a burst over full scale does not ring on both sides. The state lasts a whole play.
#pragma once
#include <mad.h>

#include <cstdint>

class Mp3PcmConverter {
 public:
  // `count` samples of one channel into every `stride`-th slot of `out`.
  void Convert(int channel, const mad_fixed_t* in, unsigned count, int16_t* out, int stride);

 private:
  long long residual_[2] = {};
  int clip_[2] = {};  // 0, or +1 / -1 while a clip is held
};
