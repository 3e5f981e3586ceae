// The PCM format a WAVE file plays in: what ACM suggests for it, except that PCM sources keep to
// the rates every device takes (44100, 22050, 11025 and 8000 Hz, the largest not above the file's)
// and compressed sources ACM cannot suggest for are asked again as 16-bit PCM of their own rate.
#include "wave_play_state.h"

namespace {

constexpr DWORD kPcmRates[] = {44100, 22050, 11025};
constexpr DWORD kLowestRate = 8000;

bool StandardRate(DWORD rate) {
  for (DWORD r : kPcmRates)
    if (r == rate) return true;
  return false;
}

WAVEFORMATEX Pcm16(WORD channels, DWORD rate) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = 16;
  f.nBlockAlign = static_cast<WORD>(channels * 2);
  f.nAvgBytesPerSec = f.nBlockAlign * rate;
  return f;
}

DWORD SnappedRate(DWORD rate) {
  for (DWORD r : kPcmRates)
    if (rate >= r) return r;
  return kLowestRate;
}

MMRESULT Suggest(const WAVEFORMATEX* source, WAVEFORMATEX* out) {
  return acmFormatSuggest(nullptr, const_cast<WAVEFORMATEX*>(source), out, sizeof *out, ACM_FORMATSUGGESTF_WFORMATTAG);
}

}  // namespace

WAVEFORMATEX ChooseWaveOutputFormat(const WAVEFORMATEX* source) {
  const bool pcm = source->wFormatTag == WAVE_FORMAT_PCM;
  WAVEFORMATEX out{};
  out.wFormatTag = WAVE_FORMAT_PCM;
  const MMRESULT suggested = Suggest(source, &out);
  if (pcm &&
      ((suggested == MMSYSERR_NOERROR && !StandardRate(source->nSamplesPerSec)) || suggested == ACMERR_NOTPOSSIBLE))
    return Pcm16(source->nChannels, SnappedRate(source->nSamplesPerSec));
  if (suggested == ACMERR_NOTPOSSIBLE) {
    out = Pcm16(source->nChannels, source->nSamplesPerSec);
    Suggest(source, &out);  // whatever it answers, the format it leaves is used
  } else if (suggested == MMSYSERR_NODRIVER) {
    out = *source;
    out.wFormatTag = WAVE_FORMAT_PCM;
    out.wBitsPerSample = 16;
    out.nBlockAlign = static_cast<WORD>(source->nChannels * 2);
    out.cbSize = 0;
  }
  return out;
}
