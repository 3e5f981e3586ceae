// The ASF header as the WMA library reads it: the file properties (packet size and count, length,
// preroll), the audio stream's format and its error-correction span, the Content Description's
// place in the file and the stream's extra data. The objects are walked by the tag reader's own
// walk; every size is checked against the object it is in.
#include <algorithm>
#include <cstring>

#include "asf_guids.h"
#include "asf_objects.h"
#include "wma_lib.h"

using namespace asf;

namespace {

constexpr uint32_t kHeadSize = 30;
constexpr size_t kData = kObjectHead;  // where an object's data begin

int ReadFileProperties(const AsfObject& o, tWMAFileHdrStateInternal& h) {
  if (o.size - kData < 80) return WMA_LIB_SHORT_READ;
  const unsigned long long packets = Le64(o.data + 56);
  const DWORD minSize = Le32(o.data + 92), maxSize = Le32(o.data + 96);
  if (minSize != maxSize || packets == 0) return WMA_LIB_UNSUPPORTED;
  if (minSize == 0 || minSize > kWmaMaxPacketSize) return WMA_LIB_UNSUPPORTED;
  h.packetSize = minSize;
  h.packetCount = static_cast<uint32_t>(packets);
  h.durationMs = WmaHundredNsToMs(Le64(o.data + 72));
  h.prerollMs = Le32(o.data + 80);
  return WMA_LIB_OK;
}

// The WAVEFORMATEX of an audio stream and the extra bytes behind it, by format tag.
int ReadAudioFormat(const BYTE* w, size_t length, tWMAFileHdrStateInternal& h) {
  if (length < 18) return WMA_LIB_UNSUPPORTED;
  const WORD tag = Le16(w);
  switch (tag) {
    case 0x160:
      if (length < 22) return WMA_LIB_UNSUPPORTED;
      h.codecVersion = kWmaCodecV1;
      h.samplesPerBlock = Le16(w + 18);
      h.encodeOptions = Le16(w + 20);
      break;
    case 0x161:
      if (length < 28) return WMA_LIB_UNSUPPORTED;
      h.codecVersion = kWmaCodecV2;
      h.samplesPerBlock = Le32(w + 18);
      h.encodeOptions = Le16(w + 22);
      break;
    case 0x130:
      if (length < 22) return WMA_LIB_UNSUPPORTED;
      h.codecVersion = kWmaCodec130;
      h.samplesPerBlock = Le32(w + 18);  // its low 16 bits: the coder's mode
      h.encodeOptions = 0;
      break;
    default:
      return WMA_LIB_UNSUPPORTED;
  }
  h.channels = Le16(w + 2);
  h.sampleRate = Le32(w + 4);
  h.avgBytesPerSecond = Le32(w + 8);
  h.blockAlign = Le16(w + 12);
  return WMA_LIB_OK;
}

int ReadStreamProperties(const AsfObject& o, tWMAFileHdrStateInternal& h) {
  if (o.size - kData < 54) return WMA_LIB_SHORT_READ;
  const BYTE* type = o.data + kData;
  const BYTE* correction = o.data + kData + 16;
  const unsigned long long typeLength = Le32(o.data + 64), correctionLength = Le32(o.data + 68);
  const uint8_t number = o.data[72] & 0x7F;
  if (kAsfKeptStreamType.At(type)) {
    h.keptStream = number;
    return WMA_LIB_OK;
  }
  if (!kAsfAudioMedia.At(type)) return WMA_LIB_OK;
  if (typeLength + correctionLength > o.size - 78) return WMA_LIB_SHORT_READ;
  if (typeLength > 0) {
    const int result = ReadAudioFormat(o.data + 78, static_cast<size_t>(typeLength), h);
    if (result != WMA_LIB_OK) return result;
  }
  uint32_t span = 0;
  if (correctionLength > 0) {
    const BYTE* e = o.data + 78 + typeLength;
    if (kAsfSpanCorrection.At(correction)) {
      if (correctionLength < 9) return WMA_LIB_SHORT_READ;
      span = Le32(e);
    } else if (kAsfAudioSpread.At(correction)) {
      if (correctionLength < 8) return WMA_LIB_SHORT_READ;
      span = e[0] * static_cast<uint32_t>(Le16(e + 1));
    } else {
      return WMA_LIB_UNSUPPORTED;
    }
  }
  h.spanBytes = h.blockAlign ? h.channels * (span / h.blockAlign) * h.samplesPerBlock * 2 : 0;
  h.audioStream = number;
  return WMA_LIB_OK;
}

// The five lengths, each cut so that no string reaches past the object.
int ReadContentDescription(const AsfObject& o, uint32_t objectOffset, tWMAFileHdrStateInternal& h) {
  if (o.size - kData < 10) return WMA_LIB_SHORT_READ;
  size_t room = o.size - kData - 10;
  for (int k = 0; k < 5; ++k) {
    const size_t length = std::min<size_t>(Le16(o.data + kData + 2 * k), room);
    h.descriptionLengths[k] = static_cast<uint16_t>(length);
    room -= length;
  }
  h.descriptionOffset = objectOffset + static_cast<uint32_t>(kData) + 10;
  return WMA_LIB_OK;
}

// Extra data of the audio stream: kept as far as the header state has room for them.
int ReadExtraData(const AsfObject& o, tWMAFileHdrStateInternal& h) {
  if (o.size - kData < 8) return WMA_LIB_SHORT_READ;
  const unsigned long long length = Le32(o.data + kData + 4);
  if (8 + length > o.size - kData) return WMA_LIB_BAD_RATE;
  h.extraDataLength = static_cast<uint32_t>(std::min<unsigned long long>(length, kWmaExtraDataSlot));
  std::memcpy(h.extraData, o.data + kData + 8, h.extraDataLength);
  return WMA_LIB_OK;
}

}  // namespace

uint32_t WmaHundredNsToMs(uint64_t units) {
  const uint64_t ms = units / 10000;
  return ms > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

int AsfParseHeader(WmaLibState* s) {
  tWMAFileHdrStateInternal& h = s->header;
  h.currentOffset = 0;
  h.descriptionOffset = 0;
  std::fill(std::begin(h.descriptionLengths), std::end(h.descriptionLengths), 0);
  h.codecVersion = 0;
  h.packetSize = h.packetCount = 0;
  h.extraDataLength = 0;
  uint8_t head[kHeadSize];
  const int read = WmaLibReadBytes(s, 0, kHeadSize, head);
  if (read != WMA_LIB_OK) return read;
  if (!kAsfHeader.At(head) || head[28] != 1 || head[29] != 2) return WMA_LIB_NOT_ASF;
  const unsigned long long size = Le64(head + 16);
  if (size <= kHeadSize || size > ASF_MAX_HEADER) return WMA_LIB_UNSUPPORTED;
  h.headerSize = static_cast<uint32_t>(size);
  h.dataStart = h.headerSize + 50;
  h.currentOffset = kHeadSize;
  std::vector<uint8_t> objects(h.headerSize - kHeadSize);
  const int body = WmaLibReadBytes(s, kHeadSize, static_cast<uint32_t>(objects.size()), objects.data());
  if (body != WMA_LIB_OK) return body;
  int result = WMA_LIB_OK;
  WalkObjects(objects.data(), objects.size(), Le32(head + 24), [&](const AsfObject& o) {
    if (result != WMA_LIB_OK) return;
    const uint32_t at = kHeadSize + static_cast<uint32_t>(o.data - objects.data());
    if (kAsfFileProperties.At(o.data)) result = ReadFileProperties(o, h);
    else if (kAsfStreamProperties.At(o.data) || kAsfStreamPropertiesEx.At(o.data)) result = ReadStreamProperties(o, h);
    else if (kAsfContentDescription.At(o.data)) result = ReadContentDescription(o, at, h);
    else if (kAsfAudioExtraData.At(o.data)) result = ReadExtraData(o, h);
    h.currentOffset = at + static_cast<uint32_t>(o.size);
  });
  if (result != WMA_LIB_OK) return result;
  // Without a supported audio stream or a fixed packet size there is nothing to decode.
  if (h.codecVersion == 0 || h.packetSize == 0) return WMA_LIB_UNSUPPORTED;
  return WMA_LIB_OK;
}
