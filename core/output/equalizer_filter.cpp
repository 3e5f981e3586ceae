// The equaliser's filter: the design in force, the histories of the stream being filtered, and
// the choice of how to run the cascade. A flat design (every band at the middle, preamp at 0 dB)
// hands every sample on as it was, so it costs nothing.
#include <algorithm>
#include <cstdint>

#include "core/common/critical_section.h"
#include "core/output/equalizer.h"
#include "core/output/equalizer_cascade.h"
#include "core/output/equalizer_published.h"

namespace {

// Histories belong to the filter thread's stream; they start afresh with each new design.
struct FilterState {
  CCriticalSection lock;  // one decoder thread filters at a time, but two must never share a row
  uint64_t generation = 0;
  EqHistory rows[kEqStageCount][kEqMaxChannels] = {};
};

FilterState& State() {
  static FilterState state;
  return state;
}

}  // namespace

void ApplyEqualizer(void* samples, int byteCount, int channels, int frames) {
  if (!samples || channels < 1 || channels > kEqMaxChannels || frames <= 0 || byteCount <= 0) return;
  frames = std::min(frames, byteCount / (channels * static_cast<int>(sizeof(SHORT))));
  if (frames <= 0) return;
  std::shared_ptr<const PublishedEqDesign> published = CurrentPublishedEqDesign();
  FilterState& state = State();
  CSectionLock held(state.lock);
  if (state.generation != published->generation) {
    state.generation = published->generation;
    std::fill(&state.rows[0][0], &state.rows[0][0] + kEqStageCount * kEqMaxChannels, EqHistory{});
  }
  const EqCascade cascade = MakeEqCascade(published->design, state.rows);
  if (cascade.count == 0 && cascade.gain == (1 << 28)) return;  // x << 12, then >> 12: the sample itself
  SHORT* pcm = static_cast<SHORT*>(samples);
  if (!RunEqCascadeWide(cascade, pcm, frames, channels)) RunEqCascadePlain(cascade, pcm, frames, channels);
}
