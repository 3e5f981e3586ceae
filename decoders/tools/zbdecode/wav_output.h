// Output module records for zbdecode and the benchmark: a WAV file writer and a null output,
// both taking everything at once. A flush starts the data again from the flushed position.
#pragma once
#include "core/output_module.h"

extern OutputModule WavOutput;
extern OutputModule NullOutput;

bool OpenWavOutput(const char* path);
int OutputRate();
int OutputChannels();
long long OutputFrames();  // sample frames written since the last flush
// A held output takes nothing, as a full device would: a seek given after Play comes first.
void HoldOutput(bool held);
