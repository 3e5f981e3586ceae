// PCM to PCM for the WAVE decoder: 8, 16 and 24-bit samples to 16 bits, mono to stereo, and the
// sample rate by nearest earlier sample. Output frame k of the stream takes source frame
// floor(k x source rate / destination rate), counted from the stream's start, so the rate keeps
// its phase from one block to the next and a non-integer ratio makes no click at the seams.
#include <cstring>

#include "wave_converter.h"

namespace {

class CPcmConverter : public CWaveConverter {
 public:
  MMRESULT Setup(const WAVEFORMATEX*) override { return MMSYSERR_NOERROR; }
  MMRESULT Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) override;
  MMRESULT GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) override;
  MMRESULT PrepareHeader(ACMSTREAMHEADER*) override { return MMSYSERR_NOERROR; }
  MMRESULT UnprepareHeader(ACMSTREAMHEADER*) override { return MMSYSERR_NOERROR; }
  MMRESULT Convert(ACMSTREAMHEADER* header) override;
  LPCWSTR GetName() override { return u"PCM"; }
  LPCWSTR GetFormat(int index, WAVEFORMATEX* format) override;

 private:
  int Sample(const BYTE* p) const;

  WAVEFORMATEX source_{};
  WAVEFORMATEX destination_{};
  ULONGLONG framesIn_ = 0;   // source frames taken since the stream's start
  ULONGLONG framesOut_ = 0;  // destination frames made since then
};

void Recompute(WAVEFORMATEX* f) {
  f->nBlockAlign = static_cast<WORD>(static_cast<DWORD>(f->nChannels) * f->wBitsPerSample / 8);
  f->nAvgBytesPerSec = f->nSamplesPerSec * f->nBlockAlign;
}

MMRESULT CPcmConverter::Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) {
  if (!source || !destination) return MMSYSERR_INVALPARAM;
  std::memcpy(&source_, source, sizeof source_);
  std::memcpy(&destination_, destination, sizeof destination_);
  Recompute(&source_);
  Recompute(&destination_);
  const WORD bits = source_.wBitsPerSample;
  if (!source_.nAvgBytesPerSec || !destination_.nAvgBytesPerSec || destination_.wBitsPerSample > 16 ||
      (bits != 8 && bits != 16 && bits != 24) || source_.nChannels > 2 || destination_.nChannels > 2 ||
      source_.nChannels > destination_.nChannels)
    return MMSYSERR_INVALPARAM;
  framesIn_ = framesOut_ = 0;
  return MMSYSERR_NOERROR;
}

// Rounded up: a block may hold one destination frame more than its share, by the phase it
// starts at.
MMRESULT CPcmConverter::GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) {
  if (!destinationBytes || !source_.nAvgBytesPerSec || !destination_.nBlockAlign) return MMSYSERR_INVALPARAM;
  const ULONGLONG bytes =
      (static_cast<ULONGLONG>(sourceBytes) * destination_.nAvgBytesPerSec + source_.nAvgBytesPerSec - 1) /
      source_.nAvgBytesPerSec;
  const ULONGLONG align = destination_.nBlockAlign;
  const ULONGLONG rounded = (bytes + align - 1) / align * align;
  if (rounded > 0xFFFFFFFFull) return MMSYSERR_INVALPARAM;
  *destinationBytes = static_cast<DWORD>(rounded);
  return MMSYSERR_NOERROR;
}

int CPcmConverter::Sample(const BYTE* p) const {
  switch (source_.wBitsPerSample) {
    case 8:
      return (p[0] - 128) * 255;
    case 24:
      return static_cast<int16_t>(p[1] | p[2] << 8);
    default:
      return static_cast<int16_t>(p[0] | p[1] << 8);
  }
}

MMRESULT CPcmConverter::Convert(ACMSTREAMHEADER* header) {
  if (!header || !source_.nBlockAlign || !destination_.nBlockAlign) return MMSYSERR_INVALPARAM;
  const DWORD sourceFrames = header->cbSrcLength / source_.nBlockAlign;
  const DWORD roomFrames = header->cbDstLength / destination_.nBlockAlign;
  DWORD made = 0;
  // Frames a block without room for them left behind are not made later, out of place.
  const ULONGLONG next =
      (framesIn_ * destination_.nSamplesPerSec + source_.nSamplesPerSec - 1) / source_.nSamplesPerSec;
  if (framesOut_ < next) framesOut_ = next;
  if (destination_.wBitsPerSample == 16) {
    const int sampleBytes = source_.wBitsPerSample / 8;
    const bool widen = source_.nChannels == 1 && destination_.nChannels == 2;
    auto* out = reinterpret_cast<BYTE*>(header->pbDst);
    for (; made < roomFrames; ++made) {
      const ULONGLONG at = (framesOut_ + made) * source_.nSamplesPerSec / destination_.nSamplesPerSec;
      if (at - framesIn_ >= sourceFrames) break;
      const BYTE* frame = header->pbSrc + (at - framesIn_) * source_.nBlockAlign;
      for (int ch = 0; ch < destination_.nChannels; ++ch) {
        const int value = Sample(frame + (widen ? 0 : ch * sampleBytes));
        BYTE* sample = out + made * destination_.nBlockAlign + ch * 2;
        sample[0] = static_cast<BYTE>(value & 0xFF);
        sample[1] = static_cast<BYTE>((value >> 8) & 0xFF);
      }
    }
  } else if (source_.wBitsPerSample == destination_.wBitsPerSample && source_.nChannels == destination_.nChannels &&
             source_.nSamplesPerSec == destination_.nSamplesPerSec && sourceFrames <= roomFrames) {
    std::memcpy(header->pbDst, header->pbSrc, static_cast<size_t>(sourceFrames) * source_.nBlockAlign);
    made = sourceFrames;
  }
  framesIn_ += sourceFrames;
  framesOut_ += made;
  header->cbDstLengthUsed = made * destination_.nBlockAlign;
  header->cbSrcLengthUsed = header->cbSrcLength;
  return MMSYSERR_NOERROR;
}

LPCWSTR CPcmConverter::GetFormat(int index, WAVEFORMATEX* format) {
  if (index != 0) return nullptr;
  if (format) format->wFormatTag = WAVE_FORMAT_PCM;
  return u"Any PCM Format";
}

}  // namespace

CWaveConverter* NewPcmConverter() { return new CPcmConverter; }
