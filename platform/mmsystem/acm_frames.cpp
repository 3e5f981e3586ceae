// The frame converter and the G.711 expansions (ITU-T G.711: A-law and mu-law codes to
// 16-bit linear samples).
#include "mmsystem/acm_frames.h"

#include <array>

namespace zb::acm {
namespace {

constexpr int16_t ExpandAlaw(uint8_t code) {
  int a = code ^ 0x55;
  int segment = (a & 0x70) >> 4;
  int value = (a & 0x0F) << 4;
  value += segment == 0 ? 8 : 0x108;
  if (segment > 1) value <<= segment - 1;
  return static_cast<int16_t>(a & 0x80 ? value : -value);
}

constexpr int16_t ExpandMulaw(uint8_t code) {
  int u = ~code & 0xFF;
  int value = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
  return static_cast<int16_t>(u & 0x80 ? 0x84 - value : value - 0x84);
}

template <int16_t (*Expand)(uint8_t)>
constexpr std::array<int16_t, 256> Table() {
  std::array<int16_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = Expand(static_cast<uint8_t>(i));
  return t;
}

constexpr auto kAlaw = Table<ExpandAlaw>();
constexpr auto kMulaw = Table<ExpandMulaw>();

int16_t ReadSample(Coding coding, const uint8_t* p) {
  switch (coding) {
    case Coding::Pcm8: return static_cast<int16_t>((p[0] - 128) * 256);
    case Coding::Pcm16: return static_cast<int16_t>(p[0] | p[1] << 8);
    case Coding::Alaw: return kAlaw[p[0]];
    case Coding::Mulaw: return kMulaw[p[0]];
  }
  return 0;
}

void WriteSample(Coding coding, int16_t s, uint8_t* p) {
  if (coding == Coding::Pcm8) {
    p[0] = static_cast<uint8_t>((s >> 8) + 128);
  } else {
    p[0] = static_cast<uint8_t>(s & 0xFF);
    p[1] = static_cast<uint8_t>((s >> 8) & 0xFF);
  }
}

}  // namespace

int16_t AlawToLinear(uint8_t code) { return kAlaw[code]; }
int16_t MulawToLinear(uint8_t code) { return kMulaw[code]; }

bool CodingOf(const WAVEFORMATEX& f, Coding* coding) {
  if (f.nChannels < 1 || f.nChannels > 2 || f.nSamplesPerSec == 0) return false;
  if (f.wFormatTag == WAVE_FORMAT_PCM && (f.wBitsPerSample == 8 || f.wBitsPerSample == 16)) {
    *coding = f.wBitsPerSample == 8 ? Coding::Pcm8 : Coding::Pcm16;
  } else if ((f.wFormatTag == WAVE_FORMAT_ALAW || f.wFormatTag == WAVE_FORMAT_MULAW) && f.wBitsPerSample == 8) {
    *coding = f.wFormatTag == WAVE_FORMAT_ALAW ? Coding::Alaw : Coding::Mulaw;
  } else {
    return false;
  }
  return f.nBlockAlign == static_cast<DWORD>(f.nChannels) * f.wBitsPerSample / 8;
}

FrameConverter::FrameConverter(const WAVEFORMATEX& source, const WAVEFORMATEX& destination)
    : source_(source), destination_(destination) {
  CodingOf(source_, &sourceCoding_);
  CodingOf(destination_, &destinationCoding_);
}

void FrameConverter::Restart() {
  framesIn_ = 0;
  framesOut_ = 0;
}

uint32_t FrameConverter::DestinationBytesFor(uint32_t bytes) const {
  uint64_t frames = bytes / source_.nBlockAlign;
  uint64_t out = (frames * destination_.nSamplesPerSec + source_.nSamplesPerSec - 1) / source_.nSamplesPerSec;
  uint64_t total = out * destination_.nBlockAlign;
  return total > 0xFFFFFFFFu ? 0xFFFFFFFFu - 0xFFFFFFFFu % destination_.nBlockAlign : static_cast<uint32_t>(total);
}

uint32_t FrameConverter::SourceBytesFor(uint32_t bytes) const {
  uint64_t frames = bytes / destination_.nBlockAlign;
  uint64_t in = frames * source_.nSamplesPerSec / destination_.nSamplesPerSec;
  uint64_t total = in * source_.nBlockAlign;
  return total > 0xFFFFFFFFu ? 0xFFFFFFFFu - 0xFFFFFFFFu % source_.nBlockAlign : static_cast<uint32_t>(total);
}

void FrameConverter::Convert(const uint8_t* source, uint32_t sourceBytes, uint8_t* destination,
                             uint32_t destinationBytes, uint32_t* sourceUsed, uint32_t* destinationUsed) {
  const unsigned inChannels = source_.nChannels, outChannels = destination_.nChannels;
  const unsigned inSample = source_.nBlockAlign / inChannels, outSample = destination_.nBlockAlign / outChannels;
  const uint64_t available = sourceBytes / source_.nBlockAlign;
  const uint64_t room = destinationBytes / destination_.nBlockAlign;
  auto sourceFrameOf = [this](uint64_t k) { return k * source_.nSamplesPerSec / destination_.nSamplesPerSec; };

  uint64_t produced = 0;
  uint64_t k = framesOut_;
  for (; produced < room; ++k, ++produced) {
    uint64_t j = sourceFrameOf(k);
    if (j >= framesIn_ + available) break;
    const uint8_t* in = source + (j - framesIn_) * source_.nBlockAlign;
    int16_t left = ReadSample(sourceCoding_, in);
    int16_t right = inChannels == 2 ? ReadSample(sourceCoding_, in + inSample) : left;
    uint8_t* out = destination + produced * destination_.nBlockAlign;
    if (outChannels == 1) {
      WriteSample(destinationCoding_, static_cast<int16_t>((left + right) / 2), out);
    } else {
      WriteSample(destinationCoding_, left, out);
      WriteSample(destinationCoding_, right, out + outSample);
    }
  }
  // Source frames before the next output's frame are done with; the rest waits for more room.
  uint64_t consumed = std::min<uint64_t>(available, sourceFrameOf(k) - framesIn_);
  framesIn_ += consumed;
  framesOut_ = k;
  *sourceUsed = static_cast<uint32_t>(consumed * source_.nBlockAlign);
  *destinationUsed = static_cast<uint32_t>(produced * destination_.nBlockAlign);
}

}  // namespace zb::acm
