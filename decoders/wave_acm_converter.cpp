// The platform's Audio Compression Manager as a WAVE converter: one ACM stream from the file's
// format to the output's, opened without naming a driver so the manager picks the codec.
#include <cstring>
#include <vector>

#include "wave_converter.h"

namespace {

constexpr DWORD kGsmRate = 8000;
constexpr DWORD kGsmBytesPerSecond = 1625;

class CAcmConverter : public CWaveConverter {
 public:
  ~CAcmConverter() override {
    if (stream_) acmStreamClose(stream_, 0);
  }
  MMRESULT Setup(const WAVEFORMATEX*) override { return MMSYSERR_NOERROR; }
  MMRESULT Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) override;
  MMRESULT GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) override {
    return acmStreamSize(stream_, sourceBytes, destinationBytes, ACM_STREAMSIZEF_SOURCE);
  }
  MMRESULT PrepareHeader(ACMSTREAMHEADER* header) override { return acmStreamPrepareHeader(stream_, header, 0); }
  MMRESULT UnprepareHeader(ACMSTREAMHEADER* header) override { return acmStreamUnprepareHeader(stream_, header, 0); }
  MMRESULT Convert(ACMSTREAMHEADER* header) override {
    return acmStreamConvert(stream_, header, ACM_STREAMCONVERTF_BLOCKALIGN);
  }
  LPCWSTR GetName() override { return u"Audio Compression Manager Formats"; }
  LPCWSTR GetFormat(int index, WAVEFORMATEX* format) override;

 private:
  static BOOL CALLBACK CountFormat(HACMDRIVERID, LPACMFORMATDETAILSW, DWORD_PTR instance, DWORD);

  HACMSTREAM stream_ = nullptr;
  std::vector<BYTE> source_;  // the whole source format, extra bytes included
  WAVEFORMATEX destination_{};
  int formatsLeft_ = 0;  // enumeration's countdown to the asked index
};

MMRESULT CAcmConverter::Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) {
  if (!source || !destination) return MMSYSERR_INVALPARAM;
  const auto* bytes = reinterpret_cast<const BYTE*>(source);
  source_.assign(bytes, bytes + sizeof(WAVEFORMATEX) + source->cbSize);
  std::memcpy(&destination_, destination, sizeof destination_);
  auto* from = reinterpret_cast<WAVEFORMATEX*>(source_.data());
  // GSM 6.10 is only ever 8 kHz; files that say otherwise are played as such.
  if (from->wFormatTag == WAVE_FORMAT_GSM610 && from->nSamplesPerSec != kGsmRate) {
    from->nSamplesPerSec = destination_.nSamplesPerSec = kGsmRate;
    from->nAvgBytesPerSec = kGsmBytesPerSecond;
    destination_.nAvgBytesPerSec = 2 * kGsmRate;
  }
  if (from->wFormatTag == WAVE_FORMAT_PCM && from->nSamplesPerSec > 44100) return MMSYSERR_INVALPARAM;
  if (stream_) acmStreamClose(stream_, 0);
  stream_ = nullptr;
  return acmStreamOpen(&stream_, nullptr, from, &destination_, nullptr, 0, 0, 0);
}

BOOL CALLBACK CAcmConverter::CountFormat(HACMDRIVERID, LPACMFORMATDETAILSW, DWORD_PTR instance, DWORD) {
  auto* self = reinterpret_cast<CAcmConverter*>(instance);
  return --self->formatsLeft_ > 0;  // stops with the index-th format in the caller's buffer
}

LPCWSTR CAcmConverter::GetFormat(int index, WAVEFORMATEX* format) {
  if (index < 0 || !format) return nullptr;
  ACMFORMATDETAILSW details{};
  details.cbStruct = sizeof details;
  details.pwfx = format;
  details.cbwfx = sizeof(WAVEFORMATEX);
  formatsLeft_ = index + 1;
  if (acmFormatEnumW(nullptr, &details, CountFormat, reinterpret_cast<DWORD_PTR>(this), ACM_FORMATENUMF_OUTPUT) != 0)
    return nullptr;
  return formatsLeft_ <= 0 ? u"" : nullptr;
}

}  // namespace

CWaveConverter* NewAcmConverter() { return new CAcmConverter; }
