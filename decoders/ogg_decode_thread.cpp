// The Ogg decode thread: Tremor's 16-bit PCM in passes of half the buffer, through the
// visualisation, the sample chain and the output module. It polls the stop flag and the seek
// target between passes and while the output is full, so Stop never has to kill it.
#include <algorithm>
#include <atomic>
#include <climits>

#include "end_of_stream.h"
#include "ogg_decoder.h"
#include "ogg_play_state.h"

namespace {

constexpr DWORD kPollMs = 50;
constexpr int kMostErrorsInARow = 1000;

enum class Wait { kDone, kStopped, kSeek };

struct Decoder {
  explicit Decoder(std::atomic<int>* stop) : stop(*stop) {
    // Tremor knows every link of a file it can seek in; of a stream only the one it is in.
    const OggVorbis_File& vf = s.file.vf;
    linksAlike = vf.seekable && vf.vi;
    for (int i = 0; linksAlike && i < vf.links; ++i)
      linksAlike = vf.vi[i].channels == s.channels && vf.vi[i].rate == s.rate;
  }

  OggDecoderState& s = OggState();
  DecModule& m = OggDecoder;
  std::atomic<int>& stop;
  bool linksAlike = false;
  bool eof = false;
  bool formatChanged = false;
  int endStatus = 0;
  int errorsInARow = 0;
  int baseMs = 0;            // where the samples counted below start: 0, a seek target, a new link
  long long samplesOut = 0;

  bool Stopping() const { return stop.load() != 0; }

  bool SamplesPending() {
    OggVorbis_File& vf = s.file.vf;
    return vf.ready_state == INITSET && vorbis_synthesis_pcmout(&vf.vd, nullptr) > 0;
  }

  bool LinkMatchesOutput() {
    const vorbis_info* info = ov_info(&s.file.vf, -1);
    return info && info->channels == s.channels && info->rate == s.rate;
  }

  // Up to maxBytes of PCM from ov_read calls of readStep bytes each. Debian's Tremor hands out
  // no more than it is asked for, whatever the channel count of the link.
  int ReadPcm(int maxBytes) {
    const int limit = std::min(s.bufferBytes, maxBytes);
    int total = 0;
    while (total + s.readStep <= limit) {
      // Only a new packet can open a link of another format: it starts a pass of its own.
      if (total > 0 && !linksAlike && !SamplesPending()) break;
      long got;
      {
        CSectionLock hold(s.fileLock);
        EqualizedDecode equalized(&s.file);
        got = ov_read(&s.file.vf, reinterpret_cast<char*>(s.pcmBuffer + total), s.readStep, &s.currentSection);
      }
      // Tremor reports a hole once and goes on behind it: what came before it still plays.
      if (got < 0) return total > 0 ? total : static_cast<int>(got);
      if (got == 0) break;
      total += static_cast<int>(got);
      if (!LinkMatchesOutput()) {
        formatChanged = true;
        break;
      }
    }
    return total;
  }

  // Until the output has played what it holds, a stop or a seek.
  Wait Drain() {
    for (;;) {
      if (Stopping()) return Wait::kStopped;
      if (s.seekTargetMs.load() != -1) return Wait::kSeek;
      m.outModule->CanWrite();
      if (!m.outModule->IsPlaying()) return Wait::kDone;
      Sleep(kPollMs);
    }
  }

  // A chained file's next link in another format: the output opens again for it once the old
  // link has played out. A link the output cannot take ends the stream.
  Wait Reopen() {
    const vorbis_info* info = ov_info(&s.file.vf, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0 || info->rate > INT_MAX) {
      OutputDebugStringW(u"Ogg link not playable\r\n");
      return Wait::kStopped;
    }
    const Wait drained = Drain();
    if (drained != Wait::kDone) return drained;
    OutputModule* out = m.outModule;
    out->Close();
    const int latency = out->Open(static_cast<int>(info->rate), info->channels, 16);
    if (latency < 0) {
      OutputDebugStringW(u"iMaxLatency < 0\r\n");
      return Wait::kStopped;
    }
    s.maxLatency = latency;
    s.rate = static_cast<int>(info->rate);
    s.channels = info->channels;
    out->SetVolume(OUTPUT_STORED_VALUE);
    out->SetPan(OUTPUT_STORED_VALUE);
    if (m.HostVisSetInfo) m.HostVisSetInfo(s.rate, s.channels);
    if (m.HostStatusUpdate) m.HostStatusUpdate(static_cast<int>(VorbisFileBitrate(&s.file) / 1000), s.rate / 1000, s.channels);
    baseMs = s.decodedMs;
    samplesOut = 0;
    return Wait::kDone;
  }

  void Seek(int target) {
    eof = false;
    OutputDebugStringW(u"Ogg seeking...\r\n");
    int result;
    {
      CSectionLock hold(s.fileLock);
      EqualizedDecode equalized(&s.file);
      result = ov_time_seek(&s.file.vf, target);
    }
    if (result != 0) {
      // Decoding goes on where Tremor stands; the position is not moved to a place never reached.
      OutputDebugStringW(u"Ogg seek failed\r\n");
      return;
    }
    OutputDebugStringW(u"Ogg seeked...\r\n");
    baseMs = target;
    samplesOut = 0;
    s.decodedMs = target;
    m.outModule->Flush(target);
  }

  void Write(int bytes) {
    const int channels = s.channels;
    BYTE* data = s.pcmBuffer;
    if (m.HostVisAddPCM) m.HostVisAddPCM(data, bytes, channels, 16, s.decodedMs);
    if (m.HostVisNoop) m.HostVisNoop(data, bytes, channels, 16, s.decodedMs);
    int samples = bytes / (2 * channels);
    // Counted from the last seek, so the position never drifts by a pass's rounding.
    samplesOut += samples;
    s.decodedMs = baseMs + static_cast<int>(samplesOut * 1000 / s.rate);
    // The chain works in place and may hand back up to the whole allocation.
    const int room = s.bufferBytes / (2 * channels);
    const int adjusted = m.HostDSPAdjust ? m.HostDSPAdjust(samples) : samples;
    if (adjusted <= room && m.HostProcessSamples)
      samples = std::clamp(m.HostProcessSamples(data, samples, channels, 16, s.rate), 0, 2 * room);
    m.outModule->Write(data, channels * samples * 2);
  }

  // True at the end of the stream, false on a stop.
  bool Run() {
    bool eofLogged = false;
    for (;;) {
      if (Stopping()) return false;
      const int target = s.seekTargetMs.exchange(-1);
      if (target != -1) {
        Seek(target);
        eofLogged = false;
      } else if (eof) {
        if (!eofLogged) OutputDebugStringW(u"Ogg EOF...\r\n");
        eofLogged = true;
        m.outModule->CanWrite();
        if (!m.outModule->IsPlaying()) return true;
        Sleep(kPollMs);
        continue;
      }
      const int half = s.bufferBytes / 2;
      if (m.outModule->CanWrite() < half) {
        Sleep(kPollMs);
        continue;
      }
      formatChanged = false;
      const int n = ReadPcm(half);
      if (n < 0) {
        // Tremor steps over damaged data by itself; only a file that never yields again ends.
        if (++errorsInARow >= kMostErrorsInARow) {
          endStatus = 1;
          eof = true;
        }
        continue;
      }
      errorsInARow = 0;
      if (n == 0) {
        eof = true;
        continue;
      }
      if (formatChanged) {
        const Wait reopened = Reopen();
        if (reopened == Wait::kSeek) continue;  // the new link's first samples are skipped by the seek
        if (reopened == Wait::kStopped) {
          if (Stopping()) return false;
          endStatus = 1;
          eof = true;
          continue;
        }
      }
      Write(n);
    }
  }
};

}  // namespace

DWORD WINAPI OggDecodeThread(LPVOID stopFlag) {
  DecModule& m = OggDecoder;
  if (m.HostSetThreadPriority) m.HostSetThreadPriority();
  auto* stop = static_cast<std::atomic<int>*>(stopFlag);
  if (stop->load() != 0) return 0;
  Decoder decoder(stop);
  if (!decoder.Run()) return 0;
  PostEndOfStream(m.hwndParent, decoder.endStatus);
  return 0;
}
