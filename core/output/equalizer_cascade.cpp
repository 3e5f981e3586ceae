// The cascade a design runs, and the plain way of running it: 16-bit samples to Q.12, the
// preamp, then each section over a chunk of both channels at once (the channels are independent
// chains, so the two run side by side), then back with saturation. Every section is 32 x 32 ->
// 64-bit products summed, high word shifted left by 4, as on a core without floating point.
#include "core/output/equalizer_cascade.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kSampleShift = 12;   // 16-bit samples carried as Q.12 between sections
constexpr int kChunkFrames = 512;  // work buffer on the stack: 4 KB for stereo

inline LONG HighWordTimes16(int64_t sum) { return static_cast<LONG>((sum >> 32) * 16); }

inline int64_t Product(LONG a, LONG b) { return static_cast<int64_t>(a) * b; }

template <int Channels, bool Peaking>
void RunSection(LONG* work, int frames, const EqStage& k, EqHistory* rows) {
  EqHistory h[Channels];
  std::copy(rows, rows + Channels, h);
  for (int n = 0; n < frames; ++n) {
    for (int ch = 0; ch < Channels; ++ch) {
      LONG& sample = work[n * Channels + ch];
      const LONG x = sample;
      EqHistory& r = h[ch];
      int64_t sum;
      if constexpr (Peaking) {
        // b1 equals c1 here, so one product serves x[n-1] - y[n-1] (in 64 bits: no wrap).
        sum = Product(k.c2, r.y2) + Product(k.b2, r.x2) + k.c1 * (static_cast<int64_t>(r.x1) - r.y1) +
              Product(k.b0, x);
      } else {
        sum = Product(k.c2, r.y2) + Product(k.c1, r.y1) + Product(k.b2, r.x2) + Product(k.b1, r.x1) +
              Product(k.b0, x);
      }
      const LONG y = HighWordTimes16(sum);
      r.x2 = r.x1;
      r.x1 = x;
      r.y2 = r.y1;
      r.y1 = y;
      sample = y;
    }
  }
  std::copy(h, h + Channels, rows);
}

// A section whose band sits at the middle is b0 = 1 with b1 = -c1 and b2 = -c2: fed values
// that are multiples of 16 (what every section hands on, and what a flat preamp makes of a
// sample) from equal x and y histories, it hands each one on unchanged and its histories stay
// equal. Such a section is skipped, exactly.
bool PassesThrough(const EqStage& k, bool peaking) {
  return k.b0 == (1 << 28) && k.b2 == -k.c2 && (peaking || k.b1 == -k.c1);
}

inline SHORT Saturate(LONG value) { return static_cast<SHORT>(std::clamp<LONG>(value, -32768, 32767)); }

inline LONG Preamp(LONG gain, SHORT sample) {
  return static_cast<LONG>((Product(gain, static_cast<LONG>(sample) * (1 << kSampleShift))) >> 28);
}

template <int Channels>
void FilterChunk(const EqCascade& cascade, SHORT* samples, int frames) {
  LONG work[kChunkFrames * Channels];
  const int count = frames * Channels;
  for (int i = 0; i < count; ++i) work[i] = Preamp(cascade.gain, samples[i]);
  for (int s = 0; s < cascade.count; ++s) {
    if (cascade.peaking[s]) {
      RunSection<Channels, true>(work, frames, *cascade.stages[s], cascade.rows[s]);
    } else {
      RunSection<Channels, false>(work, frames, *cascade.stages[s], cascade.rows[s]);
    }
  }
  for (int i = 0; i < count; ++i) samples[i] = Saturate(work[i] >> kSampleShift);
}

template <int Channels>
void Filter(const EqCascade& cascade, SHORT* samples, int frames) {
  for (int done = 0; done < frames; done += kChunkFrames)
    FilterChunk<Channels>(cascade, samples + done * Channels, std::min(kChunkFrames, frames - done));
}

}  // namespace

EqCascade MakeEqCascade(const EqDesign& design, EqHistory (*rows)[kEqMaxChannels]) {
  EqCascade cascade{};
  cascade.gain = design.stages[0].b0;
  if (design.bypass) return cascade;
  bool sixteens = cascade.gain == (1 << 28);  // the values entering the next section are multiples of 16
  for (int s = 1; s < kEqStageCount; ++s) {
    const bool peaking = s != 1 && s != kEqStageCount - 1;
    if (sixteens && PassesThrough(design.stages[s], peaking)) continue;
    cascade.stages[cascade.count] = &design.stages[s];
    cascade.peaking[cascade.count] = peaking;
    cascade.rows[cascade.count] = rows[s];
    ++cascade.count;
    sixteens = true;
  }
  return cascade;
}

void RunEqCascadePlain(const EqCascade& cascade, SHORT* samples, int frames, int channels) {
  if (channels == 1) {
    Filter<1>(cascade, samples, frames);
  } else if (channels == 2) {
    Filter<2>(cascade, samples, frames);
  }
}
