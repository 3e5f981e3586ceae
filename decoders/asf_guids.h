// The ASF object GUIDs the readers know, in their 16-byte file form.
#pragma once
#include <windows.h>

#include <cstring>

struct AsfGuid {
  BYTE bytes[16];
  bool At(const BYTE* p) const { return std::memcmp(bytes, p, 16) == 0; }
};

// {D1-D2-D3-D4}: the first three groups little-endian, the last eight bytes as written.
constexpr AsfGuid MakeAsfGuid(DWORD d1, WORD d2, WORD d3, unsigned long long d4) {
  AsfGuid g{};
  for (int i = 0; i < 4; ++i) g.bytes[i] = static_cast<BYTE>(d1 >> (8 * i));
  for (int i = 0; i < 2; ++i) g.bytes[4 + i] = static_cast<BYTE>(d2 >> (8 * i));
  for (int i = 0; i < 2; ++i) g.bytes[6 + i] = static_cast<BYTE>(d3 >> (8 * i));
  for (int i = 0; i < 8; ++i) g.bytes[8 + i] = static_cast<BYTE>(d4 >> (56 - 8 * i));
  return g;
}

constexpr AsfGuid kAsfHeader = MakeAsfGuid(0x75B22630, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull);
constexpr AsfGuid kAsfContentDescription = MakeAsfGuid(0x75B22633, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull);
constexpr AsfGuid kAsfExtendedContent = MakeAsfGuid(0xD2D0A440, 0xE307, 0x11D2, 0x97F000A0C95EA850ull);
constexpr AsfGuid kAsfFileProperties = MakeAsfGuid(0x8CABDCA1, 0xA947, 0x11CF, 0x8EE400C00C205365ull);
constexpr AsfGuid kAsfStreamProperties = MakeAsfGuid(0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE600C00C205365ull);
constexpr AsfGuid kAsfAudioMedia = MakeAsfGuid(0xF8699E40, 0x5B4D, 0x11CF, 0xA8FD00805F5C442Bull);
constexpr AsfGuid kAsfVideoMedia = MakeAsfGuid(0xBC19EFC0, 0x5B4D, 0x11CF, 0xA8FD00805F5C442Bull);
constexpr AsfGuid kAsfContentEncryption = MakeAsfGuid(0x2211B3FB, 0xBD23, 0x11D2, 0xB4B700A0C955FC6Eull);
constexpr AsfGuid kAsfMarker = MakeAsfGuid(0xF487CD01, 0xA951, 0x11CF, 0x8EE600C00C205365ull);
constexpr AsfGuid kAsfHeaderExtension = MakeAsfGuid(0x5FBF03B5, 0xA92E, 0x11CF, 0x8EE300C00C205365ull);
constexpr AsfGuid kAsfReserved1 = MakeAsfGuid(0xABD3D211, 0xA9BA, 0x11CF, 0x8EE600C00C205365ull);
constexpr AsfGuid kAsfMetadata = MakeAsfGuid(0xC5F8CBEA, 0x5BAF, 0x4877, 0x8467AA8C44FA4CCAull);
constexpr AsfGuid kAsfMetadataLibrary = MakeAsfGuid(0x44231C94, 0x9498, 0x49D1, 0xA1411D134E457054ull);
// What the WMA decoding library reads besides: the second form of the stream properties, the
// audio stream's extra data, two error-correction types and the stream type it keeps a number of.
constexpr AsfGuid kAsfStreamPropertiesEx = MakeAsfGuid(0x818D0D47, 0x0043, 0x4451, 0x9237DAEFBC484F50ull);
constexpr AsfGuid kAsfAudioExtraData = MakeAsfGuid(0x8FA7857B, 0xDDC0, 0x11D3, 0xB6BD00C04F610D62ull);
constexpr AsfGuid kAsfAudioSpread = MakeAsfGuid(0xBFC3CD50, 0x618F, 0x11CF, 0x8BB200AA00B4E220ull);
constexpr AsfGuid kAsfSpanCorrection = MakeAsfGuid(0x49F1A440, 0x4ECE, 0x11D0, 0xA3AC00A0C90348F6ull);
constexpr AsfGuid kAsfKeptStreamType = MakeAsfGuid(0xD5C82C81, 0x8264, 0x4ABD, 0xA714CD4F8554C72Eull);
constexpr AsfGuid kAsfData = MakeAsfGuid(0x75B22636, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull);
