// The conversion runs once per sample of every decoded frame: the state stays in locals for the
// frame and the common case, a sample inside full scale with no clip held, is one shift.
#include "mp3_pcm_convert.h"

namespace {

constexpr long long kHigh = 0x0FFFFFFF, kLow = -0x10000000;

}  // namespace

void Mp3PcmConverter::Convert(int channel, const mad_fixed_t* in, unsigned count, int16_t* out, int stride) {
  long long residual = residual_[channel];
  int state = clip_[channel];
  for (unsigned i = 0; i < count; ++i, out += stride) {
    const long long s = in[i] + residual;
    if (state == 0 && s >= kLow && s <= kHigh) {
      residual = s & 0x1FFF;  // what the shift cuts off, always 0 to 8191
      *out = static_cast<int16_t>(s >> 13);
      continue;
    }
    long long value = s;
    if (s > kHigh) {
      value = state == -1 ? kLow : kHigh;
      if (state != -1) state = 1;
    } else if (s < kLow) {
      value = state == 1 ? kHigh : kLow;
      if (state != 1) state = -1;
    } else if (state == 1) {
      if (s > 0) state = 0;
      else value = kHigh;
    } else if (state == -1) {
      if (s <= 0) state = 0;
      else value = kLow;
    }
    residual = state == 0 ? s - (value & ~0x1FFFll) : 0;
    *out = static_cast<int16_t>(value >> 13);
  }
  residual_[channel] = residual;
  clip_[channel] = state;
}
