// The sample chain: equaliser, then the chosen DSP module, both on the decoder's thread and
// outside every core lock.
#include "core/output/sample_chain.h"

#include <algorithm>
#include <atomic>
#include <climits>

#include "core/output/equalizer.h"
#include "core/settings/settings.h"

namespace {

std::atomic<LONG> g_decoderEqualizes{0};

constexpr int kEqualizedBits = 16;

}  // namespace

void SetDecoderEqualizes(LONG flag) { g_decoderEqualizes = flag; }

LONG DecoderEqualizes() { return g_decoderEqualizes; }

bool EqualizerRunsOn(const CSettings& settings, const DecModule* boundDecoder, int bitsPerSample) {
  if (!settings.preampEnabled || bitsPerSample != kEqualizedBits || settings.wmaEqDisabled == 1) return false;
  const bool decoderEqualizes = boundDecoder && boundDecoder->SetEqualizer && DecoderEqualizes();
  return !(decoderEqualizes && settings.wmaEqDisabled == 0);
}

int AdjustSampleCount(DSPModule* dsp, int count) {
  return dsp && dsp->GetMaxSamples ? dsp->GetMaxSamples(count, dsp) : count;
}

int RunSampleChain(DSPModule* dsp, bool equalize, void* samples, int count, int channels, int bitsPerSample,
                   int sampleRate) {
  if (!samples || count <= 0 || channels <= 0) return count;
  if (equalize) {
    const int64_t bytes = int64_t{count} * channels * static_cast<int>(sizeof(SHORT));
    ApplyEqualizer(samples, static_cast<int>(std::min<int64_t>(bytes, INT_MAX)), channels, count);
  }
  if (dsp && dsp->ModifySamples) return dsp->ModifySamples(samples, count, channels, bitsPerSample, sampleRate);
  return count;
}
