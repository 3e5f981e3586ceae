// The MP3 decode thread: libmad frames to 16-bit PCM in blocks of ten frames, through the
// visualisation, the sample chain and the output module. It polls the stop flag and the seek
// target between frames and while the output is full, so Stop never has to kill it.
#include <algorithm>
#include <cstring>

#include "end_of_stream.h"
#include "id3_frames.h"
#include "mp3_pcm_convert.h"
#include "mp3_play_state.h"
#include "mp3_seek_map.h"

namespace {

constexpr int kBlockPerChannel = 23040;  // ten 1152-sample frames of 16-bit samples
constexpr DWORD kPollMs = 100;
constexpr int kSeekEntries = 4;

struct Decoder {
  Mp3PlayState& s = PlayState();
  DecModule& m = Mp3Decoder;
  const double frameMs = s.sampleRate > 0 ? s.frameSamples * 1000.0 / s.sampleRate : 0;
  const Mp3SeekMap seekMap{s.xing, s.dataSize, s.audioStart, s.lengthMs, frameMs};
  mad_stream stream;
  mad_frame frame;
  mad_synth synth;
  Mp3PcmConverter convert;
  BYTE scratch[2 * kMp3PcmArea];
  long long samplesOut = 0;  // since the last seek
  int baseMs = 0;
  bool endOfInput = false;
  int endStatus = 0;
  int seekTarget = -1;   // ms, while the frames before it are decoded silently
  bool settled = false;  // a frame since the seek has filled the bit reservoir and filter bank
  bool enteredAtStart = false;
  int entries = 0;  // times the file was entered for the seek

  Decoder() {
    mad_stream_init(&stream);
    mad_stream_options(&stream, MAD_OPTION_IGNORECRC);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
  }
  ~Decoder() {
    mad_synth_finish(&synth);
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
  }

  bool Stopping() const { return s.stop.load(); }

  // Moves what libmad has not consumed to the front and reads behind it.
  bool Refill() {
    int keep = 0;
    if (stream.buffer && stream.next_frame) {
      keep = static_cast<int>(s.input + s.inputFill - stream.next_frame);
      std::memmove(s.input, stream.next_frame, static_cast<size_t>(std::max(keep, 0)));
    } else if (stream.buffer) {
      keep = 0;
    } else {
      keep = s.inputFill;  // the bytes the scan left behind the first frame
    }
    s.inputFill = std::max(keep, 0);
    InputSource* src = m.source;
    const int got = src->Read(src, s.input + s.inputFill, 1, kMp3InputSize - s.inputFill);
    if (got < 0) {
      endStatus = 1;
      return false;
    }
    if (got == 0) {
      endOfInput = true;
      const DWORD length = src->GetLength(src);
      if (length > 0 && static_cast<DWORD>(src->Tell(src)) != length) endStatus = 1;
      if (s.inputFill == 0) return false;
    }
    s.inputFill += got;
    std::memset(s.input + s.inputFill, 0, MAD_BUFFER_GUARD);
    mad_stream_buffer(&stream, s.input, static_cast<unsigned long>(s.inputFill + (endOfInput ? MAD_BUFFER_GUARD : 0)));
    return true;
  }

  // The byte, behind the ID3v2 tag, where the frame libmad just decoded begins.
  double FrameByte() {
    InputSource* src = m.source;
    const long long end = static_cast<DWORD>(src->Tell(src));
    return static_cast<double>(end - (s.input + s.inputFill - stream.this_frame) - s.id3Size);
  }

  // Seeks land on the frame nearest the target. The file is entered a few frames early, so that
  // libmad finds its sync and the bit reservoir, and the frames before the target only settle
  // the filter bank; the frame that was entered blind is never heard.
  void Seek(int target) {
    s.positionMs = target;
    entries = 0;
    if (!Enter(target)) return;  // the source refused: decoding goes on where it was
    s.pcmFill = 0;
    baseMs = target;
    samplesOut = 0;
    seekTarget = target;
    if (target < 1) {
      seekTarget = -1;
      if (m.outModule) m.outModule->Flush(0);
    }
  }

  // Positions the source some frames before the target, twice as many on each further try, and
  // starts libmad afresh there; at the first frame the audio needs no run-up.
  bool Enter(int target) {
    InputSource* src = m.source;
    const double average = s.lengthMs > 0 ? (static_cast<double>(s.dataSize) - s.audioStart) * frameMs / s.lengthMs : 0;
    const double frameBytes = std::max(seekMap.ByteOf(target) - seekMap.ByteOf(target - frameMs), average);
    // The frames and the largest bit reservoir (511 bytes) before the target's frame.
    double offset = target > 0 ? seekMap.ByteOf(target) - (3 << entries) * frameBytes - 512 : 0;
    const bool atStart = offset <= s.audioStart;
    if (atStart) offset = s.audioStart;
    if (src->Seek(src, INPUT_SEEK_SET, static_cast<int>(static_cast<long long>(offset) + s.id3Size)) != 0) return false;
    ++entries;
    mad_frame_mute(&frame);
    mad_synth_mute(&synth);
    s.inputFill = 0;
    stream.next_frame = nullptr;
    stream.sync = 0;
    stream.error = MAD_ERROR_BUFLEN;
    endOfInput = false;
    settled = atStart;
    enteredAtStart = atStart;
    return true;
  }

  // After a seek: whether the frame just decoded comes before the target and is kept silent.
  // Bytes inside a frame can pass for a frame header, and libmad may then stumble past the
  // target before it is in step again: the file is entered again further back.
  bool BeforeSeekTarget() {
    if (seekTarget < 0) return false;
    const double at = seekMap.TimeOf(FrameByte());
    if (!settled) {
      if (at + frameMs / 2 > seekTarget && !enteredAtStart && entries < kSeekEntries && Enter(seekTarget)) return true;
      settled = true;
      return true;
    }
    if (at + frameMs / 2 < seekTarget) return true;
    if (m.outModule) m.outModule->Flush(seekTarget);
    seekTarget = -1;
    return false;
  }

  void Equalise() {
    const LONG* gains = EqualizerGains();
    const int channels = frame.header.mode == MAD_MODE_SINGLE_CHANNEL ? 1 : 2;
    const int blocks = MAD_NSBSAMPLES(&frame.header);
    for (int ch = 0; ch < channels; ++ch)
      for (int b = 0; b < blocks; ++b)
        for (int sb = 0; sb < 32; ++sb) {
          mad_fixed_t& x = frame.sbsample[ch][b][sb];
          x = static_cast<mad_fixed_t>(((gains[sb] + 0x8000LL) >> 16) * ((static_cast<long long>(x) + 0x800) >> 12));
        }
  }

  void AppendPcm() {
    const int channels = s.channels;
    const unsigned n = synth.pcm.length;
    const size_t bytes = static_cast<size_t>(n) * channels * 2;
    if (s.pcmFill + bytes > sizeof s.pcm) return;
    auto* out = reinterpret_cast<int16_t*>(s.pcm + s.pcmFill);
    for (int ch = 0; ch < channels; ++ch)
      convert.Convert(ch, synth.pcm.samples[std::min(ch, synth.pcm.channels - 1)], n, out + ch, channels);
    s.pcmFill += static_cast<int>(bytes);
  }

  // Waits until the output takes a block; false on a stop or a new seek, which is looked at after
  // the output answers, so a seek given while the output was full never lets the old block out.
  bool WaitForOutput(int bytes) {
    for (;;) {
      const bool room = !m.outModule || m.outModule->CanWrite() >= bytes;
      if (Stopping() || s.seekTarget.load() >= 0) return false;
      if (room) return true;
      Sleep(kPollMs);
    }
  }

  void WriteBlocks(bool atEnd) {
    const int channels = s.channels;
    const int block = channels * kBlockPerChannel;
    int offset = 0;
    while (s.pcmFill - offset >= (atEnd ? 1 : block)) {
      const int bytes = std::min(block, s.pcmFill - offset);
      if (!WaitForOutput(bytes)) return;
      BYTE* data = s.pcm + offset;
      const int timestamp = s.positionMs.load();
      if (m.HostVisAddPCM) m.HostVisAddPCM(data, bytes, channels, 16, timestamp);
      if (m.HostVisNoop) m.HostVisNoop(data, bytes, channels, 16, timestamp);
      samplesOut += bytes / (channels * 2);
      s.positionMs = baseMs + static_cast<int>(samplesOut * 1000 / s.sampleRate);
      int samples = bytes / (channels * 2);
      const int adjust = m.HostDSPAdjust ? m.HostDSPAdjust(samples) : samples;
      if (adjust <= 2 * samples && m.HostProcessSamples) {
        // The sample chain may give back up to twice as many samples: it works on room of its own.
        std::memcpy(scratch, data, static_cast<size_t>(bytes));
        data = scratch;
        samples = std::clamp(m.HostProcessSamples(data, samples, channels, 16, s.sampleRate), 0, 2 * bytes / (channels * 2));
      }
      if (m.outModule) m.outModule->Write(data, samples * channels * 2);
      offset += bytes;
    }
    std::memmove(s.pcm, s.pcm + offset, static_cast<size_t>(s.pcmFill - offset));
    s.pcmFill -= offset;
  }

  void Run() {
    for (;;) {
      if (Stopping()) return;
      const int target = s.seekTarget.exchange(-1);
      if (target >= 0) Seek(target);
      if (!stream.buffer || stream.error == MAD_ERROR_BUFLEN) {
        if (endOfInput || !Refill()) break;
        stream.error = MAD_ERROR_NONE;
      }
      if (mad_frame_decode(&frame, &stream) != 0) {
        if (stream.error == MAD_ERROR_BUFLEN) continue;
        if (stream.error == MAD_ERROR_LOSTSYNC) {
          // A tag between frames is stepped over whole, also past this buffer (libmad carries
          // the rest of the skip into the next); one that claims more than the file holds, or
          // in a stream of unknown length more than a tag may, is junk.
          const long left = stream.bufend - stream.this_frame;
          const int tag = GetId3v2Size(stream.this_frame, static_cast<int>(left));
          const DWORD length = m.source->GetLength(m.source);
          if (tag > 0 && (length ? FrameByte() + s.id3Size + tag <= length : tag < ID3_MAX_TAG))
            mad_stream_skip(&stream, static_cast<unsigned long>(tag));
          continue;
        }
        if (MAD_RECOVERABLE(stream.error)) continue;
        break;
      }
      if (EqualizerOn()) Equalise();
      if (static_cast<int>(frame.header.bitrate) != s.bitrate) {
        s.bitrate = static_cast<int>(frame.header.bitrate);
        if (m.HostStatusUpdate) m.HostStatusUpdate(s.bitrate / 1000, s.sampleRate / 1000, s.channels);
      }
      mad_synth_frame(&synth, &frame);
      if (BeforeSeekTarget()) continue;
      AppendPcm();
      WriteBlocks(false);
    }
    if (Stopping()) return;
    // A seek past the last frame: what the output held before it is not played either.
    if (seekTarget >= 0 && m.outModule) m.outModule->Flush(seekTarget);
    WriteBlocks(true);
  }
};

}  // namespace

DWORD WINAPI Mp3DecodeThread(LPVOID) {
  DecModule& m = Mp3Decoder;
  if (m.HostSetThreadPriority) m.HostSetThreadPriority();
  auto* decoder = new Decoder;
  decoder->Run();
  const int status = decoder->endStatus;
  delete decoder;
  Mp3PlayState& s = PlayState();
  // Let the output play out what it holds; a stop ends the wait at once.
  while (m.outModule && !s.stop.load()) {
    m.outModule->CanWrite();
    if (!m.outModule->IsPlaying()) break;
    Sleep(kPollMs);
  }
  if (s.stop.load()) return 0;
  PostEndOfStream(m.hwndParent, status);
  return 0;
}
