// BlobChecksum: a table-driven CRC-32 over bytes; a stream feeds its writes in one after another.
#include "blob_checksum.h"

#include <array>

namespace {

constexpr std::array<DWORD, 256> MakeTable() {
  std::array<DWORD, 256> table{};
  for (DWORD n = 0; n < 256; ++n) {
    DWORD c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<DWORD, 256> kTable = MakeTable();

}  // namespace

DWORD BlobChecksum(const void* bytes, DWORD size, DWORD running) {
  const auto* p = static_cast<const BYTE*>(bytes);
  DWORD crc = running;
  for (DWORD i = 0; i < size; ++i) crc = kTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}
