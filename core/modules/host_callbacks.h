// The host callbacks the core writes into a decoder record when it binds it: the decoder
// thread's status calls, its thread priority, the visualisation feed and the sample chain. Each
// reaches the one player core; without one they do nothing.
#pragma once
#include <windows.h>

DWORD HostDecoderStatus(UINT code, void* in, UINT inSize, void* out, UINT outSize);
// The calling thread's priority from the setting threadPriority: 1 lowest ... 6 time-critical,
// 7 the real-time level 247; any other value leaves it alone.
void HostSetThreadPriority();
void HostVisInit(int maxLatencyMs, int sampleRate);
void HostVisDeinit();
void HostVisAddPCM(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs);
void HostVisSetInfo(int sampleRate, int channels);
void HostVisNoop(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs);
int HostDSPAdjust(int sampleCount);
int HostProcessSamples(void* samples, int sampleCount, int channels, int bitsPerSample, int sampleRate);
// Passes the stream information on at most once a second (more than 1000 ms after the last
// call it passed on).
void HostStatusUpdate(int bitrate, int sampleRate, int channelMode);
