// Which converter a pair of formats gets: the platform's ACM for anything compressed, our own
// PCM converter for PCM to PCM, and for what ACM refuses the registered factories in order
// (A-law and mu-law first, the codec plug-ins last).
#include <cstring>
#include <memory>
#include <vector>

#include "wave_converter.h"

namespace {

std::vector<WaveConverterFactory>& Factories() {
  static auto* list = new std::vector<WaveConverterFactory>;  // for the program's run
  return *list;
}

bool IsPcm(const WAVEFORMATEX* format) { return format->wFormatTag == WAVE_FORMAT_PCM; }

MMRESULT Opened(std::unique_ptr<CWaveConverter> converter, const WAVEFORMATEX* source, const WAVEFORMATEX* destination,
                CWaveConverter** out) {
  const MMRESULT result = converter->Open(source, destination);
  if (result == MMSYSERR_NOERROR) *out = converter.release();
  return result;
}

}  // namespace

int RegisterWaveConverterFactory(WaveConverterFactory factory) {
  Factories().push_back(factory);
  return static_cast<int>(Factories().size()) - 1;
}

CWaveConverter* FindWaveConverter(const WAVEFORMATEX* source) {
  for (WaveConverterFactory factory : Factories()) {
    std::unique_ptr<CWaveConverter> converter(factory(source->wFormatTag));
    if (converter && converter->Setup(source) == MMSYSERR_NOERROR) return converter.release();
  }
  return nullptr;
}

MMRESULT CreateWaveConverter(CWaveConverter** out, const WAVEFORMATEX* source, const WAVEFORMATEX* destination) {
  if (!out || !source || !destination) return MMSYSERR_INVALPARAM;
  *out = nullptr;
  if (!IsPcm(source) || !IsPcm(destination)) {
    if (Opened(std::unique_ptr<CWaveConverter>(NewAcmConverter()), source, destination, out) == MMSYSERR_NOERROR)
      return MMSYSERR_NOERROR;
  } else {
    // The PCM converter reads no extra bytes, so a source that carries some is given without.
    WAVEFORMATEX plain;
    std::memcpy(&plain, source, sizeof plain);
    plain.cbSize = 0;
    const MMRESULT result = Opened(std::unique_ptr<CWaveConverter>(NewPcmConverter()), &plain, destination, out);
    return result == MMSYSERR_NOERROR ? result : MMSYSERR_NODRIVER;
  }
  if (!IsPcm(destination)) return MMSYSERR_NODRIVER;
  std::unique_ptr<CWaveConverter> found(FindWaveConverter(source));
  if (!found) return MMSYSERR_NODRIVER;
  return Opened(std::move(found), source, destination, out) == MMSYSERR_NOERROR ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
}
