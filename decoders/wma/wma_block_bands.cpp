// Band edges scaled between block sizes: exponents read with one block size serve the blocks of
// another that reuse them, a coefficient taking the exponent of the position it maps to.
#include "wma_block_bands.h"

#include "wma_tables.h"

namespace {

void Scale(int row, int rowBits, int bits, WmaBlockBands* bands) {
  const WmaBandRow& r = kWmaBandRows[row];
  bands->row = row;
  bands->count = r.count;
  for (int i = 0; i < r.count; ++i) {
    const uint32_t e = r.edges[i];
    // Position p of the block maps to p * 2^(rowBits - bits) of the row's block.
    bands->edges[i] = static_cast<uint16_t>(rowBits >= bits ? (e + (1u << (rowBits - bits)) - 1) >> (rowBits - bits)
                                                            : e << (bits - rowBits));
  }
}

}  // namespace

bool WmaBlockBandsFor(const WmaAudioDecoder* d, int bits, WmaBlockBands* bands) {
  const int row = WmaBandRowFor(d, bits);
  if (row < 0) return false;
  Scale(row, d->version == 1 ? d->frameBits : bits, bits, bands);
  return true;
}

void WmaExponentBands(const WmaAudioDecoder* d, int bits, WmaBlockBands* bands) {
  Scale(d->bandRow, d->version == 1 ? d->frameBits : d->expBits, bits, bands);
}
