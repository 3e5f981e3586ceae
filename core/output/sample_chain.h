// The sample chain every decoder thread runs on each block before writing it out: the time-
// domain equaliser on 16-bit PCM (unless the decoder equalises by itself), then the current DSP
// module. The core's host callbacks HostDSPAdjust and HostProcessSamples come here.
#pragma once
#include <windows.h>

#include "core/interface/dec_module.h"
#include "core/interface/dsp_module.h"

class CSettings;

// The decoder-EQ flag: non-zero while the bound decoder accepted the equaliser settings at the
// start of the play (its SetEqualizer answered non-zero). The transport writes it; the
// decoder thread reads it.
void SetDecoderEqualizes(LONG flag);
LONG DecoderEqualizes();

// Whether the time-domain equaliser runs on a block: the equaliser is on (preampEnabled), the
// samples are 16-bit, wmaEqDisabled is not 1, and the bound decoder does not equalise itself.
bool EqualizerRunsOn(const CSettings& settings, const DecModule* boundDecoder, int bitsPerSample);

// The most samples the chain may hand back for `count` (the DSP module's promise).
int AdjustSampleCount(DSPModule* dsp, int count);

// Runs the chain in place and answers the new sample count (frames): what the DSP module
// returned, or `count` without one.
int RunSampleChain(DSPModule* dsp, bool equalize, void* samples, int count, int channels, int bitsPerSample,
                   int sampleRate);
