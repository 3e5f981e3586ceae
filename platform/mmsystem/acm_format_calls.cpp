// Format tags, the formats each driver lists, and format suggestions. A call without a driver
// handle asks every driver in priority order.
#include <algorithm>
#include <cstring>
#include <msacm.h>
#include <vector>
#include <windows.h>

#include "mmsystem/acm_objects.h"

using namespace zb::acm;

namespace {

// The drivers a call covers: the one behind an open handle, or all of them.
std::vector<const Driver*> Covered(const Driver* only) {
  if (only) return {only};
  size_t count = 0;
  const Driver* drivers = Drivers(&count);
  std::vector<const Driver*> all;
  for (size_t i = 0; i < count; ++i) all.push_back(&drivers[i]);
  return all;
}

void FillTag(const Driver& d, size_t index, LPACMFORMATTAGDETAILSW out) {
  const FormatTag& t = d.tags[index];
  out->dwFormatTagIndex = static_cast<DWORD>(index);
  out->dwFormatTag = t.tag;
  out->cbFormatSize = t.formatSize;
  out->fdwSupport = d.support;
  out->cStandardFormats = static_cast<DWORD>(StandardFormats(d, t.tag).size());
  size_t n = std::min<size_t>(wcslen(t.name), ACMFORMATTAGDETAILS_FORMATTAG_CHARS - 1);
  std::copy_n(t.name, n, out->szFormatTag);
  out->szFormatTag[n] = 0;
}

constexpr DWORD kEnumFlags = ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_NSAMPLESPERSEC |
                             ACM_FORMATENUMF_WBITSPERSAMPLE | ACM_FORMATENUMF_CONVERT | ACM_FORMATENUMF_SUGGEST |
                             ACM_FORMATENUMF_HARDWARE | ACM_FORMATENUMF_INPUT | ACM_FORMATENUMF_OUTPUT;

// Whether a standard format passes the enumeration's restrictions, given the caller's format.
bool Passes(const Driver& d, const FormatTag& tag, const WAVEFORMATEX& f, const WAVEFORMATEX& given, DWORD flags) {
  if ((flags & ACM_FORMATENUMF_INPUT) && !tag.input) return false;
  if ((flags & ACM_FORMATENUMF_OUTPUT) && !tag.output) return false;
  if ((flags & ACM_FORMATENUMF_WFORMATTAG) && f.wFormatTag != given.wFormatTag) return false;
  if ((flags & ACM_FORMATENUMF_NCHANNELS) && f.nChannels != given.nChannels) return false;
  if ((flags & ACM_FORMATENUMF_NSAMPLESPERSEC) && f.nSamplesPerSec != given.nSamplesPerSec) return false;
  if ((flags & ACM_FORMATENUMF_WBITSPERSAMPLE) && f.wBitsPerSample != given.wBitsPerSample) return false;
  if ((flags & ACM_FORMATENUMF_CONVERT) && !d.canConvert(given, f)) return false;
  if (flags & ACM_FORMATENUMF_SUGGEST) {
    WAVEFORMATEX suggested{};
    if (!Suggest(d, given, {}, &suggested) || std::memcmp(&suggested, &f, sizeof(f)) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" MMRESULT acmFormatTagDetailsW(HACMDRIVER driver, LPACMFORMATTAGDETAILSW details, DWORD flags) {
  if (!details || details->cbStruct < sizeof(ACMFORMATTAGDETAILSW)) return MMSYSERR_INVALPARAM;
  MMRESULT error;
  const Driver* only = DriverOfHandle(driver, &error);
  if (error) return error;
  switch (flags) {
    case ACM_FORMATTAGDETAILSF_INDEX:
      if (!only) return MMSYSERR_INVALHANDLE;  // an index means something only within one driver
      if (details->dwFormatTagIndex >= only->tagCount) return ACMERR_NOTPOSSIBLE;
      FillTag(*only, details->dwFormatTagIndex, details);
      return MMSYSERR_NOERROR;
    case ACM_FORMATTAGDETAILSF_FORMATTAG:
      if (details->dwFormatTag == WAVE_FORMAT_UNKNOWN) return MMSYSERR_INVALPARAM;
      for (const Driver* d : Covered(only)) {
        for (size_t i = 0; i < d->tagCount; ++i) {
          if (d->tags[i].tag != details->dwFormatTag) continue;
          FillTag(*d, i, details);
          return MMSYSERR_NOERROR;
        }
      }
      return ACMERR_NOTPOSSIBLE;
    case ACM_FORMATTAGDETAILSF_LARGESTSIZE: {
      const Driver* best = nullptr;
      size_t bestIndex = 0;
      for (const Driver* d : Covered(only)) {
        for (size_t i = 0; i < d->tagCount; ++i) {
          if (details->dwFormatTag != WAVE_FORMAT_UNKNOWN && d->tags[i].tag != details->dwFormatTag) continue;
          if (!best || d->tags[i].formatSize > best->tags[bestIndex].formatSize) {
            best = d;
            bestIndex = i;
          }
        }
      }
      if (!best) return ACMERR_NOTPOSSIBLE;
      FillTag(*best, bestIndex, details);
      return MMSYSERR_NOERROR;
    }
    default:
      return MMSYSERR_INVALFLAG;
  }
}

extern "C" MMRESULT acmFormatEnumW(HACMDRIVER driver, LPACMFORMATDETAILSW details, ACMFORMATENUMCBW callback,
                                   DWORD_PTR instance, DWORD flags) {
  if (!details || !callback || details->cbStruct < sizeof(ACMFORMATDETAILSW)) return MMSYSERR_INVALPARAM;
  if (!details->pwfx || details->cbwfx < sizeof(WAVEFORMATEX)) return MMSYSERR_INVALPARAM;
  if (flags & ~kEnumFlags) return MMSYSERR_INVALFLAG;
  MMRESULT error;
  const Driver* only = DriverOfHandle(driver, &error);
  if (error) return error;
  if (flags & ACM_FORMATENUMF_HARDWARE) return ACMERR_NOTPOSSIBLE;  // no hardware codecs here
  // The caller's format restricts the listing, and the same buffer receives each format.
  const WAVEFORMATEX given = *details->pwfx;
  bool listed = false;
  for (const Driver* d : Covered(only)) {
    for (size_t t = 0; t < d->tagCount; ++t) {
      std::vector<WAVEFORMATEX> formats = StandardFormats(*d, d->tags[t].tag);
      for (size_t i = 0; i < formats.size(); ++i) {
        if (!Passes(*d, d->tags[t], formats[i], given, flags)) continue;
        details->dwFormatIndex = static_cast<DWORD>(i);
        details->dwFormatTag = formats[i].wFormatTag;
        details->fdwSupport = d->support;
        std::memcpy(details->pwfx, &formats[i], sizeof(WAVEFORMATEX));
        DescribeFormat(formats[i], details->szFormat, ACMFORMATDETAILS_FORMAT_CHARS);
        listed = true;
        if (!callback(IdOf(d), details, instance, d->support)) return MMSYSERR_NOERROR;
      }
    }
  }
  return listed ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
}

extern "C" MMRESULT acmFormatSuggest(HACMDRIVER driver, LPWAVEFORMATEX source, LPWAVEFORMATEX destination,
                                     DWORD destinationSize, DWORD flags) {
  if (!source || !destination || destinationSize < sizeof(PCMWAVEFORMAT)) return MMSYSERR_INVALPARAM;
  if (flags & ~ACM_FORMATSUGGESTF_TYPEMASK) return MMSYSERR_INVALFLAG;
  MMRESULT error;
  const Driver* only = DriverOfHandle(driver, &error);
  if (error) return error;
  Wanted wanted;
  if (flags & ACM_FORMATSUGGESTF_WFORMATTAG) wanted.tag = destination->wFormatTag;
  if (flags & ACM_FORMATSUGGESTF_NCHANNELS) wanted.channels = destination->nChannels;
  if (flags & ACM_FORMATSUGGESTF_NSAMPLESPERSEC) wanted.rate = destination->nSamplesPerSec;
  if (flags & ACM_FORMATSUGGESTF_WBITSPERSAMPLE) wanted.bits = destination->wBitsPerSample;
  for (const Driver* d : Covered(only)) {
    WAVEFORMATEX suggested{};
    if (!Suggest(*d, *source, wanted, &suggested)) continue;
    // PCM needs no extra-size word; a caller with room for one gets it as 0.
    std::memcpy(destination, &suggested, std::min<size_t>(destinationSize, sizeof(WAVEFORMATEX)));
    return MMSYSERR_NOERROR;
  }
  return ACMERR_NOTPOSSIBLE;
}
