// Conversion streams. Preparing a header records its buffers in the header's reserved words;
// unpreparing needs the same buffers and lengths back, and converting stays within them, so a
// caller cannot have the converter write past what it prepared.
#include <cstring>
#include <msacm.h>
#include <windows.h>

#include "mmsystem/acm_objects.h"

using namespace zb::acm;

namespace {

enum Reserved { kSource, kSourceLength, kDestination, kDestinationLength, kStream };

bool Prepared(const ACMSTREAMHEADER& h) { return (h.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) != 0; }

bool HeaderOk(LPACMSTREAMHEADER h) { return h && h->cbStruct >= sizeof(ACMSTREAMHEADER); }

}  // namespace

extern "C" MMRESULT acmStreamOpen(LPHACMSTREAM stream, HACMDRIVER driver, LPWAVEFORMATEX source,
                                  LPWAVEFORMATEX destination, LPWAVEFILTER filter, DWORD_PTR, DWORD_PTR, DWORD flags) {
  if (stream) *stream = nullptr;
  if (flags & ~(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_ASYNC | ACM_STREAMOPENF_NONREALTIME | CALLBACK_TYPEMASK))
    return MMSYSERR_INVALFLAG;
  if (!source || !destination) return MMSYSERR_INVALPARAM;
  if (!stream && !(flags & ACM_STREAMOPENF_QUERY)) return MMSYSERR_INVALPARAM;
  MMRESULT error;
  const Driver* only = DriverOfHandle(driver, &error);
  if (error) return error;
  // No filters, and no driver here converts in the background.
  if (filter || (flags & ACM_STREAMOPENF_ASYNC)) return ACMERR_NOTPOSSIBLE;
  const Driver* chosen = nullptr;
  size_t count = 0;
  const Driver* drivers = Drivers(&count);
  for (size_t i = 0; i < count && !chosen; ++i) {
    if (only && only != &drivers[i]) continue;
    if (drivers[i].canConvert(*source, *destination)) chosen = &drivers[i];
  }
  if (!chosen) return ACMERR_NOTPOSSIBLE;
  if (flags & ACM_STREAMOPENF_QUERY) return MMSYSERR_NOERROR;
  std::shared_ptr<OpenDriver> owner = driver ? FindDriver(driver) : nullptr;
  if (owner) ++owner->streams;
  *stream = AddStream(std::make_shared<Stream>(chosen, owner, *source, *destination));
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmStreamClose(HACMSTREAM stream, DWORD flags) {
  if (flags) return MMSYSERR_INVALFLAG;
  auto s = RemoveStream(stream);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (s->owner) --s->owner->streams;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmStreamSize(HACMSTREAM stream, DWORD inputBytes, LPDWORD outputBytes, DWORD flags) {
  if (!outputBytes) return MMSYSERR_INVALPARAM;
  *outputBytes = 0;
  if (flags != ACM_STREAMSIZEF_SOURCE && flags != ACM_STREAMSIZEF_DESTINATION) return MMSYSERR_INVALFLAG;
  auto s = FindStream(stream);
  if (!s) return MMSYSERR_INVALHANDLE;
  DWORD n = flags == ACM_STREAMSIZEF_SOURCE ? s->frames.DestinationBytesFor(inputBytes) : s->frames.SourceBytesFor(inputBytes);
  if (n == 0) return ACMERR_NOTPOSSIBLE;  // not even one whole frame
  *outputBytes = n;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags) {
  if (flags) return MMSYSERR_INVALFLAG;
  if (!HeaderOk(header)) return MMSYSERR_INVALPARAM;
  auto s = FindStream(stream);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (Prepared(*header)) return MMSYSERR_NOERROR;
  if (!header->pbSrc || !header->pbDst || header->cbSrcLength == 0 || header->cbDstLength == 0) return MMSYSERR_INVALPARAM;
  header->dwReservedDriver[kSource] = reinterpret_cast<DWORD_PTR>(header->pbSrc);
  header->dwReservedDriver[kSourceLength] = header->cbSrcLength;
  header->dwReservedDriver[kDestination] = reinterpret_cast<DWORD_PTR>(header->pbDst);
  header->dwReservedDriver[kDestinationLength] = header->cbDstLength;
  header->dwReservedDriver[kStream] = reinterpret_cast<DWORD_PTR>(stream);
  header->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags) {
  if (flags) return MMSYSERR_INVALFLAG;
  if (!HeaderOk(header)) return MMSYSERR_INVALPARAM;
  if (!FindStream(stream)) return MMSYSERR_INVALHANDLE;
  if (!Prepared(*header)) return ACMERR_UNPREPARED;
  if (header->dwReservedDriver[kStream] != reinterpret_cast<DWORD_PTR>(stream) ||
      header->dwReservedDriver[kSource] != reinterpret_cast<DWORD_PTR>(header->pbSrc) ||
      header->dwReservedDriver[kSourceLength] != header->cbSrcLength ||
      header->dwReservedDriver[kDestination] != reinterpret_cast<DWORD_PTR>(header->pbDst) ||
      header->dwReservedDriver[kDestinationLength] != header->cbDstLength) {
    return MMSYSERR_INVALPARAM;
  }
  header->fdwStatus &= ~(ACMSTREAMHEADER_STATUSF_PREPARED | ACMSTREAMHEADER_STATUSF_DONE);
  std::memset(header->dwReservedDriver, 0, sizeof(header->dwReservedDriver));
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmStreamConvert(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags) {
  if (flags & ~(ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END)) return MMSYSERR_INVALFLAG;
  if (!HeaderOk(header)) return MMSYSERR_INVALPARAM;
  auto s = FindStream(stream);
  if (!s) return MMSYSERR_INVALHANDLE;
  if (!Prepared(*header) || header->dwReservedDriver[kStream] != reinterpret_cast<DWORD_PTR>(stream)) return ACMERR_UNPREPARED;
  if (header->pbSrc != reinterpret_cast<LPBYTE>(header->dwReservedDriver[kSource]) ||
      header->pbDst != reinterpret_cast<LPBYTE>(header->dwReservedDriver[kDestination]) ||
      header->cbSrcLength > header->dwReservedDriver[kSourceLength] ||
      header->cbDstLength > header->dwReservedDriver[kDestinationLength]) {
    return MMSYSERR_INVALPARAM;
  }
  std::lock_guard guard(s->lock);
  if (flags & ACM_STREAMCONVERTF_START) s->frames.Restart();
  header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
  uint32_t used = 0, made = 0;
  s->frames.Convert(header->pbSrc, header->cbSrcLength, header->pbDst, header->cbDstLength, &used, &made);
  header->cbSrcLengthUsed = used;
  header->cbDstLengthUsed = made;
  header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
  return MMSYSERR_NOERROR;
}
