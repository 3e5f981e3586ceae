// Which formats the sound device takes; see wave_format.h.
#include "mmsystem/wave_format.h"

#include <algorithm>

#include "device/profile.h"

namespace zb::mm {

MMRESULT CheckFormat(const WAVEFORMATEX* f) {
  if (!f) return MMSYSERR_INVALPARAM;
  if (f->wFormatTag != WAVE_FORMAT_PCM || f->nChannels < 1 || f->nChannels > 2) return WAVERR_BADFORMAT;
  if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return WAVERR_BADFORMAT;
  if (f->nBlockAlign != static_cast<DWORD>(f->nChannels) * f->wBitsPerSample / 8 || f->nAvgBytesPerSec != f->nSamplesPerSec * f->nBlockAlign)
    return WAVERR_BADFORMAT;
  const auto& rates = device::CurrentProfile()->audioRates;
  return std::find(rates.begin(), rates.end(), f->nSamplesPerSec) == rates.end() ? WAVERR_BADFORMAT : MMSYSERR_NOERROR;
}

}  // namespace zb::mm
