// The Xing/Info header of a first frame (frame count, byte count, seek table) and the LAME tag
// behind it (replay gain and its reference level), read bit by bit from libmad's pointer.
#include <cstdio>
#include <cstring>

#include "id3_reader.h"
#include "mp3_decoder.h"

#define TAG_IS_VBR TAG_ID(1011, TAG_TYPE_INT)
#define TAG_BITS_PER_SAMPLE TAG_ID(1010, TAG_TYPE_INT)
#define TAG_BIT_RATE TAG_ID(1005, TAG_TYPE_INT)
#define TAG_CHANNELS TAG_ID(1009, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE TAG_ID(1008, TAG_TYPE_INT)
#define TAG_RG_REFERENCE 0x00032716u

namespace {

constexpr unsigned long kXing = 'X' << 24 | 'i' << 16 | 'n' << 8 | 'g';
constexpr unsigned long kInfo = 'I' << 24 | 'n' << 16 | 'f' << 8 | 'o';
constexpr unsigned long kLame = 'L' << 24 | 'A' << 16 | 'M' << 8 | 'E';

}  // namespace

BOOL ParseXingHeader(XingInfo* x, struct mad_bitptr bits, unsigned count) {
  std::memset(x, 0, sizeof *x);
  if (count < 32) return FALSE;
  const unsigned long word = mad_bit_read(&bits, 32);
  count -= 32;
  if (word != kXing && word != kInfo) return FALSE;
  x->isXing = word == kXing;
  if (count < 32) return FALSE;
  x->flags = mad_bit_read(&bits, 32);
  count -= 32;
  const struct {
    DWORD flag;
    unsigned bits;
  } kFields[] = {{XING_FRAMES, 32}, {XING_BYTES, 32}, {XING_TOC, 800}, {0x8, 32}};
  for (const auto& f : kFields) {
    if (!(x->flags & f.flag)) continue;
    if (count < f.bits) {
      x->flags = 0;
      return FALSE;
    }
    if (f.flag == XING_FRAMES) x->frames = mad_bit_read(&bits, 32);
    else if (f.flag == XING_BYTES) x->bytes = mad_bit_read(&bits, 32);
    else if (f.flag == XING_TOC) for (BYTE& t : x->toc) t = static_cast<BYTE>(mad_bit_read(&bits, 8));
    else x->quality = mad_bit_read(&bits, 32);
    count -= f.bits;
  }
  if (count <= 72) return TRUE;
  const unsigned long encoder = mad_bit_read(&bits, 32);
  char version[6] = {};
  for (int i = 0; i < 5; ++i) version[i] = static_cast<char>(mad_bit_read(&bits, 8));
  count -= 72;
  if (count <= 16) return TRUE;
  mad_bit_skip(&bits, 16);
  count -= 16;
  if (count < 64) return TRUE;
  for (BYTE& b : x->replayGain) {
    b = static_cast<BYTE>(mad_bit_read(&bits, 8));
    if (b) x->replayGainPresent = 1;
  }
  if (!x->replayGainPresent || encoder != kLame) return TRUE;
  int major = 0, minor = 0, patch = 0;
  std::sscanf(version, "%d.%d.%d", &major, &minor, &patch);
  const char c = version[4];
  if (major > 3 || (major == 3 && minor > 95) || (major == 3 && minor == 95 && c == '.')) x->referenceOffset = 6.0f;
  if (major > 3 || (major == 3 && minor > 94) || (major == 3 && minor == 94 && c >= 'b')) {
    const auto raw = static_cast<int32_t>(x->replayGain[0] << 24 | x->replayGain[1] << 16 | x->replayGain[2] << 8 |
                                          x->replayGain[3]);
    const float peak = static_cast<float>(raw) / 8388608.0f;
    std::memcpy(x->replayGain, &peak, 4);
  }
  return TRUE;
}

int Mp3LengthMs(const struct mad_header& header, const XingInfo& xing, DWORD audioBytes) {
  if (xing.isXing && xing.frames > 0) {
    mad_timer_t length = header.duration;
    mad_timer_multiply(&length, static_cast<signed long>(xing.frames));
    return static_cast<int>(mad_timer_count(length, MAD_UNITS_MILLISECONDS));
  }
  const unsigned long kbps = header.bitrate / 1000;
  if (audioBytes == 0 || kbps == 0) return 0;
  return static_cast<int>(static_cast<unsigned long long>(audioBytes) * 8 / kbps);
}

void FillMp3StreamInfo(const struct mad_header& header, const XingInfo& xing, IMediaItem* item, DWORD audioBytes) {
  const int length = Mp3LengthMs(header, xing, audioBytes);
  if (length >= 0) {
    item->SetInt(TAG_LENGTH, length);
    if (xing.isXing && xing.frames > 0) item->SetInt(TAG_IS_VBR, 1);
  }
  if (xing.replayGainPresent) {
    float peak;
    std::memcpy(&peak, xing.replayGain, 4);
    ReadLameReplayGain(peak, xing.replayGain + 4, item);
    if (xing.referenceOffset != 0) {
      float reference = 83.0f;
      item->GetFloat(TAG_RG_REFERENCE, &reference);
      item->SetFloat(TAG_RG_REFERENCE, reference + xing.referenceOffset);
    }
  }
  item->SetInt(TAG_BITS_PER_SAMPLE, 16);
  item->SetInt(TAG_BIT_RATE, static_cast<LONG>(header.bitrate));
  item->SetInt(TAG_CHANNELS, header.mode == MAD_MODE_SINGLE_CHANNEL ? 1 : 2);
  item->SetInt(TAG_SAMPLE_RATE, static_cast<LONG>(header.samplerate));
}
