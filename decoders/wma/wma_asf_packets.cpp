// Reading ASF data packets: the error-correction, length-type and property flags, the payload
// headers (with replicated data, presentation times and compressed sub-payloads), and the cutting
// of the audio payloads' bytes into the stream's packets of block-align bytes. Every field is read
// inside the packet; a payload's bytes are taken at their offset into their media object, so a
// media object split over packets joins up again and a missing piece drops only its packet.
#include "wma_asf_packets.h"

#include <algorithm>
#include <cstring>

namespace {

// A little-endian field of 0, 1, 2 or 4 bytes by its length type.
bool ReadField(const uint8_t* p, uint32_t end, uint32_t* pos, int type, uint32_t* value) {
  static constexpr uint32_t kBytes[4] = {0, 1, 2, 4};
  const uint32_t n = kBytes[type & 3];
  if (end - *pos < n) return false;
  uint32_t v = 0;
  for (uint32_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(p[*pos + i]) << (8 * i);
  *pos += n;
  *value = v;
  return true;
}

bool PropertyFlagsValid(uint8_t flags) {
  const int offsetType = (flags >> 2) & 3;
  return flags == 0x5D ||
         (((flags >> 6) & 3) == 1 && ((flags >> 4) & 3) == 1 && (flags & 3) == 1 && offsetType >= 1);
}

// Copies payload bytes into the packet being cut: `phase` is the first byte's offset in its
// media object. Returns the bytes used; a complete packet leaves unitFill at the block align.
uint32_t Cut(WmaPacketWalk& w, uint32_t align, const uint8_t* bytes, uint32_t length, uint32_t phase) {
  const uint32_t want = phase % align;
  if (w.unitFill != want) {
    // Out of step with the packet being filled: a piece went missing. Drop the packet and go on
    // at the next packet boundary of this object.
    if (w.unitFill) ++w.unitsDropped;
    w.unitFill = 0;
    return std::min(length, (align - want) % align);
  }
  const uint32_t n = std::min(length, align - w.unitFill);
  std::memcpy(w.unit.data() + w.unitFill, bytes, n);
  w.unitFill += n;
  return n;
}

}  // namespace

int WmaParsePacketHeader(const uint8_t* p, uint32_t size, WmaPacketInfo* info) {
  *info = WmaPacketInfo{};
  uint32_t pos = 0;
  if (size < 1) return WMA_LIB_NOT_ASF;
  if (p[0] & 0x80) {
    if (p[0] & 0x10) {
      info->skip = true;
      return WMA_LIB_OK;
    }
    if ((p[0] & 0x60) != 0 || (p[0] & 0x0F) != 2) return WMA_LIB_UNSUPPORTED;
    pos = 3;
  }
  if (size - std::min(pos, size) < 2) return WMA_LIB_NOT_ASF;
  const uint8_t lengthFlags = p[pos], property = p[pos + 1];
  pos += 2;
  const int packetLengthType = (lengthFlags >> 5) & 3, paddingType = (lengthFlags >> 3) & 3;
  if ((packetLengthType != 0 && packetLengthType != 2) || paddingType == 3 || !PropertyFlagsValid(property))
    return WMA_LIB_UNSUPPORTED;
  uint32_t packetLength = 0, sequence = 0, padding = 0, sendTime = 0, duration = 0;
  if (!ReadField(p, size, &pos, packetLengthType, &packetLength) ||
      !ReadField(p, size, &pos, (lengthFlags >> 1) & 3, &sequence) ||
      !ReadField(p, size, &pos, paddingType, &padding) || !ReadField(p, size, &pos, 3, &sendTime) ||
      !ReadField(p, size, &pos, 2, &duration))
    return WMA_LIB_NOT_ASF;
  uint32_t end = packetLengthType && packetLength < size ? packetLength : size;
  if (end < pos || padding > end - pos) return WMA_LIB_NOT_ASF;
  end -= padding;
  info->multiple = lengthFlags & 1;
  info->propertyFlags = property;
  info->sendTime = sendTime;
  info->duration = static_cast<uint16_t>(duration);
  info->payloadCount = 1;
  if (info->multiple) {
    if (pos >= end) return WMA_LIB_NOT_ASF;
    const uint8_t payloadFlags = p[pos++];
    info->payloadLengthType = payloadFlags >> 6;
    info->payloadCount = payloadFlags & 63;
    if ((info->payloadLengthType != 1 && info->payloadLengthType != 2) || info->payloadCount == 0)
      return WMA_LIB_UNSUPPORTED;
  }
  info->firstPayload = pos;
  info->end = end;
  return WMA_LIB_OK;
}

int WmaParsePayload(const uint8_t* p, const WmaPacketInfo& info, uint32_t cursor, WmaPayload* out, uint32_t* next) {
  WmaPayload pl{};
  uint32_t pos = cursor, replicated = 0;
  const uint32_t end = info.end;
  if (pos >= end) return WMA_LIB_END;
  pl.stream = p[pos++] & 0x7F;
  const uint8_t f = info.propertyFlags;
  if (!ReadField(p, end, &pos, (f >> 4) & 3, &pl.mediaObject) || !ReadField(p, end, &pos, (f >> 2) & 3, &pl.objectOffset) ||
      !ReadField(p, end, &pos, f & 3, &replicated) || end - pos < replicated)
    return WMA_LIB_END;
  if (replicated == 1) {
    pl.compressed = true;
    pl.presentationTime = pl.objectOffset;
    pl.timed = true;
  } else if (replicated >= 8) {
    pl.presentationTime = p[pos + 4] | p[pos + 5] << 8 | p[pos + 6] << 16 | static_cast<uint32_t>(p[pos + 7]) << 24;
    pl.timed = true;
  }
  pos += replicated;
  if (info.multiple) {
    if (!ReadField(p, end, &pos, info.payloadLengthType, &pl.length)) return WMA_LIB_END;
  } else {
    pl.length = end - pos;
  }
  if (pl.length > end - pos) return WMA_LIB_END;
  pl.data = pos;
  *next = pos + pl.length;
  *out = pl;
  return WMA_LIB_OK;
}

int WmaReadPacket(WmaLibState* s, uint32_t offset) {
  WmaPacketWalk& w = s->walk;
  w.packet.resize(s->header.packetSize);
  const int read = WmaLibReadBytes(s, offset, s->header.packetSize, w.packet.data());
  if (read != WMA_LIB_OK) return read;
  return WmaParsePacketHeader(w.packet.data(), s->header.packetSize, &w.info) == WMA_LIB_OK ? WMA_LIB_OK
                                                                                            : WMA_LIB_NOT_ASF;
}

int WmaNextAudioPayload(WmaLibState* s) {
  tWMAFileHdrStateInternal& h = s->header;
  WmaPacketWalk& w = s->walk;
  for (;;) {
    // A payload just fed is followed by the rest of its packet's payloads.
    if (h.parseState != WMA_PARSE_NEXT_PAYLOAD && h.parseState != WMA_PARSE_AUDIO_PAYLOAD) {
      if (h.nextPacketOffset > h.lastPacketOffset || h.nextPacketOffset < h.dataStart) return WMA_LIB_END;
      h.currentOffset = h.nextPacketOffset;
      h.nextPacketOffset = h.nextPacketOffset + h.packetSize < h.nextPacketOffset ? 0xFFFFFFFFu
                                                                                 : h.nextPacketOffset + h.packetSize;
      h.parseState = WMA_PARSE_NEXT_PACKET;
      const int read = WmaReadPacket(s, h.currentOffset);
      if (read != WMA_LIB_OK) return read;
      ++w.packetsRead;
      if (w.info.skip) continue;
      w.payloadIndex = 0;
      w.cursor = w.info.firstPayload;
      h.parseState = WMA_PARSE_NEXT_PAYLOAD;
    }
    if (w.payloadIndex >= w.info.payloadCount) {
      h.parseState = WMA_PARSE_NEXT_PACKET;
      continue;
    }
    uint32_t next = 0;
    const int parsed = WmaParsePayload(w.packet.data(), w.info, w.cursor, &w.payload, &next);
    if (parsed != WMA_LIB_OK) return parsed;
    w.cursor = next;
    ++w.payloadIndex;
    if (w.payload.stream != h.audioStream) continue;  // another stream's payload
    w.fed = w.subStart = w.subEnd = 0;
    ++w.audioPayloads;
    w.audioBytes += w.payload.length;
    h.parseState = WMA_PARSE_AUDIO_PAYLOAD;
    return WMA_LIB_OK;
  }
}

void WmaResetWalk(WmaLibState* s) {
  WmaPacketWalk& w = s->walk;
  w.unitFill = 0;
  w.fed = w.subStart = w.subEnd = 0;
  w.payload = WmaPayload{};
  w.lastError = 0;
  s->header.parseState = WMA_PARSE_NEXT_PACKET;
}

uint32_t WmaLibSupplyPacket(void* state, const uint8_t** data) {
  auto* s = static_cast<WmaLibState*>(state);
  WmaPacketWalk& w = s->walk;
  const uint32_t align = s->header.blockAlign;
  w.unit.resize(align);
  for (;;) {
    const bool feeding = s->header.parseState == WMA_PARSE_AUDIO_PAYLOAD && w.fed < w.payload.length;
    if (!feeding) {
      const int next = w.lastError ? w.lastError : WmaNextAudioPayload(s);
      if (next != WMA_LIB_OK) {
        w.lastError = next;
        if (!w.unitFill) return 0;
        // The stream ends inside a packet: what there is of it.
        const uint32_t size = w.unitFill;
        w.unitFill = 0;
        ++w.unitsOut;
        *data = w.unit.data();
        return size;
      }
      continue;
    }
    const uint8_t* bytes = w.packet.data() + w.payload.data;
    uint32_t end = w.payload.length, phase = w.payload.objectOffset + w.fed;
    if (w.payload.compressed) {
      // Sub-payloads, each a whole media object behind its length byte.
      if (w.fed >= w.subEnd) {
        w.subStart = w.fed + 1;
        w.subEnd = std::min(w.subStart + bytes[w.fed], w.payload.length);
        w.fed = std::min(w.subStart, w.payload.length);
        continue;
      }
      end = w.subEnd;
      phase = w.fed - w.subStart;
    }
    w.fed += Cut(w, align, bytes + w.fed, end - w.fed, phase);
    if (w.unitFill == align) {
      w.unitFill = 0;
      ++w.unitsOut;
      *data = w.unit.data();
      return align;
    }
  }
}
