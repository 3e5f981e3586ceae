// The WMA decode thread: decodes block after block, gathers the samples into chunks of up to
// 8192 per channel and hands each full chunk (three quarters or more) to the visualisation, the
// sample chain and the output. Every sample a block makes reaches the output: a chunk that fills
// up mid-block is written and the rest of the block goes into the next; what is still gathered
// at the end of the data is written too, and a seek drops what was gathered before it.
#include "end_of_stream.h"
#include "wma_decoder.h"
#include "wma_play_state.h"

namespace {

constexpr DWORD kPollMs = 10;

struct Decoder {
  WmaPlayState& s;
  WmaDecoderState& d;
  DecModule& m = WmaDecoder;
  OutputModule* out = m.outModule;
  const int channels = static_cast<int>(s.channels);

  void Seek() {
    const int target = s.seekTarget.exchange(-1);
    if (target < 0) return;
    const uint32_t reached = WmaLibSeek(&d.library, static_cast<uint32_t>(target));
    s.samplePosition = static_cast<DWORD>(static_cast<unsigned long long>(reached) * s.rate / 1000);
    s.pending = 0;
    out->Flush(static_cast<int>(reached));
  }

  // Waits for room for the chunk; false on a stop or a seek, which drop it.
  bool WaitForRoom(int bytes) {
    while (!s.stop && s.seekTarget < 0) {
      if (out->CanWrite() >= bytes) return true;
      Sleep(kPollMs);
    }
    return false;
  }

  // Writes the gathered samples; false when a stop or a seek came first.
  bool WriteChunk() {
    int total = static_cast<int>(s.pending);
    s.pending = 0;
    if (total == 0) return true;
    if (!WaitForRoom(channels * total * 2)) return false;
    s.samplePosition += static_cast<DWORD>(total);
    const int time = static_cast<int>(static_cast<unsigned long long>(s.samplePosition) * 1000 / s.rate);
    if (m.HostVisAddPCM) m.HostVisAddPCM(s.pcm, channels * total * 2, channels, 16, time);
    if (m.HostVisNoop) m.HostVisNoop(s.pcm, channels * total * 2, channels, 16, time);
    if (m.HostDSPAdjust && m.HostProcessSamples && m.HostDSPAdjust(total) <= 2 * total) {
      const int processed = m.HostProcessSamples(s.pcm, total, channels, 16, static_cast<int>(s.rate));
      total = processed < 0 ? 0 : processed > 2 * total ? 2 * total : processed;
    }
    out->Write(s.pcm, channels * total * 2);
    return true;
  }

  // Takes all of the block's samples, writing a chunk whenever one fills; a stop or a seek
  // drops the rest.
  void Drain() {
    for (;;) {
      const DWORD room = s.chunk - s.pending;
      const uint32_t got = WmaLibGetPcm(&d.library, s.pcm + s.pending * channels, nullptr, room);
      s.pending += got;
      if (s.pending * 4 >= s.chunk * 3 && !WriteChunk()) return;
      if (got < room) return;
    }
  }

  void Run() {
    while (!s.stop) {
      Seek();
      uint32_t status = 0;
      if (WmaLibDecode(&d.library, &status) == WMA_LIB_OK) {
        Drain();
        continue;
      }
      // The end of the data: what is gathered goes out, then the output plays to its end. A seek
      // meanwhile starts the decoding again.
      if (!WriteChunk()) continue;
      while (!s.stop && s.seekTarget < 0 && out->IsPlaying()) Sleep(kPollMs);
      if (s.stop || s.seekTarget >= 0) continue;
      PostEndOfStream(m.hwndParent, 0);
      return;
    }
  }
};

}  // namespace

DWORD WINAPI WmaDecodeThread(LPVOID) {
  DecModule& m = WmaDecoder;
  if (m.HostSetThreadPriority) m.HostSetThreadPriority();
  WmaDecoderState* d = WmaDecoderBlock();
  if (!d) return 0;
  Decoder decoder{WmaState(), *d};
  decoder.Run();
  return 0;
}
