// Fuzz target: any bytes as a WAVE or ".snd" file for the header walk of Play, the file
// information and the tag reader, then its samples through the converter Play would choose.
// Sizes in the input must never lead a reader outside it or a converter outside its buffers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media_item.h"
#include "memory_source.h"
#include "wave_converter.h"
#include "wave_decoder.h"
#include "wave_header.h"
#include "wave_play_state.h"

namespace {

void ConvertSamples(const WaveHeader& header, const uint8_t* data, size_t size) {
  const auto* source = reinterpret_cast<const WAVEFORMATEX*>(header.format.data());
  WAVEFORMATEX out = ChooseWaveOutputFormat(source);
  CWaveConverter* converter = nullptr;
  if (CreateWaveConverter(&converter, source, &out) != MMSYSERR_NOERROR) return;
  const DWORD block = 4096;
  DWORD outBytes = 0;
  if (converter->GetOutputSize(block, &outBytes) == MMSYSERR_NOERROR && outBytes && outBytes < (1u << 24)) {
    std::vector<BYTE> input(block), output(2 * static_cast<size_t>(outBytes));
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = input.data();
    h.cbSrcLength = block;
    h.pbDst = output.data();
    h.cbDstLength = outBytes;
    converter->PrepareHeader(&h);
    for (size_t at = header.dataStart; at < size && at < header.dataStart + static_cast<size_t>(header.dataLength);) {
      const size_t n =
          std::min<size_t>({block, size - at, header.dataStart + static_cast<size_t>(header.dataLength) - at});
      std::copy(data + at, data + at + n, input.begin());
      h.cbSrcLength = static_cast<DWORD>(n);
      converter->Convert(&h);
      at += n;
    }
    h.cbSrcLength = block;
    converter->UnprepareHeader(&h);
  }
  delete converter;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool factories = (RegisterWaveConverterFactory(CreateG711Converter), true);
  (void)factories;
  CMediaItem* item = CreateMediaItem();
  InputSource source = MakeMemorySource(data, size);
  ReadWaveInfo(&source, u"\\fuzz.wav", item);
  item->Release();
  source = MakeMemorySource(data, size);
  WCHAR title[MAX_PATH];
  int length = 0;
  WaveDecoder.GetFileInfo(&source, u"\\fuzz.wav", title, &length);
  source = MakeMemorySource(data, size);
  WaveHeader header;
  if (ReadWaveHeader(&source, static_cast<DWORD>(size), &header)) ConvertSamples(header, data, size);
  return 0;
}
