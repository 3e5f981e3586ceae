// The output module record of zbdecode: the decoder's blocks go to waveOut, which plays them on
// the device ZONBREL_AUDIO names (wav:FILE writes them to a WAVE file).
#pragma once
#include "core/output_module.h"

extern OutputModule WaveOutput;

// A held output takes nothing, as a full device would: a seek given right after Play comes
// before the first block is written.
void HoldOutput(bool held);
int OutputRate();
int OutputChannels();
long long OutputFrames();  // sample frames written since the last flush
