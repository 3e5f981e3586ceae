// Seeking by packet: a first guess from the time per packet, then packet by packet toward the
// target by the presentation time of each packet's first audio payload, until the search is
// close enough. Packets that are multiples of 16 are stepped over as landing places (the
// encoder's own habit), and the walk is bounded so that a file whose times lie cannot keep it.
#include <cstdlib>

#include "wma_asf_packets.h"
#include "wma_lib.h"

namespace {

// The time of a packet's first audio payload, less the preroll; false when the packet cannot
// be read or parsed, is not ours to read, or holds no timed audio payload.
bool PacketTime(WmaLibState* s, uint32_t packet, int64_t* ms) {
  const tWMAFileHdrStateInternal& h = s->header;
  const uint64_t offset = h.dataStart + static_cast<uint64_t>(packet) * h.packetSize;
  if (offset > 0xFFFFFFFFull || WmaReadPacket(s, static_cast<uint32_t>(offset)) != WMA_LIB_OK) return false;
  const WmaPacketWalk& w = s->walk;
  if (w.info.skip) return false;
  uint32_t cursor = w.info.firstPayload;
  for (uint32_t i = 0; i < w.info.payloadCount; ++i) {
    WmaPayload payload{};
    if (WmaParsePayload(w.packet.data(), w.info, cursor, &payload, &cursor) != WMA_LIB_OK) return false;
    if (payload.stream == h.audioStream && payload.timed) {
      *ms = static_cast<int64_t>(payload.presentationTime) - h.prerollMs;
      if (*ms < 0) *ms = 0;
      return true;
    }
  }
  return false;
}

}  // namespace

uint32_t WmaLibSeek(WmaLibState* s, uint32_t target) {
  if (!s || !s->ready) return 0;
  tWMAFileHdrStateInternal& h = s->header;
  const uint32_t count = h.packetCount;
  const uint32_t perPacket = count ? h.durationMs / count : 0;
  uint32_t packet = h.durationMs == 0 ? 0 : perPacket == 0 ? 1 : target / perPacket;
  if (packet != 0 && packet % 16 == 0) ++packet;
  bool below = false, above = false, found = false;
  int64_t result = h.durationMs;
  const uint64_t limit = 2 * static_cast<uint64_t>(count) + 64;
  for (uint64_t step = 0; packet < count && step < limit; ++step) {
    int64_t t = 0;
    if (!PacketTime(s, packet, &t)) break;
    (t <= target ? below : above) = true;
    const bool close = (below && above) || std::llabs(static_cast<int64_t>(target) - t) < perPacket * 5 / 4;
    if (packet == 0 || (close && packet % 16 != 0)) {
      result = t;
      found = true;
      break;
    }
    if (t <= target) {
      ++packet;
    } else {
      --packet;
    }
    if (packet == count) {
      result = t;
      found = true;
      break;
    }
  }
  if (!found) packet = count;
  WmaAudioReset(&s->audio);
  WmaResetWalk(s);
  const uint64_t next = h.dataStart + static_cast<uint64_t>(packet) * h.packetSize;
  h.nextPacketOffset = static_cast<uint32_t>(next > 0xFFFFFFFFull ? 0xFFFFFFFFull : next);
  s->startPending = true;
  return static_cast<uint32_t>(result);
}
