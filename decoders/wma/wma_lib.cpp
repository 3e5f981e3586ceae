// The WMA library's calls: creating it over a file, setting up the audio decoder from the header,
// the format and the Content Description strings, and the decode loop that turns the audio
// decoder's answers into the library's result codes.
#include "wma_lib.h"

#include <algorithm>

#include "wma_asf_packets.h"

const uint32_t kWmaRates[kWmaRateCount] = {44100, 32000, 22050, 16000, 11025, 8000};

namespace {

constexpr uint32_t kReadPiece = 128;

// The audio decoder's set-up codes as library codes.
int MapAudioResult(int code) {
  switch (code) {
    case 0:
    case 11:
      return WMA_LIB_OK;
    case 1: return 5;
    case 2: return 6;
    case 3: return 7;
    case 4: return 9;
    case 5: return 10;
    case 6: return 11;
    case 7: return 12;
    case 10: return WMA_LIB_NULL;
    default: return WMA_LIB_INTERNAL;
  }
}

// Why the data ended: the walk's failure, or the plain end of the packets.
int EndCode(const WmaLibState* s) { return s->walk.lastError ? s->walk.lastError : WMA_LIB_END; }

}  // namespace

int WmaRateIndex(uint32_t sampleRate) {
  for (int i = 0; i < kWmaRateCount; ++i)
    if (kWmaRates[i] == sampleRate) return i;
  return -1;
}

int WmaLibReadBytes(WmaLibState* s, uint32_t offset, uint32_t count, uint8_t* destination) {
  if (!s || !s->read) return WMA_LIB_NULL;
  while (count > 0) {
    const uint8_t* data = nullptr;
    const uint32_t want = std::min(count, kReadPiece);
    const uint32_t got = s->read(s->host, offset, want, &data);
    if (got < want || !data) return WMA_LIB_SHORT_READ;
    if (destination) {
      std::copy(data, data + want, destination);
      destination += want;
    }
    if (offset + want < offset) return WMA_LIB_SHORT_READ;
    offset += want;
    count -= want;
  }
  return WMA_LIB_OK;
}

int WmaLibCreate(WmaLibState* s) {
  if (!s) return WMA_LIB_NULL;
  if (s->debug)
    s->debug("** Internal Warning: sizeof(tWMAFileHdrStateInternal) = %d < %d .\n\r", 440, 460);
  if (AsfParseHeader(s) != WMA_LIB_OK) return WMA_LIB_SHORT_READ;
  return s->header.codecVersion == kWmaCodec130 ? WMA_LIB_FORMAT_130 : WMA_LIB_OK;
}

int WmaLibParseHeader(WmaLibState* s) {
  if (!s) return WMA_LIB_NULL;
  s->walk = WmaPacketWalk{};
  s->samplesOut = 0;
  s->startPending = false;
  s->ready = false;
  tWMAFileHdrStateInternal& h = s->header;
  h.parseState = WMA_PARSE_HEADER;
  if (AsfParseHeader(s) != WMA_LIB_OK) return WMA_LIB_SHORT_READ;
  const int rate = WmaRateIndex(h.sampleRate);
  if (rate < 0) return WMA_LIB_BAD_RATE;
  if (h.codecVersion == kWmaCodec130) return WMA_LIB_NO_DECODER;  // no decoder for any of its modes
  if (h.blockAlign == 0) return WMA_LIB_UNSUPPORTED;
  WmaAudioConfig config{};
  config.version = static_cast<uint8_t>(h.codecVersion);
  config.rateIndex = static_cast<uint8_t>(rate);
  config.channels = static_cast<uint8_t>(std::min<uint16_t>(h.channels, 255));
  config.avgBytesPerSecond = h.avgBytesPerSecond;
  config.blockAlign = h.blockAlign;
  config.samplesPerBlock = h.samplesPerBlock;
  config.encodeOptions = h.encodeOptions;
  config.supply = WmaLibSupplyPacket;
  config.supplyContext = s;
  if (h.channels > 2) return MapAudioResult(WMA_AUDIO_BAD_CHANNELS);
  const int setup = WmaAudioInit(&s->audio, &config);
  if (setup != WMA_AUDIO_OK) return MapAudioResult(setup);
  const uint64_t last = h.dataStart + static_cast<uint64_t>(h.packetSize) * (h.packetCount ? h.packetCount - 1 : 0);
  h.lastPacketOffset = static_cast<uint32_t>(std::min<uint64_t>(last, 0xFFFFFFFFull));
  s->ready = true;
  WmaLibSeek(s, 0);
  return WMA_LIB_OK;
}

int WmaLibGetFormat(WmaLibState* s, WmaFormatInfo* info) {
  if (!s || !info) return WMA_LIB_NULL;
  const tWMAFileHdrStateInternal& h = s->header;
  const int rate = WmaRateIndex(h.sampleRate);
  if (rate < 0) return WMA_LIB_BAD_RATE;
  *info = WmaFormatInfo{};
  info->codecVersion = static_cast<uint8_t>(h.codecVersion);
  info->rateIndex = static_cast<uint8_t>(rate);
  info->channels = static_cast<uint8_t>(h.channels);
  info->durationMs = h.durationMs;
  info->packetSize = h.packetSize;
  info->avgBytesPerSecond = h.avgBytesPerSecond;
  info->blockAlign = h.blockAlign;
  info->extraDataLength = h.extraDataLength;
  info->bitRate = h.avgBytesPerSecond * 8;
  return WMA_LIB_OK;
}

// Each requested string is cut to fit its buffer with room for a terminating zero, which is
// always written; its count comes back as the file's full length.
int WmaLibGetContentDescription(WmaLibState* s, WmaContentDescription* request) {
  if (!s || !request) return WMA_LIB_NULL;
  const tWMAFileHdrStateInternal& h = s->header;
  uint32_t offset = h.descriptionOffset;
  for (int k = 0; k < 5; ++k) {
    const uint32_t length = h.descriptionOffset ? h.descriptionLengths[k] : 0;
    const uint32_t room = request->lengths[k];
    if (room > 0) {
      char16_t* buffer = request->buffers[k];
      if (!buffer) return WMA_LIB_NULL;
      if (room >= 2) {
        const uint32_t copy = std::min(length, room - 2) & ~1u;
        if (copy) {
          const int read = WmaLibReadBytes(s, offset, copy, reinterpret_cast<uint8_t*>(buffer));
          if (read != WMA_LIB_OK) return read;
        }
        buffer[copy / 2] = 0;
      }
      request->lengths[k] = static_cast<uint16_t>(length);
    } else {
      request->lengths[k] = h.descriptionOffset ? static_cast<uint16_t>(length) : 0;
    }
    offset += length;
  }
  return WMA_LIB_OK;
}

int WmaLibDecode(WmaLibState* s, uint32_t* status) {
  if (!s) return WMA_LIB_NULL;
  if (status) *status = 0;
  if (s->header.codecVersion != kWmaCodecV1 && s->header.codecVersion != kWmaCodecV2) return WMA_LIB_NO_DECODER;
  if (!s->ready) return WMA_LIB_UNSUPPORTED;
  WmaAudioDecoder& a = s->audio;
  // A packet that ends or breaks gives no samples; a few are walked over before the caller gets
  // its turn again (to look at its stop request).
  for (int step = 0; step < 64; ++step) {
    if (s->startPending) {
      WmaAudioStartPacket(&a);
      s->startPending = false;
    }
    uint32_t samples = 0;
    const int result = WmaAudioDecode(&a, &samples);
    if (result == WMA_DECODED) {
      if (status) *status = samples;
      return WMA_LIB_OK;
    }
    if (WmaAudioIsOutOfData(&a)) return EndCode(s);
    if (result != WMA_PACKET_LOST && result != WMA_PACKET_DONE) WmaAudioReset(&a);
    s->startPending = true;
  }
  return WMA_LIB_OK;
}

uint32_t WmaLibGetPcm(WmaLibState* s, int16_t* left, int16_t* right, uint32_t maxSamples) {
  if (!s || !left) return 0;
  if (!right) right = left + 1;
  if (s->audio.channels == 1) right = left;
  const uint32_t n = WmaAudioGetPcm(&s->audio, left, right, maxSamples);
  s->samplesOut += n;
  return n;
}
