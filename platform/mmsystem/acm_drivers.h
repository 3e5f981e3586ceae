// The Audio Compression Manager's drivers, as data: a PCM converter (rates, channels, 8 and 16
// bits) and a G.711 codec that decodes A-law and mu-law to 16-bit PCM at the same rate and
// channel count. Driver ids are the addresses of these records.
#pragma once
#include <cstddef>
#include <msacm.h>
#include <vector>

namespace zb::acm {

struct FormatTag {
  WORD tag;
  DWORD formatSize;
  const char16_t* name;
  bool input;   // the driver converts from formats of this tag
  bool output;  // and to them
};

struct Driver {
  const char16_t* shortName;
  const char16_t* longName;
  const char16_t* features;
  WORD productId;
  DWORD support;
  const FormatTag* tags;
  size_t tagCount;
  bool (*canConvert)(const WAVEFORMATEX& source, const WAVEFORMATEX& destination);
};

// The drivers in priority order.
const Driver* Drivers(size_t* count);
const Driver* DriverOf(HACMDRIVERID id);
HACMDRIVERID IdOf(const Driver* driver);
const FormatTag* TagOf(const Driver& driver, WORD tag);

// The standard formats of one of the driver's tags, in the order enumeration lists them.
std::vector<WAVEFORMATEX> StandardFormats(const Driver& driver, WORD tag);

// What a caller asks of a suggested destination; 0 fields are left to the driver.
struct Wanted {
  WORD tag = 0;
  WORD channels = 0;
  DWORD rate = 0;
  WORD bits = 0;
};
bool Suggest(const Driver& driver, const WAVEFORMATEX& source, const Wanted& wanted, WAVEFORMATEX* out);

// "44.100 kHz, 16 Bit, Stereo"
void DescribeFormat(const WAVEFORMATEX& format, WCHAR* text, size_t size);

}  // namespace zb::acm
