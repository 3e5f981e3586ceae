// The two drivers and what they offer: their format tags, the standard formats that
// enumeration lists, which conversions each accepts, and the suggestion rule they share (the
// destination is PCM with the source's rate and channels unless asked otherwise, and the
// source's bits for PCM or 16 bits for a decoded source).
#include "mmsystem/acm_drivers.h"

#include <cstdio>
#include <windows.h>

#include "mmsystem/acm_frames.h"

namespace zb::acm {
namespace {

constexpr DWORD kStandardRates[] = {8000, 11025, 22050, 44100};

bool IsPcm(const WAVEFORMATEX& f) { return f.wFormatTag == WAVE_FORMAT_PCM; }

bool PcmConverts(const WAVEFORMATEX& source, const WAVEFORMATEX& destination) {
  return IsPcm(source) && IsPcm(destination) && Handled(source) && Handled(destination);
}

bool G711Decodes(const WAVEFORMATEX& source, const WAVEFORMATEX& destination) {
  return (source.wFormatTag == WAVE_FORMAT_ALAW || source.wFormatTag == WAVE_FORMAT_MULAW) && Handled(source) &&
         IsPcm(destination) && destination.wBitsPerSample == 16 && Handled(destination) &&
         destination.nChannels == source.nChannels && destination.nSamplesPerSec == source.nSamplesPerSec;
}

constexpr FormatTag kPcmTags[] = {
    {WAVE_FORMAT_PCM, sizeof(PCMWAVEFORMAT), u"PCM", true, true},
};

constexpr FormatTag kG711Tags[] = {
    {WAVE_FORMAT_PCM, sizeof(PCMWAVEFORMAT), u"PCM", false, true},
    {WAVE_FORMAT_ALAW, sizeof(WAVEFORMATEX), u"CCITT A-Law", true, false},
    {WAVE_FORMAT_MULAW, sizeof(WAVEFORMATEX), u"CCITT u-Law", true, false},
};

constexpr Driver kDrivers[] = {
    {u"PCM Converter", u"PCM Converter", u"Converts PCM sample rates, channels and 8/16 bits.", 13,
     ACMDRIVERDETAILS_SUPPORTF_CONVERTER, kPcmTags, std::size(kPcmTags), PcmConverts},
    {u"CCITT G.711", u"CCITT G.711 A-Law and u-Law", u"Decodes A-law and u-law to 16-bit PCM.", 37,
     ACMDRIVERDETAILS_SUPPORTF_CODEC, kG711Tags, std::size(kG711Tags), G711Decodes},
};

WAVEFORMATEX Make(WORD tag, WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = tag;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  // Unsigned: a hostile header's channel and bit counts must not overflow a signed product.
  f.nBlockAlign = static_cast<WORD>(static_cast<DWORD>(channels) * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

}  // namespace

const Driver* Drivers(size_t* count) {
  *count = std::size(kDrivers);
  return kDrivers;
}

const Driver* DriverOf(HACMDRIVERID id) {
  for (const Driver& d : kDrivers)
    if (reinterpret_cast<HACMDRIVERID>(const_cast<Driver*>(&d)) == id) return &d;
  return nullptr;
}

HACMDRIVERID IdOf(const Driver* driver) { return reinterpret_cast<HACMDRIVERID>(const_cast<Driver*>(driver)); }

const FormatTag* TagOf(const Driver& driver, WORD tag) {
  for (size_t i = 0; i < driver.tagCount; ++i)
    if (driver.tags[i].tag == tag) return &driver.tags[i];
  return nullptr;
}

std::vector<WAVEFORMATEX> StandardFormats(const Driver& driver, WORD tag) {
  std::vector<WAVEFORMATEX> formats;
  const FormatTag* t = TagOf(driver, tag);
  if (!t) return formats;
  for (DWORD rate : kStandardRates) {
    for (WORD bits : {WORD{8}, WORD{16}}) {
      for (WORD channels : {WORD{1}, WORD{2}}) {
        WAVEFORMATEX f = Make(tag, channels, rate, bits);
        if (!Handled(f)) continue;  // A-law and mu-law come in 8 bits only
        // The codec writes only 16-bit PCM; the converter takes and makes both sizes.
        if (tag == WAVE_FORMAT_PCM && !t->input && bits != 16) continue;
        formats.push_back(f);
      }
    }
  }
  return formats;
}

bool Suggest(const Driver& driver, const WAVEFORMATEX& source, const Wanted& wanted, WAVEFORMATEX* out) {
  if (wanted.tag && wanted.tag != WAVE_FORMAT_PCM) return false;  // neither driver encodes
  WAVEFORMATEX f = Make(WAVE_FORMAT_PCM, wanted.channels ? wanted.channels : source.nChannels,
                        wanted.rate ? wanted.rate : source.nSamplesPerSec,
                        wanted.bits ? wanted.bits : IsPcm(source) ? source.wBitsPerSample : WORD{16});
  if (!driver.canConvert(source, f)) return false;
  *out = f;
  return true;
}

void DescribeFormat(const WAVEFORMATEX& f, WCHAR* text, size_t size) {
  char narrow[64];
  std::snprintf(narrow, sizeof(narrow), "%u.%03u kHz, %u Bit, %s", f.nSamplesPerSec / 1000, f.nSamplesPerSec % 1000,
                f.wBitsPerSample, f.nChannels == 1 ? "Mono" : "Stereo");
  size_t i = 0;
  for (; narrow[i] && i + 1 < size; ++i) text[i] = static_cast<WCHAR>(narrow[i]);
  if (size) text[i] = 0;
}

}  // namespace zb::acm
