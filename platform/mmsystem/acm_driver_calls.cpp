// Listing, describing, opening and closing the ACM's drivers, and its metrics.
#include <algorithm>
#include <cstring>
#include <msacm.h>
#include <windows.h>

#include "mmsystem/acm_objects.h"

using namespace zb::acm;

namespace {

void CopyText(WCHAR* to, size_t size, const char16_t* from) {
  size_t n = std::min(size - 1, static_cast<size_t>(wcslen(from)));
  std::copy_n(from, n, to);
  to[n] = 0;
}

DWORD CountDrivers(DWORD support) {
  size_t count = 0;
  const Driver* drivers = Drivers(&count);
  return static_cast<DWORD>(std::count_if(drivers, drivers + count, [support](const Driver& d) { return (d.support & support) != 0; }));
}

}  // namespace

extern "C" MMRESULT acmDriverEnum(ACMDRIVERENUMCB callback, DWORD_PTR instance, DWORD flags) {
  if (!callback) return MMSYSERR_INVALPARAM;
  if (flags & ~(ACM_DRIVERENUMF_NOLOCAL | ACM_DRIVERENUMF_DISABLED)) return MMSYSERR_INVALFLAG;
  size_t count = 0;
  const Driver* drivers = Drivers(&count);
  for (size_t i = 0; i < count; ++i)
    if (!callback(IdOf(&drivers[i]), instance, drivers[i].support)) break;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmDriverDetailsW(HACMDRIVERID driverId, LPACMDRIVERDETAILSW details, DWORD flags) {
  if (flags) return MMSYSERR_INVALFLAG;
  if (!details || details->cbStruct < sizeof(DWORD)) return MMSYSERR_INVALPARAM;
  const Driver* d = DriverOf(driverId);
  if (!d) return MMSYSERR_INVALHANDLE;
  ACMDRIVERDETAILSW full{};
  full.fccType = ACMDRIVERDETAILS_FCCTYPE_AUDIOCODEC;
  full.wMid = 1;
  full.wPid = d->productId;
  full.vdwACM = 0x04000000;
  full.vdwDriver = 0x04000000;
  full.fdwSupport = d->support;
  full.cFormatTags = static_cast<DWORD>(d->tagCount);
  CopyText(full.szShortName, ACMDRIVERDETAILS_SHORTNAME_CHARS, d->shortName);
  CopyText(full.szLongName, ACMDRIVERDETAILS_LONGNAME_CHARS, d->longName);
  CopyText(full.szFeatures, ACMDRIVERDETAILS_FEATURES_CHARS, d->features);
  // A caller with an older, shorter record gets as much as fits and is told how much.
  full.cbStruct = std::min<DWORD>(details->cbStruct, sizeof(full));
  std::memcpy(details, &full, full.cbStruct);
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmDriverOpen(LPHACMDRIVER driver, HACMDRIVERID driverId, DWORD flags) {
  if (!driver) return MMSYSERR_INVALPARAM;
  *driver = nullptr;
  if (flags) return MMSYSERR_INVALFLAG;
  const Driver* d = DriverOf(driverId);
  if (!d) return MMSYSERR_INVALHANDLE;
  auto open = std::make_shared<OpenDriver>();
  open->driver = d;
  *driver = AddDriver(open);
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmDriverClose(HACMDRIVER driver, DWORD flags) {
  if (flags) return MMSYSERR_INVALFLAG;
  auto open = FindDriver(driver);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (open->streams > 0) return ACMERR_BUSY;
  RemoveDriver(driver);
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT acmMetrics(HACMOBJ object, UINT metric, LPVOID value) {
  if (!value) return MMSYSERR_INVALPARAM;
  auto* out = static_cast<DWORD*>(value);
  switch (metric) {
    case ACM_METRIC_COUNT_DRIVERS:
      *out = CountDrivers(~0u);
      return MMSYSERR_NOERROR;
    case ACM_METRIC_COUNT_CODECS:
      *out = CountDrivers(ACMDRIVERDETAILS_SUPPORTF_CODEC);
      return MMSYSERR_NOERROR;
    case ACM_METRIC_COUNT_CONVERTERS:
      *out = CountDrivers(ACMDRIVERDETAILS_SUPPORTF_CONVERTER);
      return MMSYSERR_NOERROR;
    case ACM_METRIC_COUNT_FILTERS:
    case ACM_METRIC_COUNT_DISABLED:
    case ACM_METRIC_COUNT_HARDWARE:
    case ACM_METRIC_COUNT_LOCAL_DRIVERS:
    case ACM_METRIC_COUNT_LOCAL_CODECS:
    case ACM_METRIC_COUNT_LOCAL_CONVERTERS:
    case ACM_METRIC_COUNT_LOCAL_FILTERS:
    case ACM_METRIC_COUNT_LOCAL_DISABLED:
    case ACM_METRIC_MAX_SIZE_FILTER:
      *out = 0;
      return MMSYSERR_NOERROR;
    case ACM_METRIC_MAX_SIZE_FORMAT:
      *out = sizeof(WAVEFORMATEX);
      return MMSYSERR_NOERROR;
    case ACM_METRIC_DRIVER_SUPPORT:
    case ACM_METRIC_DRIVER_PRIORITY: {
      // Asked of a driver id or of an open driver.
      const Driver* d = DriverOf(reinterpret_cast<HACMDRIVERID>(object));
      if (!d) {
        MMRESULT error;
        d = DriverOfHandle(reinterpret_cast<HACMDRIVER>(object), &error);
      }
      if (!d) return MMSYSERR_INVALHANDLE;
      size_t count = 0;
      *out = metric == ACM_METRIC_DRIVER_SUPPORT ? d->support : static_cast<DWORD>(d - Drivers(&count) + 1);
      return MMSYSERR_NOERROR;
    }
    default:
      return MMSYSERR_NOTSUPPORTED;
  }
}
