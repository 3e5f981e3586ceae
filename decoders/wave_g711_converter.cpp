// A-law and mu-law to 16-bit PCM for the WAVE decoder, by a table of the 256 ITU-T G.711
// expansions. The platform's ACM decodes these first; this converter serves what it refuses.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "wave_converter.h"

namespace {

int16_t AlawToLinear(BYTE code) {
  const int a = code ^ 0x55;
  const int exponent = (a >> 4) & 7;
  int magnitude = ((a & 0x0F) << 4) + 8;
  if (exponent > 0) magnitude = (magnitude + 0x100) << (exponent - 1);
  return static_cast<int16_t>((a & 0x80) ? magnitude : -magnitude);
}

int16_t UlawToLinear(BYTE code) {
  const int u = ~code & 0xFF;
  const int exponent = (u >> 4) & 7;
  const int magnitude = ((((u & 0x0F) << 3) + 0x84) << exponent) - 0x84;
  return static_cast<int16_t>((u & 0x80) ? -magnitude : magnitude);
}

class CG711Converter : public CWaveConverter {
 public:
  MMRESULT Setup(const WAVEFORMATEX* source) override;
  MMRESULT Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) override;
  MMRESULT GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) override;
  MMRESULT PrepareHeader(ACMSTREAMHEADER*) override { return MMSYSERR_NOERROR; }
  MMRESULT UnprepareHeader(ACMSTREAMHEADER*) override { return MMSYSERR_NOERROR; }
  MMRESULT Convert(ACMSTREAMHEADER* header) override;
  LPCWSTR GetName() override { return tag_ == WAVE_FORMAT_MULAW ? u"u-law" : u"A-law"; }
  LPCWSTR GetFormat(int index, WAVEFORMATEX* format) override;

 private:
  std::vector<BYTE> source_;  // the whole source format
  WAVEFORMATEX destination_{};
  int16_t table_[256] = {};
  WORD tag_ = 0;  // 6 or 7 once Setup took the source
};

MMRESULT CG711Converter::Setup(const WAVEFORMATEX* source) {
  if (!source || (source->wFormatTag != WAVE_FORMAT_ALAW && source->wFormatTag != WAVE_FORMAT_MULAW))
    return MMSYSERR_INVALPARAM;
  tag_ = source->wFormatTag;
  for (int code = 0; code < 256; ++code)
    table_[code] =
        tag_ == WAVE_FORMAT_MULAW ? UlawToLinear(static_cast<BYTE>(code)) : AlawToLinear(static_cast<BYTE>(code));
  return MMSYSERR_NOERROR;
}

MMRESULT CG711Converter::Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) {
  if (!tag_ || !source || !destination || destination->wFormatTag != WAVE_FORMAT_PCM ||
      source->nSamplesPerSec > 44100 || source->wBitsPerSample != 8 || destination->wBitsPerSample != 16)
    return MMSYSERR_INVALPARAM;
  const auto* bytes = reinterpret_cast<const BYTE*>(source);
  source_.assign(bytes, bytes + sizeof(WAVEFORMATEX) + source->cbSize);
  std::memcpy(&destination_, destination, sizeof destination_);
  return MMSYSERR_NOERROR;
}

MMRESULT CG711Converter::GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) {
  if (!destinationBytes || sourceBytes > 0x7FFFFFFF) return MMSYSERR_INVALPARAM;
  *destinationBytes = 2 * sourceBytes;
  return MMSYSERR_NOERROR;
}

MMRESULT CG711Converter::Convert(ACMSTREAMHEADER* header) {
  if (!header || source_.empty()) return MMSYSERR_INVALPARAM;
  WAVEFORMATEX source;
  std::memcpy(&source, source_.data(), sizeof source);
  DWORD made = 0;
  if (source.nBlockAlign && destination_.wBitsPerSample == 16 && source.nChannels >= 1 &&
      destination_.nChannels == source.nChannels) {
    const DWORD samples = header->cbSrcLength / source.nBlockAlign * source.nChannels;
    const DWORD fit = std::min({samples, header->cbSrcLength, header->cbDstLength / 2});
    for (DWORD i = 0; i < fit; ++i) {
      const int16_t value = table_[header->pbSrc[i]];
      header->pbDst[2 * i] = static_cast<BYTE>(value & 0xFF);
      header->pbDst[2 * i + 1] = static_cast<BYTE>((value >> 8) & 0xFF);
    }
    made = 2 * fit;
  }
  header->cbDstLengthUsed = made;
  header->cbSrcLengthUsed = header->cbSrcLength;
  return MMSYSERR_NOERROR;
}

LPCWSTR CG711Converter::GetFormat(int index, WAVEFORMATEX* format) {
  if (index != 0) return nullptr;
  if (format) format->wFormatTag = tag_;
  return tag_ == WAVE_FORMAT_MULAW ? u"Any u-law format" : u"Any A-law format";
}

}  // namespace

CWaveConverter* CreateG711Converter(WORD formatTag) {
  return formatTag == WAVE_FORMAT_ALAW || formatTag == WAVE_FORMAT_MULAW ? new CG711Converter : nullptr;
}
