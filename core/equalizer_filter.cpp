// The equaliser's filter: 16-bit samples to Q.12, the preamp, then each section over a chunk of
// both channels at once (the channels are independent chains, so the two run side by side),
// then back with saturation. Every section is 32 x 32 -> 64-bit products summed, high word
// shifted left by 4, as on a core without floating point.
#include <algorithm>
#include <cstdint>

#include "core/critical_section.h"
#include "core/equalizer.h"
#include "core/equalizer_published.h"

namespace {

constexpr int kSampleShift = 12;     // 16-bit samples carried as Q.12 between sections
constexpr int kChunkFrames = 512;    // work buffer on the stack: 4 KB for stereo
constexpr int kMaxChannels = 2;

struct History {
  LONG x1, x2, y1, y2;
};

// Histories belong to the filter thread's stream; they start afresh with each new design.
struct FilterState {
  CCriticalSection lock;  // one decoder thread filters at a time, but two must never share a row
  uint64_t generation = 0;
  History rows[kEqStageCount][kMaxChannels] = {};
};

FilterState& State() {
  static FilterState state;
  return state;
}

inline LONG HighWordTimes16(int64_t sum) { return static_cast<LONG>((sum >> 32) * 16); }

inline int64_t Product(LONG a, LONG b) { return static_cast<int64_t>(a) * b; }

template <int Channels, bool Peaking>
void RunSection(LONG* work, int frames, const EqStage& k, History* rows) {
  History h[Channels];
  std::copy(rows, rows + Channels, h);
  for (int n = 0; n < frames; ++n) {
    for (int ch = 0; ch < Channels; ++ch) {
      LONG& sample = work[n * Channels + ch];
      const LONG x = sample;
      History& r = h[ch];
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
void FilterChunk(SHORT* samples, int frames, const EqDesign& design, FilterState& state) {
  LONG work[kChunkFrames * Channels];
  const int count = frames * Channels;
  const LONG gain = design.stages[0].b0;
  for (int i = 0; i < count; ++i) work[i] = Preamp(gain, samples[i]);
  if (!design.bypass) {
    bool sixteens = gain == (1 << 28);  // the values entering the next section are multiples of 16
    for (int s = 1; s < kEqStageCount; ++s) {
      const bool peaking = s != 1 && s != kEqStageCount - 1;
      if (sixteens && PassesThrough(design.stages[s], peaking)) continue;
      if (peaking) {
        RunSection<Channels, true>(work, frames, design.stages[s], state.rows[s]);
      } else {
        RunSection<Channels, false>(work, frames, design.stages[s], state.rows[s]);
      }
      sixteens = true;
    }
  }
  for (int i = 0; i < count; ++i) samples[i] = Saturate(work[i] >> kSampleShift);
}

template <int Channels>
void Filter(SHORT* samples, int frames, const EqDesign& design, FilterState& state) {
  for (int done = 0; done < frames; done += kChunkFrames)
    FilterChunk<Channels>(samples + done * Channels, std::min(kChunkFrames, frames - done), design, state);
}

}  // namespace

void ApplyEqualizer(void* samples, int byteCount, int channels, int frames) {
  if (!samples || channels < 1 || channels > kMaxChannels || frames <= 0 || byteCount <= 0) return;
  frames = std::min(frames, byteCount / (channels * static_cast<int>(sizeof(SHORT))));
  std::shared_ptr<const PublishedEqDesign> published = CurrentPublishedEqDesign();
  FilterState& state = State();
  CSectionLock held(state.lock);
  if (state.generation != published->generation) {
    state.generation = published->generation;
    std::fill(&state.rows[0][0], &state.rows[0][0] + kEqStageCount * kMaxChannels, History{});
  }
  SHORT* pcm = static_cast<SHORT*>(samples);
  if (channels == 1) {
    Filter<1>(pcm, frames, published->design, state);
  } else {
    Filter<2>(pcm, frames, published->design, state);
  }
}
