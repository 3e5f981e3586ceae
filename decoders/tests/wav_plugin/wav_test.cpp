// wav_test.dll: a codec plug-in of the WAVE decoder for the tests. Its record of version 1 decodes
// a private format, 16-bit PCM stored big-endian under tag 0x7A42; before it stands a record of
// version 2 that would take the same tag (and one of its own, 0x7A43) but writes silence, so a
// loader that let it in is heard. WavTestCloses counts the Close calls of the version-1 record.
#include <algorithm>
#include <cstring>

#include "wave_plugin.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr UINT kBigEndianPcm = 0x7A42;
constexpr UINT kOnlyInVersion2 = 0x7A43;
int g_closes = 0;
WAVEFORMATEX g_source{};

int AcceptsBigEndian(WavPluginRecord*, UINT tag) { return tag == kBigEndianPcm; }
int AcceptsBoth(WavPluginRecord*, UINT tag) { return tag == kBigEndianPcm || tag == kOnlyInVersion2; }
void Close(WavPluginRecord*) { ++g_closes; }
void CloseQuietly(WavPluginRecord*) {}

MMRESULT Setup(WavPluginRecord* record, const WAVEFORMATEX* source) {
  if (!source || !record->Accepts(record, source->wFormatTag) || source->wBitsPerSample != 16)
    return MMSYSERR_INVALPARAM;
  g_source = *source;
  return MMSYSERR_NOERROR;
}

MMRESULT Open(WavPluginRecord*, const WAVEFORMATEX* source, const WAVEFORMATEX* destination) {
  if (!source || !destination || destination->wFormatTag != WAVE_FORMAT_PCM || destination->wBitsPerSample != 16 ||
      destination->nChannels != source->nChannels || destination->nSamplesPerSec != source->nSamplesPerSec)
    return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

MMRESULT GetOutputSize(WavPluginRecord*, DWORD sourceBytes, DWORD* destinationBytes) {
  *destinationBytes = sourceBytes;
  return MMSYSERR_NOERROR;
}

MMRESULT Nothing(WavPluginRecord*, ACMSTREAMHEADER*) { return MMSYSERR_NOERROR; }

MMRESULT Swap(WavPluginRecord*, ACMSTREAMHEADER* header) {
  const DWORD bytes = std::min(header->cbSrcLength, header->cbDstLength) / 2 * 2;
  for (DWORD i = 0; i < bytes; i += 2) {
    header->pbDst[i] = header->pbSrc[i + 1];
    header->pbDst[i + 1] = header->pbSrc[i];
  }
  header->cbSrcLengthUsed = header->cbSrcLength;
  header->cbDstLengthUsed = bytes;
  return MMSYSERR_NOERROR;
}

MMRESULT Silence(WavPluginRecord*, ACMSTREAMHEADER* header) {
  const DWORD bytes = std::min(header->cbSrcLength, header->cbDstLength);
  std::memset(header->pbDst, 0, bytes);
  header->cbSrcLengthUsed = header->cbSrcLength;
  header->cbDstLengthUsed = bytes;
  return MMSYSERR_NOERROR;
}

LPCWSTR Name(WavPluginRecord*) { return u"Big-endian PCM"; }

LPCWSTR Format(WavPluginRecord*, int index, WAVEFORMATEX* format) {
  if (index != 0) return nullptr;
  format->wFormatTag = kBigEndianPcm;
  return u"Any big-endian PCM format";
}

WavPluginRecord g_records[] = {
    {2, AcceptsBoth, CloseQuietly, Setup, Open, GetOutputSize, Nothing, Nothing, Silence, Name, Format},
    {WAV_PLUGIN_VERSION, AcceptsBigEndian, Close, Setup, Open, GetOutputSize, Nothing, Nothing, Swap, Name, Format},
};

}  // namespace

EXPORT WavPluginRecord* ZonbrelWavePlugin(int index) { return index >= 0 && index < 2 ? &g_records[index] : nullptr; }

EXPORT int WavTestCloses() { return g_closes; }
