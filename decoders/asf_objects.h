// The one walk over ASF objects, shared by the tag reader and the WMA decoding library: every
// object whole inside its region (the walk ends at the first that is not), and the little-endian
// reads of the fields inside them.
#pragma once
#include <windows.h>

#include <cstddef>

// The largest header the readers take in.
#define ASF_MAX_HEADER 2096128

namespace asf {

inline WORD Le16(const BYTE* b) { return static_cast<WORD>(b[0] | b[1] << 8); }
inline DWORD Le32(const BYTE* b) { return b[0] | b[1] << 8 | b[2] << 16 | static_cast<DWORD>(b[3]) << 24; }
inline unsigned long long Le64(const BYTE* b) { return Le32(b) | static_cast<unsigned long long>(Le32(b + 4)) << 32; }

constexpr size_t kObjectHead = 24;  // GUID and 64-bit size

struct AsfObject {
  const BYTE* data;  // from the object's GUID
  size_t size;
};

// The objects of a region, at most `limit` of them, each whole inside it.
template <typename Visit>
void WalkObjects(const BYTE* data, size_t size, DWORD limit, Visit visit) {
  size_t pos = 0;
  for (DWORD i = 0; i < limit && size - pos >= kObjectHead; ++i) {
    const unsigned long long objectSize = Le64(data + pos + 16);
    if (objectSize < kObjectHead || objectSize > size - pos) return;
    visit(AsfObject{data + pos, static_cast<size_t>(objectSize)});
    pos += static_cast<size_t>(objectSize);
  }
}

}  // namespace asf
