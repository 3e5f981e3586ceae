// The WAVE decode thread: reads a block of the file's samples, converts it, and hands the PCM to
// the visualisation, the sample chain and the output; takes seek requests between blocks and
// cuts each read at the end of the "data" chunk, so chunks behind it are never played.
#include <algorithm>

#include "end_of_stream.h"
#include "wave_chunks.h"
#include "wave_decoder.h"
#include "wave_play_state.h"

namespace {

constexpr DWORD kPollMs = 50;

struct Decoder {
  WaveDecoderState& s = WaveState();
  DecModule& m = WaveDecoder;
  InputSource* source = m.source;
  OutputModule* out = m.outModule;
  CWaveConverter* converter = s.converter;
  const WAVEFORMATEX format = s.outFormat;
  const int frameBytes = static_cast<int>(static_cast<DWORD>(format.nChannels) * format.wBitsPerSample / 8);
  const ULONGLONG bytesPerSecond = static_cast<ULONGLONG>(frameBytes) * format.nSamplesPerSec;
  BYTE* input = nullptr;
  BYTE* output = nullptr;
  ACMSTREAMHEADER header{};
  int baseMs = 0;           // where the position counts from: the start or the last seek
  ULONGLONG madeBytes = 0;  // PCM handed out since then

  bool Start() {
    DWORD outBytes = 0;
    if (converter->GetOutputSize(s.blockBytes, &outBytes) != MMSYSERR_NOERROR) outBytes = s.outBlockBytes;
    s.outBlockBytes = outBytes;
    input = static_cast<BYTE*>(LocalAlloc(LMEM_ZEROINIT, s.blockBytes));
    output = static_cast<BYTE*>(LocalAlloc(LMEM_ZEROINIT, 2 * static_cast<SIZE_T>(s.outBlockBytes)));
    if (!input || !output || !frameBytes || !bytesPerSecond) return false;
    header.cbStruct = sizeof header;
    header.pbSrc = input;
    header.cbSrcLength = s.blockBytes;
    header.pbDst = output;
    header.cbDstLength = s.outBlockBytes;
    converter->PrepareHeader(&header);
    return true;
  }

  void Finish() {
    source->Close(source);
    header.cbSrcLength = s.blockBytes;
    if (input && output) converter->UnprepareHeader(&header);
    LocalFree(input);
    LocalFree(output);
    delete converter;
    s.converter = nullptr;
  }

  // Reads a block, cut at the end of the data.
  int Read() {
    int count = source->Read(source, input, 1, static_cast<int>(s.blockBytes));
    if (count < 0) count = 0;
    const ULONGLONG end = static_cast<ULONGLONG>(s.dataStart) + s.dataLength;
    const ULONGLONG at = s.readPos;
    s.readPos += static_cast<ULONGLONG>(count);
    if (s.readPos > end) count = at >= end ? 0 : static_cast<int>(end - at);
    if (s.snd) SndSamplesToWave(input, static_cast<DWORD>(count), s.sourceFormat);
    return count;
  }

  void Seek() {
    s.seekPending = false;
    baseMs = std::max(s.seekTargetMs.load(), 0);
    madeBytes = 0;
    s.decodedMs = baseMs;
    out->Flush(baseMs);
    const WAVEFORMATEX& f = s.sourceFormat;
    const ULONGLONG offset = static_cast<ULONGLONG>(f.nAvgBytesPerSec) * static_cast<ULONGLONG>(baseMs) / 1000;
    const ULONGLONG aligned = std::min<ULONGLONG>(offset / f.nBlockAlign * f.nBlockAlign, 0xFFFFFFFFull - s.dataStart);
    source->Seek(source, INPUT_SEEK_SET, static_cast<int>(static_cast<DWORD>(s.dataStart + aligned)));
    s.readPos = static_cast<DWORD>(source->Tell(source));
  }

  // Waits for room for the block; false once a stop or a seek is asked for, so that a seek given
  // while the output was full never lets the block from before it out.
  bool WaitForRoom(DWORD bytes) {
    while (!s.stopFlag && !s.seekPending) {
      if (out->CanWrite() >= static_cast<int>(bytes)) return true;
      Sleep(kPollMs);
    }
    return false;
  }

  bool Play(int count) {
    header.cbSrcLength = static_cast<DWORD>(count);
    header.cbDstLengthUsed = 0;
    if (converter->Convert(&header) != MMSYSERR_NOERROR) return true;
    const DWORD used = std::min(header.cbDstLengthUsed, s.outBlockBytes) / frameBytes * frameBytes;
    if (!used) return true;
    if (!WaitForRoom(used)) return !s.stopFlag;
    const int bits = format.wBitsPerSample, channels = format.nChannels;
    const int timestamp = s.decodedMs;
    if (m.HostVisAddPCM) m.HostVisAddPCM(output, static_cast<int>(used), channels, bits, timestamp);
    if (m.HostVisNoop) m.HostVisNoop(output, static_cast<int>(used), channels, bits, timestamp);
    int samples = static_cast<int>(used) / frameBytes;
    const int room = static_cast<int>(2 * static_cast<ULONGLONG>(s.outBlockBytes) / frameBytes);
    if (m.HostDSPAdjust && m.HostProcessSamples && m.HostDSPAdjust(samples) <= room)
      samples = std::clamp(
          m.HostProcessSamples(output, samples, channels, bits, static_cast<int>(format.nSamplesPerSec)), 0, room);
    out->Write(output, samples * frameBytes);
    madeBytes += used;
    s.decodedMs = baseMs + static_cast<int>(madeBytes * 1000 / bytesPerSecond);
    return true;
  }

  void Run() {
    int count = 1;  // the last read's
    while (!s.stopFlag) {
      if (s.seekPending) {
        Seek();
        if (!s.stopFlag) count = Read();
      } else if (count == 0) {
        out->CanWrite();  // lets the output move its queue along
        if (!s.stopFlag && out->IsPlaying()) {
          Sleep(kPollMs);
          continue;
        }
        s.stopFlag = true;
        PostEndOfStream(m.hwndParent, 0);
        break;
      } else {
        count = Read();
      }
      if (count > 0 && !Play(count)) break;
      Sleep(kPollMs);
    }
  }
};

}  // namespace

DWORD WINAPI WaveDecodeThread(LPVOID) {
  DecModule& m = WaveDecoder;
  if (m.HostSetThreadPriority) m.HostSetThreadPriority();
  if (!WaveState().converter) {
    m.source->Close(m.source);
    return 0;
  }
  Decoder decoder;
  if (decoder.Start()) {
    decoder.Run();
  } else if (!WaveState().stopFlag) {
    PostEndOfStream(m.hwndParent, 1);  // no room for the blocks: the stream ends early, not never
  }
  decoder.Finish();
  return 0;
}
