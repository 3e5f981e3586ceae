// Looking up one Huffman code in the decoder's two table layouts (wma_tables.h): the tree walked
// two bits at a time, and the multi-level table that resolves the common short codes in one step.
#include "wma_audio_internal.h"
#include "wma_tables.h"

namespace {

int TreeLookup(const uint16_t* t, uint32_t bits, int* length) {
  uint32_t index = 1 + (bits >> 30);
  int used = 2;
  uint16_t e = t[index];
  while (!(e & 0x8000) && used < 23) {
    if (used < 16) {
      index += e + ((bits << used) >> 30);
      used += 2;
    } else {
      index += e + ((bits << used) >> 31);
      used += 1;
    }
    e = t[index];
  }
  if (!(e & 0x8000)) {
    *length = used;
    return -1;
  }
  *length = (e >> 10) & 31;
  const int symbol = e & 0x3FF;
  return symbol == WMA_TREE_INVALID ? -1 : symbol;
}

int LevelsLookup(const uint16_t* t, uint32_t bits, int* length) {
  const int first = t[0] & 0xFF;
  const uint16_t* level = t + 1;
  uint32_t index = bits >> (32 - first);
  int used = first;
  uint16_t e = level[index];
  while ((e & 0x18) == 0 && used < 32) {
    const int width = e & 7;
    level = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(level + index) + (e >> 4));
    index = (bits << used) >> (32 - width);
    used += width;
    e = level[index];
  }
  *length = (e & 31) - 7;
  const int symbol = e >> 5;
  return symbol == WMA_LEVELS_INVALID ? -1 : symbol;
}

}  // namespace

int WmaHuffmanLookup(const uint16_t* table, uint32_t bits, int* length) {
  return table[0] == 0 ? TreeLookup(table, bits, length) : LevelsLookup(table, bits, length);
}
