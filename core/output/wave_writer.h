// The waveOut writer: the output module that plays. It keeps a ring of 64 KB blocks on one
// waveOut device, negotiates a format the device takes (converting in place), crossfades one
// stream into the next when gapless playback keeps the device open, and watches for a stall.
#pragma once
#include <windows.h>

#include <mmsystem.h>

#include "core/interface/output_module.h"
#include "core/interface/player_callback.h"

constexpr int kWaveBlockBytes = 65536;

// The record's slots.
int WaveWriterInit(int previous);
int WaveWriterQuit(int previous);
int WaveWriterOpen(int sampleRate, int channels, int bitsPerSample);  // buffer bytes, or -1
void WaveWriterClose();
int WaveWriterWrite(void* buffer, int bytes);  // the caller's byte count once all is taken
int WaveWriterCanWrite();
int WaveWriterIsPlaying();
int WaveWriterPause(int pause);
void WaveWriterSetVolume(int volume);  // 0..255; OUTPUT_STORED_VALUE for ourVolume
void WaveWriterSetPan(int pan);        // -128..128; OUTPUT_STORED_VALUE for panning
void WaveWriterFlush(int positionMs);
int WaveWriterOutputTime();
int WaveWriterWrittenTime();

// Waits up to `ms` (negative: one look) for the queued audio to play out; 0 once it has (the
// device is then closed), 1 while audio remains; 0 when nothing is open.
int WaveOutWaitDrain(int ms);
// Re-creates the device after a device change, keeping the queued audio when the format stays.
// 1 when done (also when nothing is open), 0 when the device cannot be opened again.
int WaveWriterReconfigure();
void WaveWriterCloseDevice(BOOL force);

// The player callback through which the writer offers the device choice to the event hooks
// (message PLAYER_MSG_HOOK_2301); null for none.
void SetWaveWriterPlayerCallback(PlayerCallbackFn callback);

// The format steps the writer tries when the device refuses `device`: a lower standard rate,
// else mono at the source rate, else 8 bits fewer with the source rate and channels. False when
// there is none (8-bit mono).
bool WaveWriterFallbackFormat(WAVEFORMATEX* device, const WAVEFORMATEX& source);
// Converts whole frames of `source` PCM to `device` PCM in place (fewer channels, fewer bits, a
// lower rate; each never more); answers the bytes of the result.
int WaveWriterConvert(BYTE* data, int bytes, const WAVEFORMATEX& source, const WAVEFORMATEX& device);
// PCM format record for the three numbers.
WAVEFORMATEX MakePcmFormat(int channels, int sampleRate, int bitsPerSample);
