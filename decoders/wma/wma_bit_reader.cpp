// The bit reader's packet side: fetching the next packet from the supply (and with the bit
// reservoir, taking its header and noticing a lost packet by its sequence number), going back to
// a packet's start, and reading one Huffman symbol without fetching a packet it does not reach.
#include "wma_audio_internal.h"

namespace {

// Appends the packet's bits from `bitOffset` on to what the cache holds.
void StartAt(WmaBitReader& r, const uint8_t* data, uint32_t size, uint32_t bitOffset) {
  const uint32_t byte = bitOffset / 8;
  const int rest = static_cast<int>(bitOffset % 8);
  if (byte >= size) {
    r.next = data + size;
    r.left = 0;
    return;
  }
  r.next = data + byte;
  r.left = static_cast<int32_t>(size - byte);
  if (rest) {
    const int keep = 8 - rest;
    const uint8_t b = *r.next++;
    --r.left;
    r.cache |= static_cast<uint64_t>(b & ((1u << keep) - 1)) << (64 - r.bits - keep);
    r.bits += keep;
  }
}

uint32_t BigEndianWord(const uint8_t* data, uint32_t size) {
  uint32_t word = 0;
  for (uint32_t i = 0; i < 4; ++i) word = word << 8 | (i < size ? data[i] : 0);
  return word;
}

}  // namespace

void WmaBitClear(WmaAudioDecoder* d) {
  WmaBitReader& r = d->reader;
  r.next = nullptr;
  r.left = 0;
  r.cache = 0;
  r.bits = 0;
  r.count = 0;
}

void WmaBitFetch(WmaAudioDecoder* d) {
  WmaBitReader& r = d->reader;
  const uint8_t* data = nullptr;
  const uint32_t size = d->supply ? d->supply(d->supplyContext, &data) : 0;
  if (size == 0 || !data) {
    d->outOfData = 1;
    r.left = -1;
    return;
  }
  d->payloadStart = data;
  d->payloadBytes = size;
  if (!d->bitReservoir) {
    d->headerWord = (d->headerWord + 1) % 1024;
    d->sequence = static_cast<uint8_t>(d->headerWord & 0xFF);
    StartAt(r, data, size, 0);
    return;
  }
  const uint8_t previous = d->sequence;
  d->headerWord = BigEndianWord(data, size);
  d->headerPending = true;
  d->sequence = static_cast<uint8_t>(d->headerWord >> 28);
  if (previous != 255 && d->sequence != ((previous + 1) & 15)) {
    // What the cache holds belongs to a frame whose rest was lost.
    r.cache = 0;
    r.bits = 0;
    d->discontinuity = 1;
  }
  StartAt(r, data, size, d->headerBits);
}

void WmaBitRealign(WmaAudioDecoder* d) {
  if (d->outOfData || !d->payloadStart) return;
  WmaBitReader& r = d->reader;
  r.cache = 0;
  r.bits = 0;
  const uint32_t skip = d->bitReservoir ? d->headerBits : 0;
  StartAt(r, d->payloadStart, d->payloadBytes, skip);
  r.count = skip;
}

int WmaBitGetSymbol(WmaAudioDecoder* d, const uint16_t* table) {
  WmaBitReader& r = d->reader;
  WmaBitLoad(r);
  for (;;) {
    int length = 0;
    const int symbol = WmaHuffmanLookup(table, static_cast<uint32_t>(r.cache >> 32), &length);
    if (length <= r.bits || r.left < 0) {
      WmaBitNeed(d, length);
      WmaBitSkipCached(r, length);
      return symbol;
    }
    // The code runs on into the next packet.
    WmaBitNeed(d, length);
  }
}
